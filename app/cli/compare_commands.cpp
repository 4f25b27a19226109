// SPDX-License-Identifier: GPL-3.0-or-later
// compare: chosen rows of a project's report side by side, as the comparison window shows them after
// Compare was pressed on each row.
#include "advice/comparison.h"
#include "analysis/report_export.h"
#include "cli_command.h"

namespace ampvane::cli {

namespace {
bool ComparisonFormatFromName(const std::string& name, ComparisonFormat& format) {
    if (name == "text") format = ComparisonFormat::Text;
    else if (name == "html") format = ComparisonFormat::Html;
    else if (name == "csv") format = ComparisonFormat::Csv;
    else return false;
    return true;
}

// "1,4,7": whole numbers from 1 up, at most as many as the comparison holds.
std::vector<int> ParseRows(const std::string& text) {
    std::vector<int> rows;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string piece = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const auto row = ParseWhole(piece, 1, 999999999);
        if (!row) throw UsageFailure("--rows needs whole numbers from 1 up separated by commas, not \"" + text + "\"");
        rows.push_back(*row);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (rows.size() > static_cast<std::size_t>(kMaxComparisonColumns))
        throw UsageFailure("--rows takes at most " + std::to_string(kMaxComparisonColumns) + " rows");
    return rows;
}
} // namespace

void RegisterCompareCommand(CliRegistry& registry) {
    static struct {
        std::optional<std::string> projectFile;
        std::optional<std::string> rows;
        std::optional<std::string> format;
        std::optional<std::string> output;
        std::optional<std::string> settings;
    } args;
    CLI::App& app = registry.Add(
        "compare",
        "  compare PROJECT_FILE --rows N,N,... [--format text|html|csv] [-o FILE] [--settings FILE]\n"
        "               up to 10 rows of the static report side by side (1-based, in the\n"
        "               report's default order); without --format the format follows the\n"
        "               extension of -o (.txt, .htm, .html, .csv), else text\n",
        [] {
            std::optional<ComparisonFormat> format;
            if (args.format) {
                ComparisonFormat chosen{};
                if (!ComparisonFormatFromName(*args.format, chosen))
                    throw UsageFailure("unknown format \"" + *args.format + "\" (text, html or csv)");
                format = chosen;
            }
            if (args.output && args.output->empty()) throw UsageFailure("-o needs a file name");
            if (!args.projectFile) throw UsageFailure("compare needs a project file");
            if (!args.rows) throw UsageFailure("compare needs --rows N,N,...");
            const std::vector<int> rows = ParseRows(*args.rows);

            CliMessages messages;
            int status = kRejected;
            const auto report = ComputeProjectReport(args.projectFile, messages, status, args.settings);
            if (!report) return status;
            ComparisonTable table;
            for (int row : rows) {
                if (row > report->Grid.RowCount())
                    return Rejected("there is no row " + std::to_string(row) + "; the report has " +
                                    std::to_string(report->Grid.RowCount()) + " rows");
                const auto column = ComparisonColumnFromReport(*report, row - 1, messages);
                if (!column || !AddComparisonColumnData(table, *column)) return Rejected(kComparisonFullMessage);
            }
            ComparisonWriteSettings settings;
            settings.generatedAt = FooterDateTime();
            if (!format) format = args.output ? ComparisonFormatFor(*args.output, kTextFilterIndex) : ComparisonFormat::Text;
            if (args.output) return SaveComparison(table, *args.output, *format, settings, messages) ? kSuccess : kRejected;
            return WriteContents(std::nullopt, ComparisonContents(table, *format, settings), "comparison", messages);
        });
    app.add_option("project", args.projectFile);
    app.add_option("--rows", args.rows);
    app.add_option("--format", args.format);
    app.add_option("-o,--output", args.output);
    AddSettingsOption(app, args.settings);
}

} // namespace ampvane::cli
