// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/report_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "analysis/report_json.h"
#include "analysis/report_layout.h"
#include "common/unit_conversion.h"
#include "model/electric_chain.h"
#include "model/fan.h"
#include "model/propeller.h"
#include "report_fixtures.h"
#include "support/recording_messages.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;

struct Built {
    Report report;
    ReportOutcome outcome = ReportOutcome::Closed;
};

Built Build(const PlaneDesc& plane, const AnalysisOptions& options, RecordingMessages& messages,
            ReportSettings settings = {}) {
    Built built;
    built.report.Settings = settings;
    built.outcome = BuildReport(built.report, ReportRequest{}, options, plane, messages, messages);
    return built;
}

std::vector<std::string> ColumnTexts(const ReportGrid& grid, ReportColumn quantity) {
    std::vector<std::string> texts;
    for (int r = 0; r < grid.RowCount(); ++r) texts.push_back(grid.Cell(r + 2, grid.Position(quantity)));
    return texts;
}

// A data cell's value in display units (the imperial ones are the internal units).
double Shown(const ReportGrid& grid, int dataRow, ReportColumn quantity) {
    return grid.Value(dataRow, grid.Position(quantity));
}

std::vector<std::string> Headers(const ReportGrid& grid) {
    std::vector<std::string> headers;
    for (const ReportGridColumn& column : grid.Columns)
        if (!column.Sequence) headers.push_back(column.Header0);
    return headers;
}

PlaneDesc NarrowPlane() {
    PlaneDesc plane = testing::GearedPropellerPlane();
    plane.Cell.SeriesCellsTo = plane.Cell.SeriesCellsFrom;
    DriveSystemDesc& d = plane.Drive;
    d.DiameterTo() = d.DiameterFrom();
    d.PitchTo() = d.PitchFrom();
    return plane;
}

TEST(StaticSweep, GearStepsOfOneTenthIncludeTheUpperBound) {
    RecordingMessages messages;
    PlaneDesc plane = NarrowPlane();
    plane.Drive.GearRatioFrom() = 1;
    plane.Drive.GearRatioTo() = 2;
    plane.Drive.GearRatioBy() = 0.1;
    const Built built = Build(plane, testing::SeaLevelOptions(), messages);
    const auto gears = ColumnTexts(built.report.Grid, ReportColumn::GearRatio);
    ASSERT_EQ(gears.size(), 11u);
    EXPECT_EQ(gears.front(), " 1.00");
    EXPECT_EQ(gears.back(), " 2.00");
}

TEST(StaticSweep, RowsNestCellsGearDiameterPitchInThatOrder) {
    RecordingMessages messages;
    PlaneDesc plane = testing::GearedPropellerPlane();
    plane.ParallelCellsTo = 2;
    plane.Drive.GearRatioTo() = 3.38;
    plane.Drive.DiameterTo() = 11;
    plane.Drive.PitchTo() = 7;
    const Built built = Build(plane, testing::SeaLevelOptions(), messages);
    const ReportGrid& grid = built.report.Grid;
    ASSERT_EQ(grid.RowCount(), 2 * 2 * 2 * 2 * 2);
    std::vector<std::string> keys;
    for (int r = 0; r < grid.RowCount(); ++r) {
        std::string key;
        for (const auto quantity : {ReportColumn::Cells, ReportColumn::GearRatio, ReportColumn::Diameter,
                                    ReportColumn::Pitch})
            key += std::string(TrimmedView(grid.Cell(r + 2, grid.Position(quantity)))) + " ";
        keys.push_back(key);
    }
    EXPECT_EQ(keys[0], "6S1P 2.38 10.0 6.0 ");
    EXPECT_EQ(keys[1], "6S1P 2.38 10.0 7.0 ");
    EXPECT_EQ(keys[2], "6S1P 2.38 11.0 6.0 ");
    EXPECT_EQ(keys[4], "6S1P 3.38 10.0 6.0 ");
    EXPECT_EQ(keys[8], "6S2P 2.38 10.0 6.0 ");
    EXPECT_EQ(keys[16], "7S1P 2.38 10.0 6.0 ");
    EXPECT_EQ(keys[31], "7S2P 3.38 11.0 7.0 ");
    // The sequence numbers are the grid rows the lines were written to.
    EXPECT_EQ(grid.Cell(2, grid.SequenceColumn), "2");
    EXPECT_EQ(grid.Cell(33, grid.SequenceColumn), "33");
}

TEST(StaticSweep, EqualBoundsOrNoStepEvaluateExactlyOneValue) {
    RecordingMessages messages;
    PlaneDesc plane = NarrowPlane();
    plane.Cell.SeriesCellsTo = 7;
    plane.Drive.GearRatioBy() = 0; // never typed this way, but it must not loop forever
    plane.Drive.DiameterBy() = 25;
    plane.Drive.PitchBy() = -1;
    const Built built = Build(plane, testing::SeaLevelOptions(), messages);
    EXPECT_EQ(built.report.Grid.RowCount(), 2);
    EXPECT_EQ(built.outcome, ReportOutcome::Shown);
}

TEST(StaticSweep, RangesBeyondTheLimitAreRefusedWithTheCountAsked) {
    PlaneDesc plane = testing::GearedPropellerPlane();
    plane.Cell.SeriesCellsFrom = 1;
    plane.Cell.SeriesCellsTo = 99;
    plane.ParallelCellsFrom = 1;
    plane.ParallelCellsTo = 2;
    plane.Drive.GearRatioFrom() = 1;
    plane.Drive.GearRatioTo() = 3;
    plane.Drive.GearRatioBy() = 0.5;
    plane.Drive.DiameterFrom() = 10;
    plane.Drive.DiameterTo() = 10;
    plane.Drive.PitchFrom() = 6;
    plane.Drive.PitchTo() = 8;
    plane.Drive.PitchBy() = 0; // no step: the first value only
    EXPECT_EQ(CountCombinations(plane), 99u * 2 * 5);
    plane.ParallelCellsTo = 3;
    plane.Drive.GearRatioFrom() = 0.01;
    plane.Drive.GearRatioTo() = 100;
    plane.Drive.GearRatioBy() = 0.001;
    const std::uint64_t asked = CountCombinations(plane);
    EXPECT_GE(asked, 99u * 3 * 99990);
    EXPECT_EQ(TooManyCombinationsMessage(20000001),
              "The ranges of cells, gear ratios, diameters and pitches give 20,000,001 combinations, more than the "
              "20,000,000 a report can hold. Please narrow the ranges or enlarge their increments.");
    RecordingMessages messages;
    messages.Expect(TooManyCombinationsMessage(asked));
    EXPECT_EQ(Build(plane, testing::SeaLevelOptions(), messages).outcome, ReportOutcome::Closed);
}

TEST(StaticSweep, ProgressCountsUpToTheTotalAndCancellingDropsEveryRow) {
    PlaneDesc plane = testing::GearedPropellerPlane();
    plane.Cell.SeriesCellsFrom = 1;
    plane.Cell.SeriesCellsTo = 10;
    plane.Drive.DiameterFrom() = 8;
    plane.Drive.DiameterTo() = 16;
    plane.Drive.DiameterBy() = 0.25;
    plane.Drive.PitchFrom() = 4;
    plane.Drive.PitchTo() = 10;
    plane.Drive.PitchBy() = 0.05;
    const std::uint64_t total = CountCombinations(plane);
    ASSERT_GT(total, 35000u); // a few blocks of the sweep
    std::vector<std::uint64_t> done;
    ReportRequest request;
    request.Progress = [&](std::uint64_t doneSoFar, std::uint64_t of) {
        EXPECT_EQ(of, total);
        done.push_back(doneSoFar);
        return true;
    };
    RecordingMessages messages;
    Report report;
    EXPECT_EQ(BuildReport(report, request, testing::SeaLevelOptions(), plane, messages, messages), ReportOutcome::Shown);
    ASSERT_GE(done.size(), 2u);
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_LE(done.back(), total);

    // Cancelled at the first report: no row is left and no message is given.
    request.Progress = [](std::uint64_t, std::uint64_t) { return false; };
    EXPECT_EQ(BuildReport(report, request, testing::SeaLevelOptions(), plane, messages, messages), ReportOutcome::Closed);
    EXPECT_EQ(report.Grid.RowCount(), 0);
}

TEST(StaticSweep, SingleRowOpensTheInFlightReportDirectly) {
    RecordingMessages messages;
    const Built built = Build(NarrowPlane(), testing::SeaLevelOptions(), messages);
    EXPECT_EQ(built.report.Grid.RowCount(), 1);
    EXPECT_EQ(built.outcome, ReportOutcome::OpenInFlight);
}

TEST(StaticSweep, ParallelEvaluationGivesTheOneThreadRowsInOrder) {
    RecordingMessages messages;
    PlaneDesc plane = testing::GearedPropellerPlane();
    testing::AddGlider(plane);
    plane.Cell.SeriesCellsTo = 8;
    plane.ParallelCellsTo = 2;
    plane.Drive.GearRatioFrom() = 1.5;
    plane.Drive.GearRatioTo() = 3;
    plane.Drive.GearRatioBy() = 0.25;
    plane.Drive.PitchBy() = 0.5;
    ReportSettings one;
    one.Parallel = false;
    const Built serial = Build(plane, testing::SeaLevelOptions(true), messages, one);
    const Built parallel = Build(plane, testing::SeaLevelOptions(true), messages);
    ASSERT_GT(serial.report.Grid.RowCount(), 300);
    ASSERT_EQ(serial.report.Grid.RowCount(), parallel.report.Grid.RowCount());
    const int columns = static_cast<int>(serial.report.Grid.Columns.size());
    for (int r = 2; r < serial.report.Grid.RowCount() + 2; ++r)
        for (int c = 0; c < columns; ++c)
            ASSERT_EQ(serial.report.Grid.Cell(r, c), parallel.report.Grid.Cell(r, c)) << "row " << r << ", " << c;
}

TEST(StaticSweep, NoRowWithFilterAsksAndTurnsOnlyTheReportsFilterOff) {
    PlaneDesc plane = testing::GearedPropellerPlane();
    plane.UseFilter = 1;
    plane.Filter.MinThrust = 1000;
    {
        RecordingMessages messages;
        messages.ExpectQuestion(kNoCombinationMessage, OkButton);
        Built built;
        built.outcome = BuildStaticReport(built.report, testing::SeaLevelOptions(), DisplayPlane{plane}, messages, messages);
        EXPECT_EQ(built.outcome, ReportOutcome::Shown);
        EXPECT_EQ(built.report.Grid.RowCount(), 18);
        EXPECT_EQ(built.report.Plane.UseFilter, 0);
        ASSERT_TRUE(built.report.ReceivedPlane);
        EXPECT_EQ(built.report.ReceivedPlane->asTyped.UseFilter, 1);
        EXPECT_EQ(built.report.Grid.Description[6], "");
    }
    {
        RecordingMessages messages;
        messages.ExpectQuestion(kNoCombinationMessage, CancelButton);
        EXPECT_EQ(Build(plane, testing::SeaLevelOptions(), messages).outcome, ReportOutcome::Closed);
    }
}

TEST(StaticSweep, NoRowWithoutFilterIsAnError) {
    RecordingMessages messages;
    messages.Expect(kUnableToComputeMessage);
    PlaneDesc plane = testing::GearedPropellerPlane();
    plane.Cell.Voltage = 0; // nothing turns
    EXPECT_EQ(Build(plane, testing::SeaLevelOptions(), messages).outcome, ReportOutcome::Closed);
    EXPECT_EQ(messages.messages().front().kind, MessageKind::Error);
}

TEST(StaticSweep, RowValuesAreThoseOfTheDriveSolve) {
    RecordingMessages messages;
    PlaneDesc plane = NarrowPlane();
    plane.ESC.HighRate = 0;
    const AnalysisOptions options = testing::SeaLevelOptions(true);
    const Built built = Build(plane, options, messages);
    ASSERT_EQ(built.report.Grid.RowCount(), 1);
    const ReportGrid& grid = built.report.Grid;
    const auto v = [&](ReportColumn quantity) { return Shown(grid, 0, quantity); };
    const DriveSystemDesc& d = plane.Drive;
    const PropDriveSolution drive = SolvePropDrive(
        6, 1, 1, true, 15, plane.Motor.HeatingFactor, options.DensityRatio, d.ThrustConstant(), d.PropConstant(), 2, 1,
        1, 1, 0, 6, 10, 0.95, 2.38, plane.ESC.Resistance, plane.Cell.Resistance, 1.2, plane.Motor.Weight,
        plane.Motor.ArmatureResistance, plane.Motor.IdleCurrent, plane.Motor.MotorConstant);
    ASSERT_FALSE(drive.Failed);
    EXPECT_DOUBLE_EQ(v(ReportColumn::MotorCurrent), drive.MotorCurrent);
    EXPECT_DOUBLE_EQ(v(ReportColumn::BatteryCurrent), drive.MotorCurrent);
    EXPECT_DOUBLE_EQ(v(ReportColumn::InputPower), drive.MotorCurrent * drive.MotorVoltage);
    EXPECT_DOUBLE_EQ(v(ReportColumn::Loss), v(ReportColumn::InputPower) - drive.OutputPower);
    EXPECT_DOUBLE_EQ(v(ReportColumn::MotorRpm), drive.Rpm * 2.38);
    EXPECT_NEAR(v(ReportColumn::ShaftEfficiency), drive.OutputPower / (6 * 1.2 * drive.MotorCurrent) * 100, 1e-9);
    EXPECT_NEAR(v(ReportColumn::PitchSpeed), 6 * drive.Rpm * 9.47e-4, 1e-9);
    EXPECT_EQ(v(ReportColumn::RunTime), RunTimeSeconds(1, 1700, drive.MotorCurrent));
    EXPECT_EQ(grid.Position(ReportColumn::RateOfClimb), -1); // no wing
}

TEST(FanSweep, RowUsesTheHeatedSolvesOwnMotorVoltage) {
    RecordingMessages messages;
    PlaneDesc plane = testing::DuctedFanPlane();
    plane.ParallelCellsTo = 1;
    const AnalysisOptions options = testing::SeaLevelOptions(true);
    const Built built = Build(plane, options, messages);
    ASSERT_EQ(built.report.Grid.RowCount(), 1);
    const auto v = [&](ReportColumn quantity) { return Shown(built.report.Grid, 0, quantity); };
    const DriveSystemDesc& d = plane.Drive;
    const MotorDesc8& m = plane.Motor;
    const FanDriveSolution drive =
        SolveFanDrive(10, 1, 1, true, 15, m.HeatingFactor, options.DensityRatio, d.FanPowerCoeff(), 1, 1, 0,
                      d.FanPitch(), d.HubDiameter(), d.FanDiameter(), plane.ESC.Resistance, plane.Cell.Resistance, 1.2,
                      m.Weight, m.ArmatureResistance, m.IdleCurrent, m.MotorConstant);
    ASSERT_FALSE(drive.Failed);
    const double coldVoltage = FanMotorVoltage(10, 1, 1, 1, 1, drive.Rpm, plane.ESC.Resistance, plane.Cell.Resistance,
                                               1.2, m.ArmatureResistance, m.MotorConstant);
    // The heated winding really does move the voltage, so the test tells the two apart.
    ASSERT_GT(std::fabs(coldVoltage - drive.MotorVoltage), 0.01);
    EXPECT_DOUBLE_EQ(v(ReportColumn::MotorVoltage), drive.MotorVoltage);
    EXPECT_DOUBLE_EQ(v(ReportColumn::InputPower), drive.MotorCurrent * drive.MotorVoltage);
    EXPECT_NEAR(v(ReportColumn::MotorGearboxEfficiency), drive.OutputPower / v(ReportColumn::InputPower) * 100, 1e-9);
    EXPECT_LT(v(ReportColumn::MotorGearboxEfficiency), 100);
    EXPECT_DOUBLE_EQ(v(ReportColumn::DriveRpm), drive.Rpm);
}

TEST(ReportColumns, PropellerWithWingAndWeight) {
    RecordingMessages messages;
    PlaneDesc plane = testing::GearedPropellerPlane();
    testing::AddGlider(plane);
    const Built built = Build(plane, testing::SeaLevelOptions(), messages);
    EXPECT_EQ(Headers(built.report.Grid),
              (std::vector<std::string>{"Cells", " Gear", "Diam", "Pitch", "Weight", " Batt", "Motor", "Motor",
                                        " Input", " InPLd", "  Loss", "MGbOut", "OutPLd", "MotGb", "Shaft", " Motor",
                                        "  Prop", "Thrust", " PSpd", " RofC", "  Time"}));
    EXPECT_EQ(built.report.Grid.Columns[0].Width, 6);
    EXPECT_FALSE(built.report.Grid.ShowColorKey() && !built.report.Grid.ShowPropStalledKey);
}

TEST(ReportColumns, PropellerWithoutWingOrWeightHasNoFlightColumnsOrKeys) {
    RecordingMessages messages;
    PlaneDesc plane = testing::GearedPropellerPlane();
    plane.Drive.GearRatioFrom() = plane.Drive.GearRatioTo() = 1; // direct drive: no motor rpm
    const Built built = Build(plane, testing::SeaLevelOptions(), messages);
    const ReportGrid& grid = built.report.Grid;
    EXPECT_EQ(Headers(grid), (std::vector<std::string>{"Cells", " Gear", "Diam", "Pitch", " Batt", "Motor", "Motor",
                                                       " Input", "  Loss", "MGbOut", "MotGb", "Shaft", "  Prop",
                                                       "Thrust", " PSpd", "  Time"}));
    EXPECT_TRUE(grid.ShowPropStalledKey);
    EXPECT_FALSE(grid.ShowStallKey || grid.ShowLevelOptKey || grid.ShowLevelKey);
    EXPECT_EQ(grid.Position(ReportColumn::Weight), -1);
    EXPECT_NE(grid.Description[3].find("direct drive"), std::string::npos);
}

// A range's caption names the largest value computed, not the bound typed: pitch 6 to 8.5 in steps of 1
// computes 6, 7 and 8; gear ratios 2 to 3.2 in steps of 0.5 compute 2, 2.5 and 3.
TEST(ReportDescription, RangesEndAtTheLargestValueComputed) {
    RecordingMessages messages;
    PlaneDesc plane = testing::GearedPropellerPlane();
    DriveSystemDesc& d = plane.Drive;
    d.PitchTo() = 8.5;
    d.GearRatioFrom() = 2;
    d.GearRatioTo() = 3.2;
    d.GearRatioBy() = 0.5;
    const Built built = Build(plane, testing::SeaLevelOptions(), messages);
    const std::string& line = built.report.Grid.Description[3];
    EXPECT_NE(line.find("10x6 to 12x8 "), std::string::npos) << line;
    EXPECT_NE(line.find("geared 2:1 to 3:1 "), std::string::npos) << line;
    double largestPitch = 0;
    const ReportGrid& grid = built.report.Grid;
    for (int row = 0; row < grid.RowCount(); ++row)
        largestPitch = std::max(largestPitch, std::stod(std::string(grid.Cell(row + 2, grid.Position(ReportColumn::Pitch)))));
    EXPECT_EQ(largestPitch, 8);
}

TEST(ReportColumns, DuctedFanHasNoPropellerColumns) {
    RecordingMessages messages;
    PlaneDesc plane = testing::DuctedFanPlane();
    testing::AddGlider(plane, 300, 30);
    const Built built = Build(plane, testing::SeaLevelOptions(), messages);
    const ReportGrid& grid = built.report.Grid;
    for (const auto absent : {ReportColumn::GearRatio, ReportColumn::Diameter, ReportColumn::Pitch,
                              ReportColumn::PropEfficiency, ReportColumn::TotalEfficiency, ReportColumn::MotorRpm})
        EXPECT_EQ(grid.Position(absent), -1);
    EXPECT_EQ(grid.Columns[grid.Position(ReportColumn::DriveRpm)].Header0, "   Fan");
    EXPECT_EQ(grid.Columns[grid.Position(ReportColumn::PitchSpeed)].Header0, "Efflx");
    EXPECT_NE(grid.Position(ReportColumn::RateOfClimb), -1);
    EXPECT_FALSE(grid.ShowPropStalledKey);

    // With a weight but no wing there is no climb to show.
    plane.Airframe.WingArea = 0;
    const Built wingless = Build(plane, testing::SeaLevelOptions(), messages);
    EXPECT_EQ(wingless.report.Grid.Position(ReportColumn::RateOfClimb), -1);
    EXPECT_NE(wingless.report.Grid.Position(ReportColumn::Weight), -1);
}

TEST(ReportColumns, UncheckedOptionsHideColumnsButKeepPositions) {
    RecordingMessages messages;
    ReportSettings settings;
    settings.ColumnsShown[static_cast<int>(ReportColumn::Loss)] = false;
    const Built built = Build(testing::GearedPropellerPlane(), testing::SeaLevelOptions(), messages, settings);
    const ReportGrid& grid = built.report.Grid;
    const int loss = grid.Position(ReportColumn::Loss);
    ASSERT_NE(loss, -1);
    EXPECT_FALSE(grid.Columns[loss].Visible());
    EXPECT_FALSE(grid.Cell(2, loss).empty());
    EXPECT_EQ(RowClipboardText(grid, 0).find("Loss"), std::string::npos);
}

TEST(ReportCells, MinimumDigitsExceptAirspeedAndMetricNewtons) {
    Report report;
    report.Plane = testing::GearedPropellerPlane();
    report.Options = testing::SeaLevelOptions();
    report.Options.MinDigits = 3;
    report.Parent = &report; // in-flight layout, for the airspeed column
    report.Flags = ComputeReportFlags(report.Plane);
    ReportRowValues v;
    v.MotorCurrent = 5.0;
    v.BatteryCurrent = 0.5;
    v.Airspeed = 12;
    v.Thrust = 36;
    const ReportGrid& grid = report.Grid;
    const auto store = [&] {
        LayOutReportColumns(report, report.Grid);
        StoreReportRow(report, v, report.Grid.Rows, report.Grid.Rows.Add());
    };
    const auto cell = [&](ReportColumn quantity) { return grid.Cell(2, grid.Position(quantity)); };
    store();
    EXPECT_EQ(cell(ReportColumn::MotorCurrent), " 5.00");
    EXPECT_EQ(cell(ReportColumn::BatteryCurrent), "0.500");
    EXPECT_EQ(cell(ReportColumn::Airspeed), "  12.0");

    report.Options.MinDigits = 0;
    report.Options.Metric = 1;
    report.Options.Newtons = 1;
    store();
    EXPECT_EQ(cell(ReportColumn::Thrust), "  9.99");
    EXPECT_EQ(grid.Columns[grid.Position(ReportColumn::Thrust)].Header1, "   (N)");
    EXPECT_EQ(cell(ReportColumn::Airspeed), "   5.4");
    EXPECT_NEAR(Shown(grid, 0, ReportColumn::Thrust), 36 * 0.27762, 1e-12);
}

TEST(InFlight, NarrowsToTheRowAndRunsUntilThrustFails) {
    RecordingMessages messages;
    const Built built = Build(testing::GearedPropellerPlane(), testing::SeaLevelOptions(), messages);
    ASSERT_EQ(built.report.Grid.RowCount(), 18);
    ReportOutcome outcome{};
    const auto inFlight = OpenInFlightReport(built.report, 4, false, messages, messages, &outcome);
    ASSERT_TRUE(inFlight);
    EXPECT_EQ(outcome, ReportOutcome::Shown);
    const PlaneDesc& plane = inFlight->Plane;
    EXPECT_EQ(plane.Cell.SeriesCellsFrom, 6);
    EXPECT_EQ(plane.Cell.SeriesCellsTo, 6);
    EXPECT_DOUBLE_EQ(plane.Drive.DiameterFrom(), 11);
    EXPECT_DOUBLE_EQ(plane.Drive.PitchTo(), 7);
    EXPECT_EQ(inFlight->RowLabel, "6");
    EXPECT_EQ(inFlight->Grid.Caption, "In-flight Analysis - Untitled");

    // Without a wing there is no drag: the sweep ends where the propeller's thrust gives out,
    // somewhat beyond its static pitch speed.
    const ReportGrid& grid = inFlight->Grid;
    ASSERT_GT(grid.RowCount(), 10);
    const double staticPitchSpeed = Shown(built.report.Grid, 4, ReportColumn::PitchSpeed);
    EXPECT_GT(grid.MaxLevelSpeed, staticPitchSpeed);
    EXPECT_LT(grid.MaxLevelSpeed, 1.6 * staticPitchSpeed);
    EXPECT_DOUBLE_EQ(Shown(grid, grid.RowCount() - 1, ReportColumn::Airspeed), grid.MaxLevelSpeed);
    EXPECT_EQ(grid.Position(ReportColumn::Drag), -1);
    EXPECT_EQ(grid.Columns[0].Header0, "AirSpd");
    // An in-flight report opens nothing further.
    EXPECT_FALSE(OpenInFlightReport(*inFlight, 0, false, messages, messages));
}

TEST(InFlight, MetricAirspeedStepsHalfAMetrePerSecond) {
    RecordingMessages messages;
    AnalysisOptions options = testing::SeaLevelOptions();
    options.Metric = 1;
    const Built built = Build(testing::GearedPropellerPlane(), options, messages);
    const auto inFlight = OpenInFlightReport(built.report, 0, false, messages, messages);
    ASSERT_TRUE(inFlight);
    const auto speeds = ColumnTexts(inFlight->Grid, ReportColumn::Airspeed);
    ASSERT_GT(speeds.size(), 3u);
    EXPECT_EQ(speeds[1], "   0.5");
    EXPECT_EQ(speeds[2], "   1.0");
    EXPECT_DOUBLE_EQ(Shown(inFlight->Grid, 3, ReportColumn::Airspeed), 3 * 1.1185 * kMetresPerSecondPerMph);
}

PlaneDesc PoweredGlider() {
    PlaneDesc plane = testing::GearedPropellerPlane();
    plane.Motor.MotorConstant = 2400;
    plane.Motor.IdleCurrent = 2.6;
    plane.Motor.ArmatureResistance = 0.055;
    testing::AddGlider(plane);
    return plane;
}

TEST(InFlight, MarkersStallSpeedKeyAndRowColours) {
    RecordingMessages messages;
    const Built built = Build(PoweredGlider(), testing::SeaLevelOptions(true), messages);
    const auto inFlight = OpenInFlightReport(built.report, 0, false, messages, messages);
    ASSERT_TRUE(inFlight);
    const ReportGrid& grid = inFlight->Grid;
    const AirframeDesc& a = inFlight->Plane.Airframe;
    EXPECT_NEAR(grid.StallSpeed, LevelFlightSpeed(inFlight->Options.DensityRatio, a.ClMax, a.WingArea,
                                                  TotalWeight(inFlight->Plane, 6, 1)),
                1e-9);
    ASSERT_TRUE(grid.Markers[1].Enabled && grid.Markers[2].Enabled);
    EXPECT_TRUE(grid.Markers[1].Feasible);
    EXPECT_GT(grid.Markers[1].Throttle, 0);
    EXPECT_LT(grid.Markers[1].Throttle, 1.001);
    EXPECT_TRUE(grid.Markers[0].Captured);
    EXPECT_DOUBLE_EQ(grid.Markers[0].RowMotorCurrent, Shown(grid, 0, ReportColumn::MotorCurrent));
    EXPECT_TRUE(grid.ShowStallKey && grid.ShowLevelOptKey && grid.ShowLevelKey);
    EXPECT_EQ(grid.StallKeyLabel, "Stall Speed @ Clmax=1.24");

    // Rows up to the stall speed are keyed, as is the row at each level-flight speed.
    const int stallRow = static_cast<int>(std::nearbyint(grid.StallSpeed));
    EXPECT_EQ(grid.Background(stallRow), RowBackground::BelowStall);
    EXPECT_EQ(grid.Background(stallRow + 1) == RowBackground::Plain ||
                  grid.Background(stallRow + 1) == RowBackground::LevelFlightOpt,
              true);
    const int optRow = static_cast<int>(std::nearbyint(grid.Markers[1].Speed));
    ASSERT_LT(optRow, grid.RowCount());
    EXPECT_EQ(grid.Background(optRow), RowBackground::LevelFlightOpt);
    // Without ducting and filter lines the statistics move up to line 6.
    const std::string& stats = grid.Description[5];
    EXPECT_EQ(stats.rfind("Stats: ", 0), 0u) << stats;
    EXPECT_EQ(grid.Description[6], "");
    EXPECT_NE(stats.find("mph opt @ "), std::string::npos);
    EXPECT_NE(stats.find("\xC2\xB0" "F)"), std::string::npos);
}

TEST(InFlight, LevelFlightOutOfReachShowsOnlyTheSpeed) {
    RecordingMessages messages;
    PlaneDesc plane = testing::GearedPropellerPlane();
    testing::AddGlider(plane, 660, 200); // far too heavy for this motor
    const Built built = Build(plane, testing::SeaLevelOptions(), messages);
    ASSERT_GT(built.report.Grid.RowCount(), 1);
    Report inFlight;
    inFlight.Plane = built.report.Plane;
    inFlight.Options = built.report.Options;
    inFlight.Parent = &built.report;
    inFlight.Flags = ComputeReportFlags(inFlight.Plane);
    LevelFlightMarker marker;
    marker.Enabled = true;
    const AirframeDesc& a = inFlight.Plane.Airframe;
    LevelFlightPoint(inFlight, 6, 1, marker, a.Cd, a.Cl, TotalWeight(inFlight.Plane, 6, 1), 6, 10, 2.38);
    EXPECT_FALSE(marker.Feasible);
    EXPECT_NEAR(marker.Throttle, 1.01, 1e-12);
}

TEST(InFlight, LevelFlightAtEveryThrottleEndsAtTheSmallestStep) {
    Report report;
    report.Plane = PoweredGlider();
    report.Options = testing::SeaLevelOptions();
    report.Flags = ComputeReportFlags(report.Plane);
    LevelFlightMarker marker;
    marker.Enabled = true;
    // No drag to overcome: every throttle setting sustains level flight.
    LevelFlightPoint(report, 6, 1, marker, 0, report.Plane.Airframe.Cl, TotalWeight(report.Plane, 6, 1), 6, 10, 2.38);
    EXPECT_TRUE(marker.Feasible);
    EXPECT_NEAR(marker.Throttle, 0.01, 1e-9);
    EXPECT_GT(marker.RunTime, 0);
}

// Generated hot fan systems: where the throttle step below the lowest sustaining one fails the fan solve,
// the marker must carry the voltage and temperature of the sustaining throttle, not the failed solve's zeros.
TEST(InFlight, LevelFlightKeepsTheLastSolvedDriveWhenTheNextLowerThrottleFails) {
    std::mt19937 random(23);
    const auto between = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    int failingSteps = 0;
    for (int trial = 0; trial < 2000 && failingSteps < 3; ++trial) {
        Report report;
        report.Plane = testing::DuctedFanPlane();
        PlaneDesc& plane = report.Plane;
        plane.Motor.MotorConstant = between(500, 6000);
        plane.Motor.ArmatureResistance = between(0.005, 0.5);
        plane.Motor.IdleCurrent = between(0.5, 5);
        plane.Motor.Weight = between(0.5, 10);
        plane.Motor.HeatingFactor = between(0.3, 5);
        plane.Drive.FanPitch() = between(1, 5);
        plane.Drive.FanDiameter() = between(1.5, 5);
        plane.Drive.HubDiameter() = 0.4 * plane.Drive.FanDiameter();
        const int cells = static_cast<int>(between(4, 30));
        testing::AddGlider(plane, between(100, 1500), between(5, 200));
        plane.Airframe.Cd *= between(0.01, 1); // a clean airframe needs little thrust
        report.Options = testing::SeaLevelOptions(true);
        report.Options.TemperatureC = between(-10, 45);
        report.Flags = ComputeReportFlags(plane);
        LevelFlightMarker marker;
        marker.Enabled = true;
        const AirframeDesc& a = plane.Airframe;
        LevelFlightPoint(report, cells, 1, marker, a.Cd, a.Cl, TotalWeight(plane, cells, 1), 0, 0, 1);
        if (!marker.Feasible || marker.Throttle < 0.015) continue;

        const DriveSystemDesc& d = plane.Drive;
        const auto solve = [&](double throttle) {
            return SolveFanDrive(cells, 1, plane.NumberOfESCs, true, report.Options.TemperatureC,
                                 plane.Motor.HeatingFactor, report.Options.DensityRatio, d.FanPowerCoeff(),
                                 plane.ParallelMotors, plane.SeriesMotors, marker.Speed, d.FanPitch(),
                                 d.HubDiameter(), d.FanDiameter(), plane.ESC.Resistance, plane.Cell.Resistance,
                                 plane.Cell.Voltage * throttle, plane.Motor.Weight, plane.Motor.ArmatureResistance,
                                 plane.Motor.IdleCurrent, plane.Motor.MotorConstant);
        };
        if (!solve(marker.Throttle - 0.01).Failed) continue;
        ++failingSteps;
        const FanDriveSolution sustaining = solve(marker.Throttle);
        ASSERT_FALSE(sustaining.Failed);
        EXPECT_NEAR(marker.MotorVoltage, sustaining.MotorVoltage, 1e-6 * sustaining.MotorVoltage) << trial;
        EXPECT_NEAR(marker.MotorTemperature, sustaining.MotorTemperature, 1e-6 * std::fabs(sustaining.MotorTemperature))
            << trial;
        EXPECT_NEAR(marker.MotorCurrent, sustaining.MotorCurrent, 1e-6 * sustaining.MotorCurrent) << trial;
    }
    EXPECT_GT(failingSteps, 0) << "no generated system reached a failing throttle step";
}

TEST(InFlight, RowsAreNeverFiltered) {
    RecordingMessages messages;
    PlaneDesc plane = testing::GearedPropellerPlane();
    plane.UseFilter = 1;
    plane.Filter.MinThrust = 0.001;
    Built built = Build(plane, testing::SeaLevelOptions(), messages);
    ASSERT_GT(built.report.Grid.RowCount(), 1);
    // A limit the in-flight rows break at rest, with the filter still on in the report's records.
    built.report.Plane.Filter.MinThrust = 1e9;
    ReportOutcome outcome{};
    const auto inFlight = OpenInFlightReport(built.report, 0, false, messages, messages, &outcome);
    ASSERT_TRUE(inFlight);
    EXPECT_EQ(outcome, ReportOutcome::Shown);
    EXPECT_GT(inFlight->Grid.RowCount(), 1);
    EXPECT_EQ(inFlight->Plane.UseFilter, 1);
    EXPECT_TRUE(messages.messages().empty());
}

TEST(InFlight, HalfThrottleHalvesTheCellVoltage) {
    RecordingMessages messages;
    PlaneDesc plane = NarrowPlane();
    plane.ESC.HighRate = 0;
    plane.UseFilter = 1;
    plane.Filter.MinThrust = 0.001; // passes at full throttle; part throttle is never filtered
    const Built built = Build(plane, testing::SeaLevelOptions(), messages);
    ASSERT_EQ(built.outcome, ReportOutcome::OpenInFlight);
    auto inFlight = OpenInFlightReport(built.report, 0, false, messages, messages);
    ASSERT_TRUE(inFlight);
    ASSERT_EQ(SetInFlightThrottle(*inFlight, 50, messages, messages), ReportOutcome::Shown);
    const ReportGrid& grid = inFlight->Grid;
    EXPECT_EQ(grid.Caption, "In-flight Analysis - Untitled at 50% Throttle");
    const DriveSystemDesc& d = plane.Drive;
    const PropDriveSolution half = SolvePropDrive(
        6, 1, 1, false, 15, plane.Motor.HeatingFactor, inFlight->Options.DensityRatio, d.ThrustConstant(),
        d.PropConstant(), 2, 1, 1, 1, 0, 6, 10, 0.95, 2.38, plane.ESC.Resistance, plane.Cell.Resistance, 0.6,
        plane.Motor.Weight, plane.Motor.ArmatureResistance, plane.Motor.IdleCurrent, plane.Motor.MotorConstant);
    ASSERT_FALSE(half.Failed);
    EXPECT_DOUBLE_EQ(Shown(grid, 0, ReportColumn::MotorCurrent), half.MotorCurrent);
    EXPECT_DOUBLE_EQ(Shown(grid, 0, ReportColumn::BatteryCurrent), half.MotorCurrent);
    // Back to full throttle, the caption loses its suffix and the records are unchanged.
    ASSERT_EQ(SetInFlightThrottle(*inFlight, 100, messages, messages), ReportOutcome::Shown);
    EXPECT_EQ(inFlight->Grid.Caption, "In-flight Analysis - Untitled");
    EXPECT_EQ(inFlight->Plane.Cell.Voltage, 1.2);
}

std::string AirframeDescription(const ReportGrid& grid) {
    for (const std::string& line : grid.Description)
        if (line.rfind("Airframe: ", 0) == 0) return line;
    return {};
}

TEST(ReportDescription, WingLoadingThatOverflowsIsLeftOut) {
    RecordingMessages messages;
    const Built normal = Build(PoweredGlider(), testing::SeaLevelOptions(), messages);
    EXPECT_NE(AirframeDescription(normal.report.Grid).find("oz/sq.ft"), std::string::npos);

    // Positive, so a wing, but weight / (area / 144) is beyond any double.
    PlaneDesc tiny = PoweredGlider();
    testing::AddGlider(tiny, 1e-306);
    for (const bool metric : {false, true}) {
        AnalysisOptions options = testing::SeaLevelOptions();
        options.Metric = metric;
        const Built built = Build(tiny, options, messages);
        const std::string line = AirframeDescription(built.report.Grid);
        EXPECT_NE(line.find("Great Planes Spectra"), std::string::npos) << line;
        EXPECT_EQ(line.find("INF"), std::string::npos) << line;
        EXPECT_EQ(line.find(metric ? "g/dm" : "oz/sq.ft"), std::string::npos) << line;
    }
}

TEST(ReportWeights, DriveWeightCountsTheFewerOfMotorsAndPropellers) {
    PlaneDesc plane = testing::GearedPropellerPlane();
    plane.Airframe.EmptyWeight = 30;
    plane.SeriesMotors = 2;
    plane.NumberOfProps = 4;
    plane.NumberOfESCs = 2;
    // 2 motors × 8.5 + 30 + 6 × 2 × 1.9 + 2 gearboxes × 1.2 + 2 × 1.0
    EXPECT_NEAR(TotalWeight(plane, 6, 2), 17 + 30 + 22.8 + 2.4 + 2, 1e-12);
    plane.NumberOfProps = 1;
    EXPECT_NEAR(TotalWeight(plane, 6, 2), 17 + 30 + 22.8 + 1.2 + 2, 1e-12);
    PlaneDesc fan = testing::DuctedFanPlane();
    fan.ParallelMotors = 2;
    fan.Airframe.EmptyWeight = 0;
    EXPECT_NEAR(TotalWeight(fan, 10, 1), 12 + 19 + 5 + 1.0, 1e-12);
}

} // namespace
} // namespace ampvane

namespace ampvane {
namespace {

TEST(ReportCells, FastTextEqualsTheGeneralFormatters) {
    // Every width and decimals the report uses, over values from tiny to far too wide, with both
    // separators: the fast cell text must never change a single character against FormatNumber
    // (and the padded cell, the count of cells and the run time against their plain forms), and a
    // JSON number must be what "%.17g" writes.
    const std::pair<int, int> formats[] = {{4, 1}, {5, 0}, {5, 1}, {5, 2}, {6, 0}, {6, 1}, {6, 2}};
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    const auto next = [&] {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        return state;
    };
    CellBuffer buffer;
    // A sort's key made from the number, where it is made, is the key of the cell's text bit for bit.
    std::size_t madeKeys = 0;
    const auto sameSortKey = [&](const CellFormat& format, double value, const NumberLocale& locale) {
        const auto key = CellSortKey(format, value, locale.decimal, locale.timeSeparator);
        if (!key) return true;
        ++madeKeys;
        const double read = ReportSortKey(CellText(format, value, 1, locale, buffer), locale.timeSeparator);
        return std::memcmp(&*key, &read, sizeof read) == 0;
    };
    for (const NumberLocale locale : {NumberLocale{'.', ':'}, NumberLocale{',', '.'}}) {
        for (int i = 0; i < 100000; ++i) {
            const double magnitude = std::pow(10.0, static_cast<double>(next() % 1400) / 100 - 4);
            double value = magnitude * static_cast<double>(next() % 1000000) / 1e6;
            if (next() % 4 == 0) value = -value;
            // Decimal ties such as 2.675, which no double holds exactly, and binary ties such as
            // 0.125, which it does.
            if (i % 4 == 1) value = static_cast<double>(next() % 2000000) / 1000 + 0.0005 * (next() % 2 ? 1 : -1);
            if (i % 4 == 2) value = static_cast<double>(next() % 800000) / 8;
            if (i % 4 == 3) value = static_cast<double>(next() % 200000) / 100 + 0.005;
            for (const auto& [width, decimals] : formats) {
                const std::string expected = FormatNumber(width, decimals, 0, value, locale);
                ASSERT_EQ(ReportCellNumber(width, decimals, 0, value, locale), expected)
                    << value << " " << width << "/" << decimals;
                ASSERT_EQ(CellText(CellFormat{CellKind::Number, width, decimals, 0, false}, value, 1, locale, buffer),
                          expected);
                ASSERT_TRUE(sameSortKey(CellFormat{CellKind::Number, width, decimals, 0, false}, value, locale))
                    << value << " " << width << "/" << decimals;
            }
            // With the report's extra digits, one format a value in turn.
            const auto& [width, decimals] = formats[i % std::size(formats)];
            ASSERT_EQ(CellText(CellFormat{CellKind::Number, width, decimals, 3, false}, value, 1, locale, buffer),
                      FormatNumber(width, decimals, 3, value, locale))
                << value << " " << width << "/" << decimals;
            ASSERT_TRUE(sameSortKey(CellFormat{CellKind::Number, width, decimals, 3, false}, value, locale)) << value;
            const auto whole = static_cast<std::int64_t>(next() % 200000) - (i % 7 == 0 ? 100000 : 0);
            ASSERT_EQ(CellText(CellFormat{CellKind::MinSec}, static_cast<double>(whole), 1, locale, buffer),
                      FormatMinSec(whole, locale));
            const auto parallel = static_cast<std::uint32_t>(next() % 12);
            const bool always = next() % 2 == 0;
            std::string cells = std::to_string(whole % 1000);
            if (parallel > 1 || always) cells += "S" + std::to_string(parallel) + "P";
            ASSERT_EQ(CellText(CellFormat{CellKind::Cells, 5, 0, 0, always}, static_cast<double>(whole % 1000), parallel,
                               locale, buffer),
                      PadLeft(cells, 5));
            ASSERT_EQ(CellText(CellFormat{CellKind::Sequence}, static_cast<double>(whole), 1, locale, buffer),
                      std::to_string(whole));
            double any = 0;
            const std::uint64_t bits = next();
            std::memcpy(&any, &bits, sizeof any);
            for (const double number : {value, any, value * 1e-300, value * 1e300}) {
                char printed[64];
                std::snprintf(printed, sizeof printed, "%.17g", number);
                ASSERT_EQ(JsonNumber(number), std::isfinite(number) ? printed : "null") << bits;
            }
        }
    }
    EXPECT_GT(madeKeys, 500'000u); // most cells, or the comparison above says little
    // A decimal mark the reading does not understand, and the other kinds of cell, are read as text.
    EXPECT_FALSE(CellSortKey(CellFormat{CellKind::Number, 5, 1, 0, false}, 2.5, '\'', ':'));
    EXPECT_EQ(CellSortKey(CellFormat{CellKind::Number, 5, 0, 0, false}, 2.4, '\'', ':'), 2.0);
    EXPECT_FALSE(CellSortKey(CellFormat{CellKind::MinSec}, 75, '.', ':'));
    EXPECT_FALSE(CellSortKey(CellFormat{CellKind::Cells, 5}, 3, '.', ':'));
    for (const double special : {0.0, -0.0, -0.04, 9999.96, 99999.6, 1e300, -1e300})
        EXPECT_EQ(ReportCellNumber(5, 1, 0, special, {}), FormatNumber(5, 1, 0, special, {})) << special;
    // Extra digits just below and above 1, 10 and 100, where rounding may carry into another digit.
    for (const double whole : {1.0, 10.0, 100.0})
        for (double step = 1; step > 1e-9; step /= 10)
            for (const double offset : {-6.0, -5.0, -4.0, -1.0, 0.0, 1.0, 5.0})
                for (const double sign : {1.0, -1.0}) {
                    const double near = sign * (whole + offset * step / 10);
                    for (const double value : {near, std::nextafter(near, 0.0), std::nextafter(near, 1e9 * sign)})
                        for (const auto& [width, decimals] : formats)
                            EXPECT_EQ(ReportCellNumber(width, decimals, 3, value, {}),
                                      FormatNumber(width, decimals, 3, value, {}))
                                << value << " " << width << "/" << decimals;
                }
    EXPECT_EQ(ReportCellNumber(5, 1, 3, 5.0, {}), " 5.00");
    // Full precision where 17 digits end in an exact tie (to even), and where the exponent changes.
    std::vector<double> edges = {1234567890123456.25, 1234567890123456.75, 0.5, 2.5e-4, 1e-4, 1e16, 9007199254740993.0};
    for (int power = -5; power <= 17; ++power) {
        const double exact = std::pow(10.0, power);
        for (const double near : {exact, std::nextafter(exact, 0.0), std::nextafter(exact, 1e300), exact * 0.99999999999999995})
            edges.insert(edges.end(), {near, -near});
    }
    for (std::uint64_t whole = 1; whole < (std::uint64_t{1} << 53); whole = whole * 3 + 1)
        for (const double fraction : {0.25, 0.5, 0.75, 0.125, 0.375})
            edges.push_back(static_cast<double>(whole) + fraction);
    for (const double number : edges) {
        char printed[64];
        std::snprintf(printed, sizeof printed, "%.17g", number);
        EXPECT_EQ(JsonNumber(number), printed) << number;
    }
}

} // namespace
} // namespace ampvane
