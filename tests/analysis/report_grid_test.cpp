// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/report_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "analysis/report_builder.h"
#include "report_fixtures.h"

namespace ampvane {
namespace {

// One hand-made row: series and parallel cells, run time (s) and loss (W).
struct SmallRow {
    int Series = 1;
    std::uint32_t Parallel = 1;
    double Seconds = 0;
    double Loss = 0;
};

// A small grid: Cells, Time, a hidden Loss column and the sequence number.
ReportGrid SmallGrid(const std::vector<SmallRow>& rows) {
    ReportGrid grid;
    grid.Columns = {{ReportColumn::Cells, false, "Cells", "     ", 6, {CellKind::Cells, 5}},
                    {ReportColumn::RunTime, false, "  Time", " (m:s)", 7, {CellKind::MinSec}},
                    {ReportColumn::Loss, false, "  Loss", "   (W)", -1, {CellKind::Number, 6, 1}},
                    {ReportColumn::Airspeed, true, "", "", -1, {CellKind::Sequence}}};
    grid.SequenceColumn = 3;
    grid.Rows.SetColumns(3);
    for (const SmallRow& row : rows) {
        const std::size_t r = grid.Rows.Add();
        grid.Rows.Numbers(r)[0] = row.Series;
        grid.Rows.Numbers(r)[1] = row.Seconds;
        grid.Rows.Numbers(r)[2] = row.Loss;
        grid.Rows.SetParallelCells(r, row.Parallel);
    }
    return grid;
}

std::vector<std::string> Column(const ReportGrid& grid, int column) {
    std::vector<std::string> texts;
    for (int r = 0; r < grid.RowCount(); ++r) texts.push_back(grid.Cell(r + 2, column));
    return texts;
}

TEST(ReportSorting, TimeSortsByMinutesThenSeconds) {
    ReportGrid grid = SmallGrid({{7, 1, 605, 1}, {7, 1, 599, 2}, {7, 1, 30, 3}});
    SortReportRows(grid, 1, true);
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"  0:30", "  9:59", " 10:05"}));
}

TEST(ReportSorting, CellsTextReadsAsSeriesDotParallel) {
    EXPECT_DOUBLE_EQ(ReportSortKey(" 5S2P", ':'), 5.2);
    EXPECT_DOUBLE_EQ(ReportSortKey("   12", ':'), 12);
    EXPECT_DOUBLE_EQ(ReportSortKey(" 12:07", ':'), 12.07);
    EXPECT_DOUBLE_EQ(ReportSortKey(" 1,5", ':'), 1.5);
    EXPECT_DOUBLE_EQ(ReportSortKey("garbage", ':'), 0);
    EXPECT_DOUBLE_EQ(ReportSortKey("1e999", ':'), 0);
    ReportGrid grid = SmallGrid({{6, 1, 60}, {5, 2, 60}, {5, 1, 60}});
    grid.Columns[0].Format.AlwaysParallel = true;
    SortReportRows(grid, 0, false);
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{" 6S1P", " 5S2P", " 5S1P"}));
}

TEST(ReportSorting, TiesBreakOnFollowingVisibleColumnsOnly) {
    // The hidden Loss column would order the rows the other way; it must not take part.
    ReportGrid grid = SmallGrid({{7, 1, 120, 1}, {7, 1, 60, 9}, {6, 1, 180, 5}});
    SortReportRows(grid, 0, true);
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"  3:00", "  1:00", "  2:00"}));
    EXPECT_EQ(Column(grid, 3), (std::vector<std::string>{"4", "3", "2"}));
}

// A random power system in one of the report's layouts: propeller or fan, with or without an
// airframe, imperial or metric, grams or newtons, inches or centimetres, 0 or 3 digits, '.' or ','.
Report RandomReport(std::mt19937& random) {
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    PlaneDesc plane = pick(3) == 0 ? testing::DuctedFanPlane() : testing::GearedPropellerPlane();
    if (pick(2)) testing::AddGlider(plane, 300 + pick(700), 15 + pick(40));
    plane.Cell.SeriesCellsFrom = 4 + pick(4);
    plane.Cell.SeriesCellsTo = plane.Cell.SeriesCellsFrom + pick(4);
    plane.ParallelCellsFrom = 1;
    plane.ParallelCellsTo = 1 + pick(2);
    if (plane.Drive.Kind == PropellerDrive) {
        DriveSystemDesc& d = plane.Drive;
        d.GearRatioFrom() = 1 + 0.5 * pick(4);
        d.GearRatioTo() = d.GearRatioFrom() + 0.5 * pick(3);
        d.GearRatioBy() = 0.5;
        d.DiameterFrom() = 8 + pick(4);
        d.DiameterTo() = d.DiameterFrom() + pick(4);
        d.DiameterBy() = pick(2) ? 0.5 : 1;
        d.PitchFrom() = 4 + pick(3);
        d.PitchTo() = d.PitchFrom() + pick(4);
        d.PitchBy() = pick(2) ? 0.5 : 1;
    }
    AnalysisOptions options = testing::SeaLevelOptions(pick(2) != 0);
    options.Metric = pick(2);
    options.Newtons = pick(2);
    options.MetricPropSizes = pick(2);
    options.MinDigits = pick(2) ? 3 : 0;
    Report report;
    report.Settings.Locale.decimal = pick(2) ? ',' : '.';
    NullMessageSink sink;
    DefaultPrompter prompter;
    BuildReport(report, ReportRequest{}, options, plane, sink, prompter);
    // Some rounds take the in-flight report of a row: airspeed, drag, lift and the row colours.
    if (report.Grid.RowCount() > 0 && pick(3) == 0) {
        if (auto inFlight = OpenInFlightReport(report, pick(report.Grid.RowCount()), false, sink, prompter))
            return std::move(*inFlight);
    }
    return report;
}

// A cell's text made the plain way, straight from the number formatter.
std::string PlainCell(const ReportGrid& grid, int dataRow, int column) {
    const CellFormat& format = grid.Columns[column].Format;
    const auto row = static_cast<std::size_t>(dataRow);
    const NumberLocale locale = grid.Locale();
    switch (format.Kind) {
    case CellKind::Number:
        return FormatNumber(format.Width, format.Decimals, format.MinDigits, grid.Rows.Number(row, column), locale);
    case CellKind::Cells: {
        const std::uint32_t parallel = grid.Rows.ParallelCells(row);
        std::string text = std::to_string(static_cast<int>(grid.Rows.Number(row, column)));
        if (parallel > 1 || format.AlwaysParallel) text += "S" + std::to_string(parallel) + "P";
        return PadLeft(text, 5);
    }
    case CellKind::MinSec: return FormatMinSec(static_cast<std::int64_t>(grid.Rows.Number(row, column)), locale);
    case CellKind::Sequence: return std::to_string(grid.Rows.Sequence(row));
    }
    return {};
}

// For random systems, the compact grid gives every cell of a plain copy of its texts, and keeps
// doing so through sorts by every column in both directions, one after another, the copy sorted the
// straightforward way (all keys compared, stable).
TEST(ReportSorting, CompactGridMatchesAPlainCopyInEveryOrder) {
    std::mt19937 random(7);
    int checkedRows = 0;
    for (int round = 0; round < 16; ++round) {
        Report report = RandomReport(random);
        ReportGrid& grid = report.Grid;
        const int rows = grid.RowCount(), columns = static_cast<int>(grid.Columns.size());
        std::vector<std::vector<std::string>> plain(static_cast<std::size_t>(rows));
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) plain[r].push_back(PlainCell(grid, r, c));
        const auto matches = [&](const std::string& when) {
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < columns; ++c)
                    ASSERT_EQ(grid.Cell(r + 2, c), plain[r][c]) << when << ", round " << round << ", " << r << "," << c;
        };
        matches("as built");
        checkedRows += rows;
        for (int column = 0; column < columns; ++column) {
            for (const bool ascending : {true, false}) {
                std::vector<int> keys{column};
                for (int c = column + 1; c < columns; ++c)
                    if (grid.Columns[c].Visible() && !grid.Columns[c].Sequence) keys.push_back(c);
                const auto keyOf = [&](const std::vector<std::string>& cells) {
                    std::vector<double> k;
                    for (const int c : keys) k.push_back(ReportSortKey(cells[c], grid.TimeSeparator));
                    return k;
                };
                std::stable_sort(plain.begin(), plain.end(), [&](const auto& a, const auto& b) {
                    return ascending ? keyOf(a) < keyOf(b) : keyOf(b) < keyOf(a);
                });
                SortReportRows(grid, column, ascending);
                matches("sorted by " + std::to_string(column) + (ascending ? " up" : " down"));
                if (rows > 0) {
                    EXPECT_EQ(FindRowBySequence(grid, plain[rows / 2][grid.SequenceColumn]), rows / 2);
                }
            }
        }
    }
    EXPECT_GT(checkedRows, 500); // the random systems really do build reports
}

TEST(ReportSorting, HeaderClicksToggleAndRightClickDescends) {
    ReportGrid grid = SmallGrid({{1}, {3}, {2}});
    ReportHeaderClicked(grid, 0, false);
    EXPECT_TRUE(grid.SortAscending);
    EXPECT_EQ(grid.Cell(2, 0), "    1");
    ReportHeaderClicked(grid, 0, false);
    EXPECT_FALSE(grid.SortAscending);
    EXPECT_EQ(grid.Cell(2, 0), "    3");
    ReportHeaderClicked(grid, 1, true);
    EXPECT_EQ(grid.SortColumn, 1);
    EXPECT_FALSE(grid.SortAscending);
    ReportHeaderClicked(grid, 0, true);
    EXPECT_FALSE(grid.SortAscending);
    EXPECT_EQ(grid.Cell(2, 0), "    3");
    // A click outside the grid changes nothing.
    ReportHeaderClicked(grid, 17, false);
    EXPECT_EQ(grid.SortColumn, 0);
}

TEST(ReportSorting, SequenceNumberFindsTheRowAfterSorting) {
    ReportGrid grid = SmallGrid({{1}, {3}, {2}});
    SortReportRows(grid, 0, false);
    EXPECT_EQ(FindRowBySequence(grid, "3"), 0);
    EXPECT_EQ(FindRowBySequence(grid, "2"), 2);
    EXPECT_EQ(FindRowBySequence(grid, "99"), -1);
}

TEST(ReportClipboard, RowLinesSkipHiddenColumns) {
    ReportGrid grid = SmallGrid({{5, 2, 247, 12.5}});
    EXPECT_EQ(RowClipboardText(grid, 0), "Cells = 5S2P\nTime (m:s) = 4:07\n");
    EXPECT_EQ(RowClipboardText(grid, 1), "");
    grid.Description[0] = "Motor: 900rpm/V.";
    grid.Description[2] = "Filter: 40 to 60mph.";
    grid.ConditionLine = "Sea Level, 29.92inHg, 59°F";
    EXPECT_EQ(DescriptionAndRowClipboardText(grid, 0),
              "Motor: 900rpm/V.\nFilter: 40 to 60mph.\nConditions: Sea Level, 29.92inHg, 59°F\n\n"
              "Cells = 5S2P\nTime (m:s) = 4:07\n");
}

TEST(ReportCellColours, HeadersKeyRowsAndSelection) {
    ReportGrid grid = SmallGrid({{1}, {2}});
    grid.Rows.SetMarks(0, RowBackground::BelowStall, false);
    grid.Rows.SetMarks(1, RowBackground::Plain, true);
    grid.SortColumn = 1;
    const ReportColours colours = ReportKeyColours(true);
    EXPECT_EQ(ReportCellStyle(grid, 0, 0, false, colours).Background, colours.HeaderBackground);
    const CellStyle stall = ReportCellStyle(grid, 2, 0, false, colours);
    EXPECT_EQ(stall.Background, Rgb(0xFFFFAA));
    EXPECT_FALSE(stall.Bold);
    EXPECT_TRUE(ReportCellStyle(grid, 2, 1, false, colours).Bold);
    EXPECT_EQ(ReportCellStyle(grid, 3, 0, false, colours).Text, Rgb(0xD40000));
    const CellStyle selected = ReportCellStyle(grid, 2, 0, true, colours);
    EXPECT_EQ(selected.Text, Rgb(0xFFFFAA));
    EXPECT_TRUE(selected.Bold);
    EXPECT_EQ(ReportKeyColours(false).LevelOptKey, Rgb(0x00FFFF));
}

} // namespace
} // namespace ampvane
