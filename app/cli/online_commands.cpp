// SPDX-License-Identifier: GPL-3.0-or-later
// update, contributed, contribute and support: the online exchange headless, with the same client
// code as the desktop windows.
#include <csignal>
#include <fstream>
#include <iostream>
#include <sstream>

#include "analysis/analysis_input.h"
#include "project/project_text.h"
#include "cli_command.h"
#include "common/file_write.h"
#include "data/comp_data_module.h"
#include "data/data_folder.h"
#include "data/table_catalogue.h"
#include "data/table_text.h"
#include "online/contribution.h"
#include "online/support_request.h"
#include "online/web_update.h"
#include "workbench/configuration.h"
#include "workbench/owner_name.h"

namespace ampvane::cli {

namespace {

volatile std::sig_atomic_t interruptingSignal = 0;

extern "C" void OnInterrupt(int signal) {
    // A second signal ends the program at once, as if none were caught.
    if (interruptingSignal != 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    interruptingSignal = signal;
}

// SIGINT and SIGTERM during an online command: the transfer is cancelled, nothing more is imported,
// the transfer folder is removed as the command unwinds, and then the program ends by the signal
// after all. Declared before the OnlineSetup, so it outlives the folder.
class Interruption {
public:
    Interruption() {
        struct sigaction action {};
        action.sa_handler = &OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~Interruption() {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
        if (const int signal = interruptingSignal) {
            std::cout.flush();
            std::signal(signal, SIG_DFL);
            std::raise(signal);
        }
    }
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;
    static bool Requested() { return interruptingSignal != 0; }

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

// The configuration's exchange settings and contributor, from the data folder's file.
struct OnlineSetup {
    Settings settings;
    TransferFolder folder;
    SilentTransferView view{&Interruption::Requested}; // an interruption cancels the transfer
    OnlineContext context;
};

void PrepareContext(OnlineSetup& setup, const std::optional<std::string>& server, std::optional<int> timeLimit,
                    CliMessages& messages) {
    const std::string folder = DataFolder();
    ReadConfiguration(ConfigurationFilesFor(folder, folder), setup.settings, NumberLocale{}, messages);
    setup.context.settings = {server ? *server : setup.settings.server, setup.settings.proxyHost,
                              setup.settings.proxyPort};
    setup.context.folder = &setup.folder;
    setup.context.messages = &messages;
    setup.context.view = &setup.view;
    if (timeLimit) setup.context.limits.deadline = std::chrono::seconds(*timeLimit);
}

void CheckServer(const std::optional<std::string>& server) {
    if (server && !ParseServerAddress(*server)) throw UsageFailure(InvalidServerMessage(*server));
}

// "--time-limit SECONDS": a whole number of seconds from 1 to a day.
std::optional<int> TimeLimit(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    const std::optional<int> seconds = ParseWhole(*text, 1, 86400);
    if (!seconds) throw UsageFailure("--time-limit needs a whole number of seconds from 1 to 86400");
    return seconds;
}

// A table key ("motor", ...) or, where allowed, "all".
std::optional<int> KindOfKey(const std::string& key, bool allowProject) {
    for (int kind = allowProject ? 0 : 1; kind < kComponentTableCount; ++kind)
        if (TypeKeyOf(kind) == key) return kind;
    return std::nullopt;
}

std::string KindKeys(bool allowProject) {
    std::string keys;
    for (int kind = allowProject ? 0 : 1; kind < kComponentTableCount; ++kind) keys += (keys.empty() ? "" : ", ") + TypeKeyOf(kind);
    return keys;
}

// Imports into the tables of the data folder; false when the import reported an error or the
// command was interrupted before it.
bool Import(const std::string& file, const TableImportOptions& options, CliMessages& messages) {
    if (Interruption::Requested()) return false;
    const std::string folder = DataFolder();
    TCompDataModule tables({folder, InitialFolder()}, messages);
    tables.OpenComponentTables();
    return !ImportTableText(tables, file, options, messages).errorReported;
}

// The contribution bases by the words a user types.
std::optional<int> BaseOfKind(const std::string& word, int drivePage) {
    if (word == "motor") return 100;
    if (word == "cell") return 200;
    if (word == "filter") return 300;
    if (word == "drive") return drivePage == kDuctedFanPage ? 500 : 400;
    if (word == "speed") return 600;
    if (word == "airframe") return 700;
    return std::nullopt;
}

} // namespace

void RegisterOnlineCommands(CliRegistry& registry) {
    static struct {
        std::optional<std::string> kind;
        std::optional<std::string> server;
        std::optional<std::string> project;
        std::optional<std::string> name;
        std::optional<std::string> email;
        std::vector<std::string> kinds;
        std::optional<std::string> timeLimit;
        bool recent = false;
        bool import = false;
        std::optional<std::string> from, subject, message, messageFile;
        bool noProject = false;
    } args;

    CLI::App& update = registry.Add(
        "update",
        "  update [KIND] [--server HOST[:PORT]] [--time-limit SECONDS]\n"
        "               downloads new and revised components of one table (project, motor,\n"
        "               cell, filter, propeller, fan, speed, airframe) or of all, and imports\n"
        "               them into the tables of the data folder; every online command gives\n"
        "               up a transfer after --time-limit seconds (120 unless given)\n",
        [] {
            CheckServer(args.server);
            const std::optional<int> timeLimit = TimeLimit(args.timeLimit);
            std::optional<int> table;
            if (args.kind && *args.kind != "all") {
                table = KindOfKey(*args.kind, true);
                if (!table) throw UsageFailure("unknown table \"" + *args.kind + "\" (all, " + KindKeys(true) + ")");
            }
            CliMessages messages;
            Interruption interruption;
            OnlineSetup setup;
            PrepareContext(setup, args.server, timeLimit, messages);
            const int helpTopic = table ? 912 : 911;
            const std::string file = DownloadUpdate(setup.context, table, helpTopic);
            if (file.empty()) return kRejected;
            TableImportOptions options;
            if (table) options.table = static_cast<ComponentTableKind>(*table);
            options.alwaysReport = true;
            options.helpTopic = helpTopic;
            options.source = ImportSource::ExchangeUpdate;
            return Import(file, options, messages) ? kSuccess : kRejected;
        });
    update.add_option("kind", args.kind);
    update.add_option("--server", args.server);
    update.add_option("--time-limit", args.timeLimit);

    CLI::App& contributed = registry.Add(
        "contributed",
        "  contributed KIND [--recent] [--import] [--server HOST[:PORT]] [--time-limit S]\n"
        "               lists the components other users contributed to a table (motor, cell,\n"
        "               filter, propeller, fan, speed, airframe), newest first: name, date and\n"
        "               contributor; --recent only those of the last 30 days; --import adds\n"
        "               them all to the tables of the data folder (an empty value there\n"
        "               keeps the stored one)\n",
        [] {
            CheckServer(args.server);
            const std::optional<int> timeLimit = TimeLimit(args.timeLimit);
            if (!args.kind) throw UsageFailure("contributed needs a table");
            const std::optional<int> table = KindOfKey(*args.kind, false);
            if (!table) throw UsageFailure("unknown table \"" + *args.kind + "\" (" + KindKeys(false) + ")");
            CliMessages messages;
            Interruption interruption;
            OnlineSetup setup;
            PrepareContext(setup, args.server, timeLimit, messages);
            const std::string file = setup.folder.File(TypeKeyOf(*table) + ".ctb");
            if (!DownloadContributed(setup.context, file, TypeNameOf(*table), 94, args.recent ? 30 : 0, *table))
                return kRejected;
            std::string text;
            if (!ReadWholeFile(file, text)) return Rejected("the downloaded list could not be read");
            std::vector<std::string> lines = SplitContributedLines(text);
            for (const ContributedEntry& entry : ContributedEntries(lines)) std::cout << entry.name << '\t' << entry.date << '\t' << entry.contributor << '\n';
            std::cout.flush();
            if (!std::cout) return Rejected("the list could not be written to standard output");
            if (!args.import) return kSuccess;
            std::vector<ContributedEntry> entries = ContributedEntries(lines);
            for (ContributedEntry& entry : entries) entry.ticked = true;
            const std::string importFile = setup.folder.File("contrib.tmp");
            if (const std::string error =
                    WriteFileAtomically(importFile, ContributedImportSection(TypeNameOf(*table), ApplyTicks(lines, entries)));
                !error.empty())
                return Rejected(error);
            TableImportOptions options;
            options.alwaysReport = true;
            options.helpTopic = 94;
            options.source = ImportSource::ExchangeContributed;
            return Import(importFile, options, messages) ? kSuccess : kRejected;
        });
    contributed.add_option("kind", args.kind);
    contributed.add_option("--time-limit", args.timeLimit);
    contributed.add_flag("--recent", args.recent);
    contributed.add_flag("--import", args.import);
    contributed.add_option("--server", args.server);

    CLI::App& contribute = registry.Add(
        "contribute",
        "  contribute PROJECT_FILE --name NAME [--email E] KIND... [--server HOST[:PORT]]\n"
        "          [--time-limit SECONDS]\n"
        "               sends components of a project (motor, cell, filter, drive, speed,\n"
        "               airframe) to the exchange, one request each; a refused one stops the rest\n",
        [] {
            CheckServer(args.server);
            const std::optional<int> timeLimit = TimeLimit(args.timeLimit);
            if (!args.project) throw UsageFailure("contribute needs a project file");
            if (!args.name || TrimText(*args.name).empty()) throw UsageFailure("contribute needs --name NAME");
            if (args.kinds.empty()) throw UsageFailure("contribute needs at least one component (motor, cell, filter, drive, speed, airframe)");
            CliMessages messages;
            const std::optional<std::string> text = ReadProjectSource(args.project);
            if (!text) return Rejected("the project file \"" + *args.project + "\" could not be read");
            WorkbenchFields fields = EmptyWorkbenchFields();
            AnalysisOptionsInput options;
            if (!ReadProjectText(*text, fields, options, NumberLocale{}, messages))
                return Rejected("\"" + *args.project + "\" holds no project");
            std::vector<std::pair<int, std::string>> chosen;
            for (const std::string& word : args.kinds) {
                const std::optional<int> base = BaseOfKind(word, fields.DrivePage());
                if (!base) throw UsageFailure("unknown component \"" + word + "\" (motor, cell, filter, drive, speed, airframe)");
                for (const ContributionKind& kind : ContributionKinds(fields.DrivePage()))
                    if (kind.base == *base) {
                        if (TrimText(fields.Text(kind.nameControl)).empty())
                            return Rejected("the project has no " + std::string(kind.kindName) + " to contribute");
                        chosen.emplace_back(*base, std::string(kind.kindName));
                    }
            }
            DisplayPlane plane;
            AnalysisOptions analysis;
            DefaultPrompter prompter(&messages);
            if (!GatherAnalysisInput(fields, options, plane, analysis, NumberLocale{}, messages, prompter)) return kRejected;
            Interruption interruption;
            OnlineSetup setup;
            PrepareContext(setup, args.server, timeLimit, messages);
            const ContributionUnits units{options.measurementMode >= 2, options.measurementMode == 3, options.newtons,
                                          NumberLocale{}};
            const std::string email = args.email ? *args.email : std::string();
            int index = 0;
            for (const auto& [base, kindName] : chosen) {
                const std::string target = ContributionTarget(ContributionPairs(fields, base, *args.name, email, units));
                if (!SendContribution(setup.context, target, kindName, 92, static_cast<int>(chosen.size()), ++index))
                    return kRejected;
            }
            return kSuccess;
        });
    contribute.add_option("project", args.project);
    contribute.add_option("--name", args.name);
    contribute.add_option("--email", args.email);
    contribute.add_option("kinds", args.kinds);
    contribute.add_option("--server", args.server);
    contribute.add_option("--time-limit", args.timeLimit);

    CLI::App& support = registry.Add(
        "support",
        "  support --from E --subject S (--message TEXT | --message-file FILE)\n"
        "          [--project FILE | --no-project] [--server HOST[:PORT]] [--time-limit S]\n"
        "               sends a message to technical support with the program and system\n"
        "               versions and, unless --no-project, a project (the built-in sample\n"
        "               when no file is given)\n",
        [] {
            CheckServer(args.server);
            const std::optional<int> timeLimit = TimeLimit(args.timeLimit);
            if (!args.from || !args.subject) throw UsageFailure("support needs --from and --subject");
            if (args.message.has_value() == args.messageFile.has_value())
                throw UsageFailure("support needs either --message or --message-file");
            if (args.noProject && args.project) throw UsageFailure("--project and --no-project exclude each other");
            SupportRequest request;
            request.from = *args.from;
            request.subject = *args.subject;
            if (args.message) {
                request.message = *args.message;
            } else if (!ReadWholeFile(*args.messageFile, request.message)) {
                return Rejected("the message file \"" + *args.messageFile + "\" could not be read");
            }
            if (!SupportRequestComplete(request.from, request.subject, request.message))
                throw UsageFailure("the sender, the subject and the message must not be blank");
            request.attachProject = !args.noProject;
            if (request.attachProject) {
                const std::optional<std::string> text = ReadProjectSource(args.project);
                if (!text) return Rejected("the project file \"" + *args.project + "\" could not be read");
                request.projectText = *text;
            }
            request.system = CurrentSystemVersion();
            CliMessages messages;
            Interruption interruption;
            OnlineSetup setup;
            PrepareContext(setup, args.server, timeLimit, messages);
            return SendSupportRequest(setup.context, request) == SupportOutcome::Accepted ? kSuccess : kRejected;
        });
    support.add_option("--from", args.from);
    support.add_option("--subject", args.subject);
    support.add_option("--message", args.message);
    support.add_option("--message-file", args.messageFile);
    support.add_option("--project", args.project);
    support.add_flag("--no-project", args.noProject);
    support.add_option("--server", args.server);
    support.add_option("--time-limit", args.timeLimit);
}

} // namespace ampvane::cli
