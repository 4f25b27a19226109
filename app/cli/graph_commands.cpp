// SPDX-License-Identifier: GPL-3.0-or-later
// graph: a report's graph saved as a picture without opening a window, with the axes named as the
// graph window's lists name them.
#include <algorithm>
#include <cctype>

#include "advice/graph_data.h"
#include "advice/graph_picture.h"
#include "cli_command.h"
#include "workbench/display_settings.h"

namespace ampvane::cli {

namespace {
// A name that is no picture type would otherwise silently become a bitmap under the wrong name.
bool HasPictureEnding(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return false;
    std::string ending = name.substr(dot + 1);
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
    return ending == "png" || ending == "jpg" || ending == "jpeg" || ending == "bmp" || ending == "svg" ||
           ending == "pdf";
}

} // namespace

PictureSize ChartPictureOptions(const std::string& file, const char* fileOption, const std::optional<std::string>& sizeText,
                                const std::optional<std::string>& scaleText) {
    if (!HasPictureEnding(file))
        throw UsageFailure(std::string(fileOption) + " needs a file name ending in .png, .jpg, .jpeg, .bmp, .svg or .pdf, not \"" +
                           file + "\"");
    PictureSize size;
    if (sizeText) {
        const auto parsed = ParsePictureSize(*sizeText);
        if (!parsed) throw UsageFailure("--size needs WIDTHxHEIGHT from 200x150 to 4096x4096, not \"" + *sizeText + "\"");
        size = *parsed;
    }
    if (scaleText) {
        const auto scale = ParseWhole(*scaleText, 1, kMaxPictureScale);
        if (!scale) throw UsageFailure("--scale needs a whole number from 1 to 4, not \"" + *scaleText + "\"");
        size.scale = *scale;
    }
    const PictureFormat format = PictureFormatForFileName(file);
    if (const auto problem = PictureSizeProblem(size); problem && format != PictureFormat::Svg && format != PictureFormat::Pdf)
        throw UsageFailure("--size " + std::to_string(size.width) + "x" + std::to_string(size.height) + " at --scale " +
                           std::to_string(size.scale) + ": " + *problem);
    return size;
}

namespace {

int Column(const ReportGrid& grid, const std::string& name, const char* option) {
    const int column = FindGraphColumn(grid, name);
    if (column < 0)
        throw UsageFailure(std::string(option) + ": the report has no column \"" + name +
                           "\"; name it as the graph window lists it (such as \"Motor Amps\") or by its "
                           "report key (such as \"motor_current\")");
    return column;
}
} // namespace

void RegisterGraphCommand(CliRegistry& registry) {
    static struct {
        std::optional<std::string> projectFile, inflight, x, y, y2, output, size, scale, settings;
        bool noLines = false;
    } a;
    CLI::App& app = registry.Add(
        "graph",
        "  graph PROJECT_FILE [--inflight N] [--x COLUMN] [--y COLUMN] [--y2 COLUMN] [--no-lines]\n"
        "               [--size WxH] [--scale N] [--settings FILE] -o FILE.png|.jpg|.bmp|.svg|.pdf\n"
        "               the graph of the static report, or of the in-flight report of row N, with\n"
        "               its title, axis captions and legend; COLUMN is an item of the graph\n"
        "               window's lists (\"Motor Amps\") or a report column key (\"motor_current\");\n"
        "               axes not given are those the settings remember, else the graph window's\n"
        "               defaults; without --y2 the right axis shows the --y column; --size from\n"
        "               200x150 to 4096x4096 (default 640x480), --scale 1 to 4 multiplies the\n"
        "               pixels of PNG, JPEG and BMP for high-density screens\n",
        [] {
            if (!a.projectFile) throw UsageFailure("graph needs a project file");
            if (!a.output || a.output->empty()) throw UsageFailure("graph needs -o FILE");
            const PictureSize size = ChartPictureOptions(*a.output, "-o", a.size, a.scale);
            std::optional<int> row;
            if (a.inflight) {
                row = ParseWhole(*a.inflight, 1, 999999999);
                if (!row) throw UsageFailure("--inflight needs a whole number from 1 up, not \"" + *a.inflight + "\"");
            }
            CliMessages messages;
            Settings settings;
            if (!LoadDisplaySettings(a.settings, settings, NumberLocale{}, messages)) return kRejected;
            int status = kRejected;
            auto report = ComputeProjectReport(a.projectFile, messages, status, a.settings);
            if (!report) return status;
            std::optional<Report> flight;
            if (row) {
                flight = ComputeInFlightReport(*report, *row, false, messages, status);
                if (!flight) return status;
            }
            const ReportGrid& grid = flight ? flight->Grid : report->Grid;
            // What the graph window would open with: the remembered axes of this kind, else its defaults.
            const GraphAxes& remembered = GraphKindOf(grid) == GraphKind::Static ? settings.staticGraph : settings.flightGraph;
            GraphColumns columns = RestoreGraphColumns(grid, {remembered.x, remembered.y1, remembered.y2, remembered.lines});
            if (a.x) columns.x = Column(grid, *a.x, "--x");
            if (a.y) columns.y1 = columns.y2 = Column(grid, *a.y, "--y");
            if (a.y2) columns.y2 = Column(grid, *a.y2, "--y2");
            const GraphPlot plot = BuildGraphPlot(grid, columns, !a.noLines && remembered.lines, "Graph - " + grid.Caption, messages);
            const std::string error = SaveGraphPicture(*a.output, plot, size);
            return error.empty() ? kSuccess : Rejected(error);
        });
    app.add_option("project", a.projectFile);
    app.add_option("--inflight", a.inflight);
    app.add_option("--x", a.x);
    app.add_option("--y", a.y);
    app.add_option("--y2", a.y2);
    app.add_flag("--no-lines", a.noLines);
    app.add_option("--size", a.size);
    app.add_option("--scale", a.scale);
    AddSettingsOption(app, a.settings);
    app.add_option("-o,--output", a.output);
}

} // namespace ampvane::cli
