// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/report_grid.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace ampvane {
namespace {

struct QuantityNames {
    std::string_view Option;
    std::string_view Key;
};

constexpr std::array<QuantityNames, kReportQuantityCount> kQuantityNames = {{
    {"Airspeed", "airspeed"},
    {"Drag", "drag"},
    {"Lift", "lift"},
    {"Number of Cells", "cells"},
    {"Gear Ratio", "gear_ratio"},
    {"Diameter", "diameter"},
    {"Pitch", "pitch"},
    {"Total Weight", "weight"},
    {"Battery Current", "battery_current"},
    {"Motor Current", "motor_current"},
    {"Motor Voltage", "motor_voltage"},
    {"Input Power", "input_power"},
    {"Input Power Loading", "input_power_loading"},
    {"Power Loss", "loss"},
    {"Output Power", "output_power"},
    {"Output Power Loading", "output_power_loading"},
    {"Motor/Gearbox Efficiency", "motor_gearbox_efficiency"},
    {"Shaft Efficiency", "shaft_efficiency"},
    {"Motor RPM", "motor_rpm"},
    {"Propeller RPM", "drive_rpm"},
    {"Thrust", "thrust"},
    {"Pitch Speed / Efflux", "pitch_speed"},
    {"Rate of Climb", "rate_of_climb"},
    {"Propeller Efficiency", "prop_efficiency"},
    {"Total Efficiency", "total_efficiency"},
    {"Time", "run_time"},
}};

const std::string kEmpty;

std::string Trimmed(std::string_view text) {
    return std::string(TrimmedView(text));
}

} // namespace

std::string_view TrimmedView(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string_view ReportColumnOptionName(ReportColumn quantity) {
    return kQuantityNames[static_cast<int>(quantity)].Option;
}

std::string_view ReportColumnKey(ReportColumn quantity) {
    return kQuantityNames[static_cast<int>(quantity)].Key;
}

ReportColours ReportKeyColours(bool moreThan256Colours) {
    ReportColours colours;
    if (!moreThan256Colours) {
        colours.StallKey = Rgb(0xFFFF00);
        colours.LevelOptKey = Rgb(0x00FFFF);
        colours.LevelKey = Rgb(0x00FF00);
    }
    return colours;
}

std::string ReportGrid::Cell(int gridRow, int column) const {
    if (column < 0 || column >= static_cast<int>(Columns.size())) return {};
    if (gridRow == 0) return Columns[column].Header0;
    if (gridRow == 1) return Columns[column].Header1;
    const int dataRow = gridRow - 2;
    if (dataRow < 0 || dataRow >= RowCount()) return {};
    std::string text;
    AppendCell(text, dataRow, column);
    return text;
}

void ReportGrid::AppendCell(std::string& out, int dataRow, int column) const {
    CellBuffer buffer;
    out += CellView(dataRow, column, buffer);
}

std::string_view ReportGrid::CellView(int dataRow, int column, CellBuffer& buffer) const {
    if (column < 0 || column >= static_cast<int>(Columns.size())) return {};
    const auto row = static_cast<std::size_t>(dataRow);
    const CellFormat& format = Columns[column].Format;
    if (format.Kind == CellKind::Sequence) return CellText(format, Rows.Sequence(row), 1, Locale(), buffer);
    if (column < Rows.Columns())
        return CellText(format, Rows.Number(row, column), Rows.ParallelCells(row), Locale(), buffer);
    return {};
}

double ReportGrid::SortKey(int dataRow, int column, CellBuffer& buffer) const {
    if (column >= 0 && column < Rows.Columns())
        if (const auto key = CellSortKey(Columns[column].Format, Rows.Number(static_cast<std::size_t>(dataRow), column),
                                         DecimalSeparator, TimeSeparator))
            return *key;
    return ReportSortKey(CellView(dataRow, column, buffer), TimeSeparator);
}

double ReportGrid::Value(int dataRow, int column) const {
    if (column < 0 || column >= Rows.Columns() || dataRow < 0 || dataRow >= RowCount()) return 0;
    const double value = Rows.Number(static_cast<std::size_t>(dataRow), column);
    return std::isfinite(value) ? value : 0;
}

RgbColour RowBackgroundColour(RowBackground background, const ReportColours& colours) {
    switch (background) {
    case RowBackground::BelowStall: return colours.StallKey;
    case RowBackground::LevelFlightOpt: return colours.LevelOptKey;
    case RowBackground::LevelFlight: return colours.LevelKey;
    case RowBackground::Plain: break;
    }
    return colours.DataBackground;
}

CellStyle ReportCellStyle(const ReportGrid& grid, int gridRow, int column, bool selected,
                          const ReportColours& colours) {
    CellStyle style;
    if (gridRow < 2) {
        style.Text = colours.HeaderText;
        style.Background = colours.HeaderBackground;
        return style;
    }
    const int dataRow = gridRow - 2;
    style.Text = colours.DataText;
    style.Background = colours.DataBackground;
    style.Bold = column == grid.SortColumn;
    if (dataRow >= grid.RowCount()) return style;
    style.Background = RowBackgroundColour(grid.Background(dataRow), colours);
    if (grid.PropStalled(dataRow)) style.Text = colours.PropStalledText;
    if (selected) {
        // The text takes the colour the background would have had, so the key stays readable.
        style.Text = style.Background;
        style.Background = colours.SelectedBackground;
        style.Bold = true;
    }
    return style;
}

double ReportSortKey(std::string_view cell, char timeSeparator) {
    // Cells are short: the rewritten text lives on the stack, so sorting a million rows allocates
    // nothing per cell.
    const std::string_view trimmed = TrimmedView(cell);
    char stack[64];
    std::string heap;
    char* text = stack;
    if (trimmed.size() > sizeof stack) {
        heap.assign(trimmed);
        text = heap.data();
    } else {
        std::copy(trimmed.begin(), trimmed.end(), stack);
    }
    std::size_t size = trimmed.size();
    for (std::size_t i = 0; i < size; ++i) {
        char& c = text[i];
        if (c == 'P') {
            size = i;
            break;
        }
        if (c == timeSeparator || c == ',' || c == 'S') c = '.';
    }
    double value = 0;
    const char* begin = text;
    const char* end = text + size;
    if (begin != end && *begin == '+') ++begin;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    // A text that is not a number sorts as 0, the value the lenient read gives it.
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return 0;
    return value;
}

void SortReportRows(ReportGrid& grid, int column, bool ascending) {
    const int columns = static_cast<int>(grid.Columns.size());
    if (column < 0 || column >= columns) return;
    grid.SortColumn = column;
    grid.SortAscending = ascending;

    // The sort column first, then each following visible column.
    std::vector<int> order{column};
    for (int c = column + 1; c < columns; ++c)
        if (grid.Columns[c].Visible() && !grid.Columns[c].Sequence) order.push_back(c);

    // Rows are ordered by the sort column's keys, then each run of equal keys by the next column's,
    // and so on: a key is read once per level, and only for rows still tied.
    const std::size_t n = grid.Rows.Count();
    std::vector<std::uint32_t> index(n);
    for (std::size_t r = 0; r < n; ++r) index[r] = static_cast<std::uint32_t>(r);
    std::vector<std::pair<double, std::uint32_t>> keyed;
    CellBuffer cell;
    const auto sortRun = [&](auto& self, std::size_t begin, std::size_t end, std::size_t level) -> void {
        if (end - begin < 2 || level >= order.size()) return;
        keyed.resize(end - begin);
        for (std::size_t i = begin; i < end; ++i) {
            keyed[i - begin] = {grid.SortKey(static_cast<int>(index[i]), order[level], cell), index[i]};
        }
        // Stable, so rows equal in every column keep their order.
        std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto& a, const auto& b) {
            return ascending ? a.first < b.first : b.first < a.first;
        });
        std::vector<double> keys(keyed.size());
        for (std::size_t i = begin; i < end; ++i) {
            index[i] = keyed[i - begin].second;
            keys[i - begin] = keyed[i - begin].first;
        }
        for (std::size_t run = begin; run < end;) {
            std::size_t runEnd = run + 1;
            while (runEnd < end && keys[runEnd - begin] == keys[run - begin]) ++runEnd;
            self(self, run, runEnd, level + 1);
            run = runEnd;
        }
    };
    sortRun(sortRun, 0, n, 0);
    grid.Rows.Reorder(index);
}

void ReportHeaderClicked(ReportGrid& grid, int column, bool rightButton) {
    if (rightButton) {
        SortReportRows(grid, column, false);
    } else if (column == grid.SortColumn) {
        SortReportRows(grid, column, !grid.SortAscending);
    } else {
        SortReportRows(grid, column, true);
    }
}

std::string RowClipboardText(const ReportGrid& grid, int dataRow) {
    std::string text;
    if (dataRow < 0 || dataRow >= grid.RowCount()) return text;
    for (int c = 0; c < static_cast<int>(grid.Columns.size()); ++c) {
        const ReportGridColumn& column = grid.Columns[c];
        if (!column.Visible() || column.Sequence) continue;
        text += Trimmed(Trimmed(column.Header0) + " " + Trimmed(column.Header1));
        text += " = ";
        text += Trimmed(grid.Cell(dataRow + 2, c));
        text += '\n';
    }
    return text;
}

std::string DescriptionAndRowClipboardText(const ReportGrid& grid, int dataRow) {
    std::string text;
    for (const std::string& line : grid.Description)
        if (!line.empty()) text += line + '\n';
    text += "Conditions: " + grid.ConditionLine + '\n';
    text += '\n';
    text += RowClipboardText(grid, dataRow);
    return text;
}

int FindRowBySequence(const ReportGrid& grid, std::string_view sequence) {
    if (grid.SequenceColumn < 0) return -1;
    const std::string_view wanted = TrimmedView(sequence);
    // A row keeps its sequence number: compare numbers, not every row's text, when the text is one.
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), number);
    if (grid.Columns[grid.SequenceColumn].Format.Kind == CellKind::Sequence && error == std::errc() &&
        end == wanted.data() + wanted.size() && std::to_string(number) == wanted) {
        for (std::size_t r = 0; r < grid.Rows.Count(); ++r)
            if (grid.Rows.Sequence(r) == number) return static_cast<int>(r);
        return -1;
    }
    for (int r = 0; r < grid.RowCount(); ++r)
        if (TrimmedView(grid.Cell(r + 2, grid.SequenceColumn)) == wanted) return r;
    return -1;
}

} // namespace ampvane
