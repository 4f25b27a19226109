// SPDX-License-Identifier: GPL-3.0-or-later
// graph: a report's graph saved as a picture without opening a window, with the axes named as the
// graph window's lists name them.
#include <algorithm>
#include <cctype>

#include "advice/graph_data.h"
#include "advice/graph_picture.h"
#include "cli_command.h"

namespace ampvane::cli {

namespace {
// A name that is no picture type would otherwise silently become a bitmap under the wrong name.
bool HasPictureEnding(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return false;
    std::string ending = name.substr(dot + 1);
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
    return ending == "png" || ending == "jpg" || ending == "jpeg" || ending == "bmp" || ending == "svg";
}

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
        std::optional<std::string> projectFile, inflight, x, y, y2, output;
        bool noLines = false;
    } a;
    CLI::App& app = registry.Add(
        "graph",
        "  graph PROJECT_FILE [--inflight N] --x COLUMN --y COLUMN [--y2 COLUMN] [--no-lines]\n"
        "               -o FILE.png|.jpg|.bmp|.svg\n"
        "               the graph of the static report, or of the in-flight report of row N,\n"
        "               at 640 x 480; COLUMN is an item of the graph window's lists (\"Motor Amps\")\n"
        "               or a report column key (\"motor_current\"); without --y2 the right axis\n"
        "               shows the --y column\n",
        [] {
            if (!a.projectFile) throw UsageFailure("graph needs a project file");
            if (!a.x) throw UsageFailure("graph needs --x COLUMN");
            if (!a.y) throw UsageFailure("graph needs --y COLUMN");
            if (!a.output || a.output->empty()) throw UsageFailure("graph needs -o FILE");
            if (!HasPictureEnding(*a.output))
                throw UsageFailure("-o needs a file name ending in .png, .jpg, .jpeg, .bmp or .svg, not \"" +
                                   *a.output + "\"");
            std::optional<int> row;
            if (a.inflight) {
                row = ParseWhole(*a.inflight, 1, 999999999);
                if (!row) throw UsageFailure("--inflight needs a whole number from 1 up, not \"" + *a.inflight + "\"");
            }
            CliMessages messages;
            int status = kRejected;
            auto report = ComputeProjectReport(a.projectFile, messages, status);
            if (!report) return status;
            std::optional<Report> flight;
            if (row) {
                flight = ComputeInFlightReport(*report, *row, false, messages, status);
                if (!flight) return status;
            }
            const ReportGrid& grid = flight ? flight->Grid : report->Grid;
            GraphColumns columns;
            columns.x = Column(grid, *a.x, "--x");
            columns.y1 = Column(grid, *a.y, "--y");
            columns.y2 = a.y2 ? Column(grid, *a.y2, "--y2") : columns.y1;
            const GraphPlot plot = BuildGraphPlot(grid, columns, !a.noLines, "Graph - " + grid.Caption, messages);
            const std::string error = SaveGraphPicture(*a.output, plot);
            return error.empty() ? kSuccess : Rejected(error);
        });
    app.add_option("project", a.projectFile);
    app.add_option("--inflight", a.inflight);
    app.add_option("--x", a.x);
    app.add_option("--y", a.y);
    app.add_option("--y2", a.y2);
    app.add_flag("--no-lines", a.noLines);
    app.add_option("-o,--output", a.output);
}

} // namespace ampvane::cli
