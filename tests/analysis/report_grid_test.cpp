#include "analysis/report_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace ampvane {
namespace {

// A small grid: Cells, Time, a hidden Loss column and the sequence number.
ReportGrid SmallGrid(const std::vector<std::array<std::string, 3>>& rows) {
    ReportGrid grid;
    grid.Columns = {{ReportColumn::Cells, false, "Cells", "     ", 6},
                    {ReportColumn::RunTime, false, "  Time", " (m:s)", 7},
                    {ReportColumn::Loss, false, "  Loss", "   (W)", -1},
                    {ReportColumn::Airspeed, true, "", "", -1}};
    grid.SequenceColumn = 3;
    int sequence = 2;
    for (const auto& cells : rows) {
        ReportRow row;
        row.Cells = {cells[0], cells[1], cells[2], std::to_string(sequence++)};
        grid.Rows.push_back(row);
    }
    return grid;
}

std::vector<std::string> Column(const ReportGrid& grid, int column) {
    std::vector<std::string> texts;
    for (int r = 0; r < grid.RowCount(); ++r) texts.push_back(grid.Cell(r + 2, column));
    return texts;
}

TEST(ReportSorting, TimeSortsByMinutesThenSeconds) {
    ReportGrid grid = SmallGrid({{"    7", " 10:05", "1"}, {"    7", "  9:59", "2"}, {"    7", "  0:30", "3"}});
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
    ReportGrid grid = SmallGrid({{" 6S1P", "1:00", ""}, {" 5S2P", "1:00", ""}, {" 5S1P", "1:00", ""}});
    SortReportRows(grid, 0, false);
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{" 6S1P", " 5S2P", " 5S1P"}));
}

TEST(ReportSorting, TiesBreakOnFollowingVisibleColumnsOnly) {
    // The hidden Loss column would order the rows the other way; it must not take part.
    ReportGrid grid = SmallGrid({{"    7", "  2:00", "1"}, {"    7", "  1:00", "9"}, {"    6", "  3:00", "5"}});
    SortReportRows(grid, 0, true);
    EXPECT_EQ(Column(grid, 1), (std::vector<std::string>{"  3:00", "  1:00", "  2:00"}));
    EXPECT_EQ(Column(grid, 3), (std::vector<std::string>{"4", "3", "2"}));
}

// For random grids with many ties, the sort gives every cell of a plain copy of the rows sorted the
// straightforward way (all keys compared, stable), by every column in both directions, one sort after
// another.
TEST(ReportSorting, IndexSortMatchesAPlainCopyInEveryOrder) {
    std::mt19937 random(7);
    const auto cellText = [&](int kind) -> std::string {
        switch (kind) {
        case 0: return std::to_string(1 + random() % 3) + "S" + std::to_string(1 + random() % 2) + "P";
        case 1: return std::to_string(random() % 4) + ":" + std::to_string(10 + random() % 3);
        default: return " " + std::to_string(random() % 5) + "." + std::to_string(random() % 2);
        }
    };
    for (int round = 0; round < 20; ++round) {
        ReportGrid grid;
        grid.Columns = {{ReportColumn::Cells, false, "Cells", "", 6},
                        {ReportColumn::RunTime, false, "Time", "", 7},
                        {ReportColumn::Loss, false, "Loss", "", round % 2 ? 6 : -1},
                        {ReportColumn::Thrust, false, "Thrust", "", 6},
                        {ReportColumn::Airspeed, true, "", "", -1}};
        grid.SequenceColumn = 4;
        const int rows = 1 + static_cast<int>(random() % 300);
        for (int r = 0; r < rows; ++r) {
            ReportRow row;
            row.Cells = {cellText(0), cellText(1), cellText(2), cellText(2), std::to_string(r + 2)};
            grid.Rows.push_back(row);
        }
        std::vector<std::vector<std::string>> plain;
        for (const ReportRow& row : grid.Rows) plain.push_back(row.Cells);
        for (int column = 0; column < 4; ++column) {
            for (const bool ascending : {true, false}) {
                std::vector<int> keys{column};
                for (int c = column + 1; c < 4; ++c)
                    if (grid.Columns[c].Visible()) keys.push_back(c);
                const auto keyOf = [&](const std::vector<std::string>& cells) {
                    std::vector<double> k;
                    for (const int c : keys) k.push_back(ReportSortKey(cells[c], ':'));
                    return k;
                };
                std::stable_sort(plain.begin(), plain.end(), [&](const auto& a, const auto& b) {
                    return ascending ? keyOf(a) < keyOf(b) : keyOf(b) < keyOf(a);
                });
                SortReportRows(grid, column, ascending);
                for (int r = 0; r < rows; ++r)
                    for (int c = 0; c < 5; ++c) ASSERT_EQ(grid.Cell(r + 2, c), plain[r][c]) << r << "," << c;
                EXPECT_EQ(FindRowBySequence(grid, plain[rows / 2][4]), rows / 2);
            }
        }
    }
}

TEST(ReportSorting, HeaderClicksToggleAndRightClickDescends) {
    ReportGrid grid = SmallGrid({{"    1", "", ""}, {"    3", "", ""}, {"    2", "", ""}});
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
    ReportGrid grid = SmallGrid({{"    1", "", ""}, {"    3", "", ""}, {"    2", "", ""}});
    SortReportRows(grid, 0, false);
    EXPECT_EQ(FindRowBySequence(grid, "3"), 0);
    EXPECT_EQ(FindRowBySequence(grid, "2"), 2);
    EXPECT_EQ(FindRowBySequence(grid, "99"), -1);
}

TEST(ReportClipboard, RowLinesSkipHiddenColumns) {
    ReportGrid grid = SmallGrid({{" 5S2P", "  4:07", "12.5"}});
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
    ReportGrid grid = SmallGrid({{"1", "", ""}, {"2", "", ""}});
    grid.Rows[0].Background = RowBackground::BelowStall;
    grid.Rows[1].PropStalled = true;
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
