// SPDX-License-Identifier: GPL-3.0-or-later
// The million-row report in the desktop window, on the road a user takes: Compute Report on the
// workbench until the report window shows its first screen of rows, scrolling to the end, the middle
// and the top, and a click on a column's header until the sorted rows are painted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPointer>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "analysis/ui/report_form.h"
#include "result_windows.h"
#include "window_memory.h"
#include "workbench/ui/parameter_input_form.h"

namespace {

using namespace ampvane;

// Resident memory of the process after the allocator has handed back what it can.
double ResidentMB() {
    malloc_trim(0);
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Counts the paints of a widget, so that a step is timed until its result is really on the screen.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) : widget_(widget) { widget->installEventFilter(this); }
    ~PaintCounter() override {
        if (widget_) widget_->removeEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }

private:
    QPointer<QWidget> widget_;
};

// Runs the event loop until the widget has painted once more than `before`.
bool WaitForPaint(const PaintCounter& counter, int before) {
    QElapsedTimer waited;
    waited.start();
    while (counter.paints <= before) {
        if (waited.elapsed() > 30000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Notes when the first report window shows, to split Compute Report into the sweep and the window.
class ShowWatcher final : public QObject {
public:
    ShowWatcher(const QElapsedTimer& clock) : clock_(clock) { qApp->installEventFilter(this); }
    ~ShowWatcher() override { qApp->removeEventFilter(this); }
    qint64 shownAt = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (shownAt < 0 && event->type() == QEvent::Show && qobject_cast<TReportForm*>(watched))
            shownAt = clock_.nsecsElapsed();
        return false;
    }

private:
    const QElapsedTimer& clock_;
};

// The workbench with a benchmark project loaded, wired to its report windows as the program is.
class Desk {
public:
    explicit Desk(const char* project) {
        char pattern[] = "/tmp/ampvane_bench_window_XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        folder_ = pattern;
        WorkbenchEnvironment env;
        env.settings = &settings_;
        env.dataFolder = folder_;
        env.messages = &messages_;
        env.prompter = &prompter_;
        workbench_ = std::make_unique<TParameterInputForm>(env);
        new WindowPlaces(settings_, workbench_.get());
        results_ = new ResultWindows({&settings_, {}, &messages_, &prompter_}, *workbench_);
        std::ifstream in(std::string(AMPVANE_BENCH_PROJECTS) + "/" + project, std::ios::binary);
        if (!in || !workbench_->Session().TakeProjectText(in)) std::abort();
        workbench_->ShowFields();
        workbench_->show();
        QCoreApplication::processEvents();
    }
    ~Desk() {
        workbench_.reset();
        std::filesystem::remove_all(folder_);
    }

    WorkbenchSession& Session() { return workbench_->Session(); }

    // Compute Report, as its button does; the new report window.
    TReportForm* Compute() {
        workbench_->ComputeButtonClick();
        const auto reports = results_->Reports();
        return reports.empty() ? nullptr : reports.back();
    }

private:
    std::filesystem::path folder_;
    Settings settings_;
    NullMessageSink messages_;
    DefaultPrompter prompter_;
    std::unique_ptr<TParameterInputForm> workbench_;
    ResultWindows* results_ = nullptr;
};

void CloseReport(TReportForm* report) {
    report->close(); // deletes itself
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Compute Report until the window has painted its first screen of rows. `sweep_ms`: until the window
// shows (the sweep and filling the window); `paint_ms`: from there to the painted rows. Memory: the
// process grows by the grid (the compact row store) and what the window adds for the rows.
void ComputeAndShow(benchmark::State& state, const char* project) {
    Desk desk(project);
    double sweep = 0, paint = 0, extra = 0, grid = 0, rows = 0;
    for (auto _ : state) {
        const double before = ResidentMB();
        QElapsedTimer clock;
        ShowWatcher watcher(clock);
        clock.start();
        TReportForm* report = desk.Compute();
        if (!report) {
            state.SkipWithError("no report window");
            return;
        }
        PaintCounter painted(report->GridView()->viewport());
        if (!WaitForPaint(painted, 0)) state.SkipWithError("the grid was never painted");
        const qint64 done = clock.nsecsElapsed();
        state.PauseTiming();
        sweep += static_cast<double>(watcher.shownAt) * 1e-6;
        paint += static_cast<double>(done - watcher.shownAt) * 1e-6;
        const ReportGrid& g = report->Grid();
        grid = static_cast<double>(g.Rows.MemoryBytes()) / (1024.0 * 1024.0);
        rows = g.RowCount();
        extra += ResidentMB() - before - grid;
        CloseReport(report);
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["rows"] = rows;
    state.counters["sweep_ms"] = sweep / n;
    state.counters["paint_ms"] = paint / n;
    state.counters["grid_MB"] = grid;
    state.counters["window_extra_MB"] = extra / n;
}
BENCHMARK_CAPTURE(ComputeAndShow, 1m, "report_1m.txt")->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
// A tenth of the rows: what grows with the rows and what does not.
BENCHMARK_CAPTURE(ComputeAndShow, 90k, "report_90k.txt")->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The same report computed without a window (as the command line computes it): what the window adds
// is the difference.
void ComputeOnly(benchmark::State& state, const char* project) {
    Desk desk(project);
    double rows = 0, extra = 0;
    for (auto _ : state) {
        const double before = ResidentMB();
        {
            auto report = desk.Session().ComputeReport();
            if (!report) {
                state.SkipWithError("no report");
                return;
            }
            state.PauseTiming();
            rows = report->Grid.RowCount();
            extra += ResidentMB() - before - static_cast<double>(report->Grid.Rows.MemoryBytes()) / (1024.0 * 1024.0);
        }
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    // What the process keeps beside the grid without a window (the allocator's own share).
    state.counters["extra_MB"] = extra / static_cast<double>(state.iterations());
}
BENCHMARK_CAPTURE(ComputeOnly, 1m, "report_1m.txt")->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The window of the million-row report, shown and painted, for the steps a user takes in it.
struct ShownReport {
    Desk desk{"report_1m.txt"};
    TReportForm* report = desk.Compute();
    QTableView* view = report ? report->GridView() : nullptr;
    std::unique_ptr<PaintCounter> painted{view ? new PaintCounter(view->viewport()) : nullptr};

    bool Ready() {
        return view && WaitForPaint(*painted, 0);
    }
    // Runs `step` and the event loop until the rows are painted again; its time in milliseconds.
    template <class Step>
    double Painted(Step step) {
        const int before = painted->paints;
        QElapsedTimer clock;
        clock.start();
        step();
        if (!WaitForPaint(*painted, before)) std::abort();
        return static_cast<double>(clock.nsecsElapsed()) * 1e-6;
    }
};

// Dragging the scroll bar's thumb to the end, the middle and the top, each painted.
void Scroll(benchmark::State& state) {
    ShownReport shown;
    if (!shown.Ready()) {
        state.SkipWithError("no report window");
        return;
    }
    QScrollBar* bar = shown.view->verticalScrollBar();
    double end = 0, middle = 0, top = 0;
    for (auto _ : state) {
        end += shown.Painted([bar] { bar->setValue(bar->maximum()); });
        middle += shown.Painted([bar] { bar->setValue(bar->maximum() / 2); });
        top += shown.Painted([bar] { bar->setValue(0); });
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["end_ms"] = end / n;
    state.counters["middle_ms"] = middle / n;
    state.counters["top_ms"] = top / n;
}
BENCHMARK(Scroll)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// A left click on the thrust column's header (each click turns the order round), until painted.
void SortByClick(benchmark::State& state) {
    ShownReport shown;
    if (!shown.Ready()) {
        state.SkipWithError("no report window");
        return;
    }
    const ReportGrid& grid = shown.report->Grid();
    const int column = grid.Position(ReportColumn::Thrust);
    QHeaderView* header = shown.view->horizontalHeader();
    // With a row selected, as after a user's look at one: the click keeps it selected.
    shown.report->SelectDataRow(grid.RowCount() / 3);
    shown.view->scrollTo(shown.view->currentIndex().siblingAtColumn(column));
    QCoreApplication::processEvents();
    if (shown.view->isColumnHidden(column) || header->sectionViewportPosition(column) < 0) {
        state.SkipWithError("the thrust column is not in view");
        return;
    }
    for (auto _ : state) {
        const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                            header->height() / 2);
        shown.Painted([&] { QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre); });
    }
    state.counters["rows"] = grid.RowCount();
    state.counters["sorted_by"] = column;
}
BENCHMARK(SortByClick)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    // Timed without a display; a set platform (a real screen) is kept.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
