// SPDX-License-Identifier: GPL-3.0-or-later
// Windows come back where they were after a restart on the same data folder, and never off the screen.
#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>
#include <QScreen>

#include <gtest/gtest.h>

#include "result_windows.h"
#include "analysis/ui/report_form.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "workbench/configuration.h"
#include "workbench/ui/parameter_input_form.h"
#include "workbench/ui/sample_fields.h"
#include "window_memory.h"

namespace ampvane {
namespace {

// One run of the program on a data folder: the places are read before the workbench shows, and the
// settings written as it closes, as the program does.
struct ProgramRun {
    ProgramRun(const ConfigurationFiles& files, testing::RecordingMessages& messages) : files(files) {
        ReadWindowPlaces(files, settings);
        WorkbenchEnvironment env;
        env.settings = &settings;
        env.messages = &messages;
        env.prompter = &messages;
        workbench = std::make_unique<TParameterInputForm>(env);
        new WindowPlaces(settings, workbench.get());
        workbench->show();
    }
    void Close(testing::RecordingMessages& messages) {
        workbench->CloseWithoutQuestion();
        ASSERT_TRUE(WriteConfiguration(files.current, settings, kConfigurationVersion, messages));
    }
    ConfigurationFiles files;
    Settings settings;
    std::unique_ptr<TParameterInputForm> workbench;
};

TEST(WindowMemory, WorkbenchComesBackWithItsGeometryAndOnTheScreen) {
    testing::RecordingMessages messages;
    messages.AllowAny();
    testing::TempDir dir;
    const ConfigurationFiles files = ConfigurationFilesFor(dir.path(), dir.path() / "none");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();

    QRect placed;
    {
        ProgramRun first(files, messages);
        QWidget& window = *first.workbench;
        // It fits a small laptop's screen, or a 1920x1080 one at scale 2, its fields scrolling there.
        EXPECT_LE(window.minimumSizeHint().width(), 960);
        EXPECT_LE(window.minimumSizeHint().height(), 540);
        // Smaller (as far as the window lets itself shrink), on the last screen, wholly on it.
        const QRect last = QGuiApplication::screens().back()->availableGeometry();
        window.resize(window.minimumSizeHint().expandedTo(QSize(400, 300)).boundedTo(last.size() - QSize(80, 80)));
        window.move(last.topLeft() + QPoint(37, 23));
        placed = window.geometry();
        first.Close(messages);
    }
    {
        ProgramRun second(files, messages);
        EXPECT_EQ(second.workbench->geometry(), placed);
        EXPECT_EQ(second.workbench->screen(), QGuiApplication::screens().back());
        second.Close(messages);
    }

    // A place on a screen that is gone: back onto this one, whole.
    Settings stored;
    stored.windowPlacements["workbench"] = "-30000 25000 700 500";
    ASSERT_TRUE(WriteConfiguration(files.current, stored, kConfigurationVersion, messages));
    ProgramRun third(files, messages);
    EXPECT_TRUE(screen.contains(third.workbench->frameGeometry().topLeft()));
    EXPECT_TRUE(screen.intersects(third.workbench->geometry()));
}

constexpr int kDragged = 3;

// The user drags the right edge of a report grid's column header.
void DragColumnEdge(TReportForm& report, int column, int by) {
    QHeaderView* header = report.GridView()->horizontalHeader();
    QWidget* viewport = header->viewport();
    const int edge = header->sectionViewportPosition(column) + header->sectionSize(column) - 1;
    const int y = header->height() / 2;
    const auto send = [&](QEvent::Type type, int x, Qt::MouseButtons buttons) {
        const QPointF at(x, y);
        QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    };
    send(QEvent::MouseButtonPress, edge, Qt::LeftButton);
    send(QEvent::MouseMove, edge + by / 2, Qt::LeftButton);
    send(QEvent::MouseMove, edge + by, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, edge + by, Qt::NoButton);
}

// A report open when the workbench closes is stored under its kind: the next report takes its size and
// the column widths dragged in it; an in-flight report keeps its own, also after the throttle redraws it.
TEST(WindowMemory, ReportsKeepTheirSizeAndColumnWidthsPerKind) {
    testing::RecordingMessages messages;
    messages.AllowAny();
    Settings settings;
    settings.useHeating = false;
    WorkbenchEnvironment env;
    env.settings = &settings;
    env.messages = &messages;
    env.prompter = &messages;
    const auto report = [&](TParameterInputForm& workbench) -> TReportForm& {
        WorkbenchFields fields;
        testing::FillSample(fields);
        workbench.SetFields(fields);
        new WindowPlaces(*env.settings, &workbench);
        workbench.show();
        auto* results = new ResultWindows({env.settings, env.locale, env.messages, env.prompter}, workbench);
        workbench.ComputeButtonClick();
        EXPECT_EQ(results->Reports().size(), 1u);
        return *results->Reports().front();
    };
    QSize size;
    int width = 0;
    {
        TParameterInputForm workbench(env);
        TReportForm& first = report(workbench);
        EXPECT_EQ(RememberedWindowName(first), "report");
        first.resize(first.size() - QSize(40, 30));
        size = first.size();
        DragColumnEdge(first, kDragged, 25);
        width = first.GridView()->columnWidth(kDragged);
        workbench.CloseWithoutQuestion();
    }
    TParameterInputForm workbench(env);
    TReportForm& again = report(workbench);
    EXPECT_EQ(again.size(), size);
    EXPECT_EQ(again.GridView()->columnWidth(kDragged), width);
    TReportForm* flight = again.OpenInFlight(3);
    ASSERT_NE(flight, nullptr);
    const int flightWidth = flight->GridView()->columnWidth(kDragged) - 15;
    DragColumnEdge(*flight, kDragged, -15);
    flight->MoveThrottle(70);
    QCoreApplication::processEvents();
    EXPECT_EQ(flight->GridView()->columnWidth(kDragged), flightWidth);
    EXPECT_EQ(settings.columnWidths["inflight"], std::to_string(kDragged) + ":" + std::to_string(flightWidth));
    EXPECT_EQ(again.GridView()->columnWidth(kDragged), width);
}

} // namespace
} // namespace ampvane
