// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/graph_data.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace ampvane {

namespace {
std::string Trimmed(std::string_view text) { return std::string(TrimText(text)); }

// A column of non-numbers would warn once per row; the user needs each distinct warning once.
class OnceEachSink final : public MessageSink {
public:
    explicit OnceEachSink(MessageSink& target) : target_(target) {}
    void Report(const Message& message) override {
        if (given_.insert(message.text).second) target_.Report(message);
    }

private:
    MessageSink& target_;
    std::set<std::string> given_;
};
} // namespace

GraphKind GraphKindOf(const ReportGrid& grid) { return grid.InFlight ? GraphKind::InFlight : GraphKind::Static; }

std::string GraphItemText(const ReportGrid& grid, int column) {
    std::string text = Trimmed(grid.Cell(0, column));
    std::string unit = Trimmed(grid.Cell(1, column));
    if (unit == "(m:s)") unit = "(sec)";
    if (!unit.empty()) text += " " + unit;
    return text;
}

std::vector<std::string> GraphItemTexts(const ReportGrid& grid) {
    std::vector<std::string> items;
    items.reserve(grid.Columns.size());
    for (int c = 0; c < static_cast<int>(grid.Columns.size()); ++c) items.push_back(GraphItemText(grid, c));
    return items;
}

GraphColumns DefaultGraphColumns(const ReportGrid& grid) {
    const auto column = [&grid](ReportColumn quantity) { return std::max(0, grid.Position(quantity)); };
    GraphColumns columns;
    columns.x = column(grid.InFlight ? ReportColumn::Airspeed : ReportColumn::MotorCurrent);
    columns.y1 = column(ReportColumn::DriveRpm);
    columns.y2 = column(ReportColumn::MotorGearboxEfficiency);
    return columns;
}

GraphColumns RestoreGraphColumns(const ReportGrid& grid, const GraphAxesChoice& stored) {
    const GraphColumns defaults = DefaultGraphColumns(grid);
    const std::vector<std::string> items = GraphItemTexts(grid);
    const auto find = [&items](const std::string& text, int fallback) {
        if (text.empty()) return fallback;
        for (int c = 0; c < static_cast<int>(items.size()); ++c)
            if (items[c] == text) return c;
        return fallback;
    };
    return GraphColumns{find(stored.x, defaults.x), find(stored.y1, defaults.y1), find(stored.y2, defaults.y2)};
}

GraphAxesChoice StoreGraphColumns(const ReportGrid& grid, const GraphColumns& columns, bool lines) {
    return GraphAxesChoice{GraphItemText(grid, columns.x), GraphItemText(grid, columns.y1),
                           GraphItemText(grid, columns.y2), lines};
}

int FindGraphColumn(const ReportGrid& grid, std::string_view name) {
    const std::string wanted = Trimmed(name);
    if (wanted.empty()) return -1;
    const int count = static_cast<int>(grid.Columns.size());
    for (int c = 0; c < count; ++c)
        if (GraphItemText(grid, c) == wanted) return c;
    for (int c = 0; c < count; ++c)
        if (!grid.Columns[c].Sequence && ReportColumnKey(grid.Columns[c].Quantity) == wanted) return c;
    return -1;
}

namespace {
double ReadGraphCell(std::string_view cell, const NumberLocale& locale, MessageSink& sink);
} // namespace

double GraphCellValue(std::string_view cell, const NumberLocale& locale, MessageSink& sink) {
    // Huge minute counts overflow; a point that cannot be placed is plotted at 0 like any non-number.
    const double value = ReadGraphCell(cell, locale, sink);
    return std::isfinite(value) ? value : 0;
}

namespace {
double ReadGraphCell(std::string_view cell, const NumberLocale& locale, MessageSink& sink) {
    const std::string_view text = TrimText(cell);
    const char separator = locale.timeSeparator != 0 ? locale.timeSeparator : ':';
    if (const auto colon = text.find(separator); colon != std::string_view::npos)
        return ReadGraphCell(text.substr(0, colon), locale, sink) * 60 +
               ReadGraphCell(text.substr(colon + 1), locale, sink);
    if (const auto s = text.find('S'); s != std::string_view::npos) {
        std::string_view parallel = text.substr(s + 1);
        if (!parallel.empty() && parallel.back() == 'P') parallel.remove_suffix(1);
        return LenientReal(text.substr(0, s), locale, sink) + LenientReal(parallel, locale, sink) * 0.01;
    }
    return LenientReal(text, locale, sink);
}
} // namespace

bool GraphSameUnit(const ReportGrid& grid, int y1, int y2) {
    return y1 == y2 || TrimText(grid.Cell(1, y1)) == TrimText(grid.Cell(1, y2));
}

std::string TextAfterFirstDash(std::string_view caption) {
    const auto dash = caption.find(" - ");
    return std::string(dash == std::string_view::npos ? caption : caption.substr(dash + 3));
}

GraphPlot BuildGraphPlot(const ReportGrid& grid, const GraphColumns& columns, bool lines, std::string_view caption,
                         MessageSink& messages) {
    OnceEachSink sink(messages);
    GraphPlot plot;
    const NumberLocale locale{grid.DecimalSeparator, grid.TimeSeparator};
    const int rows = grid.RowCount();
    plot.left.reserve(static_cast<std::size_t>(rows));
    plot.right.reserve(static_cast<std::size_t>(rows));
    for (int r = 2; r < rows + 2; ++r) {
        const double x = GraphCellValue(grid.Cell(r, columns.x), locale, sink) * (1 + r * 0.000001);
        plot.left.push_back({x, GraphCellValue(grid.Cell(r, columns.y1), locale, sink)});
        plot.right.push_back({x, GraphCellValue(grid.Cell(r, columns.y2), locale, sink)});
    }
    plot.sameUnit = GraphSameUnit(grid, columns.y1, columns.y2);
    plot.lines = lines;
    plot.title = TextAfterFirstDash(caption);
    plot.xTitle = GraphItemText(grid, columns.x);
    plot.leftTitle = GraphItemText(grid, columns.y1);
    plot.rightTitle = GraphItemText(grid, columns.y2);
    plot.decimalSeparator = locale.decimal;
    return plot;
}

} // namespace ampvane
