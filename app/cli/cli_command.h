// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The frame every ampvane-cli command plugs into: CLI11 parses, each command group registers its
// subcommands with a usage text and a run function, and the shared pieces below keep exit codes,
// messages and output the same for every command.

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report_builder.h"
#include "common/file_write.h"
#include "common/messages.h"
#include "picture/chart_picture.h"
#include "workbench/settings.h"
#include "workbench/workbench_session.h"

namespace ampvane::cli {

constexpr int kSuccess = 0;
constexpr int kRejected = 1; // the input was refused or a file could not be read or written
constexpr int kUsage = 2;    // the command line itself is wrong

// A usage error: the text, then the command's usage (or the whole usage text).
class UsageFailure {
public:
    explicit UsageFailure(std::string text) : text_(std::move(text)) {}
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

class CliRegistry {
public:
    explicit CliRegistry(CLI::App& root) : root_(root) {}

    // Adds a subcommand. `usage` holds its lines of the usage text ("  name ARGS\n" then
    // explanation lines indented by 15). `run` is called after parsing; it checks the values
    // (throwing UsageFailure for a usage error) and returns the exit status.
    CLI::App& Add(const std::string& name, const std::string& usage, std::function<int()> run);

    // Parses and runs; returns the exit status.
    int Main(int argc, char** argv);

private:
    struct Command {
        CLI::App* app = nullptr;
        std::string usage;
        std::function<int()> run;
    };
    std::string UsageText() const;
    int UsageError(const std::string& text, const Command* command) const;

    CLI::App& root_;
    std::vector<Command> commands_;
};

// Every command group registers itself here; main.cpp lists them in usage-text order.
void RegisterReportCommands(CliRegistry& registry);
void RegisterOpinionCommand(CliRegistry& registry);
void RegisterToolCommands(CliRegistry& registry);
void RegisterWiringCommand(CliRegistry& registry);
void RegisterCompareCommand(CliRegistry& registry);
void RegisterOnlineCommands(CliRegistry& registry);
void RegisterProjectCommands(CliRegistry& registry);
void RegisterTableCommands(CliRegistry& registry);
void RegisterWizardCommand(CliRegistry& registry);
void RegisterGraphCommand(CliRegistry& registry);
void RegisterPropellerCommands(CliRegistry& registry);

// Prints every message on stderr and keeps its text (the JSON outputs list them). Questions take
// their default answer (OK, else Yes) and say so.
class CliMessages final : public MessageSink, public Prompter {
public:
    void Report(const Message& message) override;
    Button Ask(const Message& message) override;
    std::vector<std::string> texts;
};

// Prints "ampvane-cli: text" on stderr and returns kRejected.
int Rejected(const std::string& text);

// A whole number in [minimum, maximum] written with digits only, else nothing.
std::optional<int> ParseWhole(std::string_view text, int minimum, int maximum);

// The text of a project file, of standard input for "-", or the built-in sample when no file is
// given; nothing when it cannot be read.
std::optional<std::string> ReadProjectSource(const std::optional<std::string>& file);

// The project text of a project stored in the project table of the data folder, as the workbench
// shows it after Open with the settings of the configuration file; nothing (after the message)
// when the tables cannot be opened or hold no such project.
std::optional<std::string> StoredProjectText(const std::string& name, CliMessages& messages);

// Where a command takes its project from: a file ("-": standard input), a stored project
// (--project NAME), or else the built-in sample.
struct ProjectSource {
    std::optional<std::string> file;
    std::optional<std::string> stored;
};
// Adds the project file argument and --project; checks that at most one is given.
void AddProjectSourceOptions(CLI::App& app, ProjectSource& source);
void CheckProjectSource(const ProjectSource& source, bool required, const std::string& command);

// Reads a project into the session (its units and flying conditions included); false after the
// message when the source cannot be read or holds no project.
bool LoadProjectSource(const ProjectSource& source, WorkbenchSession& session, CliMessages& messages);

// Reads a project, gathers it as Compute Report does and builds the static report. Gives the
// message and returns nothing when the input is refused.
// The display options (minimum report digits, hidden columns, print colours) come from the settings
// file when one is named, else from the data folder's configuration file when there is one, else the
// project's own hold.
std::optional<Report> ComputeProjectReport(const ProjectSource& source, CliMessages& messages, int& status,
                                           const std::optional<std::string>& settingsFile = std::nullopt);
inline std::optional<Report> ComputeProjectReport(const std::optional<std::string>& file, CliMessages& messages,
                                                  int& status,
                                                  const std::optional<std::string>& settingsFile = std::nullopt) {
    return ComputeProjectReport(ProjectSource{file, std::nullopt}, messages, status, settingsFile);
}

// "--settings FILE": another configuration file for the display options.
void AddSettingsOption(CLI::App& app, std::optional<std::string>& settingsFile);
inline constexpr const char* kSettingsUsage =
    "               report, inflight, opinion, compare, graph and wizard take --settings FILE:\n"
    "               the display options (report digits, hidden columns, print colours, the\n"
    "               graph's remembered axes, the wizard's advanced settings shown) from FILE\n"
    "               instead of the data folder's Ampvane.ini\n";

// The display options for a command: true with `settings` filled when a configuration applies,
// false with `settings` untouched when none does; nothing (after the message) when the named file
// cannot be read.
std::optional<bool> LoadDisplaySettings(const std::optional<std::string>& settingsFile, Settings& settings,
                                        const NumberLocale& locale, CliMessages& messages);

// The in-flight report of a 1-based row of a static report, or nothing with `status` set.
std::optional<Report> ComputeInFlightReport(Report& report, int row, bool forOpinion, CliMessages& messages,
                                                   int& status);

// Writes `contents` to the file `output` (whole or not at all) or to standard output; `what`
// names the contents in the message for a failed write to standard output.
int WriteContents(const std::optional<std::string>& output, const std::string& contents, std::string_view what,
                  CliMessages& messages);

// Where a long command's output goes, opened before the work: a file is created at once (so a missing
// or read-only folder, or a folder named as the file, is reported before any computing) and written
// piece by piece, replacing the old file only when complete; without a file, standard output.
class CliOutput {
public:
    // Nothing when ready; else the exit status after the message was given.
    std::optional<int> Open(const std::optional<std::string>& output, CliMessages& messages);
    bool Write(std::string_view piece);
    // Completes the file (or flushes standard output); the exit status. `what` names the contents.
    int Finish(std::string_view what, CliMessages& messages);

private:
    FileWriter file_;
    bool toFile_ = false;
    bool failed_ = false;
    int error_ = 0;
};

// The picture options of a command that saves a chart: the file (named by `fileOption` in messages)
// must end in .png, .jpg, .jpeg, .bmp, .svg or .pdf; --size WIDTHxHEIGHT and --scale N as given or
// nothing. Throws UsageFailure with the reason.
PictureSize ChartPictureOptions(const std::string& file, const char* fileOption, const std::optional<std::string>& size,
                                const std::optional<std::string>& scale);

// JSON for the commands' own outputs: two-space indent, a final line feed.
int WriteJson(const std::optional<std::string>& output, const nlohmann::ordered_json& value, CliMessages& messages);

} // namespace ampvane::cli
