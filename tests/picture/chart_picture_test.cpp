// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/chart_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <random>

#include "common/file_write.h"
#include "support/command_run.h"
#include "support/test_paths.h"

// Charts drawn without a window: axis scales and labels, the text a reader needs drawn where the layout
// puts it, the series kept in the plot area, and each file format at each size as other programs read it.

namespace ampvane {
namespace {

bool IsNiceStep(double step) {
    const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    const double factor = step / power;
    return std::fabs(factor - 1) < 1e-6 || std::fabs(factor - 2) < 1e-6 || std::fabs(factor - 5) < 1e-6;
}

TEST(ChartScale, AutomaticScaleCoversTheValuesInWholeNiceSteps) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::vector<double> values;
        double low, high, step;
    } cases[] = {
        {{0, 10}, 0, 10, 2},  {{3.3, 7.9}, 3, 8, 1}, {{-42, 17}, -60, 20, 20}, {{5}, 4.4, 5.6, 0.2},
        {{}, 0, 1, 0.2},      {{0, 0}, -1, 1, 0.5},  {{nan, 2, 4}, 2, 4, 0.5}, {{0, 5e-324}, -1, 1, 0.5},
    };
    for (const Case& c : cases) {
        const ChartScale s = AutomaticChartScale(c.values);
        EXPECT_NEAR(s.low, c.low, 1e-9) << c.values.size();
        EXPECT_NEAR(s.high, c.high, 1e-9) << c.values.size();
        EXPECT_NEAR(s.step, c.step, 1e-9) << c.values.size();
    }
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        const double scale = std::pow(10.0, std::uniform_int_distribution<int>(-4, 6)(random));
        std::vector<double> values(1 + i % 7);
        for (double& v : values) v = std::uniform_real_distribution<double>(-1, 1)(random) * scale;
        const int target = 4 + i % 7;
        const ChartScale s = AutomaticChartScale(values, target);
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        ASSERT_LE(s.low, *low);
        ASSERT_GE(s.high, *high);
        ASSERT_TRUE(IsNiceStep(s.step)) << s.step;
        const double steps = (s.high - s.low) / s.step;
        ASSERT_NEAR(steps, std::round(steps), 1e-6);
        ASSERT_GE(std::lround(steps), 1);
        ASSERT_LE(std::lround(steps), 2 * target + 2);
        // One notation on an axis: every label fixed, or every label a power of ten.
        const std::vector<std::string> labels = ChartTickLabels(s);
        const auto powers = std::count_if(labels.begin(), labels.end(),
                                          [](const std::string& l) { return l.find('e') != std::string::npos; });
        ASSERT_TRUE(powers == 0 || powers == static_cast<long>(labels.size())) << labels.front() << " " << labels.back();
    }
    // The widest ranges stay finite.
    const ChartScale widest = AutomaticChartScale({-1e308, 1e308});
    EXPECT_TRUE(std::isfinite(widest.low) && std::isfinite(widest.high) && std::isfinite(widest.step));
}

TEST(ChartScale, TickLabelsUseOneNotationAndTheDecimalSeparator) {
    struct Case {
        ChartScale scale;
        char separator;
        std::vector<std::string> labels;
    } cases[] = {
        {{0, 12000, 2000}, '.', {"0", "2000", "4000", "6000", "8000", "10000", "12000"}},
        {{0.5, 1.5, 0.25}, ',', {"0,50", "0,75", "1,00", "1,25", "1,50"}},
        {{-1, 1, 0.5}, '.', {"-1.0", "-0.5", "0.0", "0.5", "1.0"}},
        {{0, 3e7, 1e7}, '.', {"0e+00", "1e+07", "2e+07", "3e+07"}},
        {{9e6, 1.2e7, 1e6}, '.', {"9.0e+06", "1.0e+07", "1.1e+07", "1.2e+07"}},
        {{0, 3e-5, 1e-5}, '.', {"0e+00", "1e-05", "2e-05", "3e-05"}},
        {{-0.004, 0.002, 0.002}, '.', {"-0.004", "-0.002", "0.000", "0.002"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChartTickLabels(c.scale, c.separator), c.labels) << c.labels.back();
        // The window's chart writes its labels by the same notation, as a printf format.
        const std::string format = ChartTickFormat(c.scale);
        char label[64];
        std::snprintf(label, sizeof label, format.c_str(), c.scale.high);
        std::string expected = c.labels.back();
        std::replace(expected.begin(), expected.end(), ',', '.');
        EXPECT_EQ(label, expected) << format;
    }
}

TEST(ChartSize, ParsedWithinItsLimits) {
    const std::pair<const char*, std::optional<std::pair<int, int>>> cases[] = {
        {"640x480", std::pair{640, 480}}, {"4096X4096", std::pair{4096, 4096}}, {"200x150", std::pair{200, 150}},
        {"199x150", std::nullopt},        {"4097x10", std::nullopt},             {"640", std::nullopt},
        {"x480", std::nullopt},           {"640x", std::nullopt},                {"64 0x480", std::nullopt},
        {"-640x480", std::nullopt},       {"640x480x2", std::nullopt},           {"", std::nullopt},
    };
    for (const auto& [text, size] : cases) {
        const auto parsed = ParsePictureSize(text);
        ASSERT_EQ(parsed.has_value(), size.has_value()) << text;
        if (parsed) {
            EXPECT_EQ(std::pair(parsed->width, parsed->height), *size) << text;
        }
    }
    EXPECT_FALSE(PictureSizeProblem({2048, 2048, 2}));
    EXPECT_TRUE(PictureSizeProblem({4096, 480, 2}));
}

Chart SampleChart(bool lines) {
    Chart chart;
    chart.title = "Drive <1> & more";
    chart.xCaption = "AirSpd (mph)";
    chart.leftCaption = "Thrust (oz)";
    chart.rightCaption = "Drag (oz)";
    ChartSeries left{"Thrust (oz)", {}, {255, 0, 0}, SeriesMarker::Circle, SeriesAxis::Left, lines};
    ChartSeries right{"Drag (oz)", {}, {0, 0, 255}, SeriesMarker::Square, SeriesAxis::Right, lines};
    for (int i = 0; i <= 20; ++i) {
        left.points.push_back({i * 2.5, 1000.0 + i * 400});
        right.points.push_back({i * 2.5, 0.9 - i * 0.02});
    }
    chart.series = {left, right};
    return chart;
}

// Pixels of `box` in `image` that differ from `alone` by more than a little.
int DifferingPixels(const RgbImage& image, const ChartTextBox& box, const RgbImage& alone) {
    int differing = 0;
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x) {
            const RgbColour a = image.Pixel(box.left + x, box.top + y), b = alone.Pixel(x, y);
            if (std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue) > 24) ++differing;
        }
    return differing;
}

int InkedPixels(const RgbImage& image) {
    int inked = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) inked += image.Pixel(x, y).red < 128;
    return inked;
}

TEST(ChartDrawing, TitleAndLegendAreDrawnWhereTheLayoutPutsThem) {
    const Chart chart = SampleChart(true);
    const RgbImage image = DrawChartImage(chart);
    ASSERT_EQ(image.Width(), 640);
    ASSERT_EQ(image.Height(), 480);
    const ChartLayout layout = LayOutChart(chart, 640, 480);

    // The same text drawn alone matches its place in the chart; another text of the same length does not.
    const RgbImage title = DrawChartText(chart.title, ChartTextRole::Title, layout.titleFontSize);
    EXPECT_GT(InkedPixels(title), 50);
    EXPECT_EQ(DifferingPixels(image, layout.title, title), 0);
    EXPECT_GT(DifferingPixels(image, layout.title, DrawChartText("Drive [2] + less", ChartTextRole::Title)), 40);
    ASSERT_EQ(layout.legend.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string text = ChartLegendText(chart.series[i]);
        const RgbImage alone = DrawChartText(text, ChartTextRole::Legend);
        EXPECT_EQ(DifferingPixels(image, layout.legend[i], alone), 0) << text;
        EXPECT_GT(DifferingPixels(image, layout.legend[i], DrawChartText(ChartLegendText(chart.series[1 - i]),
                                                                           ChartTextRole::Legend)),
                  20)
            << text;
    }
    EXPECT_EQ(ChartLegendText(chart.series[0]), "Thrust (oz) (left axis)");
    EXPECT_EQ(ChartLegendText(chart.series[1]), "Drag (oz) (right axis)");

    // A long title shrinks to fit; one that is no UTF-8 still leaves the rest of the chart drawn.
    Chart damaged = chart;
    damaged.title = std::string(200, 'W') + "\xff\xfe";
    const ChartLayout shrunk = LayOutChart(damaged, 640, 480);
    EXPECT_LT(shrunk.titleFontSize, layout.titleFontSize);
    const RgbImage drawn = DrawChartImage(damaged);
    EXPECT_EQ(DifferingPixels(drawn, shrunk.legend[0], DrawChartText(ChartLegendText(chart.series[0]),
                                                                       ChartTextRole::Legend)),
              0);
}

// Strongly red or blue pixels, inside the plot area and below or beside it (the legend is above).
struct SeriesInk {
    int redInside = 0, blueInside = 0, outside = 0;
};
SeriesInk CountSeriesInk(const RgbImage& image, const ChartLayout& layout, int scale) {
    SeriesInk ink;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const RgbColour c = image.Pixel(x, y);
            const bool red = c.red > 200 && c.green < 80 && c.blue < 80, blue = c.blue > 200 && c.red < 80 && c.green < 80;
            if (!red && !blue) continue;
            const int ux = x / scale, uy = y / scale;
            if (ux >= layout.left && ux <= layout.right && uy >= layout.top && uy <= layout.bottom) {
                ink.redInside += red;
                ink.blueInside += blue;
            } else if (uy > layout.top) {
                ++ink.outside;
            }
        }
    return ink;
}

TEST(ChartDrawing, SeriesStayInsideThePlotAreaAtEveryScale) {
    const Chart chart = SampleChart(true);
    const ChartLayout layout = LayOutChart(chart, 640, 480);
    const SeriesInk lined = CountSeriesInk(DrawChartImage(chart), layout, 1);
    EXPECT_GT(lined.redInside, 21 * 9);
    EXPECT_GT(lined.blueInside, 21 * 9);
    EXPECT_EQ(lined.outside, 0);
    const SeriesInk dotted = CountSeriesInk(DrawChartImage(SampleChart(false)), layout, 1);
    EXPECT_LT(dotted.redInside, lined.redInside);
    EXPECT_GT(dotted.redInside, 0);
    const SeriesInk twice = CountSeriesInk(DrawChartImage(chart, {640, 480, 2}), layout, 2);
    EXPECT_GT(twice.redInside, 3 * lined.redInside);
    EXPECT_EQ(twice.outside, 0);

    // Without markers only the line is drawn; in dashes, about half of it.
    Chart bare = chart;
    for (ChartSeries& series : bare.series) series.marker = SeriesMarker::None;
    const SeriesInk solid = CountSeriesInk(DrawChartImage(bare), layout, 1);
    for (ChartSeries& series : bare.series) series.dashed = true;
    const SeriesInk dashed = CountSeriesInk(DrawChartImage(bare), layout, 1);
    EXPECT_LT(solid.redInside, lined.redInside);
    EXPECT_LT(dashed.redInside, 0.8 * solid.redInside);
    EXPECT_GT(dashed.redInside, 0.4 * solid.redInside);
    EXPECT_EQ(dashed.outside, 0);

    // Wild values neither crash nor paint outside; one unit shares the scale.
    Chart wild = chart;
    wild.series[0].points.push_back({std::numeric_limits<double>::infinity(), 1});
    wild.series[1].points.push_back({30, 1e300});
    wild.rightMirrorsLeft = true;
    const ChartLayout shared = LayOutChart(wild, 100, 50);
    EXPECT_EQ(shared.width, kMinPictureWidth);
    EXPECT_EQ(shared.y1.high, shared.y2.high);
    EXPECT_GE(shared.y2.high, 1e300);
    EXPECT_EQ(CountSeriesInk(DrawChartImage(wild, {100, 50, 1}), shared, 1).outside, 0);
}

std::string Output(const std::string& command) { return testing::RunCommand(command, testing::Streams::Merged).out; }
bool Have(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0; }

TEST(ChartFiles, EveryFormatAndSizeAsOtherProgramsReadIt) {
    if (!Have("identify") || !Have("pdfinfo") || !Have("pdftotext")) GTEST_SKIP() << "imagemagick or poppler-utils missing";
    testing::TempDir dir;
    const Chart chart = SampleChart(true);
    struct Case {
        const char* name;
        PictureSize size;
        const char* identify; // "%m %wx%h %z" and, for JPEG, quality and interlace
    } cases[] = {
        {"g.png", {}, "PNG 640x480 8"},
        {"g2.png", {640, 480, 2}, "PNG 1280x960 8"},
        {"big.png", {1920, 1080, 1}, "PNG 1920x1080 8"},
        {"g.jpg", {}, "JPEG 640x480 8 90 JPEG"},
        {"g.jpeg", {800, 600, 2}, "JPEG 1600x1200 8 90 JPEG"},
        {"g.bmp", {}, "BMP3 640x480 8"},
        {"small.bmp", {200, 150, 1}, "BMP3 200x150 8"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        ASSERT_EQ(SaveChart(path, chart, c.size), "") << c.name;
        const bool jpeg = PictureFormatForFileName(path) == PictureFormat::Jpeg;
        const std::string format = jpeg ? "%m %wx%h %z %Q %[interlace]" : "%m %wx%h %z";
        EXPECT_EQ(Output("identify -format '" + format + "' '" + path + "'"), c.identify) << c.name;
    }
    std::string svg;
    ASSERT_EQ(SaveChart(dir.file("g.svg"), chart, {1024, 768, 2}), "");
    ASSERT_TRUE(ReadWholeFile(dir.file("g.svg"), svg));
    EXPECT_NE(svg.find("width=\"1024px\" height=\"768px\""), std::string::npos) << svg.substr(0, 300);
    EXPECT_NE(svg.find("<title>Drive &lt;1&gt; &amp; more</title>"), std::string::npos);

    // A PDF page of the chart's size in points whose text a reader finds.
    const std::string pdf = dir.file("g.pdf");
    ASSERT_EQ(SaveChart(pdf, chart, {720, 540, 2}), "");
    const std::string info = Output("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find(" 720 x 540 pts"), std::string::npos) << info;
    EXPECT_NE(info.find(" Drive <1> & more\n"), std::string::npos) << info;
    const std::string text = Output("pdftotext '" + pdf + "' -");
    for (const char* words : {"Drive <1> & more", "Thrust (oz) (left axis)", "Drag (oz) (right axis)", "AirSpd (mph)"})
        EXPECT_NE(text.find(words), std::string::npos) << words << "\n" << text;
}

} // namespace
} // namespace ampvane
