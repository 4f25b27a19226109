// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/display_settings.h"

#include <fstream>
#include <iterator>

#include "workbench/analysis_settings.h"
#include "workbench/configuration.h"

namespace ampvane {

bool ReadDisplaySettingsFile(const std::filesystem::path& file, Settings& settings, const NumberLocale& locale,
                             MessageSink& messages) {
    settings = Settings{};
    std::ifstream in(file, std::ios::binary);
    std::error_code ec;
    if (!in || std::filesystem::is_directory(file, ec)) {
        messages.Report(ErrorMessage("The settings file \"" + file.string() + "\" could not be read."));
        return false;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ApplyConfigurationText(text, file.string(), settings, locale, messages);
    return true;
}

void ApplyDisplaySettings(const Settings& settings, Settings& project) {
    project.extraPrecision = settings.extraPrecision;
    project.printInColour = settings.printInColour;
    project.columnHidden = settings.columnHidden;
    project.advancedWizard = settings.advancedWizard;
}

} // namespace ampvane
