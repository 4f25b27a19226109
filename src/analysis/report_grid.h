// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report_rows.h"
#include "common/text_escape.h"

// The report as data: everything a report window shows (caption, condition line, description lines,
// the grid with its two header rows, the colour key) plus what other windows read from it (column
// positions, level-flight markers, stall speed). The window, the exports, the opinion, comparison and
// graphs all read a report only through this record.

namespace ampvane {

// The quantities a report can show, in the order their columns are created.
enum class ReportColumn : int {
    Airspeed,
    Drag,
    Lift,
    Cells,
    GearRatio,
    Diameter,
    Pitch,
    Weight,
    BatteryCurrent,
    MotorCurrent,
    MotorVoltage,
    InputPower,
    InputPowerLoading,
    Loss,
    OutputPower,
    OutputPowerLoading,
    MotorGearboxEfficiency,
    ShaftEfficiency,
    MotorRpm,
    DriveRpm, // propeller or fan
    Thrust,
    PitchSpeed, // pitch speed margin, or the efflux figure of a fan
    RateOfClimb,
    PropEfficiency,
    TotalEfficiency,
    RunTime,
};
inline constexpr int kReportQuantityCount = 26;

// Caption of the options check box that shows or hides a quantity's column.
std::string_view ReportColumnOptionName(ReportColumn quantity);
// A short stable key for scripting output ("motor_current", ...).
std::string_view ReportColumnKey(ReportColumn quantity);

// Which quantities the options show; all by default.
using ReportColumnsShown = std::array<bool, kReportQuantityCount>;
inline ReportColumnsShown AllReportColumnsShown() {
    ReportColumnsShown shown;
    shown.fill(true);
    return shown;
}

// A colour written as 0xRRGGBB.
constexpr RgbColour Rgb(std::uint32_t rgb) {
    return RgbColour{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                     static_cast<std::uint8_t>(rgb)};
}

struct ReportColours {
    RgbColour StallKey = Rgb(0xFFFFAA);
    RgbColour LevelOptKey = Rgb(0xAAFFFF); // marker 1, "Level Flight @ Clopt="
    RgbColour LevelKey = Rgb(0xAAFFAA);    // marker 2, "Level Flight @ Cl="
    RgbColour PropStalledText = Rgb(0xD40000);
    RgbColour HeaderText = Rgb(0x000000);
    RgbColour HeaderBackground = Rgb(0xD4D0C8);
    RgbColour DataText = Rgb(0x000000);
    RgbColour DataBackground = Rgb(0xFFFFFF);
    RgbColour SelectedBackground = Rgb(0x316AC5);
};

// The key colours depend on the display: pale tints need more than 256 colours.
ReportColours ReportKeyColours(bool moreThan256Colours);

// One level-flight point (index 0: the first row; 1: best lift-to-drag; 2: the airframe's Cl).
struct LevelFlightMarker {
    double Speed = 0; // mph
    double Throttle = 0;
    double MotorCurrent = 0;
    double MotorVoltage = 0;
    double BatteryCurrent = 0;
    double MotorTemperature = 0; // °C
    std::int32_t RunTime = 0;    // s
    double RowMotorCurrent = 0;
    double RowMotorVoltage = 0;
    double RowThrust = 0;
    double RowPitchSpeed = 0;
    double RowDrag = 0;
    bool Enabled = false;
    bool Captured = false;
    bool Feasible = false;
};

// The values of one evaluated combination, in internal units (oz, in, mph, rpm, W, A, V, %, s).
struct ReportRowValues {
    int SeriesCells = 0;
    int ParallelCells = 0;
    double GearRatio = 0, Diameter = 0, Pitch = 0; // propeller only
    double Airspeed = 0;
    double DriveRpm = 0, MotorRpm = 0;
    double MotorCurrent = 0, BatteryCurrent = 0, MotorVoltage = 0;
    double InputPower = 0, OutputPower = 0, Loss = 0;
    double MotorGearboxEfficiency = 0, ShaftEfficiency = 0, PropEfficiency = 0, TotalEfficiency = 0;
    double Thrust = 0, Drag = 0, Lift = 0, TotalWeight = 0;
    double PitchSpeed = 0; // pitch speed margin or efflux
    std::int32_t RunTime = 0;
    double RateOfClimb = 0, ClimbAngle = 0;
    double MotorTemperature = 0;
};

struct ReportGridColumn {
    // The quantity shown; for the trailing sequence-number column, Sequence is true instead.
    ReportColumn Quantity = ReportColumn::Airspeed;
    bool Sequence = false;
    std::string Header0;
    std::string Header1;
    int Width = 0; // characters; -1 when hidden
    CellFormat Format; // how a data cell's text is made from its number
    bool Visible() const { return Width >= 0; }
};

struct HeatingNote {
    std::string First = "Motor performance calculations";
    std::string Middle = " do not "; // shown bold
    std::string Last = "take ambient temperature and heating effects into account.";
    std::string Text() const { return First + Middle + Last; }
};

struct ReportGrid {
    bool InFlight = false;
    bool Propeller = true;
    double ThrottlePercent = 100;
    char DecimalSeparator = '.';
    char TimeSeparator = ':';

    std::string Caption;
    std::string ConditionLine;
    std::array<std::string, 8> Description; // lines 1 to 8; empty ones already moved up
    bool DuctingLineRed = false;            // the line that holds "Ducting:" shows in red
    HeatingNote Note;

    std::vector<ReportGridColumn> Columns;
    std::array<int, kReportQuantityCount> Positions{}; // column of each quantity, -1 when absent
    int SequenceColumn = -1;
    ReportRows Rows; // data rows; grid row r (r >= 2) is data row r - 2
    int TopRow = 2;
    int SortColumn = -1;
    bool SortAscending = true;

    std::array<LevelFlightMarker, 3> Markers;
    double StallSpeed = 0;     // mph; in-flight reports with a stall speed
    bool ShowStall = false;    // in-flight and the airframe has a stall speed
    double MaxLevelSpeed = 0;  // mph
    double MaxTotalWeight = 0; // oz

    // Colour key labels; each shown only when its flag is set.
    std::string StallKeyLabel;
    std::string LevelOptKeyLabel;
    std::string LevelKeyLabel;
    bool ShowStallKey = false;
    bool ShowLevelOptKey = false;
    bool ShowLevelKey = false;
    bool ShowPropStalledKey = false;
    static constexpr std::string_view kPropStalledKeyLabel = "Propeller Stalled ";
    static constexpr std::string_view kColorKeyLabel = "Color Key:";
    bool ShowColorKey() const { return ShowStallKey || ShowLevelOptKey || ShowLevelKey || ShowPropStalledKey; }

    int Position(ReportColumn quantity) const { return Positions[static_cast<int>(quantity)]; }
    int RowCount() const { return static_cast<int>(Rows.Count()); }
    // Text of any grid cell: rows 0 and 1 are the headers. A data cell's text is made as it is read.
    std::string Cell(int gridRow, int column) const;
    // Appends a data cell's text.
    void AppendCell(std::string& out, int dataRow, int column) const;
    // A data cell's text made in `buffer`, valid until the buffer is used again: the way to read
    // many cells without a string each.
    std::string_view CellView(int dataRow, int column, CellBuffer& buffer) const;
    // ReportSortKey of the cell's text, made without the text where that gives the same key.
    double SortKey(int dataRow, int column, CellBuffer& buffer) const;
    // A data cell's value in display units, unrounded (0 when not finite, and for the sequence column).
    double Value(int dataRow, int column) const;
    RowBackground Background(int dataRow) const { return Rows.Background(static_cast<std::size_t>(dataRow)); }
    bool PropStalled(int dataRow) const { return Rows.PropStalled(static_cast<std::size_t>(dataRow)); }
    NumberLocale Locale() const { return NumberLocale{DecimalSeparator, TimeSeparator}; }
};

struct CellStyle {
    RgbColour Text = Rgb(0x000000);
    RgbColour Background = Rgb(0xFFFFFF);
    bool Bold = false;
};

RgbColour RowBackgroundColour(RowBackground background, const ReportColours& colours);

// Font and brush of one grid cell (rows 0 and 1 are the headers); a selected data row keeps the text
// colour its background would have had, on the highlight.
CellStyle ReportCellStyle(const ReportGrid& grid, int gridRow, int column, bool selected,
                          const ReportColours& colours);

// Sorts the data rows by a column, breaking ties by each following visible column. Cells compare as
// numbers: a time m:ss reads as m.ss and a cells text 5S2P as 5.2.
void SortReportRows(ReportGrid& grid, int column, bool ascending);
// A click on a header cell: left sorts ascending or reverses the current sort column; right sorts
// descending.
void ReportHeaderClicked(ReportGrid& grid, int column, bool rightButton);
// The number a cell sorts by.
double ReportSortKey(std::string_view cell, char timeSeparator);

// "Copy Row to Clipboard": one line per visible column, "header0 header1 = cell".
std::string RowClipboardText(const ReportGrid& grid, int dataRow);
// "Copy Description and Row": the description lines, the condition line, an empty line, the row.
std::string DescriptionAndRowClipboardText(const ReportGrid& grid, int dataRow);

// The data row whose sequence number is this text, or -1.
int FindRowBySequence(const ReportGrid& grid, std::string_view sequence);

// Whitespace trimmed at both ends.
std::string_view TrimmedView(std::string_view text);

} // namespace ampvane
