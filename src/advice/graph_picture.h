// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "advice/graph_data.h"
#include "picture/picture.h"

// A graph drawn without any window: the same plot the graph window shows (red left series, blue right
// series, automatic axes, grid, lines on or off) laid out on a pixel image or written as SVG text, so
// the terminal can save a graph.

namespace ampvane {

// One axis: from `low` to `high` in steps of `step` (a 1, 2 or 5 times a power of ten).
struct GraphAxisScale {
    double low = 0;
    double high = 1;
    double step = 0.2;
};

// The automatic range of a set of values: whole steps around them; a single value or none gets a
// range around it. Values that are not finite are left out.
GraphAxisScale AutomaticGraphScale(const std::vector<double>& values);

// Where everything goes on a picture of the given size.
struct GraphLayout {
    int width = 0;
    int height = 0;
    // The plot area, edges included.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    GraphAxisScale x;
    GraphAxisScale y1;
    GraphAxisScale y2; // equal to y1 when the plot has one unit
};

GraphLayout LayOutGraph(const GraphPlot& plot, int width, int height);

inline constexpr RgbColour kGraphLeftColour{255, 0, 0};
inline constexpr RgbColour kGraphRightColour{0, 0, 255};

// Smaller sizes than 200 x 150 are drawn at that size.
RgbImage DrawGraphPicture(const GraphPlot& plot, int width = 640, int height = 480);
std::string GraphSvg(const GraphPlot& plot, int width = 640, int height = 480);

// Saves by the file's ending (.png, .jpg/.jpeg, .bmp, .svg; others a bitmap). Empty on success, else
// the message naming the file; nothing is left behind on failure.
std::string SaveGraphPicture(const std::string& path, const GraphPlot& plot, int width = 640, int height = 480);

} // namespace ampvane
