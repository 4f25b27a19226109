// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes: Help opens the message's page and the box stays to take its answer.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "common/ui/qt_messages.h"
#include "help/ui/help_viewer.h"

namespace ampvane {
namespace {

// Runs `step` once the box is open (from inside its event loop).
void WhenBoxOpens(std::function<void(QMessageBox&)> step) {
    QTimer::singleShot(0, [step] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        step(*box);
    });
}

TEST(MessageBoxHelp, HelpShowsTheTopicAndTheBoxStillTakesItsAnswer) {
    InstallHelpKey(); // as the workbench does when it starts
    QtMessages boxes;
    const Message question{MessageKind::Warning, "Proceed anyway?", YesButton | NoButtonAnswer | HelpButton, 605};
    bool boxStayed = false;
    WhenBoxOpens([&](QMessageBox& box) {
        box.button(QMessageBox::Help)->click();
        boxStayed = box.isVisible();
        THelpViewer* viewer = HelpViewerWindow();
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_EQ(viewer->CurrentPage(), QStringLiteral("Ampvane_605.htm"));
        // Beside the box, not modal over it: the box's own child window, so both take input.
        EXPECT_EQ(viewer->windowModality(), Qt::NonModal);
        EXPECT_EQ(viewer->parentWidget(), &box);
        EXPECT_EQ(QApplication::activeModalWidget(), &box);
        box.button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(boxes.Ask(question), YesButton);
    EXPECT_TRUE(boxStayed);
    // The answered box leaves the help open on its own; Escape closes it.
    THelpViewer* viewer = HelpViewerWindow();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->parentWidget(), nullptr);
    EXPECT_TRUE(viewer->isVisible());
    QApplication::setActiveWindow(viewer);
    QTest::keyClick(viewer, Qt::Key_Escape);
    EXPECT_FALSE(viewer->isVisible());

    // Without Help the same box answers as before; an OK-and-Help message still reports.
    WhenBoxOpens([](QMessageBox& box) { box.button(QMessageBox::No)->click(); });
    EXPECT_EQ(boxes.Ask(question), NoButtonAnswer);
    WhenBoxOpens([](QMessageBox& box) {
        box.button(QMessageBox::Help)->click();
        EXPECT_TRUE(box.isVisible());
        HelpViewerWindow()->close();
        box.button(QMessageBox::Ok)->click();
    });
    boxes.Report(Message{MessageKind::Error, "Could not write.", OkButton | HelpButton, 0});
    EXPECT_EQ(HelpViewerWindow()->CurrentPage(), QStringLiteral("Ampvane_1.htm")); // no topic: the contents
}

} // namespace
} // namespace ampvane
