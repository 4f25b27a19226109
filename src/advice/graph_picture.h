// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "advice/graph_data.h"
#include "picture/chart_picture.h"

// A report's graph as a picture file, the same for the terminal and the graph window's Save: the
// report's caption as the title, the chosen columns as the axis captions, red circles for the left
// series and blue squares for the right one, each named in the legend with its axis.

namespace ampvane {

inline constexpr RgbColour kGraphLeftColour{255, 0, 0};
inline constexpr RgbColour kGraphRightColour{0, 0, 255};

Chart ChartOfGraph(const GraphPlot& plot);

RgbImage DrawGraphPicture(const GraphPlot& plot, const PictureSize& size = {});

// Saves by the file's ending (.png, .jpg/.jpeg, .svg, .pdf; .bmp and all others a bitmap). Empty on
// success, else the message naming the file; nothing is left behind on failure.
std::string SaveGraphPicture(const std::string& path, const GraphPlot& plot, const PictureSize& size = {});

} // namespace ampvane
