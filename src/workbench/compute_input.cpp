// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/compute_input.h"

namespace ampvane {

ReportSettings ReportSettingsFrom(const Settings& settings, const NumberLocale& locale) {
    ReportSettings report;
    report.ColumnsShown = ReportColumnsShownFrom(settings);
    report.Locale = locale;
    return report;
}

} // namespace ampvane
