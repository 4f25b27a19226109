// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/comparison.h"

#include <gtest/gtest.h>

#include <sstream>

#include "analysis/report_builder.h"
#include "analysis/report_fixtures.h"
#include "support/recording_messages.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;

Report BuiltReport(const PlaneDesc& plane, const AnalysisOptions& options, RecordingMessages& messages) {
    Report report;
    BuildReport(report, ReportRequest{}, options, plane, messages, messages);
    return report;
}

Report GliderReport(RecordingMessages& messages, const AnalysisOptions& options = testing::SeaLevelOptions()) {
    PlaneDesc plane = testing::GearedPropellerPlane();
    testing::AddGlider(plane);
    return BuiltReport(plane, options, messages);
}

// Characters, not bytes: labels hold "°" and "²".
int CharacterCount(std::string_view text) {
    int n = 0;
    for (char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

int Row(std::string_view label) {
    for (int row = 0; row < kComparisonRowCount; ++row)
        if (ComparisonRowLabels[row] == label) return row;
    return -1;
}

TEST(ComparisonLabels, MetricWordingHeadingsAndIndent) {
    ComparisonUnitFlags metric{true, false, true, false};
    const std::pair<const char*, const char*> metricNewtons[] = {
        {"Wing Span (in)", "  Wing Span (cm)"},          {"Wing Area (sq.in)", "  Wing Area (dm²)"},
        {"Total Weight (oz)", "  Total Weight (g)"},     {"Static Thrust (oz)", "  Static Thrust (N)"},
        {"Pitch Speed (mph)", "  Pitch Speed (m/s)"},    {"Best Rate of Climb (ft/min)", "  Best Rate of Climb (m/s)"},
        {"Propeller (in x in)", "  Propeller (in x in)"}, {"Motor Temp at Optimal (°F)", "  Motor Temp at Optimal (°F)"},
        {"Motor", "Motor"},                              {"Flight Predictions", "Flight Predictions"},
    };
    for (const auto& [label, shown] : metricNewtons) EXPECT_EQ(ComparisonDisplayLabel(Row(label), metric), shown);
    metric.newtons = false;
    EXPECT_EQ(ComparisonDisplayLabel(Row("Static Thrust (oz)"), metric), "  Static Thrust (g)");
    const ComparisonUnitFlags sizesAndTemperature{false, true, false, true};
    EXPECT_EQ(ComparisonDisplayLabel(Row("Propeller (in x in)"), sizesAndTemperature), "  Propeller (cm x cm)");
    EXPECT_EQ(ComparisonDisplayLabel(Row("Motor Temp at Optimal (°F)"), sizesAndTemperature),
              "  Motor Temp at Optimal (°C)");
    EXPECT_EQ(ComparisonDisplayLabel(Row("Wing Span (in)"), sizesAndTemperature), "  Wing Span (in)");
    EXPECT_EQ(ComparisonDisplayLabel(5, {}), "  "); // a separator row
    int headings = 0;
    for (int row = 0; row < kComparisonRowCount; ++row) headings += ComparisonHeadingRow(row);
    EXPECT_EQ(headings, 7);
}

// A column of two values, for the table's own rules.
void AddColumn(ComparisonTable& table, const std::string& title, const std::string& motor, const std::string& cells,
               const std::string& condition = "Sea Level") {
    ComparisonColumnData data;
    data.title = title;
    data.conditionLine = condition;
    data.heatingMiddle = " do not ";
    data.values = {{"Motor", motor}, {"Series Cell Count", cells}};
    ASSERT_TRUE(AddComparisonColumnData(table, data));
}

TEST(ComparisonTable, ColumnsAddMergeMoveRemoveAndClear) {
    ComparisonTable table;
    EXPECT_EQ(table.Caption(), "Comparison");
    AddColumn(table, "Glider", "Astro", "6");
    EXPECT_FALSE(table.RowDiffers(Row("Motor"))); // one column highlights nothing
    AddColumn(table, "Glider", "Astro", "7");
    AddColumn(table, "Trainer", "Astro", "6");
    ASSERT_EQ(table.DriveColumnCount(), 3);
    EXPECT_EQ(table.Caption(), "Comparison - Glider, Trainer");
    EXPECT_FALSE(table.RowDiffers(Row("Motor")));
    EXPECT_TRUE(table.RowDiffers(Row("Series Cell Count")));

    // The same row again leaves one column, now the last.
    AddColumn(table, "Glider", "Astro", "6");
    ASSERT_EQ(table.DriveColumnCount(), 3);
    EXPECT_EQ(table.Cell(0, 1), "Glider");
    EXPECT_EQ(table.Cell(Row("Series Cell Count"), 1), "7");
    EXPECT_EQ(table.Cell(0, 3), "Glider");
    EXPECT_EQ(table.Cell(Row("Series Cell Count"), 3), "6");
    EXPECT_EQ(table.Caption(), "Comparison - Glider, Trainer");

    table.MoveColumn(3, 1); // dragged onto the first: the others shift right
    EXPECT_EQ(table.Cell(Row("Series Cell Count"), 1), "6");
    EXPECT_EQ(table.Cell(0, 2), "Glider");
    EXPECT_EQ(table.Cell(0, 3), "Trainer");

    // Ten at most; closing one makes room.
    for (int i = table.DriveColumnCount(); i < kMaxComparisonColumns; ++i)
        AddColumn(table, "Model " + std::to_string(i), "M", std::to_string(i));
    ComparisonColumnData eleventh;
    eleventh.title = "Eleventh";
    eleventh.conditionLine = "Sea Level";
    eleventh.heatingMiddle = " do not ";
    EXPECT_FALSE(AddComparisonColumnData(table, eleventh));
    EXPECT_EQ(table.DriveColumnCount(), kMaxComparisonColumns);
    table.RemoveColumn(2);
    EXPECT_TRUE(AddComparisonColumnData(table, eleventh));
    EXPECT_EQ(table.Cell(0, kMaxComparisonColumns), "Eleventh");

    // Other flying conditions empty the table first.
    AddColumn(table, "High", "Astro", "6", "5000 ft");
    EXPECT_EQ(table.DriveColumnCount(), 1);
    EXPECT_EQ(table.Caption(), "Comparison - High");
    // Closing the only column empties it and keeps it; the next row fills it.
    table.RemoveColumn(1);
    EXPECT_EQ(table.DriveColumnCount(), 1);
    EXPECT_EQ(table.Cell(0, 1), "");
    EXPECT_EQ(table.Cell(Row("Motor"), 1), "");
    AddColumn(table, "Again", "Astro", "6", "5000 ft");
    EXPECT_EQ(table.DriveColumnCount(), 1);
    EXPECT_EQ(table.Cell(0, 1), "Again");
}

TEST(ComparisonColumn, PropellerAndFanRowsFromReports) {
    RecordingMessages messages;
    const Report glider = GliderReport(messages);
    const ReportGrid& grid = glider.Grid;
    ASSERT_GT(grid.RowCount(), 1);
    ComparisonTable table;
    for (int row : {0, 1}) {
        const auto data = ComparisonColumnFromReport(glider, row, messages);
        ASSERT_TRUE(data);
        EXPECT_EQ(data->title, "Untitled");
        ASSERT_TRUE(AddComparisonColumnData(table, *data));
    }
    EXPECT_FALSE(ComparisonColumnFromReport(glider, grid.RowCount(), messages));
    EXPECT_EQ(table.Cell(Row("Motor"), 1), "Astro Cobalt 05 7T#20 #605");
    EXPECT_EQ(table.Cell(Row("Motor Constant (rpm/V)"), 1), "1136");
    EXPECT_EQ(table.Cell(Row("No Load Current (A)"), 1), "2.4");
    EXPECT_EQ(table.Cell(Row("Gear Ratio"), 1), std::string(TrimText(grid.Cell(2, grid.Position(ReportColumn::GearRatio)))) + ":1");
    EXPECT_EQ(table.Cell(Row("Blades per Propeller"), 1), "2");
    EXPECT_EQ(table.Cell(Row("Wing Span (in)"), 1), "100");
    EXPECT_EQ(table.Cell(Row("Current (A)"), 2),
              std::string(TrimText(grid.Cell(3, grid.Position(ReportColumn::BatteryCurrent)))));
    EXPECT_FALSE(table.RowDiffers(Row("Motor")));
    EXPECT_FALSE(table.RowDiffers(Row("Motor Constant (rpm/V)")));
    EXPECT_FALSE(table.Cell(Row("Optimal Flight Speed (mph)"), 1).empty());
    EXPECT_FALSE(table.Cell(Row("Stall Speed (mph)"), 1).empty());

    // A fan has no gear, propeller count or blades; its motor rpm is the fan's.
    const Report jet = BuiltReport(testing::DuctedFanPlane(), testing::SeaLevelOptions(), messages);
    ASSERT_GT(jet.Grid.RowCount(), 0);
    const auto fan = ComparisonColumnFromReport(jet, 0, messages);
    ASSERT_TRUE(fan);
    ComparisonTable fans;
    ASSERT_TRUE(AddComparisonColumnData(fans, *fan));
    for (const char* label : {"Gear Ratio", "Number of Propellers", "Blades per Propeller"})
        EXPECT_EQ(fans.Cell(Row(label), 1), "n/a") << label;
    EXPECT_EQ(fans.Cell(Row("Propeller (in x in)"), 1), "x");
    EXPECT_EQ(fans.Cell(Row("Motor RPM"), 1),
              std::string(TrimText(jet.Grid.Cell(2, jet.Grid.Position(ReportColumn::DriveRpm)))));
    EXPECT_EQ(fans.Cell(Row("Series Cell Count"), 1), "10");
}

TEST(ComparisonFiles, TextWrapsToTheColumnWidthsAndHtmlEscapesNames) {
    ComparisonTable table;
    for (int i = 0; i < kMaxComparisonColumns; ++i)
        AddColumn(table, "<Model & \"" + std::to_string(i) + "\">", "A motor with a rather long name " + std::to_string(i),
                  std::to_string(i));
    ComparisonWriteSettings settings;
    settings.generatedAt = "1/2/2026 3:04 PM";
    // Longest label "  Motor/Gearbox Efficiency (%)" (30): drive columns of (136 - 30) / 10 - 1 = 9.
    const std::vector<ComparisonLine> lines = ComparisonLines(table, settings.pageWidth);
    for (const ComparisonLine& line : lines) {
        if (line.cells.empty()) continue;
        EXPECT_EQ(CharacterCount(line.label), 30) << line.label;
        for (const std::string& cell : line.cells) EXPECT_EQ(cell.size(), 9u) << cell;
    }
    const std::string text = ComparisonText(table, settings);
    EXPECT_EQ(text.rfind("Comparison - <Model", 0), 0u);
    EXPECT_NE(text.find("A motor  "), std::string::npos); // wrapped onto further lines
    EXPECT_NE(text.find("\nNote: Motor performance calculations do not take ambient"), std::string::npos);
    EXPECT_NE(text.find("Generated by Ampvane 8.09, 1/2/2026 3:04 PM."), std::string::npos);

    const std::string html = ComparisonHtml(table, settings);
    EXPECT_EQ(html.find("<Model"), std::string::npos);
    EXPECT_NE(html.find("<th bgcolor=#D4D0C8>&lt;Model &amp; &quot;0&quot;&gt;</th>"), std::string::npos);
    EXPECT_NE(html.find("<td bgcolor=#FFFFE1><b>Motor</b></td>"), std::string::npos);
    EXPECT_NE(html.find("<td bgcolor=#FFFFE1>&nbsp;&nbsp;Series&nbsp;Cell&nbsp;Count</td>"), std::string::npos);
    EXPECT_NE(html.find("<td bgcolor=#D4FFFF>3</td>"), std::string::npos); // the differing row
    EXPECT_NE(html.find("<b>Note:</b> Motor performance calculations<b> do not </b>take"), std::string::npos);

    const std::string csv = ComparisonCsv(table, settings);
    std::istringstream in(csv);
    std::string first;
    std::getline(in, first);
    std::string empties;
    for (int i = 0; i < kMaxComparisonColumns; ++i) empties += ",\"\"";
    EXPECT_EQ(first.substr(0, 36), "\"Comparison - <Model & '0'>, <Model ");
    EXPECT_EQ(first.substr(first.size() - empties.size()), empties);
    std::string row;
    while (std::getline(in, row) && row.rfind("\"  \",", 0) != 0) {}
    EXPECT_EQ(row.rfind("\"  \",\"<Model & '0'>\",\"<Model & '1'>\",", 0), 0u) << row;
}

} // namespace
} // namespace ampvane
