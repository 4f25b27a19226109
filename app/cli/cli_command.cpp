// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sys/stat.h>

#include "analysis/report_export.h"
#include "common/file_write.h"
#include "common/licence.h"
#include "project/project_text.h"
#include "workbench/display_settings.h"

namespace ampvane {
// The built-in sample project, compiled in from sample_project.txt.
extern const char* const kSampleProjectText;
} // namespace ampvane

namespace ampvane::cli {

namespace {

const char* const kUsageHead = "Usage: ampvane-cli COMMAND [ARGUMENTS]\n\nCommands:\n";
const char* const kUsageTail =
    "  help [COMMAND], COMMAND --help\n"
    "               show this text, or one command's usage\n"
    "  --help       show this text\n"
    "  --version    show the program version and its licence\n"
    "\n"
    "Without --format the format follows the extension of -o (.txt, .htm, .html, .csv,\n"
    ".json), else text. Messages go to standard error. Exit status: 0 success, 1 input\n"
    "rejected, 2 usage error.\n";

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

// CLI11 says "--format: 1 required TEXT missing"; we say which option lacks its value.
std::string MissingValueText(const std::string& what) {
    const auto colon = what.find(':');
    if (colon == std::string::npos || colon == 0) return what;
    return what.substr(0, colon) + " needs a value";
}

} // namespace

CLI::App& CliRegistry::Add(const std::string& name, const std::string& usage, std::function<int()> run) {
    CLI::App* app = root_.add_subcommand(name);
    app->set_help_flag(); // help is ours: the usage text written for people
    app->allow_extras();  // unknown options and surplus arguments get our own messages
    commands_.push_back(Command{app, usage, std::move(run)});
    return *app;
}

std::string CliRegistry::UsageText() const {
    std::string text = kUsageHead;
    for (const Command& command : commands_) text += command.usage;
    return text + kUsageTail;
}

int CliRegistry::UsageError(const std::string& text, const Command* command) const {
    std::fprintf(stderr, "ampvane-cli: %s\n", text.c_str());
    if (command) {
        std::fprintf(stderr, "Usage:\n%s", command->usage.c_str());
    } else {
        std::fputs(UsageText().c_str(), stderr);
    }
    return kUsage;
}

int CliRegistry::Main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(UsageText().c_str(), stderr);
        return kUsage;
    }
    const std::string_view first = argv[1];
    const auto find = [this](std::string_view name) -> const Command* {
        for (const Command& c : commands_)
            if (c.app->get_name() == name) return &c;
        return nullptr;
    };
    if (first == "help" && argc > 2) {
        const Command* command = find(argv[2]);
        if (!command || argc > 3)
            return UsageError(command ? "help takes one command" : "unknown command \"" + std::string(argv[2]) + "\"",
                              nullptr);
        std::fputs(("Usage:\n" + command->usage).c_str(), stdout);
        return kSuccess;
    }
    if (IsHelp(first) || first == "help") {
        std::fputs(UsageText().c_str(), stdout);
        return kSuccess;
    }
    if (first == "--version") {
        std::fputs(VersionText("ampvane-cli", AMPVANE_VERSION).c_str(), stdout);
        return kSuccess;
    }
    const Command* command = find(first);
    if (!command) return UsageError("unknown command \"" + std::string(first) + "\"", nullptr);
    for (int i = 2; i < argc; ++i) {
        if (IsHelp(argv[i])) {
            std::fputs(("Usage:\n" + command->usage).c_str(), stdout);
            return kSuccess;
        }
    }

    root_.set_help_flag();
    root_.require_subcommand(1);
    try {
        root_.parse(argc, argv);
    } catch (const CLI::ArgumentMismatch& e) {
        return UsageError(MissingValueText(e.what()), command);
    } catch (const CLI::ParseError& e) {
        return UsageError(e.what(), command);
    }
    for (const std::string& extra : command->app->remaining()) {
        if (extra == "--") continue;
        if (extra.size() > 1 && extra[0] == '-') return UsageError("unknown option \"" + extra + "\"", command);
        return UsageError("unexpected argument \"" + extra + "\"", command);
    }
    try {
        return command->run();
    } catch (const UsageFailure& failure) {
        return UsageError(failure.Text(), command);
    }
}

void CliMessages::Report(const Message& message) {
    std::fprintf(stderr, "ampvane-cli: %s: %s\n", std::string(MessageKindName(message.kind)).c_str(),
                 message.text.c_str());
    texts.push_back(message.text);
}

Button CliMessages::Ask(const Message& message) {
    const Button answer = DefaultPrompter::DefaultAnswer(message.buttons);
    std::fprintf(stderr, "ampvane-cli: question: %s [answered %s]\n", message.text.c_str(),
                 answer == OkButton ? "OK" : answer == YesButton ? "Yes" : "No");
    texts.push_back(message.text);
    return answer;
}

int Rejected(const std::string& text) {
    std::fprintf(stderr, "ampvane-cli: %s\n", text.c_str());
    return kRejected;
}

std::optional<int> ParseWhole(std::string_view text, int minimum, int maximum) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < minimum || value > maximum) return std::nullopt;
    return value;
}

std::optional<std::string> ReadProjectSource(const std::optional<std::string>& file) {
    if (!file) return std::string(kSampleProjectText);
    std::string contents;
    if (*file == "-") {
        char buffer[65536];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) contents.append(buffer, n);
        if (std::ferror(stdin)) return std::nullopt;
        return contents;
    }
    if (!ReadWholeFile(*file, contents)) return std::nullopt;
    return contents;
}

namespace {

// Reads the project block of a file, standard input or the sample a line at a time, so that whatever
// surrounds the block is never held. Returns the reason when the source cannot be read.
std::optional<std::string> ReadProjectBlock(const std::optional<std::string>& file, WorkbenchSession& session,
                                            Result<void>& found) {
    if (!file) {
        found = session.TakeProjectText(kSampleProjectText);
        return std::nullopt;
    }
    if (*file == "-") {
        found = session.TakeProjectText(std::cin);
        if (std::cin.bad()) return std::string(std::strerror(errno));
        return std::nullopt;
    }
    // A folder opens like a file but cannot be read: say so rather than find no project in it.
    struct stat status {};
    if (::stat(file->c_str(), &status) != 0) return std::string(std::strerror(errno));
    if (S_ISDIR(status.st_mode)) return std::string(std::strerror(EISDIR));
    std::ifstream in(*file, std::ios::binary);
    if (!in) return std::string(std::strerror(errno));
    found = session.TakeProjectText(in);
    if (in.bad()) return std::string(std::strerror(errno ? errno : EIO));
    return std::nullopt;
}

} // namespace

void AddProjectSourceOptions(CLI::App& app, ProjectSource& source) {
    app.add_option("project", source.file);
    app.add_option("--project", source.stored);
}

void CheckProjectSource(const ProjectSource& source, bool required, const std::string& command) {
    if (source.file && source.stored) throw UsageFailure("give either a project file or --project NAME, not both");
    if (required && !source.file && !source.stored)
        throw UsageFailure(command + " needs a project file or --project NAME");
}

bool LoadProjectSource(const ProjectSource& projectSource, WorkbenchSession& session, CliMessages& messages) {
    Result<void> found = Failure{};
    if (projectSource.stored) {
        const auto stored = StoredProjectText(*projectSource.stored, messages);
        if (!stored) return false;
        found = session.TakeProjectText(*stored);
    } else if (const auto reason = ReadProjectBlock(projectSource.file, session, found)) {
        Rejected("cannot read the project file \"" + projectSource.file.value_or("-") + "\": " + *reason);
        return false;
    }
    if (!found) {
        Rejected(found.Reason());
        return false;
    }
    return true;
}

std::optional<Report> ComputeProjectReport(const ProjectSource& projectSource, CliMessages& messages, int& status,
                                           const std::optional<std::string>& settingsFile) {
    status = kRejected;
    WorkbenchSession session(nullptr, nullptr, NumberLocale{}, messages, messages);
    if (!LoadProjectSource(projectSource, session, messages)) return std::nullopt;
    Settings display;
    const std::optional<bool> configured = LoadDisplaySettings(settingsFile, display, session.Locale(), messages);
    if (!configured) return std::nullopt;
    if (*configured) ApplyDisplaySettings(display, session.Options());
    auto report = session.ComputeReport();
    if (!report) return std::nullopt; // the message has been given
    status = kSuccess;
    return std::move(*report);
}

std::optional<Report> ComputeInFlightReport(Report& report, int row, bool forOpinion, CliMessages& messages,
                                            int& status) {
    status = kRejected;
    if (row > report.Grid.RowCount()) {
        Rejected("there is no row " + std::to_string(row) + ": the report has " +
                 std::to_string(report.Grid.RowCount()) + (report.Grid.RowCount() == 1 ? " row" : " rows"));
        return std::nullopt;
    }
    WorkbenchSession session(nullptr, nullptr, report.Settings.Locale, messages, messages);
    auto inFlight = session.OpenInFlight(report, row - 1, forOpinion);
    if (!inFlight) return std::nullopt;
    status = kSuccess;
    return std::move(*inFlight);
}

int WriteContents(const std::optional<std::string>& output, const std::string& contents, std::string_view what,
                  CliMessages& messages) {
    if (output) {
        // The system's own reason: a missing or read-only folder, a folder named as the file, a full disk.
        if (const std::string error = WriteFileAtomically(*output, contents); !error.empty()) {
            messages.Report(ErrorMessage(error));
            return kRejected;
        }
        return kSuccess;
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), stdout) == contents.size();
    if (!written || std::fflush(stdout) != 0)
        return Rejected("cannot write the " + std::string(what) + ": " + std::string(std::strerror(errno)));
    return kSuccess;
}

std::optional<int> CliOutput::Open(const std::optional<std::string>& output, CliMessages& messages) {
    if (!output) return std::nullopt;
    toFile_ = true;
    if (const std::string error = file_.Open(*output); !error.empty()) {
        messages.Report(ErrorMessage(error));
        return kRejected;
    }
    return std::nullopt;
}

bool CliOutput::Write(std::string_view piece) {
    if (toFile_) return file_.Write(piece);
    if (!failed_ && std::fwrite(piece.data(), 1, piece.size(), stdout) != piece.size()) {
        failed_ = true;
        error_ = errno;
    }
    return !failed_;
}

int CliOutput::Finish(std::string_view what, CliMessages& messages) {
    if (toFile_) {
        if (const std::string error = file_.Commit(); !error.empty()) {
            messages.Report(ErrorMessage(error));
            return kRejected;
        }
        return kSuccess;
    }
    if (!failed_ && std::fflush(stdout) != 0) {
        failed_ = true;
        error_ = errno;
    }
    if (failed_)
        return Rejected("cannot write the " + std::string(what) + ": " + std::string(std::strerror(error_)));
    return kSuccess;
}

int WriteJson(const std::optional<std::string>& output, const nlohmann::ordered_json& value, CliMessages& messages) {
    return WriteContents(output, value.dump(2) + "\n", "JSON output", messages);
}

} // namespace ampvane::cli
