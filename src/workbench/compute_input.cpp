#include "workbench/compute_input.h"

#include "workbench/report_settings.h"

namespace ampvane {

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

ReportSettings ReportSettingsFrom(const Settings& settings, const NumberLocale& locale) {
    ReportSettings report;
    report.ColumnsShown = ReportColumnsShownFrom(settings);
    report.Locale = locale;
    return report;
}

} // namespace ampvane
