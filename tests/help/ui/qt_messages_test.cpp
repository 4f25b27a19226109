// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes: Help opens the message's page and the box stays to take its answer.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QTextBoundaryFinder>
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

// A box over the workbench hands the front back to the window the user was working in.
TEST(MessageBoxText, TheWindowWorkedInComesBackInFront) {
    QWidget workbench, tool(nullptr, Qt::Window);
    workbench.show();
    tool.show();
    QApplication::setActiveWindow(&tool);
    QtMessages boxes(&workbench);
    WhenBoxOpens([&](QMessageBox& box) {
        QApplication::setActiveWindow(&workbench); // what raising the box's parent does
        box.button(QMessageBox::Ok)->click();
    });
    boxes.Report(Message{MessageKind::Error, "No static point.", OkButton, 0});
    EXPECT_TRUE(QTest::qWaitForWindowActive(&tool));
}

// Word wrapping never ends a line inside a web address, and copying the box gives the plain address back.
TEST(MessageBoxText, WebAddressesAreNotBrokenByWrapping) {
    const QString address = QStringLiteral("http://exchange.example:8080/");
    const QString text = QStringLiteral("Ampvane was unable to download updated data from ") + address +
                         QStringLiteral(". The site may be unavailable.\n\nTry again later (https://a.example/b-c).");
    const auto breaksInside = [](const QString& shown, const QString& start, const QString& end) {
        const qsizetype from = shown.indexOf(start), to = shown.indexOf(end, from) + end.size();
        QTextBoundaryFinder finder(QTextBoundaryFinder::Line, shown);
        int inside = 0;
        for (qsizetype at = finder.toNextBoundary(); at >= 0; at = finder.toNextBoundary()) inside += at > from && at < to;
        return inside;
    };
    EXPECT_GT(breaksInside(text, QStringLiteral("http"), QStringLiteral("8080/")), 0); // what wrapping did before
    const QString shown = AddressesKeptWhole(text);
    EXPECT_EQ(breaksInside(shown, QStringLiteral("h"), QStringLiteral("/")), 0);
    EXPECT_EQ(breaksInside(shown, QStringLiteral("(h"), QStringLiteral("c")), 0);
    EXPECT_EQ(QString(shown).remove(QChar(0x2060)), text);
    EXPECT_EQ(AddressesKeptWhole(QStringLiteral("No address: here.")), QStringLiteral("No address: here."));

    QtMessages boxes;
    WhenBoxOpens([](QMessageBox& box) {
        QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
        QApplication::processEvents();
        box.button(QMessageBox::Ok)->click();
    });
    boxes.Report(Message{MessageKind::Error, text.toStdString(), OkButton, 0});
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.contains(address)) << "[" << copied.toStdString() << "]";
    EXPECT_FALSE(copied.contains(QChar(0x2060)));
}

} // namespace
} // namespace ampvane
