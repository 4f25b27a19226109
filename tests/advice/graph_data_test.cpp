// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/graph_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/report_builder.h"
#include "analysis/report_fixtures.h"
#include "support/recording_messages.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;

Report StaticGliderReport(RecordingMessages& messages) {
    PlaneDesc plane = testing::GearedPropellerPlane();
    testing::AddGlider(plane);
    Report report;
    BuildReport(report, ReportRequest{}, testing::SeaLevelOptions(), plane, messages, messages);
    return report;
}

TEST(GraphCells, ReadAsPlottedNumbers) {
    RecordingMessages messages;
    const NumberLocale locale;
    const std::pair<const char*, double> cases[] = {
        {"10:05", 605}, {"5:30", 330}, {"  0:07", 7}, {"4S2P", 4.02}, {" 5S1P ", 5.01}, {"12S", 12},
        {"", 0},        {"12.5", 12.5}, {"12,5", 12.5}, {"-3", -3},  {"  ", 0},
        {"1e308:-1e308:0", 0}, // overflows to no number at all: plotted at 0
    };
    for (const auto& [cell, value] : cases) EXPECT_NEAR(GraphCellValue(cell, locale, messages), value, 1e-9) << cell;
    messages.Expect("There is an invalid numeric value (n/a) in one of the fields. Using 0.0 instead.");
    EXPECT_EQ(GraphCellValue("n/a", locale, messages), 0);
}

TEST(GraphAxes, DefaultsPerReportKindAndStoredChoices) {
    RecordingMessages messages;
    const Report report = StaticGliderReport(messages);
    const ReportGrid& grid = report.Grid;
    EXPECT_EQ(GraphKindOf(grid), GraphKind::Static);
    const std::vector<std::string> items = GraphItemTexts(grid);
    ASSERT_EQ(items.size(), grid.Columns.size());
    const GraphColumns defaults = DefaultGraphColumns(grid);
    EXPECT_EQ(items[defaults.x], "Motor Amps");
    EXPECT_EQ(items[defaults.y1], "Prop RPM");
    EXPECT_EQ(items[defaults.y2], "MotGb Ef(%)");
    EXPECT_EQ(items[grid.Position(ReportColumn::RunTime)], "Time (sec)");
    EXPECT_EQ(items[grid.Position(ReportColumn::Cells)], "Cells");

    // Nothing stored, or texts no column has: the defaults. Stored texts select their columns.
    EXPECT_EQ(RestoreGraphColumns(grid, {}), defaults);
    EXPECT_EQ(RestoreGraphColumns(grid, {"Nonsense", "", "AirSpd (mph)", false}), defaults);
    const GraphColumns chosen{grid.Position(ReportColumn::Cells), grid.Position(ReportColumn::InputPower),
                              grid.Position(ReportColumn::Loss)};
    const GraphAxesChoice stored = StoreGraphColumns(grid, chosen, false);
    EXPECT_EQ(stored, (GraphAxesChoice{"Cells", "Input (W)", "Loss (W)", false}));
    EXPECT_EQ(RestoreGraphColumns(grid, stored), chosen);
    EXPECT_EQ(FindGraphColumn(grid, "motor_current"), defaults.x);
    EXPECT_EQ(FindGraphColumn(grid, " Prop RPM "), defaults.y1);
    EXPECT_EQ(FindGraphColumn(grid, "no such column"), -1);

    // In-flight reports plot against airspeed.
    const auto flight = OpenInFlightReport(report, 0, false, messages, messages);
    ASSERT_TRUE(flight);
    EXPECT_EQ(GraphKindOf(flight->Grid), GraphKind::InFlight);
    EXPECT_EQ(GraphItemText(flight->Grid, DefaultGraphColumns(flight->Grid).x), "AirSpd (mph)");
}

TEST(GraphAxes, ColumnsOfOneUnitShareTheScale) {
    RecordingMessages messages;
    const ReportGrid grid = StaticGliderReport(messages).Grid;
    const int input = grid.Position(ReportColumn::InputPower), loss = grid.Position(ReportColumn::Loss);
    const int rpm = grid.Position(ReportColumn::DriveRpm), efficiency = grid.Position(ReportColumn::MotorGearboxEfficiency);
    EXPECT_TRUE(GraphSameUnit(grid, input, loss));
    EXPECT_TRUE(GraphSameUnit(grid, rpm, rpm));
    EXPECT_FALSE(GraphSameUnit(grid, rpm, efficiency));
    EXPECT_FALSE(GraphSameUnit(grid, input, efficiency));
}

TEST(GraphPlot, EveryRowInGridOrderWithEqualXKeptApart) {
    RecordingMessages messages;
    const ReportGrid grid = StaticGliderReport(messages).Grid;
    const GraphColumns columns{grid.Position(ReportColumn::Cells), grid.Position(ReportColumn::RunTime),
                               grid.Position(ReportColumn::Diameter)};
    const GraphPlot plot = BuildGraphPlot(grid, columns, true, "Static Analysis - Untitled", messages);
    ASSERT_EQ(plot.left.size(), static_cast<std::size_t>(grid.RowCount()));
    ASSERT_EQ(plot.right.size(), plot.left.size());
    const NumberLocale locale{grid.DecimalSeparator, grid.TimeSeparator};
    for (int r = 0; r < grid.RowCount(); ++r) {
        const double cells = GraphCellValue(grid.Cell(r + 2, columns.x), locale, messages);
        EXPECT_DOUBLE_EQ(plot.left[r].x, cells * (1 + (r + 2) * 0.000001));
        EXPECT_EQ(plot.left[r].x, plot.right[r].x);
        EXPECT_DOUBLE_EQ(plot.left[r].y, GraphCellValue(grid.Cell(r + 2, columns.y1), locale, messages));
        if (r > 0 && GraphCellValue(grid.Cell(r + 1, columns.x), locale, messages) == cells) {
            EXPECT_GT(plot.left[r].x, plot.left[r - 1].x);
        }
    }
    EXPECT_EQ(plot.title, "Untitled");
    EXPECT_EQ(plot.xTitle, "Cells");
    EXPECT_EQ(plot.leftTitle, "Time (sec)");
    EXPECT_FALSE(plot.sameUnit);
    EXPECT_EQ(TextAfterFirstDash("Graph - Static - A - B"), "Static - A - B");
}

TEST(GraphPlot, AColumnOfNonNumbersWarnsOnceAndPlotsZero) {
    // The grid below stands for a report whose second column shows values that are no numbers;
    // each distinct warning is given once however many rows repeat it.
    ReportGrid grid;
    grid.Columns.resize(2);
    grid.Columns[0].Header0 = "Amps";
    grid.Columns[1].Header0 = "Drive";
    grid.Rows.SetColumns(2);
    for (int r = 0; r < 5; ++r) {
        const std::size_t row = grid.Rows.Add();
        grid.Rows.Numbers(row)[0] = r;
        grid.Rows.Numbers(row)[1] = r % 2 ? std::numeric_limits<double>::quiet_NaN() : HUGE_VAL;
    }
    RecordingMessages messages;
    messages.Expect("There is an invalid numeric value (INF) in one of the fields. Using 0.0 instead.");
    messages.Expect("There is an invalid numeric value (NAN) in one of the fields. Using 0.0 instead.");
    const GraphPlot plot = BuildGraphPlot(grid, {0, 1, 1}, true, "", messages);
    ASSERT_EQ(plot.left.size(), 5u);
    for (const GraphPoint& p : plot.left) EXPECT_EQ(p.y, 0);
    EXPECT_TRUE(plot.sameUnit);
}

} // namespace
} // namespace ampvane
