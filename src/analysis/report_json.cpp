// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/report_json.h"

#include <charconv>
#include <cmath>

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

void AppendJsonNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 17);
    out.append(text, result.ptr);
}

std::string JsonNumber(double value) {
    std::string text;
    AppendJsonNumber(text, value);
    return text;
}

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
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
                    static constexpr char kHex[] = "0123456789abcdef";
                    const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
                    out.append(escape, sizeof escape);
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
    out += '"';
}

std::string JsonString(std::string_view text) {
    std::string out;
    AppendJsonString(out, text);
    return out;
}

bool WriteReportJson(const ReportGrid& grid, const std::vector<std::string>& messages, const ReportOutput& output) {
    std::vector<int> columns;
    for (int c = 0; c < static_cast<int>(grid.Columns.size()); ++c)
        if (grid.Columns[c].Visible() && !grid.Columns[c].Sequence) columns.push_back(c);

    ChunkedOutput out(output);
    out += "{\n";
    out += "  \"mode\": " + JsonString(grid.InFlight ? "inflight" : "static") + ",\n";
    out += "  \"drive\": " + JsonString(grid.Propeller ? "propeller" : "fan") + ",\n";
    out += "  \"throttle_percent\": " + JsonNumber(grid.ThrottlePercent) + ",\n";
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
    // What comes before each value of a column: its key and the opening of its object.
    std::vector<std::string> openings;
    for (std::size_t i = 0; i < columns.size(); ++i)
        openings.push_back((i ? ", " : "") + JsonString(ReportColumnKey(grid.Columns[columns[i]].Quantity)) +
                           ": {\"value\": ");
    WriteRowsOnEveryCore(out, grid.Rows.Count(), [&](std::string& text, std::size_t begin, std::size_t end) {
        CellBuffer buffer;
        for (std::size_t row = begin; row < end; ++row) {
            const int r = static_cast<int>(row);
            text += r ? ",\n    {" : "\n    {";
            text += "\"sequence\": ";
            AppendJsonString(text, grid.CellView(r, grid.SequenceColumn, buffer));
            text += ", \"background\": \"";
            text += BackgroundName(grid.Background(r));
            text += grid.PropStalled(r) ? "\", \"prop_stalled\": true" : "\", \"prop_stalled\": false";
            text += ", \"values\": {";
            for (std::size_t i = 0; i < columns.size(); ++i) {
                text += openings[i];
                AppendJsonNumber(text, grid.Value(r, columns[i]));
                text += ", \"text\": ";
                AppendJsonString(text, grid.CellView(r, columns[i], buffer));
                text += '}';
            }
            text += "}}";
        }
    });
    out += grid.Rows.Empty() ? "],\n" : "\n  ],\n";

    out += "  \"markers\": [";
    for (std::size_t i = 0; i < grid.Markers.size(); ++i) {
        const LevelFlightMarker& m = grid.Markers[i];
        out += i ? ",\n    " : "\n    ";
        out += "{\"index\": " + std::to_string(i) + ", \"enabled\": " + (m.Enabled ? "true" : "false") +
               ", \"captured\": " + (m.Captured ? "true" : "false") + ", \"feasible\": " +
               (m.Feasible ? "true" : "false") + ", \"speed_mph\": " + JsonNumber(m.Speed) +
               ", \"throttle\": " + JsonNumber(m.Throttle) + ", \"motor_current\": " + JsonNumber(m.MotorCurrent) +
               ", \"battery_current\": " + JsonNumber(m.BatteryCurrent) + ", \"motor_voltage\": " +
               JsonNumber(m.MotorVoltage) + ", \"motor_temperature_c\": " + JsonNumber(m.MotorTemperature) +
               ", \"run_time_s\": " + std::to_string(m.RunTime) + "}";
    }
    out += "\n  ],\n";
    out += "  \"stall_speed_mph\": " + (grid.ShowStall ? JsonNumber(grid.StallSpeed) : std::string("null")) + ",\n";
    out += "  \"max_level_speed_mph\": " + JsonNumber(grid.MaxLevelSpeed) + ",\n";
    out += "  \"max_total_weight_oz\": " + JsonNumber(grid.MaxTotalWeight) + ",\n";
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
