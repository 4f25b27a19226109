// SPDX-License-Identifier: GPL-3.0-or-later
// --settings: the display options of a configuration file for the commands that build reports.
#include <filesystem>

#include "cli_command.h"
#include "data/data_folder.h"
#include "workbench/configuration.h"
#include "workbench/display_settings.h"

namespace ampvane::cli {

void AddSettingsOption(CLI::App& app, std::optional<std::string>& settingsFile) {
    app.add_option("--settings", settingsFile);
}

std::optional<bool> LoadDisplaySettings(const std::optional<std::string>& settingsFile, Settings& settings,
                                        const NumberLocale& locale, CliMessages& messages) {
    if (settingsFile) {
        if (settingsFile->empty()) throw UsageFailure("--settings needs a file name");
        if (!ReadDisplaySettingsFile(*settingsFile, settings, locale, messages)) return std::nullopt;
        return true;
    }
    // The workbench's own file, when the data folder has one; a missing one leaves the defaults.
    const std::filesystem::path own = std::filesystem::path(DataFolder()) / kConfigurationFileName;
    std::error_code error;
    if (!std::filesystem::is_regular_file(own, error)) return false;
    if (!ReadDisplaySettingsFile(own, settings, locale, messages)) return std::nullopt;
    return true;
}

} // namespace ampvane::cli
