#pragma once

#include "analysis/analysis_input.h"
#include "analysis/report_builder.h"
#include "workbench/settings.h"

// What Compute Report takes from the options: the gathering's options input and the report's
// display settings.

namespace ampvane {

AnalysisOptionsInput AnalysisOptionsInputFrom(const Settings& settings);
ReportSettings ReportSettingsFrom(const Settings& settings, const NumberLocale& locale);

} // namespace ampvane
