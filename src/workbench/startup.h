// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"
#include "common/numeric_text.h"
#include "data/comp_data_module.h"
#include "workbench/configuration.h"
#include "workbench/settings.h"

// The order in which the program comes up once its windows and tables exist: settings, the
// version's first start, the start-up project, the automatic update file, the command line, and
// the windows that greet the user. The steps that belong to other windows are hooks.

namespace ampvane {

inline constexpr std::string_view kApplicationTitle = "Ampvane";
inline constexpr int kMajorVersion = 8;
inline constexpr std::string_view kAutoUpdateFileName = "avautoup.txt";
// Where an automatic update file whose import failed is kept for the user to look at.
inline constexpr std::string_view kFailedAutoUpdateFileName = "avautoup.failed";
inline constexpr int kAutoUpdateHelpTopic = 87;

inline constexpr std::string_view kUpdateOfferQuestion =
    "Would you like Ampvane to connect to the Ampvane web site to check for new or revised data?";
inline constexpr int kUpdateOfferHelpTopic = 913;

inline constexpr std::string_view kCommandLineErrorPrefix = "Error processing command line parameter: ";
std::string AutoUpdateFailedMessage(const std::filesystem::path& kept);

// The integer before the first "." of a version text; 0 without a "." or an integer there.
int MajorVersionOf(std::string_view version);

// The working folder: "Ampvane" in the documents folder, created when missing. Returns whether the
// process now works there (a failure is ignored by the caller).
bool EnterWorkingFolder(const std::filesystem::path& documentsFolder);

struct StartupHooks {
    // Step 4 with settings of an earlier version found: the carry-over window.
    std::function<void()> carryOver;
    // Step 5: the default project or the built-in sample.
    std::function<void()> loadStartupProject;
    // Step 6: the banner goes, the motor name gets the focus.
    std::function<void()> startupProjectShown;
    // Step 7: imports the automatic update file into all tables; true when the import completed
    // without an error. Without this hook the file is left where it is.
    std::function<bool(const std::filesystem::path& file)> importTableText;
    // Step 8 after a version change, when the user accepts the offer: the update of all tables.
    std::function<void()> updateAll;
    // The command line's "export FILE": all tables into one file; false when it could not be written.
    std::function<bool(const std::filesystem::path& file)> exportAllTables;
    // Steps 10 and 11, when the settings ask for them.
    std::function<void()> showTip;
    std::function<void()> showWizard;
};

struct StartupResult {
    std::string storedVersion;
    bool exitRequested = false; // "exit" was on the command line
};

// Steps 7 and 9 on the tables: the automatic update file merged into every table (a summary only
// when something changed), and "export FILE" writing every table into one file. `tables` and
// `messages` must outlive the hooks.
void UseTableHooks(StartupHooks& hooks, TCompDataModule& tables, const NumberLocale& locale, MessageSink& messages);

// Runs the start-up sequence once. `arguments` are the program's parameters without the program name.
// "exit" ends the sequence there: the tip and the wizard are not shown.
StartupResult RunStartUpSequence(Settings& settings, const ConfigurationFiles& files,
                                 const std::filesystem::path& dataFolder, const std::vector<std::string>& arguments,
                                 const NumberLocale& locale, MessageSink& messages, Prompter& prompter,
                                 const StartupHooks& hooks);

// Step 7 alone: imports and then deletes the automatic update file when there is one; a file whose
// import failed is renamed to "avautoup.failed" (replacing an older one). Every failure is reported
// and start-up goes on.
void ImportAutoUpdateFile(const std::filesystem::path& dataFolder, MessageSink& messages, const StartupHooks& hooks);

// Step 9 alone: processes the parameters in order; true when "exit" was among them.
bool ProcessCommandLine(const std::vector<std::string>& arguments, MessageSink& messages, const StartupHooks& hooks);

} // namespace ampvane
