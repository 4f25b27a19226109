// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/analysis_settings.h"

namespace ampvane {

namespace {
// The switch and the report column are the same check box caption, so they are paired by it.
std::array<ReportColumn, kReportColumnSwitchCount> PairByCaption() {
    std::array<ReportColumn, kReportColumnSwitchCount> pairs{};
    for (const ReportColumnSwitchInfo& info : ReportColumnSwitches())
        for (int q = 0; q < kReportQuantityCount; ++q)
            if (ReportColumnOptionName(static_cast<ReportColumn>(q)) == info.caption)
                pairs[static_cast<std::size_t>(info.column)] = static_cast<ReportColumn>(q);
    return pairs;
}
} // namespace

ReportColumn ReportQuantityOf(ReportColumnSwitch column) {
    static const std::array<ReportColumn, kReportColumnSwitchCount> pairs = PairByCaption();
    return pairs[static_cast<std::size_t>(column)];
}

ReportColumnsShown ReportColumnsShownFrom(const Settings& settings) {
    ReportColumnsShown shown = AllReportColumnsShown();
    for (const ReportColumnSwitchInfo& info : ReportColumnSwitches())
        shown[static_cast<std::size_t>(ReportQuantityOf(info.column))] = ColumnShown(settings, info.column);
    return shown;
}

AnalysisOptionsInput AnalysisOptionsInputFrom(const Settings& settings) {
    AnalysisOptionsInput input;
    input.measurementMode = settings.measurementMode;
    input.newtons = settings.forceInNewtons;
    input.printColours = settings.printInColour;
    input.accountForHeating = settings.useHeating;
    input.extraPrecision = settings.extraPrecision;
    input.elevation = settings.elevation;
    input.pressure = settings.pressure;
    input.temperature = settings.temperature;
    input.gearboxEfficiency = settings.gearboxEfficiency;
    return input;
}

} // namespace ampvane
