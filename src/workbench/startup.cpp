// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/startup.h"

#include <cctype>
#include <system_error>

#include "data/table_text.h"

namespace ampvane {

namespace {

namespace fs = std::filesystem;

std::string PathText(const fs::path& path) { return path.string(); }

} // namespace

std::string AutoUpdateFailedMessage(const fs::path& kept) {
    return "The automatic update file could not be imported completely. It has been kept as \"" + PathText(kept) +
           "\" so that you can look at it; the records imported before the error stay in the tables.";
}

int MajorVersionOf(std::string_view version) {
    const auto dot = version.find('.');
    if (dot == std::string_view::npos || dot == 0) return 0;
    int major = 0;
    for (char c : version.substr(0, dot)) {
        if (!std::isdigit(static_cast<unsigned char>(c)) || major > 100000) return 0;
        major = major * 10 + (c - '0');
    }
    return major;
}

bool EnterWorkingFolder(const fs::path& documentsFolder) {
    if (documentsFolder.empty()) return false;
    const fs::path folder = documentsFolder / std::string(kApplicationTitle);
    std::error_code error;
    fs::create_directories(folder, error);
    fs::current_path(folder, error);
    return !error;
}

void ImportAutoUpdateFile(const fs::path& dataFolder, MessageSink& messages, const StartupHooks& hooks) {
    const fs::path file = dataFolder / std::string(kAutoUpdateFileName);
    std::error_code error;
    if (!fs::is_regular_file(file, error) || !hooks.importTableText) return;
    if (hooks.importTableText(file)) {
        if (!fs::remove(file, error) && error)
            messages.Report(ErrorMessage("The automatic update file \"" + PathText(file) +
                                         "\" was imported but could not be deleted: " + error.message() + "."));
        return;
    }
    // The file is kept for the user: nothing it held is lost, and it is not imported again at the
    // next start.
    const fs::path kept = dataFolder / std::string(kFailedAutoUpdateFileName);
    fs::rename(file, kept, error);
    if (error) {
        messages.Report(ErrorMessage("The automatic update file \"" + PathText(file) +
                                     "\" could not be imported completely, and it could not be renamed to \"" +
                                     std::string(kFailedAutoUpdateFileName) + "\": " + error.message() +
                                     ". It stays where it is and will be imported again at the next start."));
        return;
    }
    Message message = ErrorMessage(AutoUpdateFailedMessage(kept));
    message.helpTopic = kAutoUpdateHelpTopic;
    messages.Report(message);
}

void UseTableHooks(StartupHooks& hooks, TCompDataModule& tables, const NumberLocale& locale, MessageSink& messages) {
    hooks.importTableText = [&tables, &messages, locale](const fs::path& file) {
        TableImportOptions options;
        options.helpTopic = kAutoUpdateHelpTopic;
        options.locale = locale;
        return !ImportTableText(tables, file.string(), options, messages).errorReported;
    };
    hooks.exportAllTables = [&tables, locale](const fs::path& file) {
        TableExportSettings settings;
        settings.locale = locale;
        settings.generatedAt = TableExportTimestamp();
        return ExportAllTables(tables, file.string(), settings);
    };
}

bool ProcessCommandLine(const std::vector<std::string>& arguments, MessageSink& messages, const StartupHooks& hooks) {
    bool exit = false;
    const auto bad = [&](const std::string& parameter) {
        messages.Report(ErrorMessage(std::string(kCommandLineErrorPrefix) + parameter));
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& parameter = arguments[i];
        if (parameter == "export") {
            // The file name is consumed only by an export that worked; otherwise it is a parameter of its own.
            if (i + 1 < arguments.size() && hooks.exportAllTables && hooks.exportAllTables(arguments[i + 1])) {
                ++i;
                continue;
            }
            bad(parameter);
        } else if (parameter == "exit") {
            exit = true;
        } else {
            bad(parameter);
        }
    }
    return exit;
}

StartupResult RunStartUpSequence(Settings& settings, const ConfigurationFiles& files, const fs::path& dataFolder,
                                 const std::vector<std::string>& arguments, const NumberLocale& locale,
                                 MessageSink& messages, Prompter& prompter, const StartupHooks& hooks) {
    StartupResult result;
    result.storedVersion = ReadConfiguration(files, settings, locale, messages);
    const int stored = MajorVersionOf(result.storedVersion);
    if (stored < kMajorVersion) {
        if (stored > 0 && hooks.carryOver) hooks.carryOver();
        WriteConfiguration(files.current, settings, kConfigurationVersion, messages);
    }
    if (hooks.loadStartupProject) hooks.loadStartupProject();
    if (hooks.startupProjectShown) hooks.startupProjectShown();
    ImportAutoUpdateFile(dataFolder, messages, hooks);
    if (stored < kMajorVersion) {
        Message offer = InformationMessage(std::string(kUpdateOfferQuestion));
        offer.buttons = YesButton | NoButtonAnswer | HelpButton;
        offer.helpTopic = kUpdateOfferHelpTopic;
        if (prompter.Ask(offer) == YesButton && hooks.updateAll) hooks.updateAll();
    }
    result.exitRequested = ProcessCommandLine(arguments, messages, hooks);
    // Windows that would open after "exit" never show.
    if (result.exitRequested) return result;
    if (settings.tipAtStartup && hooks.showTip) hooks.showTip();
    if (settings.wizardAtStartup && hooks.showWizard) hooks.showWizard();
    return result;
}

} // namespace ampvane
