// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "data/name_lookup.h"
#include "data/table_test_support.h"
#include "data/table_text.h"
#include "data/ui/component_browsing.h"
#include "data/ui/table_browser.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "workbench/ui/parameter_input_form.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
using testing::RecordingMessages;
using testing::TempDir;

class ComponentCommandsWindow : public ::testing::Test {
protected:
    void Open(int measurementMode) {
        testing::MakeEmptyTables(dir.path().string());
        tables.OpenComponentTables();
        TableImportOptions options;
        ImportTableTextFrom(tables,
                            "Begin Ampvane8 Motor Table\nMOTORNAME\tMOTORSTANT\tIDLECRRENT\tARMATTANCE\tWEIGHT\tBRUSHLESS\n"
                            "Alpha 05\t900\t1\t0.1\t5\t\nAstro 05\t1100\t1.5\t0.05\t6.5\tYes\n"
                            "End Ampvane8 Motor Table\n",
                            "motors", options, quiet);
        settings.measurementMode = measurementMode;
        WorkbenchEnvironment env;
        env.settings = &settings;
        env.dataFolder = dir.path();
        env.messages = &messages;
        env.prompter = &messages;
        env.tables = &tables;
        env.browseComponent = KeptComponentBrowsing(
            tables, [this] { return BrowserUnits{settings.measurementMode, settings.forceInNewtons, {}}; }, messages,
            messages);
        form = std::make_unique<TParameterInputForm>(env);
    }
    QLineEdit* Edit(C id) { return qobject_cast<QLineEdit*>(form->Control(id)); }
    void Click(const char* name) { QTest::mouseClick(form->findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton); }
    // Clicks the motor group's Open and chooses the first motor containing `text` in the browser.
    void OpenMotor(const QString& text) {
        QTimer::singleShot(0, form.get(), [text] {
            auto* browser = qobject_cast<TTableBrowser*>(QApplication::activeModalWidget());
            ASSERT_NE(browser, nullptr);
            QTest::keyClicks(browser->findChild<QLineEdit*>(QStringLiteral("SearchEdit")), text);
            QTest::mouseClick(browser->findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
        });
        Click("LoadMotorButton");
    }

    TempDir dir;
    NullMessageSink quiet;
    TCompDataModule tables{{dir.path().string(), ""}, quiet};
    Settings settings;
    RecordingMessages messages;
    std::unique_ptr<TParameterInputForm> form;
};

TEST_F(ComponentCommandsWindow, OpenFillsTheMotorGroupInImperialUnits) {
    Open(0);
    OpenMotor("astro");
    EXPECT_EQ(Edit(C::MotorNameEdit)->text(), "Astro 05");
    EXPECT_EQ(Edit(C::MotorConstantEdit)->text(), "1100");
    EXPECT_EQ(Edit(C::MotorWeightEdit)->text(), "6.5");
    EXPECT_TRUE(form->Fields().ProjectModified());
    EXPECT_FALSE(form->Fields().GroupModified(ComponentGroup::Motor));
}

TEST_F(ComponentCommandsWindow, OpenFillsTheMotorGroupInMetricUnits) {
    Open(3);
    OpenMotor("astro");
    EXPECT_EQ(Edit(C::MotorNameEdit)->text(), "Astro 05");
    EXPECT_EQ(Edit(C::MotorWeightEdit)->text(), "184"); // 6.5 oz in grams, step 1
}

TEST_F(ComponentCommandsWindow, SaveUpperCasesAndANoToReplacingWritesNothing) {
    Open(0);
    QTest::keyClicks(Edit(C::MotorNameEdit), "zeta 10");
    QTest::keyClicks(Edit(C::MotorConstantEdit), "1500");
    Click("SaveMotorButton");
    EXPECT_EQ(Edit(C::MotorNameEdit)->text(), "Zeta 10");
    ASSERT_TRUE(FindComponentByName(*tables.MotorTable(), "Zeta 10"));

    OpenMotor("alpha");
    QTest::keyClick(Edit(C::MotorConstantEdit), Qt::Key_End);
    QTest::keyClicks(Edit(C::MotorConstantEdit), "0");
    messages.ExpectQuestion("The \"Alpha 05\" Motor already exists in the database. Are you sure you want to replace "
                            "it's characteristics?",
                            NoButtonAnswer);
    Click("SaveMotorButton");
    ASSERT_TRUE(FindComponentByName(*tables.MotorTable(), "Alpha 05"));
    EXPECT_EQ(tables.MotorTable()->Text("MOTORSTANT"), "900");
    // Opening over the unsaved change asks first; No leaves the group as it is.
    messages.ExpectQuestion("Discard changes to the \"Alpha 05\" Motor?", NoButtonAnswer);
    Click("LoadMotorButton");
    EXPECT_EQ(Edit(C::MotorConstantEdit)->text(), "9000");
}

} // namespace
} // namespace ampvane
