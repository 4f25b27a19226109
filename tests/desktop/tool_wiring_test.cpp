// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's openers of the estimator windows and the wiring wizard, as the program connects them.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <gtest/gtest.h>

#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "tool_window_wiring.h"
#include "tools/ui/airfoil_forms.h"
#include "tools/ui/drive_tool_forms.h"
#include "tools/ui/motor_tool_forms.h"
#include "tools/ui/tool_windows.h"
#include "tools/ui/wiring_wizard_form.h"
#include "workbench/ui/parameter_input_form.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;

struct Workbench {
    Workbench() {
        WorkbenchEnvironment env;
        env.settings = &settings;
        env.dataFolder = folder.path();
        env.messages = &messages;
        env.prompter = &messages;
        window = std::make_unique<TParameterInputForm>(env);
    }
    testing::TempDir folder;
    Settings settings;
    testing::RecordingMessages messages;
    std::unique_ptr<TParameterInputForm> window;
};

TEST(ToolWiring, EveryOpenerIsEnabledAndOpensItsWindow) {
    Workbench workbench;
    TToolWindows& tools = InstallToolWindows(*workbench.window, nullptr, workbench.messages, workbench.messages);
    struct Opener {
        const char* control;
        QWidget* (*window)(TToolWindows&);
        int drivePage = kPropellerPage; // the drive tools' menu items show on their own page only
    };
    const auto test = [](TToolWindows& t) -> QWidget* { return &t.TestData(); };
    const auto catalog = [](TToolWindows& t) -> QWidget* { return &t.CatalogData(); };
    const auto designer = [](TToolWindows& t) -> QWidget* { return &t.MotorDesigner(); };
    const auto prop = [](TToolWindows& t) -> QWidget* { return &t.PropConstant(); };
    const auto fan = [](TToolWindows& t) -> QWidget* { return &t.FanCoefficient(); };
    const auto pitch = [](TToolWindows& t) -> QWidget* { return &t.FanPitch(); };
    const auto lift = [](TToolWindows& t) -> QWidget* { return &t.LiftCoefficient(); };
    const auto wiring = [](TToolWindows& t) -> QWidget* { return &t.WiringWizard(); };
    // All nineteen: the group buttons, the menu items and the tool buttons.
    const Opener openers[] = {
        {"FanCoeffButton", fan, kDuctedFanPage},  {"FanCoefficientEstimatorItem", fan, kDuctedFanPage},
        {"PitchButton", pitch, kDuctedFanPage},   {"PitchCalculatorItem", pitch, kDuctedFanPage},
        {"TestDataInputButton", test},      {"EnterTestDataItem", test},      {"TestDataToolButton", test},
        {"CatalogDataButton", catalog},     {"EnterCatalogDataItem", catalog}, {"CatalogDataToolButton", catalog},
        {"BuildMotorButton", designer},     {"MotorDesignerItem", designer},  {"MotorDesignerToolButton", designer},
        {"PropConstButton", prop},          {"ConstantEstimatorItem", prop},  {"CLButton", lift},
        {"CoefficientCalculatorItem", lift}, {"WiringWizardItem", wiring},   {"WiringWizardToolButton", wiring},
    };
    for (const Opener& o : openers) {
        workbench.window->EditFields().SetDrivePage(o.drivePage);
        workbench.window->ShowFields();
        const QString name = QString::fromLatin1(o.control);
        if (auto* action = workbench.window->findChild<QAction*>(name)) {
            EXPECT_TRUE(action->isEnabled()) << o.control;
            action->trigger();
        } else {
            auto* button = workbench.window->findChild<QPushButton*>(name);
            ASSERT_NE(button, nullptr) << o.control;
            EXPECT_TRUE(button->isEnabled()) << o.control;
            button->click();
        }
        QWidget* window = o.window(tools);
        EXPECT_TRUE(window->isVisible()) << o.control;
        EXPECT_FALSE(window->isModal()) << o.control;
        window->close();
    }
}

// An estimator's Apply shows in the workbench at once, through the session's changed signal.
TEST(ToolWiring, AppliedResultsShowInTheWorkbench) {
    Workbench workbench;
    TToolWindows& tools = InstallToolWindows(*workbench.window, nullptr, workbench.messages, workbench.messages);
    workbench.window->EditFields().SetText(C::WingSpanEdit, "60");
    workbench.window->EditFields().SetText(C::WingAreaEdit, "500");
    workbench.window->ShowFields();
    auto* coefficients = workbench.window->findChild<QLabel*>(QStringLiteral("CoeffLabel1"));
    ASSERT_NE(coefficients, nullptr);
    const QString before = coefficients->text();
    workbench.window->findChild<QPushButton*>(QStringLiteral("CLButton"))->click();
    TLiftCoefficientForm& form = tools.LiftCoefficient();
    form.findChild<QSlider*>(QStringLiteral("AngleOfAttackSlider"))->setValue(8);
    form.ApplyButtonClick();
    EXPECT_NE(coefficients->text(), before);
    form.close();
}

} // namespace
} // namespace ampvane
