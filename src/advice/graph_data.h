// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/report_grid.h"
#include "common/messages.h"
#include "common/numeric_text.h"

// What a graph of a report plots: the axis items offered for a report grid, the stored axis choices
// and their defaults, reading cells as numbers and the two point series. The graph window and the
// terminal draw what this gives; neither reads the grid itself.

namespace ampvane {

// 0 for a static report, 1 for an in-flight report; each kind keeps its own stored axes.
enum class GraphKind { Static = 0, InFlight = 1 };
GraphKind GraphKindOf(const ReportGrid& grid);

// The stored axis choices of one graph kind: item texts (empty: the default) and the lines switch.
struct GraphAxesChoice {
    std::string x;
    std::string y1;
    std::string y2;
    bool lines = true;
    bool operator==(const GraphAxesChoice&) const = default;
};

// Grid column indices of the three axes.
struct GraphColumns {
    int x = 0;
    int y1 = 0;
    int y2 = 0;
    bool operator==(const GraphColumns&) const = default;
};

// The item text of a column: header row 0 trimmed, then a space and header row 1 trimmed when that is
// not empty, "(m:s)" written "(sec)": "Motor Amps", "Time (sec)", "Cells".
std::string GraphItemText(const ReportGrid& grid, int column);
// One item per grid column, hidden columns included; the index is the column.
std::vector<std::string> GraphItemTexts(const ReportGrid& grid);

// Motor current (static) or airspeed (in-flight) across, propeller or fan rpm on the left, motor and
// gearbox efficiency on the right.
GraphColumns DefaultGraphColumns(const ReportGrid& grid);
// Each axis takes the item whose text equals the stored text, else its default column.
GraphColumns RestoreGraphColumns(const ReportGrid& grid, const GraphAxesChoice& stored);
GraphAxesChoice StoreGraphColumns(const ReportGrid& grid, const GraphColumns& columns, bool lines);

// A column by its item text ("Motor Amps") or by its quantity's key ("motor_current"); -1 when none.
int FindGraphColumn(const ReportGrid& grid, std::string_view name);

// A cell as a plotted number: "m:s" is seconds (10:05 reads 605), "nSmP" is n + m/100 (4S2P reads
// 4.02), anything else a lenient number; empty reads 0. A text that is no number warns and reads 0.
double GraphCellValue(std::string_view cell, const NumberLocale& locale, MessageSink& sink);

// Both vertical axes show one quantity when they are the same column or their unit rows are equal.
bool GraphSameUnit(const ReportGrid& grid, int y1, int y2);

struct GraphPoint {
    double x = 0;
    double y = 0;
};

struct GraphPlot {
    std::vector<GraphPoint> left;  // red, left axis
    std::vector<GraphPoint> right; // blue, right axis unless sameUnit
    bool sameUnit = false;
    bool lines = true;
    std::string title; // the report's caption after its first " - "
    std::string xTitle;
    std::string leftTitle;
    std::string rightTitle;
    char decimalSeparator = '.'; // the report's, for the axis numbers
};

// The points of every data row in the grid's order; x is stretched by (1 + row * 0.000001) so that rows
// with equal x stay apart, in row order.
GraphPlot BuildGraphPlot(const ReportGrid& grid, const GraphColumns& columns, bool lines, std::string_view caption,
                         MessageSink& sink);

// The text after the first " - ", or the whole text when there is none.
std::string TextAfterFirstDash(std::string_view caption);

} // namespace ampvane
