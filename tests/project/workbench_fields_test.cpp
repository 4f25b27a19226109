// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/workbench_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ampvane {
namespace {

using C = WorkbenchControl;

TEST(WorkbenchControls, FixedOrderOfTheProjectText) {
    std::vector<std::string> names;
    for (const WorkbenchControlInfo& c : WorkbenchControls()) names.emplace_back(c.name);
    const std::vector<std::string> expected = {
        "Drive_SystemGroup", "DriveSystemPages", "GearRatioToEdit", "GearRatioFromEdit",
        "PropellerDiameterFromEdit", "PropellerPitchFromEdit", "PropellerDiameterToEdit", "PropellerPitchToEdit",
        "GearRatioByEdit", "PropellerDiameterByEdit", "PropellerPitchByEdit", "PropellerBladesEdit",
        "NumberOfPropsEdit", "PropConstantEdit", "ThrustConstantEdit", "GearboxEfficiencyEdit", "GearboxWeightEdit",
        "IntakeDiameterEdit", "ExhaustDiameterEdit", "FanDiameterEdit", "IntakeLengthEdit", "ExhaustLengthEdit",
        "FanPitchEdit", "HubDiameterEdit", "FanThrustCoeffEdit", "FanPowerCoeffEdit", "FanWeightEdit",
        "DriveSystemNameEdit", "SeriesMotorsEdit", "ParallelMotorsEdit", "BatteryGroup", "CellCapacityEdit",
        "CellResistanceEdit", "CellNameEdit", "CellWeightEdit", "NumberOfCellsFromEdit", "NumberOfCellsToEdit",
        "CellVoltageEdit", "ParallelCellsFromEdit", "CRatingEdit", "CellTypeComboBox", "ParallelCellsToEdit",
        "MotorGroup", "MotorConstantEdit", "ArmatureResistanceEdit", "IdleCurrentEdit", "MotorWeightEdit",
        "MotorNameEdit", "MotorBrushlessCheckBox", "MotorOutRunnerCheckBox", "TempConfigNameEdit",
        "Speed_ControlGroup", "ESCNameEdit", "ESCResistanceEdit", "ESCWeightEdit", "ESCMaxCurrentEdit",
        "ESCHighRateCheckBox", "ESCBrushlessCheckBox", "MultipleESCsEdit", "WizardInfoEdit", "WireWizInfoEdit",
        "AirframeGroup", "WingAreaEdit", "EmptyWeightEdit", "AirframeNameEdit", "WingSpanEdit", "AirfoilInfoEdit",
        "DragInfoEdit", "FilterGroup", "FilterNameEdit", "MaxCurrentEdit", "MaxPowerLossEdit", "MinEfficiencyEdit",
        "MinThrustEdit", "MinSpeedEdit", "MaxSpeedEdit", "MinTimeEdit", "MaxPitchRatioEdit", "MaxRPMEdit",
        "UseFilterCheckBox"};
    EXPECT_EQ(names, expected);
    for (const WorkbenchControlInfo& c : WorkbenchControls()) EXPECT_EQ(FindWorkbenchControl(c.name), c.id);
    EXPECT_FALSE(FindWorkbenchControl("ParallelCellsEdit"));
    EXPECT_FALSE(FindWorkbenchControl(""));
}

TEST(WorkbenchControls, FieldNumbersGiveGroupsAndLengths) {
    EXPECT_EQ(ControlInfo(C::DriveSystemNameEdit).fieldNumber, 400);
    EXPECT_EQ(ControlInfo(C::FanWeightEdit).group, ComponentGroup::Drive);
    EXPECT_EQ(ControlInfo(C::IntakeLengthEdit).group, ComponentGroup::Airframe);
    EXPECT_EQ(ControlInfo(C::MaxRPMEdit).fieldNumber, 305);
    EXPECT_EQ(ControlInfo(C::NumberOfPropsEdit).group, ComponentGroup::None);
    EXPECT_EQ(ControlInfo(C::CellNameEdit).maxLength, 40);
    EXPECT_EQ(ControlInfo(C::CellCapacityEdit).maxLength, 20);
    EXPECT_EQ(ControlInfo(C::WizardInfoEdit).maxLength, 0);
    EXPECT_EQ(ControlInfo(C::CellTypeComboBox).kind, ControlKind::ComboBox);
    EXPECT_TRUE(ControlInfo(C::DragInfoEdit).hidden);
}

TEST(WorkbenchFields, DesignTimeState) {
    const WorkbenchFields fields;
    EXPECT_EQ(fields.Text(C::GearRatioFromEdit), "2.38");
    EXPECT_EQ(fields.Text("MotorConstantEdit"), "");
    EXPECT_EQ(fields.ProjectName(), "Untitled");
    EXPECT_EQ(fields.DrivePage(), kPropellerPage);
    EXPECT_FALSE(fields.ProjectModified());
    EXPECT_FALSE(fields.Enabled(C::MotorOutRunnerCheckBox));
}

TEST(WorkbenchFields, TextsAndChecksByNameOrId) {
    WorkbenchFields fields;
    EXPECT_TRUE(fields.SetText("MotorConstantEdit", "1200"));
    EXPECT_EQ(fields.Text(C::MotorConstantEdit), "1200");
    EXPECT_TRUE(fields.SetText(C::CellTypeComboBox, "LiPo"));
    EXPECT_EQ(fields.Text("CellTypeComboBox"), "LiPo");
    EXPECT_FALSE(fields.SetText("NoSuchEdit", "1"));
    EXPECT_FALSE(fields.SetText(C::MotorBrushlessCheckBox, "Y"));
    EXPECT_FALSE(fields.SetText(C::MotorGroup, "x"));
    EXPECT_EQ(fields.Text(C::MotorGroup), "");
    EXPECT_TRUE(fields.SetChecked("MotorBrushlessCheckBox", true));
    EXPECT_TRUE(fields.Checked(C::MotorBrushlessCheckBox));
    EXPECT_FALSE(fields.SetChecked(C::MotorNameEdit, true));
    EXPECT_FALSE(fields.Checked("MotorNameEdit"));
    EXPECT_FALSE(fields.Checked("NoSuchBox"));
}

TEST(WorkbenchFields, ChangesSetTheProjectAndGroupMarks) {
    WorkbenchFields fields;
    fields.SetText(C::IntakeDiameterEdit, "3");
    EXPECT_TRUE(fields.ProjectModified());
    EXPECT_TRUE(fields.GroupModified(ComponentGroup::Airframe));
    EXPECT_FALSE(fields.GroupModified(ComponentGroup::Drive));

    fields.ClearMarks();
    fields.SetText(C::SeriesMotorsEdit, "2"); // a project field: no group
    EXPECT_TRUE(fields.ProjectModified());
    for (int g = 0; g < kComponentGroupCount; ++g) EXPECT_FALSE(fields.GroupModified(static_cast<ComponentGroup>(g)));

    fields.ClearMarks();
    fields.SetText(C::SeriesMotorsEdit, "2"); // no change, no mark
    EXPECT_FALSE(fields.ProjectModified());
    fields.SetChecked(C::UseFilterCheckBox, true);
    EXPECT_FALSE(fields.ProjectModified());
    fields.SetChecked(C::ESCBrushlessCheckBox, true);
    EXPECT_TRUE(fields.GroupModified(ComponentGroup::SpeedControl));

    fields.ClearMarks();
    fields.SetText(C::MotorWeightEdit, "283", Marking::Keep);
    fields.SetDrivePage(kDuctedFanPage, Marking::Keep);
    EXPECT_FALSE(fields.ProjectModified());
    fields.SetDrivePage(kPropellerPage);
    EXPECT_TRUE(fields.ProjectModified());
    EXPECT_FALSE(fields.GroupModified(ComponentGroup::Drive));
    EXPECT_FALSE(fields.GroupModified(ComponentGroup::None));
}

TEST(WorkbenchFields, CopiesAreIndependentValues) {
    WorkbenchFields a;
    a.SetText(C::MotorNameEdit, "A");
    WorkbenchFields b = a;
    b.SetText(C::MotorNameEdit, "B");
    EXPECT_EQ(a.Text(C::MotorNameEdit), "A");
    EXPECT_FALSE(a == b);
    b.SetText(C::MotorNameEdit, "A");
    EXPECT_TRUE(a == b);
}

} // namespace
} // namespace ampvane
