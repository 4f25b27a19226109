// SPDX-License-Identifier: GPL-3.0-or-later
// opinion: the plain-language opinion of one row of a project's report, as the report window's
// Opinion button gives it.
#include "advice/opinion.h"
#include "advice/opinion_writers.h"
#include "analysis/report_export.h"
#include "cli_command.h"

namespace ampvane::cli {

void RegisterOpinionCommand(CliRegistry& registry) {
    static struct {
        ProjectSource project;
        std::optional<std::string> row;
        std::optional<std::string> format;
        std::optional<std::string> output;
        std::optional<std::string> settings;
    } args;
    CLI::App& app = registry.Add(
        "opinion",
        "  opinion PROJECT_FILE|--project NAME --row N [--format text|html|rtf] [-o FILE]\n"
        "               the opinion of row N's in-flight analysis (1-based, in the report's\n"
        "               default order); without --format the format follows the extension\n"
        "               of -o (.txt, .htm, .html, .rtf), else text\n",
        [] {
            std::optional<OpinionFileFormat> format;
            if (args.format) {
                OpinionFileFormat chosen{};
                if (!OpinionFormatFromName(*args.format, chosen))
                    throw UsageFailure("unknown format \"" + *args.format + "\" (text, html or rtf)");
                format = chosen;
            }
            if (args.output && args.output->empty()) throw UsageFailure("-o needs a file name");
            CheckProjectSource(args.project, true, "opinion");
            if (!args.row) throw UsageFailure("opinion needs --row N");
            const auto row = ParseWhole(*args.row, 1, 999999999);
            if (!row) throw UsageFailure("--row needs a whole number from 1 up, not \"" + *args.row + "\"");

            CliMessages messages;
            int status = kRejected;
            auto report = ComputeProjectReport(args.project, messages, status, args.settings);
            if (!report) return status;
            const auto inFlight = ComputeInFlightReport(*report, *row, true, messages, status);
            if (!inFlight) return status;

            const OpinionDocument document = ExplainReport(*inFlight);
            if (!format) format = args.output ? ChooseOpinionFormat(*args.output) : OpinionFileFormat::Text;
            if (args.output)
                return SaveOpinion(document, *args.output, *format, FooterDateTime(), messages) ? kSuccess : kRejected;
            return WriteContents(std::nullopt, OpinionContents(document, *format, FooterDateTime()), "opinion",
                                 messages);
        });
    AddProjectSourceOptions(app, args.project);
    app.add_option("--row", args.row);
    app.add_option("--format", args.format);
    app.add_option("-o,--output", args.output);
    AddSettingsOption(app, args.settings);
}

} // namespace ampvane::cli
