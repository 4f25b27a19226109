// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/ui/table_browser.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>

#include "data/name_lookup.h"
#include "data/table_text.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "../table_test_support.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;
using testing::TempDir;

// A data folder with a large motor table and the browser over it.
class Browser : public ::testing::Test {
protected:
    Browser() {
        testing::MakeEmptyTables(dir.path().string());
        module.OpenComponentTables();
        std::string text = "Begin Ampvane8 Motor Table\nMOTORNAME\tMOTORSTANT\tIDLECRRENT\tARMATTANCE\tWEIGHT\n";
        for (int i = 0; i < 1000; ++i)
            text += "Motor " + std::to_string(1000 + i) + "\t" + std::to_string(500 + (i * 37) % 1000) + "\t1\t0.1\t" +
                    std::to_string(2 + i % 9) + "\n";
        text += "Reference\t1100\t1.5\t0.05\t6.5\nTwin\t1100\t1.5\t0.05\t6.6\nEnd Ampvane8 Motor Table\n";
        TableImportOptions options;
        ImportTableTextFrom(module, text, "motors", options, quiet);
    }

    // Opens the browser on the motors near `name`, runs `steps` while it is shown, then presses `button`.
    bool Run(const QString& name, const std::function<void()>& steps, const char* button) {
        QTimer::singleShot(0, &browser, [&] {
            steps();
            QTest::mouseClick(browser.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        });
        return browser.BrowseTable(module, ComponentTableKind::Motor, name, kBrowserDelete | kBrowserPrint,
                                   BrowserUnits{}, messages, messages);
    }
    QString Cell(int row, int column) {
        auto* grid = browser.findChild<QTableView*>(QStringLiteral("BrowserGrid"));
        return grid->model()->index(row, column).data().toString();
    }

    TempDir dir;
    NullMessageSink quiet;
    TCompDataModule module{{dir.path().string(), ""}, quiet};
    RecordingMessages messages;
    TTableBrowser browser;
};

TEST_F(Browser, OpensNearTheNameShowsRowsAsNeededAndReturnsTheChoice) {
    auto* grid = browser.findChild<QTableView*>(QStringLiteral("BrowserGrid"));
    const bool chosen = Run("Motor 1500x", [&] {
        EXPECT_EQ(browser.windowTitle(), "Motor Browser - 1002 Motors");
        EXPECT_LT(grid->model()->rowCount(), 1002); // fetched as shown, not the whole table
        EXPECT_EQ(Cell(browser.CurrentRow(), 0), "Motor 1500");
        EXPECT_FALSE(browser.findChild<QPushButton*>(QStringLiteral("WebUpdateButton"))->isEnabled());
        // Print without a printer too (the test platform has none): the print dialog writes PDF files.
        EXPECT_TRUE(browser.findChild<QPushButton*>(QStringLiteral("PrintButton"))->isEnabled());
        QTest::keyClicks(browser.findChild<QLineEdit*>(QStringLiteral("SearchEdit")), "twin");
        EXPECT_EQ(Cell(browser.CurrentRow(), 0), "Twin");
    }, "OkButton");
    EXPECT_TRUE(chosen);
    EXPECT_EQ(module.MotorTable()->Name(), "Twin");
    EXPECT_TRUE(module.MotorTable()->nameIndexActive());
    EXPECT_FALSE(Run("", [] {}, "CancelButton"));
}

TEST_F(Browser, FindSimilarOrdersByLikenessAndDeleteMarksTheRecord) {
    Run("Reference", [&] {
        browser.FindSimilarButtonClick();
        EXPECT_EQ(browser.OrderCode(), kLikenessOrder);
        EXPECT_EQ(browser.CurrentRow(), 0);
        EXPECT_EQ(Cell(0, 0), "Reference");
        EXPECT_EQ(Cell(1, 0), "Twin");
        browser.TitleClick(1);
        EXPECT_EQ(browser.OrderCode(), 1);
        EXPECT_EQ(Cell(browser.CurrentRow(), 0), "Reference");
        messages.ExpectQuestion("Are you sure you want to delete this entry?", NoButtonAnswer);
        browser.DeleteButtonClick();
        std::vector<std::string> told;
        TTableBrowser::SetRecordDeleted([&](ComponentTableKind kind, const std::string& name) {
            told.push_back(TypeNameOf(static_cast<int>(kind)) + " " + name);
        });
        messages.ExpectQuestion("Are you sure you want to delete this entry?", YesButton);
        browser.DeleteButtonClick();
        TTableBrowser::SetRecordDeleted({});
        EXPECT_EQ(told, std::vector<std::string>{"Motor Reference"});
        EXPECT_EQ(browser.OrderCode(), kNameOrder);
        EXPECT_EQ(browser.windowTitle(), "Motor Browser - 1001 Motors");
        EXPECT_EQ(Cell(browser.CurrentRow(), 0), "Twin");
    }, "CancelButton");
    EXPECT_FALSE(FindComponentByName(*module.MotorTable(), "Reference"));
    module.CloseComponentTables(); // the pack at exit removes it from the file
    auto reopened = testing::OpenIndexed(dir.file("MOTOR8.DBF"));
    EXPECT_EQ(reopened->storedCount(), 1001u);
}

} // namespace
} // namespace ampvane
