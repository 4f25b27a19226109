// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/graph_picture.h"

namespace ampvane {

namespace {
std::vector<ChartPoint> Points(const std::vector<GraphPoint>& points) {
    std::vector<ChartPoint> out;
    out.reserve(points.size());
    for (const GraphPoint& p : points) out.push_back({p.x, p.y});
    return out;
}
} // namespace

Chart ChartOfGraph(const GraphPlot& plot) {
    Chart chart;
    chart.title = plot.title;
    chart.xCaption = plot.xTitle;
    chart.leftCaption = plot.leftTitle;
    chart.rightCaption = plot.rightTitle;
    chart.rightMirrorsLeft = plot.sameUnit;
    chart.decimalSeparator = plot.decimalSeparator;
    // The left series first: it lies on top where they meet, as in the window.
    chart.series.push_back({plot.leftTitle, Points(plot.left), kGraphLeftColour, SeriesMarker::Circle, SeriesAxis::Left,
                            plot.lines});
    chart.series.push_back({plot.rightTitle, Points(plot.right), kGraphRightColour, SeriesMarker::Square,
                            SeriesAxis::Right, plot.lines});
    return chart;
}

RgbImage DrawGraphPicture(const GraphPlot& plot, const PictureSize& size) {
    return DrawChartImage(ChartOfGraph(plot), size);
}

std::string SaveGraphPicture(const std::string& path, const GraphPlot& plot, const PictureSize& size) {
    return SaveChart(path, ChartOfGraph(plot), size);
}

} // namespace ampvane
