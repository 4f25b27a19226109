#include "opinion_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "advice/opinion.h"
#include "advice/opinion_writers.h"
#include "analysis/analysis_input.h"
#include "analysis/project_text.h"
#include "analysis/report_builder.h"
#include "analysis/report_export.h"
#include "common/file_write.h"
#include "common/messages.h"

namespace ampvane {

namespace {

constexpr int kSuccess = 0;
constexpr int kRejected = 1;
constexpr int kUsageError = 2;

struct OpinionArguments {
    std::string projectFile;
    int row = 0; // 1-based
    std::optional<OpinionFileFormat> format;
    std::optional<std::string> output;
};

int Usage(const std::string& text) {
    std::fprintf(stderr, "ampvane-cli: %s\nUsage:\n%s", text.c_str(), AMPVANE_OPINION_USAGE);
    return kUsageError;
}

int Rejected(const std::string& text) {
    std::fprintf(stderr, "ampvane-cli: %s\n", text.c_str());
    return kRejected;
}

std::optional<int> RowNumber(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < 1) return std::nullopt;
    return value;
}

std::optional<std::string> Parse(int argc, char** argv, OpinionArguments& args) {
    bool haveFile = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string_view(argv[++i]);
        };
        if (arg == "--row") {
            const auto text = value();
            if (!text) return "--row needs a number";
            const auto row = RowNumber(*text);
            if (!row) return "--row needs a whole number from 1 up, not \"" + std::string(*text) + "\"";
            args.row = *row;
        } else if (arg == "--format") {
            const auto name = value();
            if (!name) return "--format needs a value";
            OpinionFileFormat format{};
            if (!OpinionFormatFromName(*name, format))
                return "unknown format \"" + std::string(*name) + "\" (text, html or rtf)";
            args.format = format;
        } else if (arg == "-o" || arg == "--output") {
            const auto name = value();
            if (!name || name->empty()) return "-o needs a file name";
            args.output = std::string(*name);
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return "unknown option \"" + std::string(arg) + "\"";
        } else if (!haveFile) {
            args.projectFile = std::string(arg);
            haveFile = true;
        } else {
            return "unexpected argument \"" + std::string(arg) + "\"";
        }
    }
    if (!haveFile) return "opinion needs a project file";
    if (args.row == 0) return "opinion needs --row N";
    return std::nullopt;
}

std::optional<std::string> ReadSource(const std::string& file) {
    std::string contents;
    if (file == "-") {
        char buffer[65536];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) contents.append(buffer, n);
        if (std::ferror(stdin)) return std::nullopt;
        return contents;
    }
    if (!ReadWholeFile(file, contents)) return std::nullopt;
    return contents;
}

} // namespace

int RunOpinionCommand(int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(AMPVANE_OPINION_USAGE, stdout);
            return kSuccess;
        }
    }
    OpinionArguments args;
    if (const auto error = Parse(argc, argv, args)) return Usage(*error);

    StreamMessageSink messages(stderr);
    DefaultPrompter prompter(&messages);
    const NumberLocale locale;
    const auto source = ReadSource(args.projectFile);
    if (!source) return Rejected("cannot read the project file \"" + args.projectFile + "\"");

    WorkbenchFields fields = EmptyWorkbenchFields();
    AnalysisOptionsInput options;
    if (!ReadProjectText(*source, fields, options, locale, messages))
        return Rejected("no project found: the text has no \"" + std::string(kProjectTextBegin) + "\" block");
    const auto input = GatherAnalysisInput(fields, options, locale, messages, prompter);
    if (!input) return kRejected; // the field's message has been given

    Report report;
    report.Settings.Locale = locale;
    ReportRequest request;
    request.ConvertUnits = true;
    if (BuildReport(report, request, input->options, input->plane, messages, prompter, &ConvertToInternalUnits) ==
        ReportOutcome::Closed)
        return kRejected;
    const int row = args.row - 1;
    if (row >= report.Grid.RowCount()) {
        return Rejected("there is no row " + std::to_string(args.row) + ": the report has " +
                        std::to_string(report.Grid.RowCount()) + (report.Grid.RowCount() == 1 ? " row" : " rows"));
    }
    ReportOutcome outcome = ReportOutcome::Closed;
    const auto inFlight = OpenInFlightReport(report, row, true, messages, prompter, &outcome);
    if (!inFlight || outcome == ReportOutcome::Closed) return kRejected;

    const OpinionDocument document = ExplainReport(*inFlight);
    const OpinionFileFormat format =
        args.format ? *args.format : args.output ? ChooseOpinionFormat(*args.output) : OpinionFileFormat::Text;
    if (args.output)
        return SaveOpinion(document, *args.output, format, FooterDateTime(), messages) ? kSuccess : kRejected;
    const std::string contents = OpinionContents(document, format, FooterDateTime());
    const bool written = std::fwrite(contents.data(), 1, contents.size(), stdout) == contents.size();
    if (!written || std::fflush(stdout) != 0)
        return Rejected("cannot write the opinion: " + std::string(std::strerror(errno)));
    return kSuccess;
}

} // namespace ampvane
