// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "advice/graph_picture.h"

// The headless graph: automatic axis ranges, where the series land on the picture, and the SVG text.

namespace ampvane {
namespace {

bool IsNiceStep(double step) {
    const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    const double factor = step / power;
    return std::fabs(factor - 1) < 1e-6 || std::fabs(factor - 2) < 1e-6 || std::fabs(factor - 5) < 1e-6;
}

TEST(GraphPicture, AutomaticScaleCoversTheValuesInWholeNiceSteps) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::vector<double> values;
        double low, high, step;
    } cases[] = {
        {{0, 10}, 0, 10, 2},  {{3.3, 7.9}, 3, 8, 1}, {{-42, 17}, -60, 20, 20}, {{5}, 4.4, 5.6, 0.2},
        {{}, 0, 1, 0.2},      {{0, 0}, -1, 1, 0.5},  {{nan, 2, 4}, 2, 4, 0.5},
    };
    for (const Case& c : cases) {
        const GraphAxisScale s = AutomaticGraphScale(c.values);
        EXPECT_NEAR(s.low, c.low, 1e-9) << c.values.size();
        EXPECT_NEAR(s.high, c.high, 1e-9) << c.values.size();
        EXPECT_NEAR(s.step, c.step, 1e-9) << c.values.size();
    }
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        const double scale = std::pow(10.0, std::uniform_int_distribution<int>(-4, 6)(random));
        std::vector<double> values(1 + i % 7);
        for (double& v : values) v = std::uniform_real_distribution<double>(-1, 1)(random) * scale;
        const GraphAxisScale s = AutomaticGraphScale(values);
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        ASSERT_LE(s.low, *low);
        ASSERT_GE(s.high, *high);
        ASSERT_TRUE(IsNiceStep(s.step)) << s.step;
        const double steps = (s.high - s.low) / s.step;
        ASSERT_NEAR(steps, std::round(steps), 1e-6);
        ASSERT_GE(std::lround(steps), 1);
        ASSERT_LE(std::lround(steps), 12);
    }
}

GraphPlot RisingAndFalling(bool lines) {
    GraphPlot plot;
    for (int i = 0; i <= 20; ++i) {
        plot.left.push_back({i * 2.5, 1000.0 + i * 400});
        plot.right.push_back({i * 2.5, 0.9 - i * 0.02});
    }
    plot.lines = lines;
    plot.title = "Drive <1> & more";
    plot.xTitle = "Motor Amps";
    plot.leftTitle = "Prop RPM";
    plot.rightTitle = "Motor Eff.";
    return plot;
}

struct Colours {
    int redInside = 0, blueInside = 0, colouredOutside = 0;
};

Colours CountColours(const RgbImage& image, const GraphLayout& layout) {
    Colours counts;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const RgbColour c = image.Pixel(x, y);
            const bool inside = x > layout.left && x < layout.right && y > layout.top && y < layout.bottom;
            if (c == kGraphLeftColour || c == kGraphRightColour) {
                if (!inside) ++counts.colouredOutside;
                else if (c == kGraphLeftColour) ++counts.redInside;
                else ++counts.blueInside;
            }
        }
    return counts;
}

TEST(GraphPicture, SeriesStayInsideThePlotAreaWithOrWithoutLines) {
    const GraphPlot withLines = RisingAndFalling(true);
    const RgbImage image = DrawGraphPicture(withLines, 640, 480);
    ASSERT_EQ(image.Width(), 640);
    ASSERT_EQ(image.Height(), 480);
    const GraphLayout layout = LayOutGraph(withLines, 640, 480);
    EXPECT_FALSE(layout.y1.low == layout.y2.low && layout.y1.high == layout.y2.high);
    const Colours lined = CountColours(image, layout);
    EXPECT_GT(lined.redInside, 21 * 9);
    EXPECT_GT(lined.blueInside, 21 * 9);
    EXPECT_EQ(lined.colouredOutside, 0);
    // The middle red point (25, 5000) sits in the middle of the 0..50 by 0..10000 scales.
    EXPECT_EQ(layout.x.high, 50);
    EXPECT_EQ(layout.y1.high, 10000);
    EXPECT_EQ(image.Pixel((layout.left + layout.right + 1) / 2, (layout.top + layout.bottom + 1) / 2), kGraphLeftColour);

    const Colours dotted = CountColours(DrawGraphPicture(RisingAndFalling(false), 640, 480), layout);
    EXPECT_LT(dotted.redInside, lined.redInside);
    EXPECT_GT(dotted.redInside, 0);

    // Wild values neither crash nor paint outside; one unit shares the scale.
    GraphPlot wild = withLines;
    wild.left.push_back({std::numeric_limits<double>::infinity(), 1});
    wild.right.push_back({30, 1e300});
    wild.sameUnit = true;
    const GraphLayout shared = LayOutGraph(wild, 100, 50);
    EXPECT_EQ(shared.width, 200);
    EXPECT_EQ(shared.y1.high, shared.y2.high);
    EXPECT_GE(shared.y2.high, 1e300);
    EXPECT_EQ(CountColours(DrawGraphPicture(wild, 100, 50), shared).colouredOutside, 0);
}

TEST(GraphPicture, SvgHasBothSeriesAndEscapedTitles) {
    const std::string svg = GraphSvg(RisingAndFalling(true));
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("<polyline fill=\"none\" stroke=\"#ff0000\""), std::string::npos);
    EXPECT_NE(svg.find("<polyline fill=\"none\" stroke=\"#0000ff\""), std::string::npos);
    EXPECT_NE(svg.find(">Drive &lt;1&gt; &amp; more</text>"), std::string::npos);
    EXPECT_NE(svg.find(">Motor Amps</text>"), std::string::npos);
    EXPECT_EQ(svg.find("<1>"), std::string::npos);
    const std::string dotted = GraphSvg(RisingAndFalling(false));
    EXPECT_EQ(dotted.find("<polyline"), std::string::npos);
    EXPECT_NE(dotted.find("<circle"), std::string::npos);
    EXPECT_NE(dotted.find("<rect x="), std::string::npos);
}

} // namespace
} // namespace ampvane
