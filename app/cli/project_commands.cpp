// SPDX-License-Identifier: GPL-3.0-or-later
// project: the projects stored in the project table of the data folder: list them, print one as
// project text, store a project text as a project.
#include <filesystem>

#include "project/project_text.h"
#include "cli_command.h"
#include "common/file_write.h"
#include "data/comp_data_module.h"
#include "data/data_folder.h"
#include "data/name_lookup.h"
#include "data/project_store.h"
#include "workbench/analysis_settings.h"
#include "workbench/configuration.h"
#include "workbench/project_commands.h"

namespace ampvane::cli {

namespace {

// The data folder's tables and settings, as the desktop program opens them.
struct StoredProjects {
    explicit StoredProjects(MessageSink& messages) : tables({DataFolder(), InitialFolder()}, messages) {
        tables.OpenComponentTables();
        const char* home = std::getenv("HOME");
        const std::filesystem::path documents = std::filesystem::path(home ? home : ".") / "Documents";
        ReadConfiguration(ConfigurationFilesFor(tables.dataFolder(), documents / "Ampvane"), settings, locale, messages);
    }
    DbfTable* Projects() {
        DbfTable* table = tables.AmpvaneTable();
        if (!table) Rejected("the project table in \"" + tables.dataFolder() + "\" cannot be opened");
        return table;
    }
    TCompDataModule tables;
    Settings settings;
    NumberLocale locale;
    WorkbenchFields fields;
};

// Questions of a command line: the replace question is answered by --replace, every other by its default.
class ProjectPrompter final : public Prompter {
public:
    ProjectPrompter(CliMessages& messages, bool replace) : messages_(messages), replace_(replace) {}
    Button Ask(const Message& message) override {
        if (message.text.find("already exists in the database") != std::string::npos) {
            if (!replace_) messages_.texts.push_back(message.text);
            return replace_ ? YesButton : NoButtonAnswer;
        }
        return messages_.Ask(message);
    }

private:
    CliMessages& messages_;
    bool replace_;
};

} // namespace

std::optional<std::string> StoredProjectText(const std::string& name, CliMessages& messages) {
    StoredProjects stored(messages);
    DbfTable* projects = stored.Projects();
    if (!projects) return std::nullopt;
    ProjectContext context(stored.fields, stored.tables, stored.settings, stored.locale, messages, messages);
    if (!LoadProjectByName(context, name)) {
        Rejected("there is no project \"" + name + "\" in \"" + stored.tables.dataFolder() + "\"");
        return std::nullopt;
    }
    return CopyProjectText(context, false);
}

namespace {

int ListProjects() {
    CliMessages messages;
    StoredProjects stored(messages);
    DbfTable* projects = stored.Projects();
    if (!projects) return kRejected;
    std::string out;
    for (const std::string& name : ProjectNames(*projects)) out += name + "\n";
    return WriteContents(std::nullopt, out, "project list", messages);
}

int PrintProjectText(const std::string& name, const std::optional<std::string>& output) {
    CliMessages messages;
    const auto contents = StoredProjectText(name, messages);
    if (!contents) return kRejected;
    return WriteContents(output, *contents, "project text", messages);
}

int SaveProjectText(const std::string& file, bool replace) {
    CliMessages messages;
    const auto source = ReadProjectSource(file);
    if (!source) return Rejected("cannot read the project file \"" + file + "\"");
    StoredProjects stored(messages);
    if (!stored.Projects()) return kRejected;
    AnalysisOptionsInput options = AnalysisOptionsInputFrom(stored.settings);
    WorkbenchFields fields = EmptyWorkbenchFields();
    if (!ReadProjectText(*source, fields, options, stored.locale, messages))
        return Rejected("no project found: the text has no \"" + std::string(kProjectTextBegin) + "\" block");
    const std::string name(TrimText(fields.ProjectName()));
    if (name.empty() || name == kUntitledProject)
        return Rejected("the project text names no project (its name line is \"" + fields.ProjectName() + "\")");
    stored.fields = fields;
    ProjectPrompter prompter(messages, replace);
    ProjectContext context(stored.fields, stored.tables, stored.settings, stored.locale, messages, prompter);
    if (!SaveProject(context, false)) {
        if (!replace && FindComponentByName(*stored.Projects(), name))
            return Rejected("a project named \"" + name + "\" is stored already; give --replace to replace it");
        return kRejected;
    }
    std::fprintf(stderr, "ampvane-cli: project \"%s\" stored\n", stored.fields.ProjectName().c_str());
    return kSuccess;
}

} // namespace

void RegisterProjectCommands(CliRegistry& registry) {
    static struct {
        std::string action;
        std::optional<std::string> argument;
        std::optional<std::string> output;
        bool replace = false;
    } args;
    CLI::App& app = registry.Add(
        "project",
        "  project list  the names of the projects stored in the data folder, one a line\n"
        "  project text NAME [-o FILE]\n"
        "               the project text of a stored project\n"
        "  project save FILE [--replace]\n"
        "               stores a project text file (\"-\": standard input) as a project under\n"
        "               its name; --replace replaces a stored project of that name\n",
        [] {
            if (args.output && args.output->empty()) throw UsageFailure("-o needs a file name");
            if (args.action == "list") {
                if (args.argument) throw UsageFailure("unexpected argument \"" + *args.argument + "\"");
                return ListProjects();
            }
            if (args.action == "text") {
                if (!args.argument) throw UsageFailure("project text needs a project name");
                return PrintProjectText(*args.argument, args.output);
            }
            if (args.action == "save") {
                if (!args.argument) throw UsageFailure("project save needs a project file");
                return SaveProjectText(*args.argument, args.replace);
            }
            throw UsageFailure(args.action.empty() ? std::string("project needs list, text or save")
                                                   : "unknown project command \"" + args.action + "\"");
        });
    app.add_option("action", args.action);
    app.add_option("argument", args.argument);
    app.add_option("-o,--output", args.output);
    app.add_flag("--replace", args.replace);
}

} // namespace ampvane::cli
