// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/report_json.h"

#include <cmath>
#include <cstdio>

namespace ampvane {
namespace {

// Length of the valid UTF-8 sequence at text[i], or 0.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned minimum = 0, code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

std::string Number(double value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

const char* BackgroundName(RowBackground background) {
    switch (background) {
    case RowBackground::BelowStall: return "below_stall";
    case RowBackground::LevelFlightOpt: return "level_flight_opt";
    case RowBackground::LevelFlight: return "level_flight";
    case RowBackground::Plain: break;
    }
    return "plain";
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", c);
                    out += escape;
                } else {
                    out += static_cast<char>(c);
                }
            }
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out + "\"";
}

bool WriteReportJson(const ReportGrid& grid, const std::vector<std::string>& messages, const ReportOutput& output) {
    std::vector<int> columns;
    for (int c = 0; c < static_cast<int>(grid.Columns.size()); ++c)
        if (grid.Columns[c].Visible() && !grid.Columns[c].Sequence) columns.push_back(c);

    ChunkedOutput out(output);
    out += "{\n";
    out += "  \"mode\": " + JsonString(grid.InFlight ? "inflight" : "static") + ",\n";
    out += "  \"drive\": " + JsonString(grid.Propeller ? "propeller" : "fan") + ",\n";
    out += "  \"throttle_percent\": " + Number(grid.ThrottlePercent) + ",\n";
    out += "  \"caption\": " + JsonString(grid.Caption) + ",\n";
    out += "  \"conditions\": " + JsonString(grid.ConditionLine) + ",\n";
    out += "  \"description\": [";
    bool first = true;
    for (const std::string& line : grid.Description) {
        if (line.empty()) continue;
        out += (first ? "\n    " : ",\n    ") + JsonString(line);
        first = false;
    }
    out += first ? "],\n" : "\n  ],\n";
    out += "  \"note\": " + JsonString(grid.Note.Text()) + ",\n";

    out += "  \"columns\": [";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ReportGridColumn& column = grid.Columns[columns[i]];
        out += i ? ",\n    " : "\n    ";
        out += "{\"key\": " + JsonString(ReportColumnKey(column.Quantity)) + ", \"header\": [" +
               JsonString(column.Header0) + ", " + JsonString(column.Header1) + "]}";
    }
    out += columns.empty() ? "],\n" : "\n  ],\n";

    out += "  \"rows\": [";
    for (int r = 0; r < grid.RowCount(); ++r) {
        out += r ? ",\n    {" : "\n    {";
        out += "\"sequence\": " + JsonString(grid.Cell(r + 2, grid.SequenceColumn));
        out += ", \"background\": " + JsonString(BackgroundName(grid.Background(r)));
        out += std::string(", \"prop_stalled\": ") + (grid.PropStalled(r) ? "true" : "false");
        out += ", \"values\": {";
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const int c = columns[i];
            out += i ? ", " : "";
            out += JsonString(ReportColumnKey(grid.Columns[c].Quantity)) + ": {\"value\": " +
                   Number(grid.Value(r, c)) +
                   ", \"text\": " + JsonString(grid.Cell(r + 2, c)) + "}";
        }
        out += "}}";
    }
    out += grid.Rows.Empty() ? "],\n" : "\n  ],\n";

    out += "  \"markers\": [";
    for (std::size_t i = 0; i < grid.Markers.size(); ++i) {
        const LevelFlightMarker& m = grid.Markers[i];
        out += i ? ",\n    " : "\n    ";
        out += "{\"index\": " + std::to_string(i) + ", \"enabled\": " + (m.Enabled ? "true" : "false") +
               ", \"captured\": " + (m.Captured ? "true" : "false") + ", \"feasible\": " +
               (m.Feasible ? "true" : "false") + ", \"speed_mph\": " + Number(m.Speed) +
               ", \"throttle\": " + Number(m.Throttle) + ", \"motor_current\": " + Number(m.MotorCurrent) +
               ", \"battery_current\": " + Number(m.BatteryCurrent) + ", \"motor_voltage\": " +
               Number(m.MotorVoltage) + ", \"motor_temperature_c\": " + Number(m.MotorTemperature) +
               ", \"run_time_s\": " + std::to_string(m.RunTime) + "}";
    }
    out += "\n  ],\n";
    out += "  \"stall_speed_mph\": " + (grid.ShowStall ? Number(grid.StallSpeed) : std::string("null")) + ",\n";
    out += "  \"max_level_speed_mph\": " + Number(grid.MaxLevelSpeed) + ",\n";
    out += "  \"max_total_weight_oz\": " + Number(grid.MaxTotalWeight) + ",\n";
    out += "  \"messages\": [";
    for (std::size_t i = 0; i < messages.size(); ++i) out += (i ? ", " : "") + JsonString(messages[i]);
    out += "]\n}\n";
    return out.Flush();
}

std::string ReportJson(const ReportGrid& grid, const std::vector<std::string>& messages) {
    std::string text;
    WriteReportJson(grid, messages, AppendTo(text));
    return text;
}

} // namespace ampvane
