// SPDX-License-Identifier: GPL-3.0-or-later
// report and inflight: the static report of a project and the in-flight report of one of its rows.
#include <cctype>

#include "analysis/report_export.h"
#include "analysis/report_json.h"
#include "cli_command.h"

namespace ampvane::cli {

namespace {

enum class OutputFormat { Text, Html, Csv, Json };

struct ReportArguments {
    ProjectSource project;
    std::optional<std::string> format;
    std::optional<std::string> output;
    std::optional<std::string> row;
    std::optional<std::string> throttle;
    std::optional<std::string> settings;
};

std::optional<OutputFormat> ParseFormat(std::string_view name) {
    if (name == "text") return OutputFormat::Text;
    if (name == "html") return OutputFormat::Html;
    if (name == "csv") return OutputFormat::Csv;
    if (name == "json") return OutputFormat::Json;
    return std::nullopt;
}

OutputFormat FormatFor(const ReportArguments& args) {
    if (args.format) {
        const auto format = ParseFormat(*args.format);
        if (!format) throw UsageFailure("unknown format \"" + *args.format + "\" (text, html, csv or json)");
        return *format;
    }
    if (!args.output) return OutputFormat::Text;
    const std::string& name = *args.output;
    if (name.size() >= 5) {
        std::string ending = name.substr(name.size() - 5);
        for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ending == ".json") return OutputFormat::Json;
    }
    switch (ChooseReportFormat(name)) {
    case ReportFileFormat::Html: return OutputFormat::Html;
    case ReportFileFormat::Csv: return OutputFormat::Csv;
    case ReportFileFormat::Text: break;
    }
    return OutputFormat::Text;
}

void AddOutputOptions(CLI::App& app, ReportArguments& args) {
    AddProjectSourceOptions(app, args.project);
    app.add_option("--format", args.format);
    app.add_option("-o,--output", args.output);
    AddSettingsOption(app, args.settings);
}

// Streams the report into the output opened before it was computed.
int WriteReport(CliOutput& output, OutputFormat format, const ReportGrid& grid, CliMessages& messages) {
    ReportExportSettings settings;
    settings.GeneratedAt = FooterDateTime();
    const ReportOutput write = [&](std::string_view piece) { return output.Write(piece); };
    switch (format) {
    case OutputFormat::Json: WriteReportJson(grid, messages.texts, write); break;
    case OutputFormat::Html: WriteReportHtml(grid, settings, write); break;
    case OutputFormat::Csv: WriteReportCsv(grid, settings, write); break;
    case OutputFormat::Text: WriteReportText(grid, settings, write); break;
    }
    return output.Finish("report", messages);
}

void CheckOutputName(const ReportArguments& args) {
    if (args.output && args.output->empty()) throw UsageFailure("-o needs a file name");
}

} // namespace

void RegisterReportCommands(CliRegistry& registry) {
    static ReportArguments report;
    CLI::App& reportApp = registry.Add(
        "report",
        std::string("  report [PROJECT_FILE | --project NAME] [--format text|html|csv|json] [-o FILE]\n"
        "               [--settings FILE]\n"
        "               the static report of a project text file, of a stored project,\n"
        "               or of the built-in sample project when neither is given\n") +
            kSettingsUsage,
        [] {
            CheckOutputName(report);
            CheckProjectSource(report.project, false, "report");
            const OutputFormat format = FormatFor(report);
            CliMessages messages;
            CliOutput output;
            if (const auto failed = output.Open(report.output, messages)) return *failed;
            int status = kRejected;
            const auto built = ComputeProjectReport(report.project, messages, status, report.settings);
            if (!built) return status;
            return WriteReport(output, format, built->Grid, messages);
        });
    AddOutputOptions(reportApp, report);

    static ReportArguments inflight;
    CLI::App& inflightApp = registry.Add(
        "inflight",
        "  inflight PROJECT_FILE|--project NAME --row N [--throttle PERCENT] [--format ...]\n"
        "               [-o FILE]\n"
        "               the in-flight report of row N (1-based, in the report's default\n"
        "               order) at a throttle of 0 to 100 percent (default 100)\n",
        [] {
            CheckOutputName(inflight);
            const OutputFormat format = FormatFor(inflight);
            CheckProjectSource(inflight.project, true, "inflight");
            if (!inflight.row) throw UsageFailure("inflight needs --row N");
            const auto row = ParseWhole(*inflight.row, 1, 999999999);
            if (!row) throw UsageFailure("--row needs a whole number from 1 up, not \"" + *inflight.row + "\"");
            int throttle = 100;
            if (inflight.throttle) {
                const auto percent = ParseWhole(*inflight.throttle, 0, 100);
                if (!percent)
                    throw UsageFailure("--throttle needs a whole percentage from 0 to 100, not \"" +
                                       *inflight.throttle + "\"");
                throttle = *percent;
            }
            CliMessages messages;
            CliOutput output;
            if (const auto failed = output.Open(inflight.output, messages)) return *failed;
            int status = kRejected;
            auto built = ComputeProjectReport(inflight.project, messages, status, inflight.settings);
            if (!built) return status;
            auto flight = ComputeInFlightReport(*built, *row, false, messages, status);
            if (!flight) return status;
            if (throttle != 100 && SetInFlightThrottle(*flight, throttle, messages, messages) == ReportOutcome::Closed)
                return kRejected;
            return WriteReport(output, format, flight->Grid, messages);
        });
    AddOutputOptions(inflightApp, inflight);
    inflightApp.add_option("--row", inflight.row);
    inflightApp.add_option("--throttle", inflight.throttle);
}

} // namespace ampvane::cli
