// SPDX-License-Identifier: GPL-3.0-or-later
// table: the component tables from the terminal: the names in a table, export to table text, CSV or
// HTML, and import of table text into the tables of the data folder.
#include <algorithm>
#include <cstdio>

#include "cli_command.h"
#include "data/comp_data_module.h"
#include "data/data_folder.h"
#include "data/name_lookup.h"
#include "data/table_browse.h"
#include "data/table_text.h"

namespace ampvane::cli {

namespace {

constexpr int kExportHelpTopic = 86;
constexpr int kImportHelpTopic = 87;

std::optional<ComponentTableKind> KindForKey(const std::string& key) {
    for (int kind = 0; kind < kComponentTableCount; ++kind)
        if (TypeKeyOf(kind) == key) return static_cast<ComponentTableKind>(kind);
    return std::nullopt;
}

ComponentTableKind RequireKind(const std::string& key) {
    if (auto kind = KindForKey(key)) return *kind;
    throw UsageFailure("unknown table \"" + key +
                       "\" (motor, cell, propeller, fan, speed, airframe, filter or project)");
}

bool Contains(std::string name, std::string text) {
    const auto upper = [](std::string& s) {
        for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    };
    upper(name);
    upper(text);
    return name.find(text) != std::string::npos;
}

} // namespace

void RegisterTableCommands(CliRegistry& registry) {
    static struct {
        std::string action;
        std::optional<std::string> argument;
        std::optional<std::string> find;
        std::optional<std::string> table;
        std::optional<std::string> format;
    } args;
    CLI::App& app = registry.Add(
        "table",
        "  table list KIND [--find TEXT]\n"
        "               the names in a component table of the data folder, in name order;\n"
        "               KIND is motor, cell, propeller, fan, speed, airframe, filter or project;\n"
        "               --find keeps the names containing TEXT (letter case ignored)\n"
        "  table export FILE [--table KIND] [--format text|csv|html]\n"
        "               one table, or all eight as table text; without --format the format\n"
        "               follows the extension (.htm, .html, .csv), else text\n"
        "  table import FILE [--table KIND]\n"
        "               merges table text into the tables (only KIND's blocks with --table);\n"
        "               exit status 1 when the import reported an error\n",
        [] {
            const std::string action = args.action;
            if (action != "list" && action != "export" && action != "import")
                throw UsageFailure("table needs list, export or import, not \"" + action + "\"");
            if (!args.argument) throw UsageFailure(action == "list" ? "table list needs a table" : "table " + action + " needs a file");
            std::optional<ComponentTableKind> kind;
            if (action == "list") kind = RequireKind(*args.argument);
            if (args.table) {
                if (action == "list") throw UsageFailure("table list takes the table as its argument, not --table");
                kind = RequireKind(*args.table);
            }
            if (args.find && action != "list") throw UsageFailure("--find belongs to table list");
            if (args.format && action != "export") throw UsageFailure("--format belongs to table export");
            std::optional<ExportChoice> format;
            if (args.format) {
                if (*args.format == "text") format = ExportChoice::Text;
                else if (*args.format == "csv") format = ExportChoice::Csv;
                else if (*args.format == "html") format = ExportChoice::Html;
                else throw UsageFailure("unknown format \"" + *args.format + "\" (text, csv or html)");
            }

            CliMessages messages;
            TCompDataModule data({DataFolder(), InitialFolder()}, messages);
            data.OpenComponentTables();
            if (kind && !data.Table(*kind)) return kRejected; // its opening error has been shown

            if (action == "list") {
                DbfTable& table = *data.Table(*kind);
                std::string out;
                for (table.First(); !table.Eof(); table.Next())
                    if (!args.find || Contains(table.Name(), *args.find)) out += table.Name() + "\n";
                return WriteContents(std::nullopt, out, "names", messages);
            }
            if (action == "export") {
                TableExportSettings settings;
                settings.generatedAt = TableExportTimestamp();
                if (!format) format = ExportChoiceFor(*args.argument, 0);
                if (!kind) {
                    if (*format != ExportChoice::Text) throw UsageFailure("all tables are exported as text only; choose a table with --table");
                    if (ExportAllTables(data, *args.argument, settings)) return kSuccess;
                    return Rejected("the file \"" + *args.argument + "\" could not be written");
                }
                return ExportTable(*data.Table(*kind), *kind, *args.argument, *format == ExportChoice::Html,
                                   *format == ExportChoice::Csv, kExportHelpTopic, settings, messages)
                           ? kSuccess
                           : kRejected;
            }
            TableImportOptions options;
            options.table = kind;
            options.alwaysReport = true;
            options.helpTopic = kImportHelpTopic;
            const TableImportResult result = ImportTableText(data, *args.argument, options, messages);
            return result.errorReported ? kRejected : kSuccess;
        });
    app.add_option("action", args.action)->required();
    app.add_option("argument", args.argument);
    app.add_option("--find", args.find);
    app.add_option("--table", args.table);
    app.add_option("--format", args.format);
}

} // namespace ampvane::cli
