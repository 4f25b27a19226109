// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/report_json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

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

// A character a JSON string holds as it is: printable ASCII but the quote and the backslash.
bool IsPlainJson(unsigned char c) {
    return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
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

constexpr std::uint64_t kPowersOf5[] = {1,
                                        5,
                                        25,
                                        125,
                                        625,
                                        3125,
                                        15625,
                                        78125,
                                        390625,
                                        1953125,
                                        9765625,
                                        48828125,
                                        244140625,
                                        1220703125,
                                        6103515625,
                                        30517578125,
                                        152587890625,
                                        762939453125,
                                        3814697265625,
                                        19073486328125,
                                        95367431640625,
                                        476837158203125,
                                        2384185791015625};
constexpr double kTens[] = {1e-4, 1e-3, 1e-2, 1e-1, 1,    1e1,  1e2,  1e3,  1e4,  1e5,  1e6, 1e7,
                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17}; // 10^(i - 4)
constexpr std::uint64_t kE16 = 10000000000000000;
constexpr std::uint64_t kE17 = 10 * kE16;

__extension__ using Wide = unsigned __int128; // GCC's and clang's 128-bit integer

// m × 10^k × 2^e rounded to a whole number, ties to even: exact, as the product is formed in 128
// bits (m < 2^53, 5^k < 2^52).
std::uint64_t ScaledRounded(std::uint64_t m, int k, int e) {
    const Wide product = static_cast<Wide>(m) * kPowersOf5[k];
    const int shift = e + k;
    if (shift >= 0) return static_cast<std::uint64_t>(product << shift);
    const int right = -shift;
    if (right >= 127) return 0;
    const auto quotient = static_cast<std::uint64_t>(product >> right);
    const Wide rest = product & ((Wide{1} << right) - 1);
    const Wide half = Wide{1} << (right - 1);
    return quotient + ((rest > half || (rest == half && (quotient & 1) != 0)) ? 1 : 0);
}

// n < 10^8 as exactly eight digits, two at a time: independent divisions rather than a chain of 17.
void EightDigits(char* at, std::uint32_t n) {
    const std::uint32_t high = n / 10000, low = n % 10000;
    std::memcpy(at, kDigitPairs + 2 * (high / 100), 2);
    std::memcpy(at + 2, kDigitPairs + 2 * (high % 100), 2);
    std::memcpy(at + 4, kDigitPairs + 2 * (low / 100), 2);
    std::memcpy(at + 6, kDigitPairs + 2 * (low % 100), 2);
}

// "%.17g" for the values that print without an exponent, 1e-4 <= |value| < 1e16: the 17 significant
// digits made exactly in integers (several times faster than the library's conversion, which every
// value of a JSON report takes), written at `at`; the end of the text, or null for the rest.
char* SeventeenDigits(char* at, double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-4 && magnitude < 1e16)) return nullptr;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int e = biased - 1075; // value = m × 2^e
    // The decimal exponent from the binary one (floor of its log10(2) multiple, 78913 / 2^18), then
    // one more when the value reaches the next power of ten. The powers below 1 are not exact: at
    // worst the guess is one off, which the rounded digits show and put right.
    int exponent = ((biased - 1023) * 78913) >> 18;
    if (magnitude >= kTens[exponent + 5]) ++exponent;
    std::uint64_t digits = ScaledRounded(m, 16 - exponent, e);
    while (digits >= kE17) digits = ScaledRounded(m, 16 - ++exponent, e);
    if (digits < kE16 || exponent > 15 || exponent < -4) return nullptr;
    if (value < 0) *at++ = '-';
    char all[17];
    const auto high = static_cast<std::uint32_t>(digits / 100000000); // 9 digits
    all[0] = static_cast<char>('0' + high / 100000000);
    EightDigits(all + 1, high % 100000000);
    EightDigits(all + 9, static_cast<std::uint32_t>(digits % 100000000));
    int last = 16; // the last digit kept: trailing zeros of the fraction go
    const int whole = exponent + 1;
    while (last >= whole && last >= 0 && all[last] == '0') --last;
    if (exponent >= 0) {
        at = std::copy(all, all + whole, at);
        if (last >= whole) {
            *at++ = '.';
            at = std::copy(all + whole, all + last + 1, at);
        }
    } else {
        *at++ = '0';
        *at++ = '.';
        at = std::fill_n(at, -exponent - 1, '0');
        at = std::copy(all, all + last + 1, at);
    }
    return at;
}

// The number's JSON text at `at` (kJsonNumberRoom at most); returns its end.
constexpr std::size_t kJsonNumberRoom = 32;
char* JsonNumberAt(char* at, double value) {
    if (!std::isfinite(value)) return std::copy_n("null", 4, at);
    // Whole numbers (cell counts, sizes, run times) print as their digits alone.
    if (std::fabs(value) < 1e15 && value != 0) {
        const auto whole = static_cast<std::int64_t>(value);
        if (static_cast<double>(whole) == value) {
            char digits[24];
            char* const end = digits + sizeof digits;
            char* begin = end;
            for (auto n = static_cast<std::uint64_t>(whole < 0 ? -whole : whole); n != 0; n /= 10)
                *--begin = static_cast<char>('0' + n % 10);
            if (whole < 0) *--begin = '-';
            return std::copy(begin, end, at);
        }
    }
    if (char* const end = SeventeenDigits(at, value)) return end;
    return std::to_chars(at, at + kJsonNumberRoom, value, std::chars_format::general, 17).ptr;
}

void PutJsonNumber(LineText& line, double value) {
    char* const at = line.Room(kJsonNumberRoom);
    line.Advance(static_cast<std::size_t>(JsonNumberAt(at, value) - at));
}

void PutJsonString(LineText& line, std::string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return IsPlainJson(static_cast<unsigned char>(c)); })) {
        line.Put('"');
        line.Put(text);
        line.Put('"');
    } else {
        line.Put(JsonString(text));
    }
}

} // namespace

void AppendJsonNumber(std::string& out, double value) {
    char text[kJsonNumberRoom];
    out.append(text, JsonNumberAt(text, value));
}

std::string JsonNumber(double value) {
    std::string text;
    AppendJsonNumber(text, value);
    return text;
}

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        // A run of characters that stand for themselves goes on at once: a report cell is all such.
        std::size_t plain = i;
        while (plain < text.size() && IsPlainJson(static_cast<unsigned char>(text[plain]))) ++plain;
        if (plain != i) {
            out.append(text.data() + i, plain - i);
            i = plain;
            continue;
        }
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
        LineText line(text);
        for (std::size_t row = begin; row < end; ++row) {
            const int r = static_cast<int>(row);
            line.Put(r ? ",\n    {" : "\n    {");
            line.Put("\"sequence\": ");
            PutJsonString(line, grid.CellView(r, grid.SequenceColumn, buffer));
            line.Put(", \"background\": \"");
            line.Put(BackgroundName(grid.Background(r)));
            line.Put(grid.PropStalled(r) ? "\", \"prop_stalled\": true" : "\", \"prop_stalled\": false");
            line.Put(", \"values\": {");
            for (std::size_t i = 0; i < columns.size(); ++i) {
                line.Put(openings[i]);
                PutJsonNumber(line, grid.Value(r, columns[i]));
                line.Put(", \"text\": ");
                PutJsonString(line, grid.CellView(r, columns[i], buffer));
                line.Put('}');
            }
            line.Put("}}");
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
