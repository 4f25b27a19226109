// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/messages.h"
#include "workbench/settings.h"

namespace ampvane {

inline constexpr std::string_view kConfigurationFileName = "Ampvane.ini";
// The folder of the previous major version, beside this version's working folder.
inline constexpr std::string_view kPreviousVersionFolder = "Ampvane7";
// The version this program writes into the file; a stored major version below 8 means a first start.
inline constexpr std::string_view kConfigurationVersion = "8.09";
// The version reported when no file (or no version line) was found.
inline constexpr std::string_view kNoStoredVersion = "0.0";

struct ConfigurationFiles {
    std::filesystem::path current;  // the file in the data folder; the only one ever written
    std::filesystem::path previous; // read only when the current file cannot be opened
};

// The current file in the data folder and the previous version's file beside the working folder.
ConfigurationFiles ConfigurationFilesFor(const std::filesystem::path& dataFolder,
                                         const std::filesystem::path& workingFolder);

// Returns every setting to its default, then applies the current file or, failing that, the previous
// version's file. Returns the stored version, kNoStoredVersion without a readable file or version line.
// A line whose value cannot be used is reported as a warning and costs only its own setting.
// Numeric texts get the locale's decimal separator; a mode line takes effect at once (see
// SelectMeasurementMode), so values that follow it are read in the file's units.
std::string ReadConfiguration(const ConfigurationFiles& files, Settings& settings, const NumberLocale& locale,
                              MessageSink& messages);

// Applies the lines of a configuration text on top of settings (which the caller has reset) and returns
// the version found, or kNoStoredVersion. sourceName names the file in warnings.
std::string ApplyConfigurationText(std::string_view text, std::string_view sourceName, Settings& settings,
                                   const NumberLocale& locale, MessageSink& messages);

// The file's contents for these settings: every line in its fixed order, each ended by CR LF.
std::string ConfigurationText(const Settings& settings, std::string_view version);

// Replaces the file safely (the old file stays whole on any failure, which is reported as an error).
// Returns whether the file was written; the settings are never changed.
bool WriteConfiguration(const std::filesystem::path& file, const Settings& settings, std::string_view version,
                        MessageSink& messages);

} // namespace ampvane
