// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "project/workbench_fields.h"
#include "common/messages.h"
#include "wizard/generic_components.h"

namespace ampvane {
namespace {

TEST(GenericComponents, DriveNamesAndTheirParts) {
    EXPECT_TRUE(IsGenericDriveName("Generic 10x6in Prop"));
    EXPECT_TRUE(IsGenericDriveName("Generic 25,4x15,2cm Prop w/2.5:1 Gearbox"));
    EXPECT_FALSE(IsGenericDriveName("Generic 10x6in Prop w/2,5:1 Gearbox"));
    EXPECT_FALSE(IsGenericDriveName("generic 10x6in Prop"));
    EXPECT_FALSE(IsGenericDriveName("Generic 10x6in Prop "));
    const auto drive = ParseGenericDriveName("Generic 25,4x15,2cm Prop w/2.5:1 Gearbox");
    ASSERT_TRUE(drive);
    EXPECT_EQ(drive->diameter, "25,4");
    EXPECT_EQ(drive->pitch, "15,2");
    EXPECT_EQ(drive->unit, "cm");
    EXPECT_EQ(drive->gearRatio, "2.5");

    EXPECT_EQ(GenericDriveName(10, 6, 1.0, false), "Generic 10x6in Prop");
    EXPECT_EQ(GenericDriveName(10, 6, 2.5, false), "Generic 10x6in Prop w/2.5:1 Gearbox");
    EXPECT_EQ(GenericDriveName(10, 6, 1.0, true), "Generic 25.4x15.2cm Prop");
    EXPECT_EQ(GenericDriveName(10, 6, 1.005, false), "Generic 10x6in Prop");
}

TEST(GenericComponents, ApplyFillsTheWorkbenchInItsUnits) {
    NullMessageSink sink;
    using C = WorkbenchControl;
    WorkbenchFields metric;
    metric.SetDrivePage(kDuctedFanPage);
    ASSERT_TRUE(ApplyGenericDrive(metric, "Generic 10x6in Prop w/2.5:1 Gearbox", true, {',', ':'}, sink));
    EXPECT_EQ(metric.DrivePage(), kPropellerPage);
    EXPECT_EQ(metric.Text(C::PropellerDiameterFromEdit), "25,5");
    EXPECT_EQ(metric.Text(C::PropellerPitchFromEdit), "15,25");
    EXPECT_EQ(metric.Text(C::GearRatioFromEdit), "2,5");
    EXPECT_EQ(metric.Text(C::PropConstantEdit), "1,31");
    EXPECT_EQ(metric.Text(C::ThrustConstantEdit), "0,950");
    EXPECT_EQ(metric.Text(C::DriveSystemNameEdit), "Generic 10x6in Prop w/2.5:1 Gearbox");

    WorkbenchFields inches;
    ASSERT_TRUE(ApplyGenericDrive(inches, "Generic 25,4x15,2cm Prop", false, {}, sink));
    EXPECT_EQ(inches.Text(C::PropellerDiameterFromEdit), "10");
    EXPECT_EQ(inches.Text(C::PropellerPitchFromEdit), "6");
    EXPECT_EQ(inches.Text(C::GearRatioFromEdit), "");

    WorkbenchFields untouched;
    const WorkbenchFields before = untouched;
    EXPECT_FALSE(ApplyGenericDrive(untouched, "Generic 10x6in Prop w/2,5:1 Gearbox", false, {}, sink));
    EXPECT_FALSE(ApplyGenericSpeedControl(untouched, "Generic ESC", {}));
    EXPECT_EQ(untouched, before);

    WorkbenchFields esc;
    ASSERT_TRUE(ApplyGenericSpeedControl(esc, "Generic Brushless ESC", {',', ':'}));
    EXPECT_EQ(esc.Text(C::ESCResistanceEdit), "0,006");
    EXPECT_EQ(esc.Text(C::ESCWeightEdit), "1.5");
    EXPECT_TRUE(esc.Checked(C::ESCBrushlessCheckBox));
    EXPECT_TRUE(esc.Checked(C::ESCHighRateCheckBox));
    ASSERT_TRUE(ApplyGenericSpeedControl(esc, "Generic High Rate ESC", {}));
    EXPECT_EQ(esc.Text(C::ESCResistanceEdit), "0.003");
    EXPECT_FALSE(esc.Checked(C::ESCBrushlessCheckBox));
    EXPECT_TRUE(esc.Checked(C::ESCHighRateCheckBox));
}

} // namespace
} // namespace ampvane
