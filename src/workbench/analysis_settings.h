// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/analysis_input.h"
#include "analysis/report_grid.h"
#include "workbench/settings.h"

// What the settings tell the analysis and the report builder.

namespace ampvane {

// The report quantity whose column a switch shows or hides.
ReportColumn ReportQuantityOf(ReportColumnSwitch column);

ReportColumnsShown ReportColumnsShownFrom(const Settings& settings);

// The options that gathering reads: units, switches and the flying-field texts as shown.
AnalysisOptionsInput AnalysisOptionsInputFrom(const Settings& settings);

} // namespace ampvane
