// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/workbench_rules.h"

#include <gtest/gtest.h>

#include "support/recording_messages.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
using testing::RecordingMessages;

TEST(WorkbenchTitleAndUnits, TitleAndLabelsFollowTheMeasurementMode) {
    EXPECT_EQ(WorkbenchTitle("Untitled"), "Ampvane 8.09 Workbench - Untitled");

    const auto imperial = UnitLabelsFor(WorkbenchUnitsForMode(1, true));
    EXPECT_EQ(imperial.weight, "oz");
    EXPECT_EQ(imperial.length, "in");
    EXPECT_EQ(imperial.area, "sq.in");
    EXPECT_EQ(imperial.thrust, "oz"); // newtons only count with metric weights
    EXPECT_EQ(imperial.speed, "mph");

    const auto metricInchProps = UnitLabelsFor(WorkbenchUnitsForMode(2, false));
    EXPECT_EQ(metricInchProps.weight, "g");
    EXPECT_EQ(metricInchProps.length, "cm");
    EXPECT_EQ(metricInchProps.propSize, "in");
    EXPECT_EQ(metricInchProps.area, "dm \xC2\xB2");
    EXPECT_EQ(metricInchProps.thrust, "g");
    EXPECT_EQ(metricInchProps.speed, "m/s");

    const auto allMetric = UnitLabelsFor(WorkbenchUnitsForMode(3, true));
    EXPECT_EQ(allMetric.propSize, "cm");
    EXPECT_EQ(allMetric.thrust, "N");
}

TEST(WorkbenchCellChemistry, KnownChemistryLocksVoltageAndEmptyEntryUnlocksIt) {
    WorkbenchFields fields;
    fields.SetText(C::CellTypeComboBox, "LiPo");
    fields.ClearMarks();
    ApplyCellChemistry(fields, NumberLocale{',', ':'});
    EXPECT_EQ(fields.Text(C::CellVoltageEdit), "3,7");
    EXPECT_TRUE(fields.ReadOnly(C::CellVoltageEdit));
    EXPECT_TRUE(fields.GroupModified(ComponentGroup::Cell));

    fields.SetText(C::CellTypeComboBox, "");
    ApplyCellChemistry(fields, NumberLocale{});
    EXPECT_EQ(fields.Text(C::CellVoltageEdit), "3,7");
    EXPECT_FALSE(fields.ReadOnly(C::CellVoltageEdit));

    for (const auto& [chemistry, volts] :
         {std::pair{"LiNP", "3.3"}, std::pair{"NiCd", "1.2"}, std::pair{"NiMH", "1.2"}}) {
        fields.SetText(C::CellTypeComboBox, chemistry);
        ApplyCellChemistry(fields, NumberLocale{});
        EXPECT_EQ(fields.Text(C::CellVoltageEdit), volts) << chemistry;
    }
    // Only the exact name is a known chemistry.
    fields.SetText(C::CellTypeComboBox, "lipo");
    ApplyCellChemistry(fields, NumberLocale{});
    EXPECT_FALSE(fields.ReadOnly(C::CellVoltageEdit));
}

TEST(WorkbenchBrushlessRules, MotorOutRunnerAndSpeedControlHighRateFollowBrushless) {
    WorkbenchFields fields;
    EXPECT_FALSE(fields.Enabled(C::MotorOutRunnerCheckBox));
    SetMotorBrushless(fields, true);
    EXPECT_TRUE(fields.Enabled(C::MotorOutRunnerCheckBox));
    fields.SetChecked(C::MotorOutRunnerCheckBox, true);
    fields.ClearMarks();
    SetMotorBrushless(fields, false);
    EXPECT_FALSE(fields.Checked(C::MotorOutRunnerCheckBox));
    EXPECT_FALSE(fields.Enabled(C::MotorOutRunnerCheckBox));
    EXPECT_TRUE(fields.GroupModified(ComponentGroup::Motor));

    SetSpeedControlBrushless(fields, true);
    EXPECT_TRUE(fields.Checked(C::ESCHighRateCheckBox));
    EXPECT_FALSE(fields.Enabled(C::ESCHighRateCheckBox));
    SetSpeedControlBrushless(fields, false);
    EXPECT_TRUE(fields.Checked(C::ESCHighRateCheckBox)); // clearing only enables the box again
    EXPECT_TRUE(fields.Enabled(C::ESCHighRateCheckBox));

    // After a load the states follow the stored boxes without marking anything.
    fields.SetChecked(C::ESCBrushlessCheckBox, true, Marking::Keep);
    fields.ClearMarks();
    ApplyBrushlessStates(fields);
    EXPECT_FALSE(fields.Enabled(C::ESCHighRateCheckBox));
    EXPECT_FALSE(fields.ProjectModified());
}

TEST(WorkbenchCellCounts, PlusAndMinusKeepTheRangeOrdered) {
    RecordingMessages messages;
    WorkbenchFields fields;
    PressCountButton(fields, CountButton::NumCellsFromPlus, messages);
    EXPECT_EQ(fields.Text(C::NumberOfCellsFromEdit), "1");
    EXPECT_EQ(fields.Text(C::NumberOfCellsToEdit), "1");
    EXPECT_TRUE(fields.ProjectModified());

    fields.SetText(C::NumberOfCellsFromEdit, "99");
    fields.SetText(C::NumberOfCellsToEdit, "99");
    PressCountButton(fields, CountButton::NumCellsFromPlus, messages);
    PressCountButton(fields, CountButton::NumCellsToPlus, messages);
    EXPECT_EQ(fields.Text(C::NumberOfCellsFromEdit), "99");
    EXPECT_EQ(fields.Text(C::NumberOfCellsToEdit), "99");

    fields.SetText(C::ParallelCellsFromEdit, "5");
    fields.SetText(C::ParallelCellsToEdit, "3");
    PressCountButton(fields, CountButton::ParallelCellsToMinus, messages);
    EXPECT_EQ(fields.Text(C::ParallelCellsFromEdit), "2");
    EXPECT_EQ(fields.Text(C::ParallelCellsToEdit), "2");

    fields.SetText(C::ParallelCellsFromEdit, "9");
    PressCountButton(fields, CountButton::ParallelCellsFromPlus, messages);
    EXPECT_EQ(fields.Text(C::ParallelCellsFromEdit), "9"); // parallel cells stop at 9

    fields.SetText(C::ParallelCellsFromEdit, "1");
    PressCountButton(fields, CountButton::ParallelCellsFromMinus, messages);
    EXPECT_EQ(fields.Text(C::ParallelCellsFromEdit), "1");

    // A "to" button fills an empty "from" with the new "to".
    fields.SetText(C::NumberOfCellsFromEdit, "");
    fields.SetText(C::NumberOfCellsToEdit, "6");
    PressCountButton(fields, CountButton::NumCellsToPlus, messages);
    EXPECT_EQ(fields.Text(C::NumberOfCellsToEdit), "7");
    EXPECT_EQ(fields.Text(C::NumberOfCellsFromEdit), "7");
}

TEST(WorkbenchCellCounts, UnreadableCountWarnsAndCountsAsZero) {
    RecordingMessages messages;
    messages.Expect("There is an invalid numeric value (x) in one of the fields. Using 0 instead.");
    WorkbenchFields fields;
    fields.SetText(C::NumberOfCellsFromEdit, "x");
    fields.SetText(C::NumberOfCellsToEdit, "4");
    PressCountButton(fields, CountButton::NumCellsFromPlus, messages);
    EXPECT_EQ(fields.Text(C::NumberOfCellsFromEdit), "1");
    EXPECT_EQ(fields.Text(C::NumberOfCellsToEdit), "4");
}

TEST(WorkbenchCellCounts, KeysActAsButtonsOnlyInTheCountFields) {
    EXPECT_EQ(CountButtonForKey(C::NumberOfCellsFromEdit, '='), CountButton::NumCellsFromPlus);
    EXPECT_EQ(CountButtonForKey(C::NumberOfCellsToEdit, '_'), CountButton::NumCellsToMinus);
    EXPECT_EQ(CountButtonForKey(C::ParallelCellsFromEdit, '+'), CountButton::ParallelCellsFromPlus);
    EXPECT_EQ(CountButtonForKey(C::ParallelCellsToEdit, '-'), CountButton::ParallelCellsToMinus);
    EXPECT_FALSE(CountButtonForKey(C::ParallelCellsToEdit, '5'));
    EXPECT_FALSE(CountButtonForKey(C::MotorConstantEdit, '+'));
    EXPECT_EQ(CountButtonName(CountButton::ParallelCellsToMinus), "ParallelCellsToMinusButton");
}

TEST(WorkbenchFilterFields, RestrictionChangeTicksUseItAndScrollsByFieldNumber) {
    WorkbenchFields fields;
    EXPECT_TRUE(IsRestrictionField(C::MaxRPMEdit));
    EXPECT_FALSE(IsRestrictionField(C::FilterNameEdit));
    EXPECT_FALSE(IsRestrictionField(C::UseFilterCheckBox));
    fields.SetText(C::MinThrustEdit, "20");
    RestrictionFieldChanged(fields);
    EXPECT_TRUE(fields.Checked(C::UseFilterCheckBox));
    EXPECT_TRUE(fields.GroupModified(ComponentGroup::Filter));

    EXPECT_EQ(RestrictionScrollRows(301), 0);
    EXPECT_EQ(RestrictionScrollRows(304), 0);
    EXPECT_EQ(RestrictionScrollRows(310), 6);

    EXPECT_EQ(WheelScrollFor(704).box, WheelScrollBox::Coefficients);
    EXPECT_EQ(WheelScrollFor(704).pixelsPerStep, 8);
    EXPECT_EQ(WheelScrollFor(305).pixelsPerStep, 12);
    EXPECT_EQ(WheelScrollFor(0).box, WheelScrollBox::None);
    EXPECT_EQ(WheelScrollFor(401).box, WheelScrollBox::None);

    EXPECT_TRUE(DrivePageViewFor(kDuctedFanPage).pitchButtonVisible);
    EXPECT_FALSE(DrivePageViewFor(kDuctedFanPage).pitchRatioEnabled);
    EXPECT_TRUE(DrivePageViewFor(kPropellerPage).pitchRatioEnabled);
}

TEST(WorkbenchDropDowns, ValuesShowWithTheirDecimalsAndRevUpFollowsThePitch) {
    EXPECT_EQ(DropDownValueText(C::PropConstantEdit, 1.3100, NumberLocale{}), "1.31");
    EXPECT_EQ(DropDownValueText(C::ThrustConstantEdit, 0.9500, NumberLocale{',', ':'}), "0,95");
    EXPECT_EQ(DropDownValueText(C::GearboxEfficiencyEdit, 97.1234, NumberLocale{}), "97.123");

    RecordingMessages messages;
    messages.Expect(std::string(kRevUpPitchRangeMessage));
    WorkbenchFields fields;
    fields.SetText(C::PropellerPitchFromEdit, "8");
    fields.SetText(C::PropellerPitchToEdit, "10");
    fields.ClearMarks();
    ApplyRevUpPropConstant(fields, false, NumberLocale{}, messages);
    EXPECT_EQ(fields.Text(C::PropConstantEdit), "1.24");
    EXPECT_TRUE(fields.GroupModified(ComponentGroup::Drive));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].kind, MessageKind::Warning);
    EXPECT_EQ(messages.messages()[0].buttons, OkButton | HelpButton);

    fields.SetText(C::PropellerPitchFromEdit, "0.6");
    fields.SetText(C::PropellerPitchToEdit, "0,6");
    ApplyRevUpPropConstant(fields, false, NumberLocale{}, messages);
    EXPECT_EQ(fields.Text(C::PropConstantEdit), "0.5");

    // A pitch in cm is the same propeller as its inches.
    fields.SetText(C::PropellerPitchFromEdit, "25.4");
    fields.SetText(C::PropellerPitchToEdit, "");
    ApplyRevUpPropConstant(fields, true, NumberLocale{}, messages);
    EXPECT_EQ(fields.Text(C::PropConstantEdit), DropDownValueText(C::PropConstantEdit, RevUpPropConstant(10.0), {}));
}

TEST(WorkbenchDropDowns, RevUpWithoutPitchIsAnErrorAndEmptiesTheField) {
    RecordingMessages messages;
    messages.Expect(std::string(kRevUpNeedsPitchMessage));
    WorkbenchFields fields;
    fields.SetText(C::PropConstantEdit, "Rev Up");
    ApplyRevUpPropConstant(fields, false, NumberLocale{}, messages);
    EXPECT_EQ(fields.Text(C::PropConstantEdit), "");
    EXPECT_EQ(messages.messages().at(0).kind, MessageKind::Error);
}

TEST(WorkbenchUnitSwitch, RoundTripKeepsMarksAndRoundsToEachStep) {
    RecordingMessages messages;
    const NumberLocale locale;
    const WorkbenchUnits imperial = WorkbenchUnitsForMode(0, false);
    const WorkbenchUnits metric = WorkbenchUnitsForMode(3, false);
    WorkbenchFields fields;
    fields.SetText(C::MotorWeightEdit, "10");
    fields.SetText(C::CellWeightEdit, "1.89");
    fields.SetText(C::WingAreaEdit, "400");
    fields.SetText(C::MinSpeedEdit, "40");
    fields.SetText(C::FanDiameterEdit, "2.75");
    fields.SetText(C::PropellerDiameterFromEdit, "10");
    fields.SetText(C::MinThrustEdit, "16");
    fields.SetText(C::EmptyWeightEdit, "");
    fields.ClearMarks();

    ConvertWorkbenchUnits(fields, imperial, metric, locale, messages);
    EXPECT_EQ(fields.Text(C::MotorWeightEdit), "283");
    EXPECT_EQ(fields.Text(C::CellWeightEdit), "53.5");
    EXPECT_EQ(fields.Text(C::WingAreaEdit), "25.8");
    EXPECT_EQ(fields.Text(C::MinSpeedEdit), "18");
    EXPECT_EQ(fields.Text(C::FanDiameterEdit), "6.975");
    EXPECT_EQ(fields.Text(C::PropellerDiameterFromEdit), "25.5");
    EXPECT_EQ(fields.Text(C::MinThrustEdit), "453");
    EXPECT_EQ(fields.Text(C::EmptyWeightEdit), "");
    EXPECT_FALSE(fields.ProjectModified());
    EXPECT_FALSE(fields.GroupModified(ComponentGroup::Motor));

    ConvertWorkbenchUnits(fields, metric, imperial, locale, messages);
    EXPECT_EQ(fields.Text(C::MotorWeightEdit), "10");
    EXPECT_EQ(fields.Text(C::PropellerDiameterFromEdit), "10");
    EXPECT_FALSE(fields.ProjectModified());
}

// Switching there and back gives an untouched field its own text, however the conversion rounded;
// a field edited in between, or a third unit on the way, converts as usual.
TEST(WorkbenchUnitSwitch, ThereAndBackGivesUntouchedFieldsTheirText) {
    RecordingMessages messages;
    const NumberLocale locale;
    const WorkbenchUnits imperial = WorkbenchUnitsForMode(0, false), metric = WorkbenchUnitsForMode(3, false),
                         metricNewtons = WorkbenchUnitsForMode(3, true);
    struct Case {
        C id;
        const char* text;
        const char* switched;
    } cases[] = {
        {C::WingAreaEdit, "300", "19.4"},           {C::PropellerDiameterFromEdit, "9", "22.75"},
        {C::PropellerPitchFromEdit, "4.7", "12"},   {C::CellWeightEdit, "1.87", "52.9"},
        {C::MinSpeedEdit, "33", "15"},              {C::FanDiameterEdit, "2.71", "6.875"},
        {C::MinThrustEdit, "15.9", "450"},
    };
    UnitSwitchMemory memory;
    WorkbenchFields fields;
    for (const Case& c : cases) fields.SetText(c.id, c.text);
    ConvertWorkbenchUnits(fields, imperial, metric, locale, messages, &memory);
    for (const Case& c : cases) EXPECT_EQ(fields.Text(c.id), c.switched) << ControlInfo(c.id).name;
    ConvertWorkbenchUnits(fields, metric, imperial, locale, messages, &memory);
    for (const Case& c : cases) EXPECT_EQ(fields.Text(c.id), c.text) << ControlInfo(c.id).name;

    // Edited after the switch: the new text is converted.
    ConvertWorkbenchUnits(fields, imperial, metric, locale, messages, &memory);
    fields.SetText(C::WingAreaEdit, "19.40");
    ConvertWorkbenchUnits(fields, metric, imperial, locale, messages, &memory);
    EXPECT_EQ(fields.Text(C::WingAreaEdit), "301");
    // Grams to newtons is not the way back to ounces.
    fields.SetText(C::MinThrustEdit, "15.9");
    ConvertWorkbenchUnits(fields, imperial, metric, locale, messages, &memory);
    ConvertWorkbenchUnits(fields, metric, metricNewtons, locale, messages, &memory);
    EXPECT_EQ(fields.Text(C::MinThrustEdit), "4.41");
    ConvertWorkbenchUnits(fields, metricNewtons, imperial, locale, messages, &memory);
    EXPECT_EQ(fields.Text(C::MinThrustEdit), "15.9");
}

TEST(WorkbenchUnitSwitch, ThrustFollowsTheForceUnitOnlyInMetricMode) {
    RecordingMessages messages;
    const NumberLocale locale;
    WorkbenchFields fields;
    fields.SetText(C::MinThrustEdit, "36");
    // Newtons in imperial mode change nothing.
    ConvertWorkbenchUnits(fields, WorkbenchUnitsForMode(0, false), WorkbenchUnitsForMode(0, true), locale, messages);
    EXPECT_EQ(fields.Text(C::MinThrustEdit), "36");
    ConvertWorkbenchUnits(fields, WorkbenchUnitsForMode(0, true), WorkbenchUnitsForMode(2, true), locale, messages);
    EXPECT_EQ(fields.Text(C::MinThrustEdit), "9.99");
    ConvertWorkbenchUnits(fields, WorkbenchUnitsForMode(2, true), WorkbenchUnitsForMode(2, false), locale, messages);
    EXPECT_EQ(fields.Text(C::MinThrustEdit), "1018");
    // Only the propeller sizes switch: weights stay.
    fields.SetText(C::MotorWeightEdit, "283");
    fields.SetText(C::PropellerPitchFromEdit, "8");
    ConvertWorkbenchUnits(fields, WorkbenchUnitsForMode(2, false), WorkbenchUnitsForMode(3, false), locale, messages);
    EXPECT_EQ(fields.Text(C::MotorWeightEdit), "283");
    EXPECT_EQ(fields.Text(C::PropellerPitchFromEdit), "20.25");
}

TEST(WorkbenchAirframeCoefficients, LinesCarryTheirLabelsAndDecimals) {
    WorkbenchFields fields;
    fields.SetText(C::WingSpanEdit, "60");
    fields.SetText(C::WingAreaEdit, "600");
    const auto lines = AirframeCoefficientLines(fields, false, NumberLocale{});
    EXPECT_EQ(lines[0].rfind("Cl=", 0), 0u);
    EXPECT_EQ(lines[4].rfind("  Cdp=", 0), 0u);
    EXPECT_EQ(lines[7].rfind("LDmax=", 0), 0u);
    // Cd shows three decimals.
    EXPECT_EQ(lines[3].size() - lines[3].find('.') - 1, 3u);
    EXPECT_NE(lines[7], "LDmax=0.00");

    // Text typed so far that is no number gives no message and no NaN.
    fields.SetText(C::WingAreaEdit, "6x");
    for (const auto& line : AirframeCoefficientLines(fields, false, NumberLocale{}))
        EXPECT_EQ(line.find("nan"), std::string::npos) << line;
    EXPECT_TRUE(AffectsAirframeCoefficients(C::DragInfoEdit));
    EXPECT_FALSE(AffectsAirframeCoefficients(C::AirframeNameEdit));
}

} // namespace
} // namespace ampvane
