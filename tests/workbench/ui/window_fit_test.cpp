// SPDX-License-Identifier: GPL-3.0-or-later
// Windows on a small screen: the workbench's fields scroll under the wheel, and a window shown again comes
// back where it was hidden, whatever the window manager did with it meanwhile.
#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "common/window_placement.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "workbench/configuration.h"
#include "workbench/ui/options_form.h"
#include "workbench/ui/parameter_input_form.h"
#include "window_memory.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;

struct SmallScreen : ::testing::Test {
    SmallScreen() {
        messages.AllowAny();
        WorkbenchEnvironment env;
        env.settings = &settings;
        env.messages = &messages;
        env.prompter = &messages;
        workbench = std::make_unique<TParameterInputForm>(env);
        new WindowPlaces(settings, workbench.get());
    }
    Settings settings;
    testing::RecordingMessages messages;
    std::unique_ptr<TParameterInputForm> workbench;
};

// Where no box of the focused group scrolls, the wheel scrolls the workbench's fields when they do not fit.
TEST_F(SmallScreen, WheelScrollsTheFieldsThatDoNotFit) {
    workbench->resize(640, 360);
    workbench->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(workbench.get()));
    QScrollBar* page = workbench->findChild<QScrollArea*>(QStringLiteral("WorkbenchPage"))->verticalScrollBar();
    ASSERT_GT(page->maximum(), 0);
    auto* motorName = qobject_cast<QLineEdit*>(workbench->Control(C::MotorNameEdit));
    motorName->setFocus();
    QApplication::processEvents();
    const QPointF at(5, 5);
    QWheelEvent wheel(at, motorName->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(motorName, &wheel);
    EXPECT_GT(page->value(), 0);
}

// The options dialog shown again comes back where it was hidden (a window manager that moves a dialog by
// its title bar at each showing would make it creep), and a stored place comes back inside the screen.
TEST_F(SmallScreen, WindowsComeBackWhereTheyWereAndOnTheScreen) {
    testing::TempDir dir;
    const ConfigurationFiles files = ConfigurationFilesFor(dir.path(), dir.path() / "none");
    TOptionsForm options(settings, files, {}, messages, workbench.get());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    options.show();
    const QRect place(screen.x() + 30, screen.y() + 40, options.width(), options.height());
    options.setGeometry(place);
    for (int i = 0; i < 3; ++i) {
        options.hide();
        options.move(options.pos() + QPoint(-1, 20)); // what the window manager did
        options.show();
        EXPECT_EQ(options.geometry(), place) << i;
    }
    options.hide();
    EXPECT_EQ(settings.windowPlacements["options"],
              WindowRectText({place.x(), place.y(), place.width(), place.height()}));

    // A place stored on a taller screen, above its top: fitted to this one, whole.
    settings.windowPlacements["workbench"] = "10 -20 1350 2900";
    workbench->show();
    EXPECT_TRUE(screen.contains(workbench->frameGeometry())) << workbench->geometry().y();
    EXPECT_GE(workbench->frameGeometry().height(), screen.height() - 4); // as tall as the screen lets it be
}

} // namespace
} // namespace ampvane
