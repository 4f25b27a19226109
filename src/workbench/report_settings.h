#pragma once

#include "analysis/report_grid.h"
#include "workbench/settings.h"

// What the settings tell the report builder.

namespace ampvane {

// The report quantity whose column a switch shows or hides.
ReportColumn ReportQuantityOf(ReportColumnSwitch column);

ReportColumnsShown ReportColumnsShownFrom(const Settings& settings);

} // namespace ampvane
