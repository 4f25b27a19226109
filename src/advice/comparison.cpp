// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/comparison.h"

#include <algorithm>
#include <cmath>

#include "advice/graph_data.h"
#include "analysis/report_export.h"
#include "common/unit_conversion.h"
#include "common/file_write.h"
#include "common/numeric_text.h"
#include "common/text_helpers.h"
#include "model/flight.h"

namespace ampvane {

const std::array<std::string_view, kComparisonRowCount> ComparisonRowLabels = {
    "",
    "Motor", "Motor Constant (rpm/V)", "No Load Current (A)", "Armature Resistance (Ohms)",
    "",
    "Battery", "Series Cell Count", "Parallel Cell Count", "Cell Capacity (mAh)", "Pack Capacity (mAh)",
    "Cell Voltage (V)", "Pack Voltage (V)", "Cell Resistance (Ohms)", "Pack Resistance (Ohms)",
    "",
    "Speed Control (ESC)", "Resistance (Ohms)", "Maximum Current (A)", "Number of ESCs",
    "",
    "Drive System", "Gear Ratio", "Propeller (in x in)", "Series Motors", "Parallel Motors",
    "Number of Propellers", "Blades per Propeller",
    "",
    "Airframe", "Wing Span (in)", "Wing Area (sq.in)", "Total Weight (oz)",
    "",
    "Static Predictions", "Current (A)", "Motor Voltage (V)", "Input Power (W)", "Input Power Loading (W/lb)",
    "Power Loss (W)", "Motor/Gearbox Output (W)", "Output Power Loading (W/lb)", "Motor/Gearbox Efficiency (%)",
    "Shaft Efficiency (%)", "Motor RPM", "Propeller RPM", "Static Thrust (oz)", "Pitch Speed (mph)",
    "Run Time (min:sec)",
    "",
    "Flight Predictions", "Stall Speed (mph)", "Optimal Flight Speed (mph)", "Throttle for Optimal (%)",
    "Duration at Optimal (m:s)", "Motor Temp at Optimal (°F)", "Hands-off Speed (mph)", "Throttle for Hands-off (%)",
    "Duration Hands-off (m:s)", "Motor Temp Hands-off (°F)", "Best Rate of Climb (ft/min)", "Rate of Sink (ft/min)",
};

namespace {

struct MetricLabelPair {
    std::string_view from;
    std::string_view to;
};
constexpr std::array<MetricLabelPair, 10> kMetricLabelMap{{
    {"(in)", "(cm)"},
    {"sq.in", "dm²"},
    {"Weight (oz)", "Weight (g)"},
    {"W/lb", "W/kg"},
    {"mph", "m/s"},
    {"ft/min", "m/s"},
    {"in x in", "cm x cm"},
    {"°F", "°C"},
    {"Thrust (oz)", "Thrust (g)"},
    {"Thrust (oz)", "Thrust (N)"},
}};

const std::string kEmpty;

// Characters, not bytes: labels hold "°" and "²".
int TextLength(std::string_view text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

} // namespace

ComparisonUnitFlags ComparisonUnitFlagsOf(const AnalysisOptions& options) {
    return ComparisonUnitFlags{options.Metric != 0, options.MetricPropSizes != 0, options.Newtons != 0,
                               options.MetricTempPress != 0};
}

bool ComparisonHeadingRow(int row) {
    return row > 0 && row < kComparisonRowCount && !ComparisonRowLabels[row].empty() &&
           ComparisonRowLabels[row - 1].empty();
}

std::string ComparisonDisplayLabel(int row, const ComparisonUnitFlags& flags) {
    if (row <= 0 || row >= kComparisonRowCount) return "  ";
    std::string label(ComparisonRowLabels[row]);
    std::vector<int> order;
    if (flags.metric) order = {0, 1, 2, 3, 4, 5, flags.newtons ? 9 : 8};
    if (flags.metricPropSizes) order.push_back(6);
    if (flags.metricTempPress) order.push_back(7);
    for (int pair : order) {
        const auto at = label.find(kMetricLabelMap[pair].from);
        if (at == std::string::npos) continue;
        label.replace(at, kMetricLabelMap[pair].from.size(), kMetricLabelMap[pair].to);
        break;
    }
    return ComparisonHeadingRow(row) ? label : "  " + label;
}

// ---- the table ------------------------------------------------------------------------------------

ComparisonTable::ComparisonTable() { Clear(); }

void ComparisonTable::Clear() {
    columns_.assign(2, std::vector<std::string>(kComparisonRowCount));
    columns_[0][0] = "  ";
    for (int row = 1; row < kComparisonRowCount; ++row) columns_[0][row] = ComparisonDisplayLabel(row, flags_);
    caption_ = "Comparison";
    lastFound_ = 0;
}

int ComparisonTable::AddComparisonColumn(std::string_view title, const ComparisonUnitFlags& flags,
                                         std::string_view conditionLine, std::string_view heatingMiddle) {
    if (firstUse_ || flags != flags_ || conditionLine != conditionLine_ || heatingMiddle != heatingMiddle_) {
        flags_ = flags;
        conditionLine_ = conditionLine;
        heatingMiddle_ = heatingMiddle;
        Clear();
        firstUse_ = false;
    }
    int column = -1;
    for (int c = 1; c < ColumnCount() && column < 0; ++c)
        if (columns_[c][0].empty()) column = c;
    if (column < 0) {
        if (DriveColumnCount() >= kMaxComparisonColumns) return -1;
        columns_.emplace_back(kComparisonRowCount);
        column = ColumnCount() - 1;
    }
    columns_[column][0] = title;
    return column;
}

void ComparisonTable::SetComparisonValue(int column, std::string_view label, std::string_view text) {
    if (column < 1 || column >= ColumnCount()) return;
    for (int i = 0; i < kComparisonRowCount; ++i) {
        const int row = (lastFound_ + i) % kComparisonRowCount;
        if (row > 0 && ComparisonRowLabels[row] == label) {
            columns_[column][row] = text;
            lastFound_ = row;
            return;
        }
    }
}

void ComparisonTable::FinishComparisonColumn(int column) {
    if (column < 1 || column >= ColumnCount()) return;
    for (int b = 1; b < column; ++b) {
        if (columns_[b] == columns_[column]) {
            RemoveColumn(b);
            break;
        }
    }
    std::vector<std::string> titles;
    for (int c = 1; c < ColumnCount(); ++c)
        if (std::find(titles.begin(), titles.end(), columns_[c][0]) == titles.end()) titles.push_back(columns_[c][0]);
    caption_ = "Comparison - ";
    for (std::size_t i = 0; i < titles.size(); ++i) caption_ += (i > 0 ? ", " : "") + titles[i];
}

void ComparisonTable::SetComparisonPrintStyle(std::string_view fontName, RgbColour printColour, bool colourPrinting) {
    printFont_ = fontName;
    printColour_ = colourPrinting ? std::optional<RgbColour>(printColour) : std::nullopt;
}

void ComparisonTable::RemoveColumn(int column) {
    if (column < 1 || column >= ColumnCount()) return;
    if (DriveColumnCount() == 1) {
        std::fill(columns_[column].begin(), columns_[column].end(), std::string());
        return;
    }
    columns_.erase(columns_.begin() + column);
}

void ComparisonTable::MoveColumn(int from, int to) {
    if (from < 1 || to < 1 || from >= ColumnCount() || to >= ColumnCount() || from == to) return;
    std::vector<std::string> moved = std::move(columns_[from]);
    columns_.erase(columns_.begin() + from);
    columns_.insert(columns_.begin() + to, std::move(moved));
}

const std::string& ComparisonTable::Cell(int row, int column) const {
    if (column < 0 || column >= ColumnCount() || row < 0 || row >= kComparisonRowCount) return kEmpty;
    return columns_[column][row];
}

bool ComparisonTable::RowDiffers(int row) const {
    for (int c = 2; c < ColumnCount(); ++c)
        if (Cell(row, c) != Cell(row, 1)) return true;
    return false;
}

// ---- a column from a report row -------------------------------------------------------------------

namespace {

struct CellCount {
    int series = 0;
    int parallel = 1;
};

CellCount ReadCellCount(std::string_view cells, MessageSink& sink) {
    CellCount count;
    const auto s = cells.find('S');
    count.series = LenientInt(TrimText(cells.substr(0, s)), sink);
    if (s != std::string_view::npos) {
        std::string_view rest = cells.substr(s + 1);
        if (const auto p = rest.find('P'); p != std::string_view::npos) rest = rest.substr(0, p);
        count.parallel = LenientInt(TrimText(rest), sink);
    }
    return count;
}

} // namespace

std::optional<ComparisonColumnData> ComparisonColumnFromReport(const Report& pressed, int dataRow, MessageSink& sink) {
    const Report& source = pressed.InFlight() ? *pressed.Parent : pressed;
    const ReportGrid& grid = source.Grid;
    if (pressed.InFlight()) {
        dataRow = FindRowBySequence(grid, TrimText(pressed.RowLabel));
        if (dataRow < 0) dataRow = 0;
    }
    if (dataRow < 0 || dataRow >= grid.RowCount()) return std::nullopt;
    const int gridRow = dataRow + 2;
    const NumberLocale& locale = source.Settings.Locale;
    const PlaneDesc& plane = source.Plane;
    const AnalysisOptions& options = source.Options;
    const AirframeDesc& airframe = plane.Airframe;

    ComparisonColumnData data;
    data.title = TextAfterFirstDash(grid.Caption);
    data.flags = ComparisonUnitFlagsOf(options);
    data.conditionLine = grid.ConditionLine;
    data.heatingMiddle = grid.Note.Middle;
    data.printColours = options.PrintColours != 0;
    data.fontName = "Courier New";

    const auto cell = [&](ReportColumn quantity) -> std::string {
        const int column = grid.Position(quantity);
        if (column < 0 || !grid.Columns[column].Visible()) return {};
        return std::string(TrimText(grid.Cell(gridRow, column)));
    };
    const auto real = [&](double value, int decimals) { return FormatReal(0, decimals, value, locale); };
    const auto put = [&](std::string_view label, std::string text) { data.values.emplace_back(label, std::move(text)); };

    put("Motor", plane.Motor.MotorName);
    put("Motor Constant (rpm/V)", real(plane.Motor.MotorConstant, 0));
    put("No Load Current (A)", real(plane.Motor.IdleCurrent, -3));
    put("Armature Resistance (Ohms)", real(plane.Motor.ArmatureResistance, -4));
    const CellCount cells = ReadCellCount(cell(ReportColumn::Cells), sink);
    const double S = cells.series, P = cells.parallel;
    put("Battery", plane.Cell.CellName);
    put("Series Cell Count", std::to_string(cells.series));
    put("Parallel Cell Count", std::to_string(cells.parallel));
    put("Cell Capacity (mAh)", real(plane.Cell.Capacity, 0));
    put("Pack Capacity (mAh)", real(P * plane.Cell.Capacity, 0));
    put("Cell Voltage (V)", real(plane.Cell.Voltage, -2));
    put("Pack Voltage (V)", real(S * plane.Cell.Voltage, -2));
    put("Cell Resistance (Ohms)", real(plane.Cell.Resistance, -4));
    put("Pack Resistance (Ohms)", P != 0 ? real(S * plane.Cell.Resistance / P, -4) : std::string());
    put("Speed Control (ESC)", plane.ESC.ESCName);
    put("Resistance (Ohms)", real(plane.ESC.Resistance, -4));
    put("Maximum Current (A)", real(plane.ESC.MaxCurrent, -1));
    put("Number of ESCs", std::to_string(plane.NumberOfESCs));
    put("Drive System", plane.Drive.DriveName);
    const auto rewritten = [&](ReportColumn quantity) {
        const std::string text = cell(quantity);
        return text.empty() ? text : real(LenientReal(text, locale, sink), -1);
    };
    put("Propeller (in x in)", rewritten(ReportColumn::Diameter) + "x" + rewritten(ReportColumn::Pitch));
    const bool propeller = plane.Drive.Kind == PropellerDrive;
    put("Gear Ratio", propeller ? cell(ReportColumn::GearRatio) + ":1" : "n/a");
    put("Number of Propellers", propeller ? std::to_string(plane.NumberOfProps) : "n/a");
    put("Blades per Propeller", propeller ? std::to_string(plane.Drive.Blades) : "n/a");
    put("Series Motors", std::to_string(plane.SeriesMotors));
    put("Parallel Motors", std::to_string(plane.ParallelMotors));
    put("Airframe", airframe.AirframeName);
    if (source.Flags.HasWing) {
        // The wing as typed; a report handed internal units shows those.
        const AirframeDesc& wing = source.ReceivedPlane ? source.ReceivedPlane->asTyped.Airframe : airframe;
        put("Wing Span (in)", real(wing.WingSpan, -1));
        put("Wing Area (sq.in)", real(wing.WingArea, data.flags.metric ? -1 : 0));
    }
    put("Total Weight (oz)", cell(ReportColumn::Weight));
    put("Current (A)", cell(ReportColumn::BatteryCurrent));
    put("Motor Voltage (V)", cell(ReportColumn::MotorVoltage));
    put("Input Power (W)", cell(ReportColumn::InputPower));
    put("Input Power Loading (W/lb)", cell(ReportColumn::InputPowerLoading));
    put("Power Loss (W)", cell(ReportColumn::Loss));
    put("Motor/Gearbox Output (W)", cell(ReportColumn::OutputPower));
    put("Output Power Loading (W/lb)", cell(ReportColumn::OutputPowerLoading));
    put("Motor/Gearbox Efficiency (%)", cell(ReportColumn::MotorGearboxEfficiency));
    put("Shaft Efficiency (%)", cell(ReportColumn::ShaftEfficiency));
    std::string motorRpm = cell(ReportColumn::MotorRpm);
    put("Motor RPM", motorRpm.empty() ? cell(ReportColumn::DriveRpm) : motorRpm);
    put("Propeller RPM", cell(ReportColumn::DriveRpm));
    put("Static Thrust (oz)", cell(ReportColumn::Thrust));
    put("Pitch Speed (mph)", cell(ReportColumn::PitchSpeed));
    put("Run Time (min:sec)", cell(ReportColumn::RunTime));

    // Flight predictions.
    const double sigma = options.DensityRatio;
    const double W = TotalWeight(plane, cells.series, cells.parallel);
    const bool metric = data.flags.metric;
    if (source.Flags.HasStall)
        put("Stall Speed (mph)", real(LevelFlightSpeed(sigma, airframe.ClMax, airframe.WingArea, W) * (metric ? kMetresPerSecondPerMph : 1),
                                      metric ? -1 : 0));
    const auto rowNumber = [&](ReportColumn quantity) {
        const std::string text = cell(quantity);
        return text.empty() ? 0.0 : LenientReal(text, locale, sink);
    };
    const double sizeScale = data.flags.metricPropSizes ? kInchesPerCentimetre : 1;
    struct PointLabels {
        const char* speed;
        const char* throttle;
        const char* duration;
        const char* temperature;
    };
    const PointLabels labels[2] = {
        {"Optimal Flight Speed (mph)", "Throttle for Optimal (%)", "Duration at Optimal (m:s)",
         "Motor Temp at Optimal (°F)"},
        {"Hands-off Speed (mph)", "Throttle for Hands-off (%)", "Duration Hands-off (m:s)",
         "Motor Temp Hands-off (°F)"},
    };
    for (int number = 1; number <= 2; ++number) {
        if (!grid.Markers[number].Enabled) continue;
        LevelFlightMarker point;
        if (pressed.Grid.Markers[number].Feasible) {
            point = pressed.Grid.Markers[number];
        } else {
            const double Cl = number == 1 ? airframe.ClOpt : airframe.Cl;
            const double Cd = number == 1 ? (airframe.MaxLiftToDrag != 0 ? airframe.ClOpt / airframe.MaxLiftToDrag : 0)
                                          : airframe.Cd;
            LevelFlightPoint(source, cells.series, cells.parallel, point, Cd, Cl, W,
                             rowNumber(ReportColumn::Pitch) * sizeScale, rowNumber(ReportColumn::Diameter) * sizeScale,
                             rowNumber(ReportColumn::GearRatio));
        }
        const PointLabels& l = labels[number - 1];
        put(l.speed, real(point.Speed * (metric ? kMetresPerSecondPerMph : 1), metric ? -1 : 0));
        put(l.throttle, real(point.Throttle * 100, 0));
        put(l.duration, std::string(TrimText(FormatMinSec(point.RunTime, locale))));
        if (options.AccountForHeating)
            put(l.temperature,
                real(data.flags.metricTempPress ? point.MotorTemperature : FahrenheitFromCelsius(point.MotorTemperature), 0));
    }
    put("Best Rate of Climb (ft/min)", cell(ReportColumn::RateOfClimb));
    if (grid.Markers[1].Enabled) {
        const ClimbResult sink_ = GlideSinkRate(sigma, airframe.WingArea, W, airframe.ClOpt, airframe.MaxLiftToDrag);
        put("Rate of Sink (ft/min)", real(sink_.RateOfClimb * (metric ? kMetresPerSecondPerFootPerMinute : 1), metric ? -2 : 0));
    }
    return data;
}

bool AddComparisonColumnData(ComparisonTable& table, const ComparisonColumnData& data) {
    const int column = table.AddComparisonColumn(data.title, data.flags, data.conditionLine, data.heatingMiddle);
    if (column < 0) return false;
    for (const auto& [label, text] : data.values) table.SetComparisonValue(column, label, text);
    table.FinishComparisonColumn(column);
    table.SetComparisonPrintStyle(data.fontName, RgbColour{0, 128, 128}, data.printColours);
    return true;
}

// ---- files ----------------------------------------------------------------------------------------

namespace {

HeatingNote NoteOf(const ComparisonTable& table) {
    HeatingNote note;
    note.Middle = table.HeatingMiddle();
    return note;
}

std::string FooterLine(const ComparisonWriteSettings& settings) {
    return std::string("Generated by Ampvane ") + kVersionText + ", " + settings.generatedAt + ".";
}

bool Blank(std::string_view text) { return TrimText(text).empty(); }

} // namespace

std::vector<ComparisonLine> ComparisonLines(const ComparisonTable& table, int pageWidth) {
    const int drives = std::max(1, table.DriveColumnCount());
    int labelWidth = 0;
    for (int row = 0; row < kComparisonRowCount; ++row) labelWidth = std::max(labelWidth, TextLength(table.Cell(row, 0)));
    const int driveWidth = std::max(1, (pageWidth - labelWidth) / drives - 1);
    std::vector<ComparisonLine> lines;
    for (int row = 0; row < kComparisonRowCount; ++row) {
        for (int n = 1;; ++n) {
            ComparisonLine line;
            line.header = row == 0;
            line.heading = row > 0 && !Blank(table.Cell(row, 0)) && table.Cell(row, 0)[0] != ' ';
            line.differs = row > 0 && table.RowDiffers(row);
            bool more = false;
            bool anyMore = false;
            line.label = WrappedLine(table.Cell(row, 0), labelWidth, n, more);
            anyMore |= more;
            for (int c = 1; c < table.ColumnCount(); ++c) {
                line.cells.push_back(WrappedLine(table.Cell(row, c), driveWidth, n, more));
                anyMore |= more;
            }
            lines.push_back(std::move(line));
            if (!anyMore || n > 1000) break;
        }
        if (row == 0) lines.emplace_back();
    }
    return lines;
}

std::string ComparisonText(const ComparisonTable& table, const ComparisonWriteSettings& settings) {
    std::string out = table.Caption() + '\n' + table.ConditionLine() + "\n\n";
    for (const ComparisonLine& line : ComparisonLines(table, settings.pageWidth)) {
        std::string text = line.label;
        for (const std::string& cell : line.cells) text += " " + cell;
        if (line.cells.empty() && line.label.empty()) text.clear();
        out += text + '\n';
    }
    out += '\n';
    out += "Note: " + NoteOf(table).Text() + '\n';
    out += FooterLine(settings) + '\n';
    return out;
}

std::string ComparisonHtml(const ComparisonTable& table, const ComparisonWriteSettings& settings) {
    const std::string caption = HtmlEscape(table.Caption());
    std::string out = "<html><head>\n<title>" + caption + "</title>\n";
    out += std::string("<meta name=\"GENERATOR\" content=\"Ampvane ") + kVersionText + "\">\n";
    out += "</head><body>\n<h2>" + caption + "\n<br><font size=+1>\n" + HtmlEscape(table.ConditionLine()) +
           "\n</font></h2>\n";
    out += "<p>\n<table border=0 cellpadding=0 cellspacing=0><tr><td bgcolor=gray>\n"
           "<table border=0 cellpadding=2 cellspacing=1 width=100%>\n";
    for (int row = 0; row < kComparisonRowCount; ++row) {
        out += "<tr valign=top>";
        const bool differs = table.RowDiffers(row);
        for (int c = 0; c < table.ColumnCount(); ++c) {
            const std::string& raw = table.Cell(row, c);
            std::string cell = Blank(raw) ? std::string("&nbsp;") : HtmlEscape(raw);
            if (row == 0) {
                out += "<th bgcolor=" + ColorToHtml(settings.fixedColour) + ">" + cell + "</th>";
            } else if (c == 0) {
                cell = NonBreakingSpaces(cell, '\0');
                const bool bold = cell.empty() || cell[0] != '&';
                out += "<td bgcolor=" + ColorToHtml(settings.labelColour) + ">" +
                       (bold ? "<b>" + cell + "</b>" : cell) + "</td>";
            } else {
                out += "<td bgcolor=" + ColorToHtml(differs ? settings.differenceColour : settings.windowColour) + ">" +
                       cell + "</td>";
            }
        }
        out += "</tr>\n";
    }
    const HeatingNote note = NoteOf(table);
    out += "</table>\n</td></tr></table>\n<p>\n";
    out += "<b>Note:</b> " + note.First + "<b>" + note.Middle + "</b>" + note.Last + "\n";
    out += "<p><font color=#666666 size=-1>Generated by <a href=\"" + std::string(kVendorSite) +
           "\"><font color=#6666CC>Ampvane " + kVersionText + "</font></a>, " + HtmlEscape(settings.generatedAt) +
           ".</font>\n";
    out += "</body></html>\n";
    return out;
}

std::string ComparisonCsv(const ComparisonTable& table, const ComparisonWriteSettings& settings) {
    const int wide = table.DriveColumnCount();
    std::string out = CsvQuote(table.Caption(), true, wide) + '\n' + CsvQuote(table.ConditionLine(), true, wide) + "\n\n";
    for (int row = 0; row < kComparisonRowCount; ++row) {
        for (int c = 0; c < table.ColumnCount(); ++c) out += (c > 0 ? "," : "") + CsvQuote(table.Cell(row, c), true, 0);
        out += '\n';
    }
    out += '\n';
    out += CsvQuote("Note: " + NoteOf(table).Text(), true, wide) + '\n';
    out += CsvQuote(FooterLine(settings), true, wide) + '\n';
    return out;
}

std::string ComparisonContents(const ComparisonTable& table, ComparisonFormat format,
                               const ComparisonWriteSettings& settings) {
    switch (format) {
    case ComparisonFormat::Html: return ComparisonHtml(table, settings);
    case ComparisonFormat::Csv: return ComparisonCsv(table, settings);
    case ComparisonFormat::Text: break;
    }
    return ComparisonText(table, settings);
}

ComparisonFormat ComparisonFormatFor(std::string_view fileName, int filterIndex) {
    switch (ChooseReportFormat(fileName, filterIndex)) {
    case ReportFileFormat::Html: return ComparisonFormat::Html;
    case ReportFileFormat::Csv: return ComparisonFormat::Csv;
    case ReportFileFormat::Text: break;
    }
    return ComparisonFormat::Text;
}

bool SaveComparison(const ComparisonTable& table, const std::string& fileName, ComparisonFormat format,
                    const ComparisonWriteSettings& settings, MessageSink& sink) {
    const std::string error = WriteFileAtomically(fileName, ComparisonContents(table, format, settings));
    if (error.empty()) return true;
    sink.Report(Message{MessageKind::Error, CouldNotWriteMessage(fileName), OkButton | HelpButton, 0});
    return false;
}

} // namespace ampvane
