// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "picture/picture.h"

// A chart written as a picture file without any window, drawn with Cairo: a title, a bottom axis and a
// left and a right axis each with a caption, grid lines, tick labels in one notation per axis, a legend
// naming each series and its axis, and anti-aliased lines and markers. PNG, SVG and PDF come from
// Cairo's own surfaces, JPEG and BMP from the pixels of its image surface.

namespace ampvane {

// One axis: from `low` to `high` in steps of `step` (1, 2 or 5 times a power of ten).
struct ChartScale {
    double low = 0;
    double high = 1;
    double step = 0.2;
};

// The automatic range of a set of values: whole steps around them, about `targetSteps` of them; a
// single value or none gets a range around it. Values that are not finite are left out.
ChartScale AutomaticChartScale(const std::vector<double>& values, int targetSteps = 5);

// The tick labels of a scale, all in one notation: fixed decimals as the step needs them, or, for very
// large or very small values, powers of ten with the same number of digits.
std::vector<std::string> ChartTickLabels(const ChartScale& scale, char decimalSeparator = '.');
// The same notation as a printf format ("%.2f", "%.3e"), for a chart that writes its own labels.
std::string ChartTickFormat(const ChartScale& scale);

struct ChartPoint {
    double x = 0;
    double y = 0;
};

enum class SeriesMarker { Circle, Square, None };
enum class SeriesAxis { Left, Right };

struct ChartSeries {
    std::string name;
    std::vector<ChartPoint> points; // drawn in this order; a point that is not finite breaks the line
    RgbColour colour{0, 0, 0};
    SeriesMarker marker = SeriesMarker::Circle;
    SeriesAxis axis = SeriesAxis::Left;
    bool lines = true;
    bool dashed = false; // the line in dashes, for a second series of the same quantity
};

struct Chart {
    std::string title;
    std::string xCaption;
    std::string leftCaption;
    std::string rightCaption;
    std::vector<ChartSeries> series; // in legend order; drawn last to first, so the first lies on top
    bool rightMirrorsLeft = false;   // one quantity: the right axis repeats the left axis's scale
    char decimalSeparator = '.';
};

// The size in picture units (pixels, or points in a PDF) and the factor for pixel formats on
// high-density screens: a 640x480 chart at scale 2 is a 1280x960 picture drawn twice as large.
struct PictureSize {
    int width = 640;
    int height = 480;
    int scale = 1;
};
inline constexpr int kMinPictureWidth = 200, kMinPictureHeight = 150, kMaxPictureSide = 4096, kMaxPictureScale = 4;

// "WIDTHxHEIGHT" within kMinPicture... and kMaxPictureSide; nothing for anything else.
std::optional<PictureSize> ParsePictureSize(std::string_view text);
// Nothing when the pixels of a size at its scale stay within kMaxPictureSide a side, else the reason.
std::optional<std::string> PictureSizeProblem(const PictureSize& size);

// A text's box in picture units: the text is drawn with its baseline at top + ascent.
struct ChartTextBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class ChartTextRole { Title, Caption, Legend, Tick };

// Where everything goes, in picture units.
struct ChartLayout {
    int width = 0;
    int height = 0;
    // The plot area, its frame included.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    ChartScale x;
    ChartScale y1;
    ChartScale y2; // equal to y1 when the right axis mirrors the left
    ChartTextBox title;
    double titleFontSize = 0; // smaller than the usual size when a long title had to fit the width
    std::vector<ChartTextBox> legend; // one entry a series: its text
};

ChartLayout LayOutChart(const Chart& chart, int width, int height);

// The legend text of a series: its name and the axis it is read on.
std::string ChartLegendText(const ChartSeries& series);

// The pixels of the chart at size.width * size.scale by size.height * size.scale.
RgbImage DrawChartImage(const Chart& chart, const PictureSize& size = {});
// A text alone on white, in the box the chart gives it, as the chart draws it (at scale 1).
RgbImage DrawChartText(std::string_view text, ChartTextRole role, double fontSize = 0);

// The file contents in a format; SVG and PDF are drawn at size.width x size.height without the scale.
// Empty when the chart cannot be drawn.
std::string EncodeChart(const Chart& chart, PictureFormat format, const PictureSize& size = {});
// Writes by the file's ending (PictureFormatForFileName); empty on success, else the message naming the
// file, with nothing left behind.
std::string SaveChart(const std::string& path, const Chart& chart, const PictureSize& size = {});

} // namespace ampvane
