// ampvane-cli: the headless front end over the same core as the desktop program.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis_input.h"
#include "analysis/project_text.h"
#include "analysis/report_builder.h"
#include "analysis/report_export.h"
#include "analysis/report_json.h"
#include "common/file_write.h"
#include "common/messages.h"
#include "opinion_command.h"

namespace ampvane {
// The built-in sample project (the components of the start-up sample), compiled in from
// sample_project.txt.
extern const char* const kSampleProjectText;
} // namespace ampvane

namespace {

using namespace ampvane;

constexpr int kSuccess = 0;
constexpr int kRejected = 1;
constexpr int kUsage = 2;

const char* const kUsageText =
    "Usage: ampvane-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  report [PROJECT_FILE] [--format text|html|csv|json] [-o FILE]\n"
    "               the static report of a project text file, or of the built-in\n"
    "               sample project when no file is given\n"
    "  inflight PROJECT_FILE --row N [--throttle PERCENT] [--format ...] [-o FILE]\n"
    "               the in-flight report of row N (1-based, in the report's default\n"
    "               order) at a throttle of 0 to 100 percent (default 100)\n"
    AMPVANE_OPINION_USAGE
    "  --help       show this text\n"
    "  --version    show the program version\n"
    "\n"
    "Without --format the format follows the extension of -o (.txt, .htm, .html, .csv,\n"
    ".json), else text. Messages go to standard error. Exit status: 0 success, 1 input\n"
    "rejected, 2 usage error.\n";

enum class OutputFormat { Text, Html, Csv, Json };

struct Arguments {
    std::string command;
    std::optional<std::string> projectFile;
    std::optional<OutputFormat> format;
    std::optional<std::string> output;
    std::optional<int> row;
    int throttle = 100;
};

// Prints every message on stderr and keeps its text for the JSON output.
class CliMessages final : public MessageSink, public Prompter {
public:
    void Report(const Message& message) override {
        std::fprintf(stderr, "ampvane-cli: %s: %s\n", std::string(MessageKindName(message.kind)).c_str(),
                     message.text.c_str());
        texts.push_back(message.text);
    }
    // Questions take their default answer (OK, else Yes); the question is shown so that the user
    // sees what was decided.
    Button Ask(const Message& message) override {
        const Button answer = DefaultPrompter::DefaultAnswer(message.buttons);
        std::fprintf(stderr, "ampvane-cli: question: %s [answered %s]\n", message.text.c_str(),
                     answer == OkButton ? "OK" : answer == YesButton ? "Yes" : "No");
        texts.push_back(message.text);
        return answer;
    }
    std::vector<std::string> texts;
};

int UsageError(const std::string& text) {
    std::fprintf(stderr, "ampvane-cli: %s\n%s", text.c_str(), kUsageText);
    return kUsage;
}

int Rejected(const std::string& text) {
    std::fprintf(stderr, "ampvane-cli: %s\n", text.c_str());
    return kRejected;
}

std::optional<OutputFormat> ParseFormat(std::string_view name) {
    if (name == "text") return OutputFormat::Text;
    if (name == "html") return OutputFormat::Html;
    if (name == "csv") return OutputFormat::Csv;
    if (name == "json") return OutputFormat::Json;
    return std::nullopt;
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

// Parses the arguments after the command; returns an error text for a usage error.
std::optional<std::string> ParseArguments(int argc, char** argv, Arguments& args) {
    for (int i = 2; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string_view(argv[++i]);
        };
        if (arg == "--format") {
            const auto name = value();
            if (!name) return "--format needs a value";
            args.format = ParseFormat(*name);
            if (!args.format) return "unknown format \"" + std::string(*name) + "\" (text, html, csv or json)";
        } else if (arg == "-o" || arg == "--output") {
            const auto name = value();
            if (!name || name->empty()) return "-o needs a file name";
            args.output = std::string(*name);
        } else if (arg == "--row" && args.command == "inflight") {
            const auto text = value();
            if (!text) return "--row needs a number";
            args.row = ParseWhole(*text, 1, 999999999);
            if (!args.row) return "--row needs a whole number from 1 up, not \"" + std::string(*text) + "\"";
        } else if (arg == "--throttle" && args.command == "inflight") {
            const auto text = value();
            if (!text) return "--throttle needs a number";
            const auto percent = ParseWhole(*text, 0, 100);
            if (!percent) return "--throttle needs a whole percentage from 0 to 100, not \"" + std::string(*text) + "\"";
            args.throttle = *percent;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return "unknown option \"" + std::string(arg) + "\"";
        } else if (!args.projectFile) {
            args.projectFile = std::string(arg);
        } else {
            return "unexpected argument \"" + std::string(arg) + "\"";
        }
    }
    if (args.command == "inflight") {
        if (!args.projectFile) return "inflight needs a project file";
        if (!args.row) return "inflight needs --row N";
    }
    return std::nullopt;
}

OutputFormat FormatFor(const Arguments& args) {
    if (args.format) return *args.format;
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

// Reads the project text: a file, "-" for standard input, or the sample.
std::optional<std::string> ReadProjectSource(const Arguments& args) {
    if (!args.projectFile) return std::string(kSampleProjectText);
    std::string contents;
    if (*args.projectFile == "-") {
        char buffer[65536];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) contents.append(buffer, n);
        if (std::ferror(stdin)) return std::nullopt;
        return contents;
    }
    if (!ReadWholeFile(*args.projectFile, contents)) return std::nullopt;
    return contents;
}

int WriteOutput(const Arguments& args, const ReportGrid& grid, CliMessages& messages) {
    const OutputFormat format = FormatFor(args);
    std::string contents;
    ReportExportSettings settings;
    settings.GeneratedAt = FooterDateTime();
    switch (format) {
    case OutputFormat::Json: contents = ReportJson(grid, messages.texts); break;
    case OutputFormat::Html: contents = ReportHtml(grid, settings); break;
    case OutputFormat::Csv: contents = ReportCsv(grid, settings); break;
    case OutputFormat::Text: contents = ReportText(grid, settings); break;
    }
    if (args.output) {
        if (!WriteFileAtomically(*args.output, contents).empty()) {
            messages.Report(ErrorMessage(CouldNotWriteMessage(*args.output)));
            return kRejected;
        }
        return kSuccess;
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), stdout) == contents.size();
    if (!written || std::fflush(stdout) != 0) return Rejected("cannot write the report: " + std::string(std::strerror(errno)));
    return kSuccess;
}

int Run(const Arguments& args) {
    CliMessages messages;
    const NumberLocale locale;
    const auto source = ReadProjectSource(args);
    if (!source) return Rejected("cannot read the project file \"" + args.projectFile.value_or("-") + "\"");

    WorkbenchFields fields = EmptyWorkbenchFields();
    AnalysisOptionsInput options;
    if (!ReadProjectText(*source, fields, options, locale, messages))
        return Rejected("no project found: the text has no \"" + std::string(kProjectTextBegin) + "\" block");

    const auto input = GatherAnalysisInput(fields, options, locale, messages, messages);
    if (!input) return kRejected; // the field's message has been given

    Report report;
    ReportRequest request;
    request.ConvertUnits = true;
    const ReportOutcome outcome =
        BuildReport(report, request, input->options, input->plane, messages, messages, &ConvertToInternalUnits);
    if (outcome == ReportOutcome::Closed) return kRejected;
    if (args.command == "report") return WriteOutput(args, report.Grid, messages);

    const int row = *args.row - 1;
    if (row >= report.Grid.RowCount()) {
        return Rejected("there is no row " + std::to_string(*args.row) + ": the report has " +
                        std::to_string(report.Grid.RowCount()) + (report.Grid.RowCount() == 1 ? " row" : " rows"));
    }
    ReportOutcome flightOutcome = ReportOutcome::Closed;
    auto inFlight = OpenInFlightReport(report, row, false, messages, messages, &flightOutcome);
    if (!inFlight || flightOutcome == ReportOutcome::Closed) return kRejected;
    if (args.throttle != 100 && SetInFlightThrottle(*inFlight, args.throttle, messages, messages) == ReportOutcome::Closed)
        return kRejected;
    return WriteOutput(args, inFlight->Grid, messages);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsageText, stderr);
        return kUsage;
    }
    const std::string_view command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsageText, stdout);
        return kSuccess;
    }
    if (command == "--version") {
        std::printf("ampvane-cli %s\n", AMPVANE_VERSION);
        return kSuccess;
    }
    if (command == "opinion") return RunOpinionCommand(argc, argv);
    if (command != "report" && command != "inflight") return UsageError("unknown command \"" + std::string(command) + "\"");
    Arguments args;
    args.command = std::string(command);
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsageText, stdout);
            return kSuccess;
        }
    }
    if (const auto error = ParseArguments(argc, argv, args)) return UsageError(*error);
    return Run(args);
}
