// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/propeller_files.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "common/text_lines.h"

namespace ampvane {

namespace {

constexpr std::string_view kBegin = "Begin Ampvane Propeller";
constexpr std::string_view kEnd = "End Ampvane Propeller";
constexpr double kMinSize = 0.1, kMaxSize = 100; // in, as the workbench's propeller lengths
constexpr double kMinRpm = 100, kMaxRpm = 100000;
constexpr double kMaxAdvance = 5;
constexpr double kMaxCoefficient = 1;

std::string Num(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::optional<double> Number(std::string_view token) {
    if (!token.empty() && token.front() == '+') token.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc{} || end != token.data() + token.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool IsNotANumber(std::string_view token) {
    const std::string lower = Lower(token);
    return lower == "nan" || lower == "-nan" || lower == "+nan";
}

std::vector<std::string_view> Tokens(std::string_view line, char separator = 0) {
    std::vector<std::string_view> tokens;
    if (separator) {
        for (;;) {
            const auto at = line.find(separator);
            std::string_view field = Trim(line.substr(0, at));
            if (field.size() >= 2 && field.front() == '"' && field.back() == '"') field = field.substr(1, field.size() - 2);
            tokens.push_back(field);
            if (at == std::string_view::npos) break;
            line.remove_prefix(at + 1);
        }
        return tokens;
    }
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

std::string BaseName(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string Stem(std::string_view path) {
    std::string base = BaseName(path);
    if (const auto dot = base.rfind('.'); dot != std::string::npos && dot > 0) base.resize(dot);
    return base;
}

// "10x5", "10.5X6", "9x4.5E" anywhere in a text: diameter and pitch in inches.
std::optional<std::pair<double, double>> SizeIn(std::string_view text) {
    for (std::size_t x = 0; x < text.size(); ++x) {
        if (text[x] != 'x' && text[x] != 'X') continue;
        std::size_t start = x;
        while (start > 0 && (std::isdigit(static_cast<unsigned char>(text[start - 1])) || text[start - 1] == '.')) --start;
        std::size_t end = x + 1;
        while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.')) ++end;
        const auto D = Number(text.substr(start, x - start));
        const auto P = Number(text.substr(x + 1, end - x - 1));
        if (D && P && *D >= kMinSize && *D <= kMaxSize && *P >= kMinSize && *P <= kMaxSize) return std::pair{*D, *P};
    }
    return std::nullopt;
}

// The last number of at least three digits in a file name: the rpm of a wind-tunnel run file.
std::optional<double> RpmInName(std::string_view path) {
    const std::string stem = Stem(path);
    std::optional<double> found;
    for (std::size_t i = 0; i < stem.size();) {
        if (!std::isdigit(static_cast<unsigned char>(stem[i]))) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < stem.size() && std::isdigit(static_cast<unsigned char>(stem[end]))) ++end;
        if (end - i >= 3 && (i == 0 || stem[i - 1] != '.') && (end == stem.size() || stem[end] != 'x')) {
            const auto value = Number(std::string_view(stem).substr(i, end - i));
            if (value && *value >= kMinRpm && *value <= kMaxRpm) found = value;
        }
        i = end;
    }
    return found;
}

// One data row as read: where it stands, the run it belongs to (-1 for a static row).
struct Row {
    double Rpm = 0, J = 0, CT = 0, CP = 0;
    int Run = -1;
    std::size_t File = 0;
    int Line = 0;
};

struct Collected {
    std::vector<double> RunRpm; // by run index
    std::vector<Row> Rows;
    std::optional<double> Diameter, Pitch;
    std::optional<int> Blades;
    std::optional<std::string> Name;
    std::optional<PropellerDataKind> Kind;
    std::string Source;
    std::size_t NaNRows = 0;
};

class Failure {
public:
    explicit Failure(std::string text) : text(std::move(text)) {}
    std::string text;
};

std::string Where(const PropellerFile& file, int line) {
    return file.Path + ", line " + std::to_string(line) + ": ";
}

// The values of a row checked for what a coefficient table can hold; throws with the line named.
void CheckRow(const PropellerFile& file, const Row& row, bool hasJ) {
    const std::string at = Where(file, row.Line);
    if (row.Rpm < kMinRpm)
        throw Failure(at + "a speed of " + Num(row.Rpm) + " rpm is below 100 rpm (revolutions per second rather than per minute?).");
    if (row.Rpm > kMaxRpm) throw Failure(at + "a speed of " + Num(row.Rpm) + " rpm is above 100,000 rpm.");
    if (hasJ && row.J < 0) throw Failure(at + "the advance ratio J " + Num(row.J) + " is negative.");
    if (hasJ && row.J > kMaxAdvance)
        throw Failure(at + "the advance ratio J " + Num(row.J) + " is above 5 (an airspeed rather than J?).");
    if (std::fabs(row.CT) > kMaxCoefficient)
        throw Failure(at + "CT " + Num(row.CT) + " is no thrust coefficient (a thrust in newtons or pounds?).");
    if (std::fabs(row.CP) > kMaxCoefficient)
        throw Failure(at + "CP " + Num(row.CP) + " is no power coefficient (a power in watts?).");
}

void CountRow(const Collected& data, const PropellerFile& file, int line) {
    if (data.Rows.size() >= kMaxPropellerRows)
        throw Failure(Where(file, line) + "more than 100,000 data rows; a measured propeller holds at most 100,000.");
}

// `count` numbers from the tokens, or a failure naming the line.
std::vector<double> Numbers(const PropellerFile& file, int line, const std::vector<std::string_view>& tokens,
                            std::size_t count, std::string_view columns) {
    if (tokens.size() < count)
        throw Failure(Where(file, line) + std::to_string(count) + " numbers expected (" + std::string(columns) + "), found " +
                      std::to_string(tokens.size()) + ".");
    std::vector<double> values;
    for (std::size_t i = 0; i < count; ++i) {
        const auto value = Number(tokens[i]);
        if (!value) throw Failure(Where(file, line) + "\"" + std::string(tokens[i]) + "\" is not a number.");
        values.push_back(*value);
    }
    return values;
}

bool IsComment(std::string_view line) {
    return line.empty() || line.front() == '#';
}

// Our own format.
void ReadOwn(const PropellerFile& file, std::size_t index, Collected& data) {
    const std::vector<std::string_view> lines = SplitLines(file.Text);
    std::size_t i = 0;
    while (i < lines.size() && IsComment(Trim(lines[i]))) ++i;
    if (i == lines.size() || Trim(lines[i]) != kBegin)
        throw Failure(file.Path + ": not a measured propeller file (its first line is not \"" + std::string(kBegin) + "\").");
    enum { Header, Static, Run } section = Header;
    bool ended = false;
    for (++i; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        const std::string_view text = Trim(lines[i]);
        if (IsComment(text)) continue;
        if (text == kEnd) {
            ended = true;
            break;
        }
        if (text == "Static") {
            section = Static;
            continue;
        }
        if (text.substr(0, 4) == "Run ") {
            const auto rpm = Number(Trim(text.substr(4)));
            if (!rpm) throw Failure(Where(file, line) + "\"" + std::string(text) + "\" names no rpm.");
            data.RunRpm.push_back(*rpm);
            section = Run;
            continue;
        }
        if (section == Header) {
            const auto equals = text.find('=');
            if (equals == std::string_view::npos) throw Failure(Where(file, line) + "\"" + std::string(text) + "\" is no setting.");
            const std::string_view key = Trim(text.substr(0, equals)), value = Trim(text.substr(equals + 1));
            const auto number = [&] {
                const auto v = Number(value);
                if (!v) throw Failure(Where(file, line) + "the " + std::string(key) + " \"" + std::string(value) + "\" is not a number.");
                return *v;
            };
            if (key == "Name") data.Name = std::string(value);
            else if (key == "Diameter") data.Diameter = number();
            else if (key == "Pitch") data.Pitch = number();
            else if (key == "Blades") {
                const double blades = number();
                if (blades != std::floor(blades)) throw Failure(Where(file, line) + "the blade count must be a whole number.");
                data.Blades = static_cast<int>(std::clamp(blades, -1.0, 1000.0));
            } else if (key == "Data") {
                if (value == "measured") data.Kind = PropellerDataKind::Measured;
                else if (value == "computed") data.Kind = PropellerDataKind::Computed;
                else throw Failure(Where(file, line) + "the data kind must be measured or computed, not \"" + std::string(value) + "\".");
            } else if (key == "Source") data.Source = std::string(value);
            // Other keys: written by a later version; ignored.
            continue;
        }
        CountRow(data, file, line);
        const std::vector<double> v = Numbers(file, line, Tokens(text), 3, section == Static ? "RPM CT CP" : "J CT CP");
        Row row;
        row.File = index;
        row.Line = line;
        if (section == Static) {
            row.Rpm = v[0];
        } else {
            row.Run = static_cast<int>(data.RunRpm.size()) - 1;
            row.Rpm = data.RunRpm.back();
            row.J = v[0];
        }
        row.CT = v[1];
        row.CP = v[2];
        CheckRow(file, row, section == Run);
        data.Rows.push_back(row);
    }
    if (!ended) throw Failure(file.Path + ": the file ends without its \"" + std::string(kEnd) + "\" line.");
}

// A number after "rpm" on a line that is no data row: "RPM = 5986", "rpm: 6009".
std::optional<double> RpmOnLine(std::string_view line) {
    const std::string lower = Lower(line);
    const auto at = lower.find("rpm");
    if (at == std::string::npos) return std::nullopt;
    for (std::string_view token : Tokens(std::string_view(lower).substr(at + 3))) {
        while (!token.empty() && (token.front() == '=' || token.front() == ':')) token.remove_prefix(1);
        if (token.empty()) continue;
        return Number(token);
    }
    return std::nullopt;
}

// The university wind-tunnel layout: a static file of RPM CT CP rows, or one file a run of J CT CP eta rows.
void ReadWindTunnel(const PropellerFile& file, std::size_t index, const std::optional<double>& givenRpm, Collected& data) {
    const std::vector<std::string_view> lines = SplitLines(file.Text);
    std::optional<bool> isStatic;
    std::optional<double> rpm;
    int run = -1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        const std::string_view text = Trim(lines[i]);
        if (IsComment(text)) continue;
        const std::vector<std::string_view> tokens = Tokens(text);
        if (!Number(tokens.front())) {
            // A heading: the column names, or a line that gives the run's rpm.
            const std::string first = Lower(tokens.front());
            const std::string second = tokens.size() > 1 ? Lower(tokens[1]) : std::string();
            if (!isStatic && first == "rpm" && second == "ct") isStatic = true;
            else if (!isStatic && first == "j" && second == "ct") isStatic = false;
            else if (!rpm) rpm = RpmOnLine(text);
            continue;
        }
        if (!isStatic) isStatic = tokens.size() == 3 && Number(tokens.front()).value_or(0) >= kMinRpm;
        CountRow(data, file, line);
        const std::vector<double> v = Numbers(file, line, tokens, 3, *isStatic ? "RPM CT CP" : "J CT CP eta");
        Row row;
        row.File = index;
        row.Line = line;
        if (*isStatic) {
            row.Rpm = v[0];
        } else {
            if (run < 0) {
                if (!rpm) rpm = givenRpm;
                if (!rpm) rpm = RpmInName(file.Path);
                if (!rpm)
                    throw Failure(file.Path + ": the rpm of this run is written neither in the file nor in its name; give it with --rpm.");
                data.RunRpm.push_back(*rpm);
                run = static_cast<int>(data.RunRpm.size()) - 1;
            }
            row.Run = run;
            row.Rpm = *rpm;
            row.J = v[0];
        }
        row.CT = v[1];
        row.CP = v[2];
        CheckRow(file, row, !*isStatic);
        data.Rows.push_back(row);
    }
}

// A maker's per-rpm tables: blocks headed "PROP RPM = N", each a table whose heading names J, Ct
// and Cp among other columns, a units line under it, and rows of numbers (some of "-NaN").
void ReadMakerTables(const PropellerFile& file, std::size_t index, Collected& data) {
    const std::vector<std::string_view> lines = SplitLines(file.Text);
    int run = -1;
    std::optional<std::size_t> jColumn, ctColumn, cpColumn;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        const std::string_view text = Trim(lines[i]);
        if (text.empty()) continue;
        const std::string upper = [&] {
            std::string u(text);
            for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return u;
        }();
        if (upper.find("PROP RPM") != std::string::npos) {
            const auto equals = text.find('=');
            const auto rpm = equals == std::string_view::npos ? std::nullopt : Number(Trim(text.substr(equals + 1)));
            if (!rpm) throw Failure(Where(file, line) + "\"" + std::string(text) + "\" names no rpm.");
            data.RunRpm.push_back(*rpm);
            run = static_cast<int>(data.RunRpm.size()) - 1;
            jColumn = ctColumn = cpColumn = std::nullopt;
            continue;
        }
        const std::vector<std::string_view> tokens = Tokens(text);
        if (run < 0) {
            // The heading lines above the first table name the propeller.
            if (!data.Diameter)
                if (const auto size = SizeIn(text)) {
                    data.Diameter = size->first;
                    data.Pitch = size->second;
                }
            continue;
        }
        if (!Number(tokens.front()) && !IsNotANumber(tokens.front())) {
            if (!jColumn) {
                for (std::size_t c = 0; c < tokens.size(); ++c) {
                    const std::string name = Lower(tokens[c]);
                    if (name == "j") jColumn = c;
                    else if (name == "ct") ctColumn = c;
                    else if (name == "cp") cpColumn = c;
                }
                if (jColumn && !(ctColumn && cpColumn))
                    throw Failure(Where(file, line) + "the table heading names J but not both Ct and Cp.");
            }
            continue; // the units line, or text between tables
        }
        if (!jColumn) throw Failure(Where(file, line) + "a row of numbers before any heading naming J, Ct and Cp.");
        const std::size_t needed = std::max({*jColumn, *ctColumn, *cpColumn}) + 1;
        if (tokens.size() < needed)
            throw Failure(Where(file, line) + std::to_string(needed) + " values expected, found " + std::to_string(tokens.size()) + ".");
        if (std::any_of(tokens.begin(), tokens.end(), IsNotANumber)) {
            ++data.NaNRows;
            continue;
        }
        CountRow(data, file, line);
        Row row;
        row.File = index;
        row.Line = line;
        row.Run = run;
        row.Rpm = data.RunRpm[static_cast<std::size_t>(run)];
        const auto value = [&](std::size_t c) {
            const auto v = Number(tokens[c]);
            if (!v) throw Failure(Where(file, line) + "\"" + std::string(tokens[c]) + "\" is not a number.");
            return *v;
        };
        row.J = value(*jColumn);
        row.CT = value(*ctColumn);
        row.CP = value(*cpColumn);
        CheckRow(file, row, true);
        data.Rows.push_back(row);
    }
    if (data.RunRpm.empty()) throw Failure(file.Path + ": no \"PROP RPM = \" table.");
}

// A plain CSV with the columns rpm, J, CT and CP named in a header line, in any order.
void ReadCsv(const PropellerFile& file, std::size_t index, Collected& data) {
    const std::vector<std::string_view> lines = SplitLines(file.Text);
    std::optional<std::size_t> columns[4];
    static constexpr const char* kNames[4] = {"rpm", "j", "ct", "cp"};
    static constexpr const char* kShown[4] = {"rpm", "J", "CT", "CP"};
    bool header = false;
    std::map<double, int> runOf;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        const std::string_view text = Trim(lines[i]);
        if (IsComment(text)) continue;
        const std::vector<std::string_view> fields = Tokens(text, ',');
        if (!header) {
            for (std::size_t c = 0; c < fields.size(); ++c)
                for (int k = 0; k < 4; ++k)
                    if (Lower(fields[c]) == kNames[k]) columns[k] = c;
            for (int k = 0; k < 4; ++k)
                if (!columns[k])
                    throw Failure(Where(file, line) + "the header names no " + kShown[k] +
                                  " column (rpm, J, CT and CP are needed, in any order).");
            header = true;
            continue;
        }
        double v[4];
        for (int k = 0; k < 4; ++k) {
            const std::size_t c = *columns[k];
            if (c >= fields.size() || fields[c].empty())
                throw Failure(Where(file, line) + "the " + kShown[k] + " value is missing.");
            const auto value = Number(fields[c]);
            if (!value) throw Failure(Where(file, line) + "\"" + std::string(fields[c]) + "\" is not a number.");
            v[k] = *value;
        }
        CountRow(data, file, line);
        Row row{v[0], v[1], v[2], v[3], 0, index, line};
        CheckRow(file, row, true);
        auto [entry, added] = runOf.emplace(row.Rpm, static_cast<int>(data.RunRpm.size()));
        if (added) {
            if (data.RunRpm.size() >= kMaxPropellerRuns)
                throw Failure(Where(file, line) + "more than 1,000 different rpm; a measured propeller holds at most 1,000 runs.");
            data.RunRpm.push_back(row.Rpm);
        }
        row.Run = entry->second;
        data.Rows.push_back(row);
    }
    if (!header) throw Failure(file.Path + ": empty; a header line naming rpm, J, CT and CP is needed.");
}

enum class Layout { Own, Maker, Csv, WindTunnel };

Layout LayoutOf(const PropellerFile& file) {
    for (const std::string_view raw : SplitLines(file.Text)) {
        const std::string_view text = Trim(raw);
        if (text.empty() || text.front() == '#') continue;
        if (text == kBegin) return Layout::Own;
        break;
    }
    std::string upper(file.Text.substr(0, std::min<std::size_t>(file.Text.size(), 1 << 16)));
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.find("PROP RPM") != std::string::npos) return Layout::Maker;
    for (const std::string_view raw : SplitLines(file.Text)) {
        const std::string_view text = Trim(raw);
        if (text.empty() || text.front() == '#') continue;
        return text.find(',') != std::string_view::npos ? Layout::Csv : Layout::WindTunnel;
    }
    return Layout::WindTunnel;
}

// Rows into a propeller: repairs (duplicates dropped, rows sorted by J, rows past the windmill point
// with negative power dropped), conflicts refused, the static curve from J = 0 rows when no static
// file was given.
MeasuredPropeller Assemble(std::span<const PropellerFile> files, Collected& data, std::vector<std::string>& notes) {
    const auto where = [&](const Row& row) { return files[row.File].Path + ", line " + std::to_string(row.Line); };
    std::size_t windmill = 0, duplicates = 0, unsorted = 0;
    std::vector<Row> rows;
    rows.reserve(data.Rows.size());
    for (const Row& row : data.Rows) {
        if (row.CP < 0) {
            if (row.CT > 0)
                throw Failure(where(row) + ": a negative power coefficient (" + Num(row.CP) + ") with positive thrust.");
            ++windmill;
            continue;
        }
        rows.push_back(row);
    }
    // One key a row: the run (static rows first), then J (rpm for static rows).
    const auto key = [](const Row& r) { return r.Run < 0 ? r.Rpm : r.J; };
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (rows[i].Run == rows[i - 1].Run && key(rows[i]) < key(rows[i - 1])) {
            ++unsorted;
            break;
        }
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        if (a.Run != b.Run) return a.Run < b.Run;
        return key(a) < key(b);
    });
    std::vector<Row> kept;
    for (const Row& row : rows) {
        if (!kept.empty() && kept.back().Run == row.Run && key(kept.back()) == key(row)) {
            const Row& before = kept.back();
            if (before.CT == row.CT && before.CP == row.CP) {
                ++duplicates;
                continue;
            }
            throw Failure(where(before) + " and " + where(row) + ": two rows at " + Num(row.Rpm) + " rpm" +
                          (row.Run < 0 ? "" : " and J " + Num(row.J)) + " give different values.");
        }
        kept.push_back(row);
    }

    MeasuredPropeller propeller;
    for (const Row& row : kept)
        if (row.Run < 0) propeller.Static.push_back({row.Rpm, row.CT, row.CP});
    std::vector<PropellerRun> runs(data.RunRpm.size());
    for (std::size_t r = 0; r < runs.size(); ++r) runs[r].Rpm = data.RunRpm[r];
    for (const Row& row : kept)
        if (row.Run >= 0) runs[static_cast<std::size_t>(row.Run)].Points.push_back({row.J, row.CT, row.CP});
    if (propeller.Static.empty()) {
        std::map<double, std::pair<StaticPoint, const Row*>> still;
        for (const Row& row : kept) {
            if (row.Run < 0 || row.J != 0) continue;
            const auto [entry, added] = still.emplace(row.Rpm, std::pair{StaticPoint{row.Rpm, row.CT, row.CP}, &row});
            if (!added && (entry->second.first.CT != row.CT || entry->second.first.CP != row.CP))
                throw Failure(where(*entry->second.second) + " and " + where(row) + ": two static rows at " + Num(row.Rpm) +
                              " rpm give different values.");
        }
        for (const auto& [rpm, point] : still) propeller.Static.push_back(point.first);
    }
    for (PropellerRun& run : runs)
        if (!run.Points.empty() && run.Points.back().J > 0) propeller.Runs.push_back(std::move(run));
    if (propeller.Runs.size() > kMaxPropellerRuns)
        throw Failure("more than 1,000 runs; a measured propeller holds at most 1,000.");
    std::stable_sort(propeller.Runs.begin(), propeller.Runs.end(),
                     [](const PropellerRun& a, const PropellerRun& b) { return a.Rpm < b.Rpm; });
    if (propeller.Static.empty() && propeller.Runs.empty()) throw Failure("no data rows.");

    if (data.NaNRows) notes.push_back(std::to_string(data.NaNRows) + " row(s) holding -NaN skipped.");
    if (duplicates) notes.push_back(std::to_string(duplicates) + " duplicate row(s) dropped.");
    if (unsorted) notes.push_back("rows sorted by J (and static rows by rpm).");
    if (windmill) notes.push_back(std::to_string(windmill) + " row(s) past the windmill point with negative power dropped.");
    return propeller;
}

PropellerImport Import(std::span<const PropellerFile> files, const PropellerImportGiven& given, bool own) {
    PropellerImport result;
    const std::string allFiles = [&] {
        std::string names;
        for (const PropellerFile& f : files) names += (names.empty() ? "" : ", ") + f.Path;
        return names;
    }();
    try {
        if (files.empty()) throw Failure("no file to import.");
        Collected data;
        std::vector<Layout> layouts;
        for (const PropellerFile& file : files) layouts.push_back(LayoutOf(file));
        const bool allWindTunnel = std::all_of(layouts.begin(), layouts.end(), [](Layout l) { return l == Layout::WindTunnel; });
        if (files.size() > 1 && !allWindTunnel)
            throw Failure(allFiles + ": only wind-tunnel files come several at once; import a maker's table, a CSV or a propeller file alone.");
        if (own && layouts.front() != Layout::Own) layouts.front() = Layout::Own;
        std::size_t runFiles = 0;
        for (std::size_t i = 0; i < files.size(); ++i) {
            switch (layouts[i]) {
            case Layout::Own: ReadOwn(files[i], i, data); break;
            case Layout::Maker:
                ReadMakerTables(files[i], i, data);
                data.Kind = PropellerDataKind::Computed;
                break;
            case Layout::Csv: ReadCsv(files[i], i, data); break;
            case Layout::WindTunnel: {
                const std::size_t before = data.RunRpm.size();
                ReadWindTunnel(files[i], i, files.size() == 1 ? given.Rpm : std::nullopt, data);
                runFiles += data.RunRpm.size() - before;
                break;
            }
            }
        }
        if (given.Rpm && !(files.size() == 1 && runFiles == 1))
            throw Failure("--rpm names the rpm of a single wind-tunnel run file, imported alone.");
        if (layouts.front() != Layout::Own) {
            if (!data.Diameter)
                for (const PropellerFile& file : files)
                    if (const auto size = SizeIn(BaseName(file.Path))) {
                        data.Diameter = size->first;
                        data.Pitch = size->second;
                        break;
                    }
            std::string source;
            for (const PropellerFile& f : files) source += (source.empty() ? "" : "; ") + BaseName(f.Path);
            data.Source = source;
        }
        MeasuredPropeller propeller;
        try {
            propeller = Assemble(files, data, result.Notes);
        } catch (const Failure& failure) {
            // Failures without a line of their own name every file.
            if (failure.text.find(", line ") != std::string::npos) throw;
            throw Failure(allFiles + ": " + failure.text);
        }
        propeller.Name = given.Name ? *given.Name : data.Name ? *data.Name : Stem(files.front().Path);
        propeller.Kind = data.Kind.value_or(PropellerDataKind::Measured);
        propeller.Source = data.Source;
        const std::optional<double> D = given.Diameter ? given.Diameter : data.Diameter ? data.Diameter : given.FallbackDiameter;
        const std::optional<double> P = given.Pitch ? given.Pitch : data.Pitch ? data.Pitch : given.FallbackPitch;
        if (!D) throw Failure(allFiles + ": the diameter is written nowhere; " + given.DiameterHint + ".");
        if (!P) throw Failure(allFiles + ": the pitch is written nowhere; " + given.PitchHint + ".");
        if (!(*D >= kMinSize && *D <= kMaxSize))
            throw Failure("The diameter " + Num(*D) + " in is outside 0.1 to 100 in.");
        if (!(*P >= kMinSize && *P <= kMaxSize)) throw Failure("The pitch " + Num(*P) + " in is outside 0.1 to 100 in.");
        propeller.Diameter = *D;
        propeller.Pitch = *P;
        propeller.Blades = given.Blades ? *given.Blades : data.Blades.value_or(2);
        if (propeller.Blades < 1 || propeller.Blades > 10)
            throw Failure("The blade count " + std::to_string(propeller.Blades) + " is outside 1 to 10.");
        if (const std::string problem = PropellerNameProblem(propeller.Name); !problem.empty()) throw Failure(problem);
        result.Propeller = std::move(propeller);
    } catch (const Failure& failure) {
        result.Propeller.reset();
        result.Error = failure.text;
        result.Notes.clear();
    }
    return result;
}

} // namespace

PropellerImport ImportPropellerFiles(std::span<const PropellerFile> files, const PropellerImportGiven& given) {
    return Import(files, given, false);
}

PropellerImport ReadPropellerText(const PropellerFile& file) {
    return Import(std::span(&file, 1), {}, true);
}

std::string WritePropellerText(const MeasuredPropeller& p) {
    std::string text;
    text += std::string(kBegin) + "\n";
    text += "Name=" + p.Name + "\n";
    text += "Diameter=" + Num(p.Diameter) + "\n";
    text += "Pitch=" + Num(p.Pitch) + "\n";
    text += "Blades=" + std::to_string(p.Blades) + "\n";
    text += std::string("Data=") + (p.Kind == PropellerDataKind::Computed ? "computed" : "measured") + "\n";
    if (!p.Source.empty()) text += "Source=" + p.Source + "\n";
    if (!p.Static.empty()) {
        text += "Static\n";
        for (const StaticPoint& s : p.Static) text += Num(s.Rpm) + " " + Num(s.CT) + " " + Num(s.CP) + "\n";
    }
    for (const PropellerRun& run : p.Runs) {
        text += "Run " + Num(run.Rpm) + "\n";
        for (const AdvancePoint& a : run.Points) text += Num(a.J) + " " + Num(a.CT) + " " + Num(a.CP) + "\n";
    }
    text += std::string(kEnd) + "\n";
    return text;
}

std::string PropellerNameProblem(std::string_view name) {
    if (Trim(name).empty()) return "A measured propeller needs a name.";
    if (name.size() > 64) return "The name \"" + std::string(name) + "\" is longer than 64 characters.";
    if (name.front() == '.' || name.front() == ' ' || name.back() == ' ')
        return "The name \"" + std::string(name) + "\" may not begin with \".\" or begin or end with a blank.";
    for (const char c : name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 32 || c == 127)
            return "The name \"" + std::string(name) + "\" may not hold \"/\", \"\\\" or control characters.";
    return {};
}

} // namespace ampvane
