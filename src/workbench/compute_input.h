// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/report_builder.h"
#include "workbench/analysis_settings.h"
#include "workbench/settings.h"

// What Compute Report takes from the options besides the gathering's input: the report's display
// settings.

namespace ampvane {

ReportSettings ReportSettingsFrom(const Settings& settings, const NumberLocale& locale);

} // namespace ampvane
