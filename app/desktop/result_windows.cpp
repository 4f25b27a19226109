// SPDX-License-Identifier: GPL-3.0-or-later
// The report windows and the windows they open (opinion, graph, comparison), wired to each other here
// so that none of them knows another.

#include "result_windows.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QWidget>

#include <algorithm>

#include "advice/ui/comparison_form.h"
#include "advice/ui/explanation_form.h"
#include "advice/ui/graph_form.h"
#include "analysis/ui/report_form.h"
#include "common/ui/window_geometry.h"
#include "workbench/compute_input.h"
#include "workbench/ui/parameter_input_form.h"

namespace ampvane {

namespace {

constexpr const char* kPlacedProperty = "ampvanePlaced";

// Report and opinion windows cascade from the workbench and close on Escape.
bool IsResultWindow(const QWidget* window) {
    return window && window->isWindow() &&
           (qobject_cast<const TReportForm*>(window) || qobject_cast<const TExplanationForm*>(window));
}

// Graph axes are kept in the options, which the configuration file stores.
GraphAxesStore AxesStoreIn(Settings* stored) {
    GraphAxesStore store;
    if (!stored) return store;
    const auto axes = [stored](GraphKind kind) -> GraphAxes& {
        return kind == GraphKind::InFlight ? stored->flightGraph : stored->staticGraph;
    };
    store.load = [axes](GraphKind kind) {
        const GraphAxes& a = axes(kind);
        return GraphAxesChoice{a.x, a.y1, a.y2, a.lines};
    };
    store.save = [axes](GraphKind kind, const GraphAxesChoice& choice) {
        axes(kind) = GraphAxes{choice.x, choice.y1, choice.y2, choice.lines};
    };
    return store;
}

} // namespace

ResultWindows::ResultWindows(ResultWindowsEnvironment environment, TParameterInputForm& workbench)
    : QObject(&workbench), env_(std::move(environment)), workbench_(workbench) {
    qApp->installEventFilter(this);
    workbench.SetReportCommand([this](const DisplayPlane& plane, const AnalysisOptions& options, bool forOpinion,
                                      QWidget* owner) { OpenReport(plane, options, forOpinion, owner); });
}

ResultWindows::~ResultWindows() { qApp->removeEventFilter(this); }

void ResultWindows::OpenReport(const DisplayPlane& plane, const AnalysisOptions& options, bool forOpinion,
                               QWidget* owner) {
    const Settings defaults;
    ReportEnvironment reportEnv;
    reportEnv.settings = ReportSettingsFrom(env_.settings ? *env_.settings : defaults, env_.locale);
    reportEnv.messages = env_.messages;
    reportEnv.prompter = env_.prompter;
    reportEnv.moreThan256Colours = env_.moreThan256Colours;
    MessageSink* messages = env_.messages;
    reportEnv.openOpinion = [messages](TReportForm& inFlight) {
        return OpenOpinionWindow(inFlight.ReportData(), &inFlight, messages);
    };
    Settings* stored = env_.settings;
    reportEnv.openGraph = [stored, messages](TReportForm& report) {
        QPointer<TReportForm> window(&report);
        GraphSource source{&report.ReportData(), report.ThrottlePosition(), [window](int percent) {
                               if (window && window->ThrottlePosition() != percent) window->MoveThrottle(percent);
                           }};
        return OpenGraphWindow(&report, std::move(source), AxesStoreIn(stored), messages);
    };
    reportEnv.compare = [this](TReportForm& report) {
        Comparison().CompareButtonClick(report.ReportData(), report.SelectedDataRow());
    };
    auto* report = new TReportForm(reportEnv, owner ? owner : &workbench_);
    reports_.emplace_back(report);
    report->BuildStaticReport(options, plane, forOpinion);
}

std::vector<TReportForm*> ResultWindows::Reports() const {
    std::vector<TReportForm*> open;
    for (const auto& report : reports_)
        if (report) open.push_back(report.data());
    return open;
}

TComparisonForm& ResultWindows::Comparison() {
    // One for the program, kept (with its columns) while hidden.
    if (!comparison_) comparison_ = new TComparisonForm(&workbench_, env_.messages);
    return *comparison_;
}

bool ResultWindows::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    if (event->type() == QEvent::Show && IsResultWindow(widget) && !widget->property(kPlacedProperty).toBool()) {
        widget->setProperty(kPlacedProperty, true);
        Place(widget);
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier && IsResultWindow(widget->window()) &&
        !QApplication::activePopupWidget()) {
        widget->window()->close();
        return true;
    }
    return false;
}

void ResultWindows::Place(QWidget* window) {
    // Each new window steps down and right of the last one, and lies wholly on its screen; a cascade
    // that would leave the screen starts again at its top.
    const int step = std::max(20, window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4);
    cascade_ = (cascade_ + 1) % 10;
    const QRect previous = cascade_ == 1 || !lastPlace_.isValid() ? workbench_.geometry() : lastPlace_;
    CascadeWindow(*window, {previous.x(), previous.y(), previous.width(), previous.height()}, step);
    lastPlace_ = window->geometry();
}

} // namespace ampvane
