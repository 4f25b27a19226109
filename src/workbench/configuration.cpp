// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/configuration.h"
#include "common/window_placement.h"

#include <optional>
#include <utility>
#include <vector>

#include "common/file_write.h"
#include "common/text_lines.h"
#include "common/numeric_text.h"

namespace ampvane {

namespace {

// Keys match in any letter case; only ASCII letters fold, so values in other scripts are untouched.
std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kRecentKey = "recent";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

struct ModeKey {
    std::string_view key;
    int mode;
};
constexpr ModeKey kModeKeys[] = {
    {"imperial", AllImperial}, {"celsius", ImperialMetricTempPress}, {"mixed", MetricInchProps}, {"metric", AllMetric}};

std::string_view ModeKeyFor(int mode) {
    for (const ModeKey& entry : kModeKeys)
        if (entry.mode == mode) return entry.key;
    return kModeKeys[0].key;
}

// Flags that hold when their line is present; written only in that state.
struct FlagKey {
    std::string_view key;
    bool Settings::*member;
    bool valueWhenPresent;
};
constexpr FlagKey kOtherFlags[] = {
    {"nousetemp", &Settings::useHeating, false},     {"precision", &Settings::extraPrecision, true},
    {"nowizard", &Settings::wizardAtStartup, false}, {"advwizard", &Settings::advancedWizard, true},
    {"notip", &Settings::tipAtStartup, false},
};

// Older files used these names for two of the column switches.
constexpr std::pair<std::string_view, ReportColumnSwitch> kColumnAliases[] = {
    {"noeff", ReportColumnSwitch::MotorEfficiency},
    {"nosyseff", ReportColumnSwitch::ShaftEfficiency},
};

// Text values; numeric ones get the user's decimal separator when read.
struct TextKey {
    std::string_view key;
    std::string Settings::*member;
    bool numeric;
};
constexpr TextKey kFlyingFieldKeys[] = {
    {"elevation", &Settings::elevation, true},
    {"temperature", &Settings::temperature, true},
    {"pressure", &Settings::pressure, true},
};
// Written only when not empty.
constexpr TextKey kContactKeys[] = {
    {"username", &Settings::userName, false},
    {"email", &Settings::email, false},
    {"proxyhost", &Settings::proxyHost, false},
    {"proxyport", &Settings::proxyPort, false},
    {"server", &Settings::server, false},
};

struct GraphKeys {
    GraphAxes Settings::*graph;
    std::string_view x, y1, y2, noLines;
};
constexpr GraphKeys kGraphKeys[] = {
    {&Settings::staticGraph, "staticx", "staticy1", "staticy2", "nostaticlines"},
    {&Settings::flightGraph, "flightx", "flighty1", "flighty2", "noflightlines"},
};

constexpr std::string_view kVersionKey = "version";
constexpr std::string_view kGearEfficiencyKey = "geareffic";
constexpr std::string_view kLastTipKey = "lasttip";
constexpr std::string_view kHighNoteKey = "highnoteseen";
constexpr std::string_view kDefaultProjectKey = "default";
// "window" + a window's name + its place.
constexpr std::string_view kWindowKey = "window";
// "columns" + a report kind + its column widths.
constexpr std::string_view kColumnsKey = "columns";

// Applies one line; lines with other keys, comments and blank lines change nothing.
class LineReader {
public:
    LineReader(Settings& settings, const NumberLocale& locale, std::string_view sourceName, MessageSink& messages)
        : settings_(settings), locale_(locale), sourceName_(sourceName), messages_(messages) {}

    void Apply(std::string_view line, std::size_t lineNumber) {
        const std::string lower = AsciiLower(line);
        if (lower.empty() || lower.front() == '#') return;
        if (ApplyFlag(lower)) return;
        if (ApplyRecent(lower, line)) return;
        ApplyValue(lower, line, lineNumber);
    }

    const std::string& version() const { return version_; }

private:
    bool ApplyFlag(const std::string& lower) {
        for (const ModeKey& entry : kModeKeys)
            if (lower == entry.key) return SelectMeasurementMode(settings_, entry.mode, locale_, messages_), true;
        if (lower == "newtons") return settings_.forceInNewtons = true, true;
        if (lower == "grams") return settings_.forceInNewtons = false, true;
        if (lower == "printcolour") return settings_.printInColour = true, true;
        if (lower == "printfonts") return settings_.printInColour = false, true;
        for (const ReportColumnSwitchInfo& info : ReportColumnSwitches())
            if (lower == info.key) return SetColumnShown(settings_, info.column, false), true;
        for (const auto& [key, column] : kColumnAliases)
            if (lower == key) return SetColumnShown(settings_, column, false), true;
        for (const FlagKey& flag : kOtherFlags)
            if (lower == flag.key) return settings_.*flag.member = flag.valueWhenPresent, true;
        if (lower == kHighNoteKey) return settings_.highNoteSeen = true, true;
        for (const GraphKeys& keys : kGraphKeys)
            if (lower == keys.noLines) return (settings_.*keys.graph).lines = false, true;
        return false;
    }

    // "recent" + a digit 1 to 9 + a blank; the name keeps every character after the blank.
    bool ApplyRecent(const std::string& lower, std::string_view line) {
        const std::size_t prefix = kRecentKey.size() + 2;
        if (lower.size() < prefix || !lower.starts_with(kRecentKey)) return false;
        const char digit = lower[kRecentKey.size()];
        if (digit < '1' || digit > '9' || lower[kRecentKey.size() + 1] != ' ') return false;
        settings_.recentProjects[static_cast<std::size_t>(digit - '1')] = std::string(line.substr(prefix));
        return true;
    }

    static std::optional<std::string_view> ValueOf(const std::string& lower, std::string_view line,
                                                   std::string_view key) {
        if (lower.size() <= key.size() || !lower.starts_with(key) || lower[key.size()] != ' ')
            return std::nullopt;
        return TrimText(line.substr(key.size() + 1));
    }

    void ApplyValue(const std::string& lower, std::string_view line, std::size_t lineNumber) {
        if (auto value = ValueOf(lower, line, kVersionKey)) {
            // An empty version would look like no version at all to the start-up check.
            version_ = value->empty() ? std::string(kNoStoredVersion) : std::string(*value);
            return;
        }
        for (const TextKey& key : kFlyingFieldKeys)
            if (auto value = ValueOf(lower, line, key.key)) return SetText(key, *value);
        if (auto value = ValueOf(lower, line, kGearEfficiencyKey)) {
            settings_.gearboxEfficiency = NormaliseDecimal(*value, locale_);
            return;
        }
        if (auto value = ValueOf(lower, line, kLastTipKey)) return ApplyLastTip(*value, lineNumber);
        for (const TextKey& key : kContactKeys)
            if (auto value = ValueOf(lower, line, key.key)) return SetText(key, *value);
        if (auto value = ValueOf(lower, line, kDefaultProjectKey)) {
            settings_.defaultProject = std::string(*value);
            return;
        }
        if (auto value = ValueOf(lower, line, kWindowKey)) {
            // A damaged place is dropped here, so the window simply opens where it would without one.
            if (const auto blank = value->find(' '); blank != std::string_view::npos) {
                const std::string_view place = TrimText(value->substr(blank));
                if (ParseWindowRect(place)) settings_.windowPlacements[std::string(value->substr(0, blank))] = place;
            }
            return;
        }
        if (auto value = ValueOf(lower, line, kColumnsKey)) {
            if (const auto blank = value->find(' '); blank != std::string_view::npos)
                if (const auto widths = ParseColumnWidths(value->substr(blank + 1)))
                    settings_.columnWidths[std::string(value->substr(0, blank))] = ColumnWidthsText(*widths);
            return;
        }
        for (const GraphKeys& keys : kGraphKeys) {
            GraphAxes& graph = settings_.*keys.graph;
            if (auto value = ValueOf(lower, line, keys.x)) return void(graph.x = std::string(*value));
            if (auto value = ValueOf(lower, line, keys.y1)) return void(graph.y1 = std::string(*value));
            if (auto value = ValueOf(lower, line, keys.y2)) return void(graph.y2 = std::string(*value));
        }
    }

    void SetText(const TextKey& key, std::string_view value) {
        settings_.*key.member = key.numeric ? NormaliseDecimal(value, locale_) : std::string(value);
    }

    // A bad number costs only this setting; the lines after it are still read.
    void ApplyLastTip(std::string_view value, std::size_t lineNumber) {
        if (std::optional<std::int32_t> tip = ParseInteger(value)) {
            settings_.lastTip = *tip;
            return;
        }
        messages_.Report(WarningMessage("Line " + std::to_string(lineNumber) + " of the settings file \"" +
                                        std::string(sourceName_) + "\" gives the last tip shown as \"" +
                                        std::string(value) + "\", which is not a whole number. It is ignored."));
    }

    Settings& settings_;
    const NumberLocale& locale_;
    std::string_view sourceName_;
    MessageSink& messages_;
    std::string version_{kNoStoredVersion};
};

// A value holding a line break would split into lines that read back as other settings.
std::string OneLine(std::string_view value) {
    std::string line(value);
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    return line;
}

class LineWriter {
public:
    void Line(std::string_view text) {
        text_ += text;
        text_ += kLineEnd;
    }
    void Value(std::string_view key, std::string_view value) {
        text_ += key;
        text_ += ' ';
        text_ += OneLine(value);
        text_ += kLineEnd;
    }
    void ValueIfSet(std::string_view key, std::string_view value) {
        if (!value.empty()) Value(key, value);
    }
    void FlagIf(bool condition, std::string_view key) {
        if (condition) Line(key);
    }
    std::string Take() { return std::move(text_); }

private:
    std::string text_;
};

bool IsReadableFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

ConfigurationFiles ConfigurationFilesFor(const std::filesystem::path& dataFolder,
                                         const std::filesystem::path& workingFolder) {
    std::filesystem::path working = workingFolder.lexically_normal();
    if (!working.has_filename()) working = working.parent_path(); // a trailing separator
    return {dataFolder / kConfigurationFileName,
            working.parent_path() / kPreviousVersionFolder / kConfigurationFileName};
}

std::string ApplyConfigurationText(std::string_view text, std::string_view sourceName, Settings& settings,
                                   const NumberLocale& locale, MessageSink& messages) {
    if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
    LineReader reader(settings, locale, sourceName, messages);
    std::size_t lineNumber = 0;
    for (std::string_view line : SplitLines(text)) reader.Apply(line, ++lineNumber);
    return reader.version();
}

std::string ReadConfiguration(const ConfigurationFiles& files, Settings& settings, const NumberLocale& locale,
                              MessageSink& messages) {
    settings = Settings{};
    for (const std::filesystem::path* file : {&files.current, &files.previous}) {
        std::string text;
        if (file->empty() || !IsReadableFile(*file) || !ReadWholeFile(file->string(), text)) continue;
        return ApplyConfigurationText(text, file->string(), settings, locale, messages);
    }
    return std::string(kNoStoredVersion);
}

std::string ConfigurationText(const Settings& settings, std::string_view version) {
    LineWriter out;
    out.Line("# Ampvane Configuration File");
    out.Line("# DO NOT EDIT THIS FILE!");
    out.Value(kVersionKey, version);
    out.Line("# Measurement Units");
    out.Line(ModeKeyFor(settings.measurementMode));
    out.Line(settings.forceInNewtons ? "newtons" : "grams");
    out.Line("# Printing Styles");
    out.Line(settings.printInColour ? "printcolour" : "printfonts");
    out.Line("# Flying Field");
    for (const TextKey& key : kFlyingFieldKeys) out.Value(key.key, settings.*key.member);
    out.Line("# Suppresed Report Columns");
    for (const ReportColumnSwitchInfo& info : ReportColumnSwitches())
        out.FlagIf(!ColumnShown(settings, info.column), info.key);
    out.Line("# Other Options");
    out.Value(kGearEfficiencyKey, settings.gearboxEfficiency);
    for (const FlagKey& flag : kOtherFlags) out.FlagIf(settings.*flag.member == flag.valueWhenPresent, flag.key);
    out.Value(kLastTipKey, std::to_string(settings.lastTip));
    out.FlagIf(settings.highNoteSeen, kHighNoteKey);
    for (const TextKey& key : kContactKeys) out.ValueIfSet(key.key, settings.*key.member);
    out.Line("# Plane Configurations");
    out.Value(kDefaultProjectKey, settings.defaultProject);
    for (std::size_t i = 0; i < kRecentProjectCount; ++i)
        out.Value(std::string(kRecentKey) + static_cast<char>('1' + i), settings.recentProjects[i]);
    out.Line("# Graphing Options");
    for (const GraphKeys& keys : kGraphKeys) {
        const GraphAxes& graph = settings.*keys.graph;
        out.Value(keys.x, graph.x);
        out.Value(keys.y1, graph.y1);
        out.Value(keys.y2, graph.y2);
        out.FlagIf(!graph.lines, keys.noLines);
    }
    if (!settings.windowPlacements.empty() || !settings.columnWidths.empty()) out.Line("# Windows");
    for (const auto& [name, place] : settings.windowPlacements) out.Value(kWindowKey, name + " " + place);
    for (const auto& [kind, widths] : settings.columnWidths) out.Value(kColumnsKey, kind + " " + widths);
    return out.Take();
}

bool WriteConfiguration(const std::filesystem::path& file, const Settings& settings, std::string_view version,
                        MessageSink& messages) {
    const std::string error = WriteFileAtomically(file.string(), ConfigurationText(settings, version));
    if (error.empty()) return true;
    messages.Report(ErrorMessage("The settings could not be saved. " + error + "."));
    return false;
}

} // namespace ampvane
