// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/propeller_comparison_chart.h"

#include <limits>
#include <optional>

#include "advice/graph_picture.h"

namespace ampvane {

Chart PropellerComparisonChart(const std::vector<ModelComparisonRow>& rows, std::string title,
                              const std::string& constants) {
    Chart chart;
    chart.title = std::move(title);
    chart.xCaption = "Airspeed (mph)";
    chart.leftCaption = "Thrust (oz)";
    chart.rightCaption = "Power (W)";
    const auto series = [&](std::string name, std::optional<double> ModelComparisonRow::*value, RgbColour colour,
                            SeriesAxis axis, bool dashed) {
        ChartSeries s{std::move(name), {}, colour, SeriesMarker::None, axis, true, dashed};
        // A missing value is no point: it ends the line there.
        for (const ModelComparisonRow& row : rows)
            s.points.push_back({row.Airspeed, (row.*value).value_or(std::numeric_limits<double>::quiet_NaN())});
        chart.series.push_back(std::move(s));
    };
    series("Measured thrust", &ModelComparisonRow::MeasuredThrust, kGraphLeftColour, SeriesAxis::Left, false);
    series("Thrust with " + constants, &ModelComparisonRow::ConstantsThrust, kGraphLeftColour, SeriesAxis::Left, true);
    series("Measured power", &ModelComparisonRow::MeasuredPower, kGraphRightColour, SeriesAxis::Right, false);
    series("Power with " + constants, &ModelComparisonRow::ConstantsPower, kGraphRightColour, SeriesAxis::Right, true);
    return chart;
}

} // namespace ampvane
