// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "advice/graph_picture.h"
#include "support/test_paths.h"

// A report's graph as a chart: the captions, colours, markers and axes the graph window shows.

namespace ampvane {
namespace {

TEST(GraphPicture, ChartCarriesTheGraphWindowsLook) {
    GraphPlot plot;
    plot.left = {{1, 10}, {2, 20}};
    plot.right = {{1, 0.5}, {2, 0.6}};
    plot.title = "Static Report";
    plot.xTitle = "Motor Amps";
    plot.leftTitle = "Prop RPM";
    plot.rightTitle = "MotGb Ef(%)";
    plot.lines = false;
    plot.decimalSeparator = ',';
    for (const bool sameUnit : {false, true}) {
        plot.sameUnit = sameUnit;
        const Chart chart = ChartOfGraph(plot);
        EXPECT_EQ(chart.title, "Static Report");
        EXPECT_EQ(chart.xCaption, "Motor Amps");
        EXPECT_EQ(chart.rightMirrorsLeft, sameUnit);
        EXPECT_EQ(chart.decimalSeparator, ',');
        ASSERT_EQ(chart.series.size(), 2u);
        const ChartSeries& left = chart.series[0];
        const ChartSeries& right = chart.series[1];
        EXPECT_EQ(ChartLegendText(left), "Prop RPM (left axis)");
        EXPECT_EQ(ChartLegendText(right), "MotGb Ef(%) (right axis)");
        EXPECT_EQ(left.colour, kGraphLeftColour);
        EXPECT_EQ(right.colour, kGraphRightColour);
        EXPECT_NE(left.marker, right.marker);
        EXPECT_FALSE(left.lines || right.lines);
        EXPECT_EQ(right.points[1].y, 0.6);
    }
}

TEST(GraphPicture, FailedSaveNamesTheFileAndLeavesNothing) {
    testing::TempDir dir;
    const std::string path = dir.file("missing/graph.pdf");
    const std::string error = SaveGraphPicture(path, GraphPlot{});
    EXPECT_NE(error.find("missing/graph.pdf"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

} // namespace
} // namespace ampvane
