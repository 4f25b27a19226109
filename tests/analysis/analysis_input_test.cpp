// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/analysis_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/recording_messages.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
using testing::RecordingMessages;

// The smallest workbench that gathers: the required motor constants and one propeller size.
WorkbenchFields MinimalPropellerWorkbench() {
    WorkbenchFields fields;
    fields.SetText(C::MotorConstantEdit, "1200");
    fields.SetText(C::IdleCurrentEdit, "1.5");
    fields.SetText(C::ArmatureResistanceEdit, "0.1");
    fields.SetText(C::PropellerDiameterFromEdit, "10");
    fields.SetText(C::PropellerPitchFromEdit, "6");
    return fields;
}

WorkbenchFields MinimalFanWorkbench() {
    WorkbenchFields fields = MinimalPropellerWorkbench();
    fields.SetDrivePage(kDuctedFanPage);
    fields.SetText(C::FanDiameterEdit, "3");
    fields.SetText(C::FanPitchEdit, "2.5");
    fields.SetText(C::HubDiameterEdit, "1");
    return fields;
}

AnalysisOptionsInput Mode(int mode, bool newtons = false) {
    AnalysisOptionsInput options;
    options.measurementMode = mode;
    options.newtons = newtons;
    return options;
}

std::optional<AnalysisInput> Gather(const WorkbenchFields& fields, RecordingMessages& messages,
                                    const AnalysisOptionsInput& options = {}, const NumberLocale& locale = {}) {
    return GatherAnalysisInput(fields, options, locale, messages, messages);
}

// Expects gathering to stop with exactly this one message.
void ExpectRefused(const WorkbenchFields& fields, const std::string& message, const AnalysisOptionsInput& options = {}) {
    RecordingMessages messages;
    messages.Expect(message);
    EXPECT_FALSE(Gather(fields, messages, options)) << message;
    EXPECT_EQ(messages.messages().size(), 1u) << message;
}

TEST(GatherAnalysisInput, EmptyFieldsTakeTheirDefaults) {
    RecordingMessages messages;
    WorkbenchFields fields = MinimalPropellerWorkbench();
    fields.SetProjectName("Trainer");
    const auto input = Gather(fields, messages);
    ASSERT_TRUE(input);
    const PlaneDesc& p = input->plane.asTyped;
    EXPECT_EQ(p.ProjectName, "Trainer");
    EXPECT_EQ(p.Motor.MotorConstant, 1200);
    EXPECT_EQ(p.Motor.Weight, 0);
    EXPECT_EQ(p.Motor.HeatingFactor, 3.8);
    EXPECT_EQ(p.Cell.Capacity, 2000);
    EXPECT_EQ(p.Cell.Voltage, 1.2);
    EXPECT_EQ(p.Cell.CRating, 0);
    EXPECT_EQ(p.Cell.Resistance, 0.0055);
    EXPECT_EQ(p.Cell.Weight, 1.89);
    EXPECT_EQ(p.Cell.Chemistry, OtherChemistry);
    EXPECT_EQ(p.Drive.Kind, PropellerDrive);
    EXPECT_EQ(p.Drive.GearRatioFrom(), 2.38);
    EXPECT_EQ(p.Drive.GearRatioTo(), 2.38);
    EXPECT_EQ(p.Drive.GearRatioBy(), 0.01);
    EXPECT_DOUBLE_EQ(p.Drive.GearboxEfficiency(), 0.95);
    EXPECT_DOUBLE_EQ(p.Drive.PropConstant(), 1.0);
    EXPECT_EQ(p.Drive.ThrustConstant(), 0.95);
    EXPECT_EQ(p.Drive.DiameterTo(), 10);
    EXPECT_EQ(p.Drive.DiameterBy(), 0.01);
    EXPECT_EQ(p.Drive.PitchTo(), 6);
    EXPECT_EQ(p.Drive.Blades, 2);
    EXPECT_EQ(p.ESC.Resistance, 0.003);
    EXPECT_EQ(p.ESC.MaxCurrent, 0);
    EXPECT_EQ(p.ESC.Weight, 0.7);
    EXPECT_EQ(p.Airframe.WingArea, 0);
    EXPECT_EQ(p.Filter.MinEfficiency, 0);
    EXPECT_EQ(p.SeriesMotors, 1);
    EXPECT_EQ(p.ParallelMotors, 1);
    EXPECT_EQ(p.NumberOfProps, 1);
    EXPECT_EQ(p.Cell.SeriesCellsFrom, 7);
    EXPECT_EQ(p.Cell.SeriesCellsTo, 7);
    EXPECT_EQ(p.ParallelCellsFrom, 1);
    EXPECT_EQ(p.ParallelCellsTo, 1);
    EXPECT_EQ(p.NumberOfESCs, 1);
    EXPECT_EQ(p.UseFilter, 0);
}

TEST(GatherAnalysisInput, TypedValuesAndRanges) {
    RecordingMessages messages;
    WorkbenchFields fields = MinimalPropellerWorkbench();
    fields.SetText(C::GearRatioToEdit, "4");
    fields.SetText(C::PropellerDiameterToEdit, "10.5");
    fields.SetText(C::PropellerPitchToEdit, "9");
    fields.SetText(C::PropConstantEdit, "1,31");
    fields.SetText(C::CellTypeComboBox, "LiPo");
    fields.SetText(C::NumberOfCellsFromEdit, "3");
    fields.SetText(C::NumberOfCellsToEdit, "4");
    fields.SetChecked(C::UseFilterCheckBox, true);
    const auto input = Gather(fields, messages);
    ASSERT_TRUE(input);
    const PlaneDesc& p = input->plane.asTyped;
    EXPECT_EQ(p.Drive.GearRatioBy(), 1); // min(1, 4 - 2.38)
    EXPECT_DOUBLE_EQ(p.Drive.DiameterBy(), 0.5);
    EXPECT_EQ(p.Drive.PitchBy(), 1);
    EXPECT_DOUBLE_EQ(p.Drive.PropConstant(), 1.0);
    EXPECT_EQ(p.Cell.Chemistry, LiPo);
    EXPECT_EQ(p.Cell.SeriesCellsTo, 4);
    EXPECT_EQ(p.UseFilter, 1);
}

TEST(GatherAnalysisInput, DirectDriveIgnoresGearboxFields) {
    for (const auto& [from, to] : {std::pair{"", ""}, std::pair{"1", "1"}, std::pair{" 1.0 ", "1,0"}}) {
        RecordingMessages messages;
        WorkbenchFields fields = MinimalPropellerWorkbench();
        fields.SetText(C::GearRatioFromEdit, from);
        fields.SetText(C::GearRatioToEdit, to);
        fields.SetText(C::GearboxEfficiencyEdit, "80");
        fields.SetText(C::GearboxWeightEdit, "3");
        const auto input = Gather(fields, messages);
        ASSERT_TRUE(input) << from;
        EXPECT_EQ(input->plane.asTyped.Drive.GearboxEfficiency(), 1.0) << from;
        EXPECT_EQ(input->plane.asTyped.Drive.Weight, 0) << from;
        EXPECT_EQ(input->plane.asTyped.Drive.GearRatioFrom(), 1) << from;
    }
    RecordingMessages messages;
    WorkbenchFields geared = MinimalPropellerWorkbench();
    geared.SetText(C::GearRatioFromEdit, "1");
    geared.SetText(C::GearRatioToEdit, "2");
    geared.SetText(C::GearboxEfficiencyEdit, "80");
    geared.SetText(C::GearboxWeightEdit, "3");
    const auto input = Gather(geared, messages);
    ASSERT_TRUE(input);
    EXPECT_DOUBLE_EQ(input->plane.asTyped.Drive.GearboxEfficiency(), 0.8);
    EXPECT_EQ(input->plane.asTyped.Drive.Weight, 3);
}

TEST(GatherAnalysisInput, GearboxEfficiencyDefaultComesFromTheOptions) {
    RecordingMessages messages;
    AnalysisOptionsInput options;
    options.gearboxEfficiency = "92";
    auto input = Gather(MinimalPropellerWorkbench(), messages, options);
    ASSERT_TRUE(input);
    EXPECT_DOUBLE_EQ(input->plane.asTyped.Drive.GearboxEfficiency(), 0.92);
    for (const char* unusable : {"abc", "20", "101"}) {
        options.gearboxEfficiency = unusable;
        EXPECT_DOUBLE_EQ(TypicalGearboxEfficiency(options, {}), 95) << unusable;
    }
    options.gearboxEfficiency = "88,5";
    EXPECT_DOUBLE_EQ(TypicalGearboxEfficiency(options, {}), 88.5);
}

TEST(GatherAnalysisInput, RequiredFieldsAndTheFirstFailureStops) {
    WorkbenchFields fields = MinimalPropellerWorkbench();
    fields.SetText(C::MotorConstantEdit, "");
    fields.SetText(C::CellVoltageEdit, "9"); // also wrong, but never reached
    ExpectRefused(fields, "The value in the Motor Constant field is invalid.");

    fields = MinimalPropellerWorkbench();
    fields.SetText(C::IdleCurrentEdit, "0");
    fields.SetText(C::ArmatureResistanceEdit, "");
    ExpectRefused(fields, "The value in the No-load Current field is too small. It must be at least 0.001.");

    fields = MinimalPropellerWorkbench();
    fields.SetText(C::PropellerDiameterFromEdit, "");
    ExpectRefused(fields, "The value in the Minimum Propeller Diameter field is invalid.");

    fields = MinimalPropellerWorkbench();
    fields.SetText(C::CellVoltageEdit, "4.3");
    ExpectRefused(fields, "The value in the Cell Voltage field is too large. It must be at most 4.2.");
}

TEST(GatherAnalysisInput, RangesWhoseMinimumIsAnotherField) {
    WorkbenchFields fields = MinimalPropellerWorkbench();
    fields.SetText(C::GearRatioToEdit, "2");
    ExpectRefused(fields, "The value in the Maximum Gear Ratio field is too small. It must be at least 2.38.");

    fields = MinimalPropellerWorkbench();
    fields.SetText(C::PropellerPitchToEdit, "5.5");
    ExpectRefused(fields, "The value in the Maximum Propeller Pitch field is too small. It must be at least 6.");

    fields = MinimalPropellerWorkbench();
    fields.SetText(C::NumberOfCellsFromEdit, "6");
    fields.SetText(C::NumberOfCellsToEdit, "5");
    ExpectRefused(fields, "The value in the Maximum Number of Series Cells field is too small. It must be at least 6.");

    fields = MinimalPropellerWorkbench();
    fields.SetText(C::ParallelCellsToEdit, "10");
    ExpectRefused(fields, "The value in the Maximum Number of Parallel Cells field is too large. It must be at most 9.");
}

TEST(GatherAnalysisInput, OptionalLimitsEmptyMeansNoneButZeroIsRefused) {
    struct Case {
        C field;
        const char* message;
    };
    const std::vector<Case> cases = {
        {C::MaxCurrentEdit, "The value in the Maximum Current field is too small. It must be at least 0.1."},
        {C::MaxPowerLossEdit, "The value in the Maximum Power Loss field is too small. It must be at least 1."},
        {C::MinEfficiencyEdit, "The value in the Minimum Efficiency field is too small. It must be at least 1."},
        {C::MinThrustEdit, "The value in the Minimum Thrust field is too small. It must be at least 0.1."},
        {C::MinSpeedEdit, "The value in the Minimum Speed field is too small. It must be at least 1."},
        {C::MaxSpeedEdit, "The value in the Maximum Speed field is too small. It must be at least 1."},
        {C::MinTimeEdit, "The value in the Minimum Run Time field is too small. It must be at least 1."},
        {C::MaxPitchRatioEdit,
         "The value in the Maximum Pitch:Diameter Ratio field is too small. It must be at least 0.01."},
        {C::MaxRPMEdit, "The value in the Maximum Motor RPM field is too small. It must be at least 1."},
        {C::ESCMaxCurrentEdit, "The value in the Speed Control Max Current field is too small. It must be at least 0.1."},
        {C::CRatingEdit, "The value in the \"C\" Rating field is too small. It must be at least 0.1."},
    };
    for (const Case& c : cases) {
        WorkbenchFields fields = MinimalPropellerWorkbench();
        fields.SetText(c.field, "0");
        ExpectRefused(fields, c.message);
    }
}

TEST(GatherAnalysisInput, MetricLimitsAndDefaults) {
    WorkbenchFields fields = MinimalPropellerWorkbench();
    fields.SetText(C::MotorWeightEdit, "28301");
    ExpectRefused(fields, "The value in the Motor Weight field is too large. It must be at most 28300.", Mode(3));
    ExpectRefused(fields, "The value in the Motor Weight field is too large. It must be at most 1000.", Mode(1));

    // Propeller sizes are metric (cm) only in the all-metric mode.
    fields = MinimalPropellerWorkbench();
    fields.SetText(C::PropellerDiameterFromEdit, "200");
    ExpectRefused(fields, "The value in the Minimum Propeller Diameter field is too large. It must be at most 100.",
                  Mode(2));
    fields.SetText(C::PropellerDiameterFromEdit, "0.2");
    ExpectRefused(fields, "The value in the Minimum Propeller Diameter field is too small. It must be at least 0.254.",
                  Mode(3));

    fields = MinimalPropellerWorkbench();
    fields.SetText(C::WingAreaEdit, "645.3");
    ExpectRefused(fields, "The value in the Wing Area field is too large. It must be at most 645.2.", Mode(2));
    fields.SetText(C::WingAreaEdit, "");
    fields.SetText(C::MinSpeedEdit, "0.4");
    ExpectRefused(fields, "The value in the Minimum Speed field is too small. It must be at least 0.447.", Mode(2));

    RecordingMessages messages;
    const auto input = Gather(MinimalPropellerWorkbench(), messages, Mode(3));
    ASSERT_TRUE(input);
    EXPECT_EQ(input->plane.asTyped.Cell.Weight, 53.487);
    EXPECT_EQ(input->plane.asTyped.ESC.Weight, 19.81);
}

TEST(GatherAnalysisInput, MinimumThrustInEachForceUnit) {
    WorkbenchFields fields = MinimalPropellerWorkbench();
    fields.SetText(C::MinThrustEdit, "0.027762");
    RecordingMessages messages;
    const auto input = Gather(fields, messages, Mode(3, true));
    ASSERT_TRUE(input);
    EXPECT_EQ(input->plane.asTyped.Filter.MinThrust, 0.027762);
    fields.SetText(C::MinThrustEdit, "0.02776");
    ExpectRefused(fields, "The value in the Minimum Thrust field is too small. It must be at least 0.02776.",
                  Mode(3, true));
    fields.SetText(C::MinThrustEdit, "277.63");
    ExpectRefused(fields, "The value in the Minimum Thrust field is too large. It must be at most 277.62.",
                  Mode(3, true));
    fields.SetText(C::MinThrustEdit, "2.8");
    ExpectRefused(fields, "The value in the Minimum Thrust field is too small. It must be at least 2.83.", Mode(3));
    // Newtons apply only with metric weights.
    fields.SetText(C::MinThrustEdit, "1001");
    ExpectRefused(fields, "The value in the Minimum Thrust field is too large. It must be at most 1000.", Mode(1, true));
}

TEST(GatherAnalysisInput, MotorTypeGivesTheHeatingFactor) {
    struct Case {
        bool brushless, outRunner;
        double factor;
        bool storedOutRunner;
    };
    for (const Case& c : {Case{false, true, 3.8, false}, Case{true, false, 2.0, false}, Case{true, true, 3.8, true}}) {
        RecordingMessages messages;
        messages.AllowAny();
        WorkbenchFields fields = MinimalPropellerWorkbench();
        fields.SetChecked(C::MotorBrushlessCheckBox, c.brushless);
        fields.SetChecked(C::MotorOutRunnerCheckBox, c.outRunner);
        fields.SetChecked(C::ESCBrushlessCheckBox, c.brushless);
        const auto input = Gather(fields, messages);
        ASSERT_TRUE(input);
        EXPECT_EQ(input->plane.asTyped.Motor.HeatingFactor, c.factor);
        EXPECT_EQ(input->plane.asTyped.Motor.OutRunner, c.storedOutRunner);
        EXPECT_TRUE(messages.empty());
    }
}

TEST(GatherAnalysisInput, BrushlessMismatchAsksAndOnlyOkProceeds) {
    WorkbenchFields fields = MinimalPropellerWorkbench();
    fields.SetChecked(C::ESCBrushlessCheckBox, true);
    {
        RecordingMessages messages;
        messages.ExpectQuestion(kBrushlessControlBrushedMotorQuestion, CancelButton);
        EXPECT_FALSE(Gather(fields, messages));
        ASSERT_EQ(messages.messages().size(), 1u);
        const Message& asked = messages.messages()[0];
        EXPECT_EQ(asked.kind, MessageKind::Warning);
        EXPECT_EQ(asked.buttons, OkButton | CancelButton | HelpButton);
        EXPECT_EQ(asked.helpTopic, kSpeedControlBrushlessHelpTopic);
    }
    {
        RecordingMessages messages;
        messages.ExpectQuestion(kBrushlessControlBrushedMotorQuestion, OkButton);
        EXPECT_TRUE(Gather(fields, messages));
    }
    fields.SetChecked(C::ESCBrushlessCheckBox, false);
    fields.SetChecked(C::MotorBrushlessCheckBox, true);
    {
        RecordingMessages messages;
        messages.ExpectQuestion(kBrushedControlBrushlessMotorQuestion, HelpButton);
        EXPECT_FALSE(Gather(fields, messages));
        EXPECT_EQ(messages.messages()[0].kind, MessageKind::Error);
    }
}

TEST(GatherAnalysisInput, MotorsPerPropellerRule) {
    const std::vector<std::tuple<const char*, const char*, const char*, bool>> cases = {
        {"2", "1", "3", false}, {"2", "1", "4", true}, {"2", "2", "2", true},
        {"3", "2", "4", false}, {"1", "1", "", true},  {"3", "1", "1", true},
    };
    for (const auto& [series, parallel, props, accepted] : cases) {
        WorkbenchFields fields = MinimalPropellerWorkbench();
        fields.SetText(C::SeriesMotorsEdit, series);
        fields.SetText(C::ParallelMotorsEdit, parallel);
        fields.SetText(C::NumberOfPropsEdit, props);
        if (accepted) {
            RecordingMessages messages;
            EXPECT_TRUE(Gather(fields, messages)) << series << parallel << props;
        } else {
            ExpectRefused(fields, kMotorsPerPropellerMessage);
        }
    }
    RecordingMessages messages;
    WorkbenchFields fields = MinimalPropellerWorkbench();
    fields.SetText(C::SeriesMotorsEdit, "2");
    fields.SetText(C::ParallelMotorsEdit, "3");
    const auto input = Gather(fields, messages);
    ASSERT_TRUE(input);
    EXPECT_EQ(input->plane.asTyped.NumberOfProps, 6);
}

TEST(CheckSpeedControlCount, ListsTheDivisorsOfTheParallelMotors) {
    EXPECT_EQ(CheckSpeedControlCount(6, 3), "");
    EXPECT_EQ(CheckSpeedControlCount(6, 6), "");
    EXPECT_EQ(CheckSpeedControlCount(1, 1), "");
    EXPECT_EQ(CheckSpeedControlCount(6, 4),
              "There must be a whole number of parallel wired motors per speed control. Given that 6 parallel "
              "motor(s) were specified, permitted values for the Multiple Speed Controls field are 1, 2, 3, or 6.");
    EXPECT_EQ(CheckSpeedControlCount(2, 3),
              "There must be a whole number of parallel wired motors per speed control. Given that 2 parallel "
              "motor(s) were specified, permitted values for the Multiple Speed Controls field are 1 or 2.");
    EXPECT_NE(CheckSpeedControlCount(1, 2).find("field are 1."), std::string::npos);
    EXPECT_NE(CheckSpeedControlCount(4, 0), ""); // no division by zero

    WorkbenchFields fields = MinimalPropellerWorkbench();
    fields.SetText(C::ParallelMotorsEdit, "6");
    fields.SetText(C::MultipleESCsEdit, "4");
    ExpectRefused(fields, CheckSpeedControlCount(6, 4));
    fields.SetText(C::MultipleESCsEdit, "21");
    ExpectRefused(fields, "The value in the Multiple Speed Controls field is too large. It must be at most 20.");
}

TEST(GatherAnalysisInput, FanPage) {
    RecordingMessages messages;
    WorkbenchFields fields = MinimalFanWorkbench();
    fields.SetText(C::PropellerDiameterFromEdit, ""); // propeller fields are not read on the fan page
    auto input = Gather(fields, messages);
    ASSERT_TRUE(input);
    const DriveSystemDesc& fan = input->plane.asTyped.Drive;
    EXPECT_EQ(fan.Kind, FanDrive);
    EXPECT_DOUBLE_EQ(fan.IntakeDiameter(), std::sqrt(8.0));
    EXPECT_DOUBLE_EQ(fan.ExhaustDiameter(), std::sqrt(8.0));
    EXPECT_EQ(fan.IntakeLength(), 0);
    EXPECT_EQ(fan.FanThrustCoeff(), 0.96);
    EXPECT_EQ(fan.FanPowerCoeff(), 0.82);

    // A hub as large as the fan is accepted; the duct diameters then default to 0.
    fields.SetText(C::HubDiameterEdit, "3");
    input = Gather(fields, messages);
    ASSERT_TRUE(input);
    EXPECT_EQ(input->plane.asTyped.Drive.IntakeDiameter(), 0);
    EXPECT_EQ(input->plane.asTyped.Drive.ExhaustDiameter(), 0);

    fields.SetText(C::HubDiameterEdit, "3.1");
    ExpectRefused(fields, "The value in the Fan Hub Diameter field is too large. It must be at most 3.");
    fields.SetText(C::HubDiameterEdit, "1");
    fields.SetText(C::IntakeLengthEdit, "101");
    ExpectRefused(fields, "The value in the Fan Intake Length field is too large. It must be at most 100.");
}

TEST(GatherAnalysisInput, UnknownDrivePageSkipsTheDriveFields) {
    RecordingMessages messages;
    WorkbenchFields fields = MinimalPropellerWorkbench();
    fields.SetText(C::PropellerDiameterFromEdit, "");
    fields.SetDrivePage(2);
    const auto input = Gather(fields, messages);
    ASSERT_TRUE(input);
    EXPECT_EQ(input->plane.asTyped.Drive.Kind, 2);
    EXPECT_EQ(input->plane.asTyped.Drive.DiameterFrom(), 0);
}

TEST(SnapshotAnalysisOptions, EmptyFlyingFieldIsAStandardDay) {
    RecordingMessages messages;
    const auto options = SnapshotAnalysisOptions({}, {}, messages);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->Elevation, 0);
    EXPECT_EQ(options->Pressure, 29.92);
    EXPECT_DOUBLE_EQ(options->Temperature, 59);
    EXPECT_NEAR(options->TemperatureC, 15, 1e-3);
    EXPECT_NEAR(options->DensityRatio, 0.9479, 1e-4);
    EXPECT_EQ(options->Metric, 0);
    EXPECT_EQ(options->MinDigits, 0);

    AnalysisOptionsInput input = Mode(3, true);
    input.elevation = "1524"; // 5000 ft
    input.extraPrecision = true;
    input.printColours = true;
    const auto metric = SnapshotAnalysisOptions(input, {}, messages);
    ASSERT_TRUE(metric);
    EXPECT_EQ(metric->Pressure, 101.3);
    EXPECT_NEAR(metric->Temperature, 15 - 0.00198 * 1524 * 3.28084, 1e-9);
    EXPECT_EQ(metric->TemperatureC, metric->Temperature);
    EXPECT_EQ(metric->Metric, 1);
    EXPECT_EQ(metric->MetricPropSizes, 1);
    EXPECT_EQ(metric->MetricTempPress, 1);
    EXPECT_EQ(metric->Newtons, 1);
    EXPECT_EQ(metric->PrintColours, 1);
    EXPECT_EQ(metric->MinDigits, 3);

    input.temperature = "15";
    const auto warm = SnapshotAnalysisOptions(input, {}, messages);
    ASSERT_TRUE(warm);
    EXPECT_NEAR(warm->DensityRatio, 0.8168, 1e-4);
}

TEST(SnapshotAnalysisOptions, ModesSetTheirFlags) {
    RecordingMessages messages;
    const int expected[4][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}};
    for (int mode = 0; mode < 4; ++mode) {
        const auto options = SnapshotAnalysisOptions(Mode(mode), {}, messages);
        ASSERT_TRUE(options);
        EXPECT_EQ(options->MetricTempPress, expected[mode][0]) << mode;
        EXPECT_EQ(options->Metric, expected[mode][1]) << mode;
        EXPECT_EQ(options->MetricPropSizes, expected[mode][2]) << mode;
    }
}

TEST(SnapshotAnalysisOptions, NonNumericValuesWarnAndReadAsZero) {
    RecordingMessages messages;
    messages.Expect("There is an invalid numeric value (high) in one of the fields. Using 0,0 instead.");
    AnalysisOptionsInput input = Mode(1);
    input.elevation = "high";
    input.temperature = "15,5";
    const auto options = SnapshotAnalysisOptions(input, {',', ':'}, messages);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->Elevation, 0);
    EXPECT_EQ(options->TemperatureC, 15.5);
}

TEST(SnapshotAnalysisOptions, ConditionsWithoutAirDensityNameTheFieldAtFault) {
    struct Case {
        const char* elevation;
        const char* pressure; // kPa
        const char* temperature;
        const char* field;
    };
    const Case cases[] = {
        {"", "", "-300", "Air Temperature"},
        {"1e308", "", "", "Field Elevation"},
        {"200000", "101.3", "15", "Field Elevation"},
        {"200000", "", "", "Field Elevation"}, // the standard day's temperature follows the elevation
        {"0", "-200", "15", "Sea Level Pressure"},
        {"1e308", "-200", "-300", "Air Temperature"}, // the temperature fails whatever the rest
    };
    for (const Case& c : cases) {
        AnalysisOptionsInput input = Mode(1);
        input.elevation = c.elevation;
        input.pressure = c.pressure;
        input.temperature = c.temperature;
        RecordingMessages messages;
        messages.Expect(NoAirDensityMessage(c.field));
        std::optional<WorkbenchControl> failed = C::MotorNameEdit;
        DisplayPlane plane;
        AnalysisOptions options;
        EXPECT_FALSE(GatherAnalysisInput(MinimalPropellerWorkbench(), input, plane, options, {}, messages, messages,
                                         &failed));
        EXPECT_FALSE(failed) << c.field; // no workbench field is at fault
    }
    EXPECT_EQ(NoAirDensityMessage("Air Temperature"),
              "The Air Temperature set in the options gives no air density, so nothing can be computed. Please "
              "correct the Air Temperature in the options.");
}

TEST(GatherAnalysisInput, FailureNamesTheFieldTheMessageIsAbout) {
    struct Case {
        C field;
        const char* text;
        int page = kPropellerPage;
        C failed = C::MotorNameEdit; // when the message is about another field than the one changed
    };
    const Case cases[] = {
        {C::MotorConstantEdit, "0"},
        {C::CellVoltageEdit, "9"},
        {C::PropellerPitchToEdit, "1"},            // below the minimum pitch
        {C::HubDiameterEdit, "5", kDuctedFanPage}, // wider than the fan
        {C::MinThrustEdit, "x"},
        {C::NumberOfPropsEdit, "3", kPropellerPage, C::NumberOfPropsEdit},
        {C::ParallelMotorsEdit, "3", kPropellerPage, C::MultipleESCsEdit}, // with 2 speed controls
        {C::ESCBrushlessCheckBox, "", kPropellerPage, C::ESCBrushlessCheckBox},
    };
    for (const Case& c : cases) {
        WorkbenchFields fields = c.page == kDuctedFanPage ? MinimalFanWorkbench() : MinimalPropellerWorkbench();
        if (c.field == C::ParallelMotorsEdit) fields.SetText(C::MultipleESCsEdit, "2");
        if (c.field == C::NumberOfPropsEdit) fields.SetText(C::SeriesMotorsEdit, "2");
        if (c.field == C::ESCBrushlessCheckBox) fields.SetChecked(c.field, true);
        else fields.SetText(c.field, c.text);
        RecordingMessages messages;
        if (c.field == C::ESCBrushlessCheckBox)
            messages.ExpectQuestion(kBrushlessControlBrushedMotorQuestion, CancelButton);
        else
            messages.AllowAny();
        std::optional<WorkbenchControl> failed;
        DisplayPlane plane;
        AnalysisOptions options;
        EXPECT_FALSE(GatherAnalysisInput(fields, {}, plane, options, {}, messages, messages, &failed));
        ASSERT_EQ(messages.messages().size(), 1u) << ControlInfo(c.field).name;
        EXPECT_EQ(failed, c.failed == C::MotorNameEdit ? c.field : c.failed) << ControlInfo(c.field).name;
    }
}

TEST(ConvertToInternalUnits, MetricRecordsBecomeImperial) {
    RecordingMessages messages;
    WorkbenchFields fields = MinimalPropellerWorkbench();
    fields.SetText(C::GearRatioFromEdit, "3");
    fields.SetText(C::PropellerDiameterFromEdit, "25.4");
    fields.SetText(C::PropellerPitchFromEdit, "12.7");
    fields.SetText(C::MotorWeightEdit, "100");
    fields.SetText(C::GearboxWeightEdit, "50");
    fields.SetText(C::WingSpanEdit, "150");
    fields.SetText(C::WingAreaEdit, "30");
    fields.SetText(C::EmptyWeightEdit, "1000");
    fields.SetText(C::MinThrustEdit, "10");
    fields.SetText(C::MinSpeedEdit, "10");
    fields.SetText(C::MaxSpeedEdit, "20");
    auto input = Gather(fields, messages, Mode(3, true));
    ASSERT_TRUE(input);
    EXPECT_EQ(input->plane.asTyped.Airframe.MetricUnits, 1);
    const double aspectRatio = input->plane.asTyped.Airframe.AspectRatio;
    PlaneDesc plane = ConvertToInternalUnits(input->plane, input->options);
    EXPECT_NEAR(plane.Motor.Weight, 3.534, 1e-12);
    EXPECT_NEAR(plane.Cell.Weight, 53.487 * 0.03534, 1e-12);
    EXPECT_NEAR(plane.Drive.Weight, 1.767, 1e-12);
    EXPECT_NEAR(plane.ESC.Weight, 19.81 * 0.03534, 1e-12);
    EXPECT_NEAR(plane.Airframe.EmptyWeight, 35.34, 1e-12);
    EXPECT_NEAR(plane.Airframe.WingSpan, 59.055, 1e-12);
    EXPECT_NEAR(plane.Airframe.WingArea, 465, 1e-12);
    EXPECT_EQ(plane.Airframe.MetricUnits, 0);
    EXPECT_EQ(plane.Airframe.AspectRatio, aspectRatio);
    EXPECT_NEAR(plane.Filter.MinThrust, 36.0201, 1e-12);
    EXPECT_NEAR(plane.Filter.MinSpeed, 22.37, 1e-12);
    EXPECT_NEAR(plane.Filter.MaxSpeed, 44.74, 1e-12);
    EXPECT_NEAR(plane.Drive.DiameterFrom(), 9.99998, 1e-9);
    EXPECT_NEAR(plane.Drive.PitchTo(), 4.99999, 1e-9);
    EXPECT_EQ(plane.Drive.GearRatioFrom(), 3); // not a length

    // Metric weights but inch propellers: sizes stay; grams for thrust without newtons.
    input = Gather(fields, messages, Mode(2));
    ASSERT_TRUE(input);
    plane = ConvertToInternalUnits(input->plane, input->options);
    EXPECT_EQ(plane.Drive.DiameterFrom(), 25.4);
    EXPECT_NEAR(plane.Filter.MinThrust, 0.3534, 1e-12);

    // Imperial records are already internal.
    fields.SetText(C::PropellerDiameterFromEdit, "10");
    fields.SetText(C::PropellerPitchFromEdit, "6");
    input = Gather(fields, messages);
    ASSERT_TRUE(input);
    plane = ConvertToInternalUnits(input->plane, input->options);
    EXPECT_EQ(plane.Motor.Weight, 100);
    EXPECT_EQ(plane.Airframe.WingArea, 30);
}

TEST(ConvertToInternalUnits, FanLengthsFollowTheMetricFlag) {
    RecordingMessages messages;
    WorkbenchFields fields = MinimalFanWorkbench();
    fields.SetText(C::IntakeLengthEdit, "10");
    fields.SetText(C::ExhaustLengthEdit, "20");
    const auto input = Gather(fields, messages, Mode(2));
    ASSERT_TRUE(input);
    const PlaneDesc plane = ConvertToInternalUnits(input->plane, input->options);
    EXPECT_NEAR(plane.Drive.FanDiameter(), 3 * 0.3937, 1e-12);
    EXPECT_NEAR(plane.Drive.FanPitch(), 2.5 * 0.3937, 1e-12);
    EXPECT_NEAR(plane.Drive.HubDiameter(), 0.3937, 1e-12);
    EXPECT_NEAR(plane.Drive.IntakeDiameter(), std::sqrt(8.0) * 0.3937, 1e-12);
    EXPECT_NEAR(plane.Drive.ExhaustLength(), 7.874, 1e-12);
    EXPECT_EQ(plane.Drive.FanThrustCoeff(), 0.96);
}

} // namespace
} // namespace ampvane
