// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "analysis/analysis_input.h"
#include "analysis/report_builder.h"
#include "common/messages.h"
#include "workbench/settings.h"

// The display options a report, opinion or wizard search takes from the configuration when it is made
// without the windows: minimum report digits, the report columns shown, the print colours and whether
// the wizard shows its advanced settings. A project's own options
// (units, heating, flying field) stay the project's.

namespace ampvane {

// Reads the configuration file `file` into settings (defaults first). Returns false, after an error
// message naming the file, when it cannot be read; a line that cannot be used costs only its setting.
bool ReadDisplaySettingsFile(const std::filesystem::path& file, Settings& settings, const NumberLocale& locale,
                             MessageSink& messages);

// Lays the display options of `settings` over the options of a session holding a project (whose
// units, heating and flying field stay the project's).
void ApplyDisplaySettings(const Settings& settings, Settings& project);

} // namespace ampvane
