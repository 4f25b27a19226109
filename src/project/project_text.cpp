// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/project_text.h"

#include <istream>
#include <optional>

#include "common/flying_field.h"
#include "common/unit_conversion.h"

namespace ampvane {
namespace {

// A flying-field text as the number it stands for; nullopt for an empty or unreadable text.
std::optional<double> FieldNumber(std::string_view text, const NumberLocale& locale) {
    const std::string_view trimmed = TrimText(text);
    if (trimmed.empty()) return std::nullopt;
    return ParseLocaleReal(NormaliseDecimal(trimmed, locale), locale);
}

std::string GroupHeading(std::string_view name) {
    std::string heading(name);
    if (const auto at = heading.find("Group"); at != std::string::npos) heading.replace(at, 5, ":");
    for (char& c : heading)
        if (c == '_') c = ' ';
    return heading;
}

} // namespace

WorkbenchFields EmptyWorkbenchFields() {
    WorkbenchFields fields;
    for (const WorkbenchControlInfo& info : WorkbenchControls()) {
        if (info.kind == ControlKind::Edit || info.kind == ControlKind::ComboBox)
            fields.SetText(info.id, std::string(), Marking::Keep);
        if (info.kind == ControlKind::CheckBox) fields.SetChecked(info.id, false, Marking::Keep);
    }
    fields.SetDrivePage(kPropellerPage, Marking::Keep);
    fields.ClearMarks();
    return fields;
}

std::string WriteProjectText(const WorkbenchFields& fields, const AnalysisOptionsInput& options,
                             const NumberLocale& locale) {
    const int mode = options.measurementMode;
    const bool metric = mode > 1;
    const bool metricTempPress = mode > 0;
    const double elevation = FieldNumber(options.elevation, locale).value_or(0);
    const double pressure = FieldNumber(options.pressure, locale)
                                .value_or(metricTempPress ? kStandardPressureKilopascals : kStandardPressureInchesHg);
    double temperature = 0;
    if (const auto typed = FieldNumber(options.temperature, locale)) {
        temperature = *typed;
    } else {
        const double celsius = StandardDayTemperature(metric ? FeetFromMetres(elevation) : elevation);
        temperature = metricTempPress ? celsius : FahrenheitFromCelsius(celsius);
    }

    std::string out;
    const auto line = [&](std::string_view text) {
        out += text;
        out += '\n';
    };
    line(kProjectTextBegin);
    line(fields.ProjectName());
    line("");
    line("MetricMode=" + std::to_string(mode));
    line(std::string("Newtons=") + (options.newtons ? "Y" : "N"));
    line("Elevation=" + FormatNumber(0, 1, 0, elevation, locale));
    line("Pressure=" + FormatNumber(0, metricTempPress ? 1 : 2, 0, pressure, locale));
    line("Temperature=" + FormatNumber(0, 1, 0, temperature, locale));
    line(std::string("UseTemp=") + (options.accountForHeating ? "1" : "0"));
    for (const WorkbenchControlInfo& info : WorkbenchControls()) {
        switch (info.kind) {
        case ControlKind::Group:
            line("");
            line(GroupHeading(info.name));
            break;
        case ControlKind::Edit:
            if (info.id == WorkbenchControl::TempConfigNameEdit) break;
            if (info.id == WorkbenchControl::ParallelCellsFromEdit)
                line("ParallelCellsEdit=" + fields.Text(info.id));
            else
                line(std::string(info.name) + "=" + fields.Text(info.id));
            // One line that readers which do not know it ignore, only when there is a name.
            if (info.id == WorkbenchControl::DriveSystemNameEdit && !fields.MeasuredPropeller().empty())
                line(std::string(kMeasuredPropellerKey) + "=" + fields.MeasuredPropeller());
            break;
        case ControlKind::ComboBox: line(std::string(info.name) + "=" + fields.Text(info.id)); break;
        case ControlKind::CheckBox: line(std::string(info.name) + (fields.Checked(info.id) ? "=Y" : "=N")); break;
        case ControlKind::Pages:
            if (fields.DrivePage() == kPropellerPage) {
                line("PropellerRadioButton=Y");
                line("DuctedFanRadioButton=N");
            } else {
                line("PropellerRadioButton=N");
                line("DuctedFanRadioButton=Y");
            }
            break;
        }
    }
    line("");
    line(kProjectTextEnd);
    return out;
}

namespace {

// Lines of a text one at a time, without a list of them all: a huge text costs no more than itself.
class TextLineSource {
public:
    explicit TextLineSource(std::string_view text) : text_(text) {}
    std::optional<std::string_view> Next() {
        if (done_) return std::nullopt;
        std::size_t end = text_.find('\n', start_);
        if (end == std::string_view::npos) {
            end = text_.size();
            done_ = true;
        }
        std::string_view line = text_.substr(start_, end - start_);
        start_ = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

private:
    std::string_view text_;
    std::size_t start_ = 0;
    bool done_ = false;
};

// Lines of a stream; only the current line is held.
class StreamLineSource {
public:
    explicit StreamLineSource(std::istream& in) : in_(in) {}
    std::optional<std::string_view> Next() {
        if (!std::getline(in_, line_)) return std::nullopt;
        if (!line_.empty() && line_.back() == '\r') line_.pop_back();
        return std::string_view(line_);
    }

private:
    std::istream& in_;
    std::string line_;
};

std::string_view WithoutByteOrderMark(std::string_view line) {
    if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    return line;
}

template <class LineSource>
bool ReadProjectLines(LineSource& source, WorkbenchFields& fields, AnalysisOptionsInput& options,
                      const NumberLocale& locale, MessageSink& messages,
                      std::vector<RefusedFlyingCondition>* refused) {
    // A file saved by an editor may start with a byte-order mark.
    bool first = true;
    for (;;) {
        auto line = source.Next();
        if (!line) return false;
        if (first) line = WithoutByteOrderMark(*line);
        first = false;
        if (TrimText(*line) == kProjectTextBegin) break;
    }
    const auto nameLine = source.Next();
    if (!nameLine) return false;
    fields.SetProjectName(std::string(TrimText(*nameLine)));

    // The flying conditions are written in the units of the mode line, which may come after them: they
    // are checked once the whole block has been read, in the mode it finally declares.
    std::optional<std::string> elevation, pressure, temperature;
    while (const auto line = source.Next()) {
        const std::string_view entry = TrimText(*line);
        if (entry == kProjectTextEnd) break;
        const auto equals = entry.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = entry.substr(0, equals);
        const std::string_view value = entry.substr(equals + 1);

        if (const auto control = FindWorkbenchControl(key)) {
            const ControlKind kind = ControlInfo(*control).kind;
            if (kind == ControlKind::Edit || kind == ControlKind::ComboBox)
                fields.SetText(*control, NormaliseDecimal(value, locale));
            else if (kind == ControlKind::CheckBox)
                fields.SetChecked(*control, value == "Y");
            continue;
        }
        if (key == "MetricMode") {
            const bool empty = TrimText(value).empty();
            std::int32_t mode = -1;
            bool integer = false;
            if (const auto parsed = ParseInteger(value)) {
                mode = *parsed;
                integer = true;
            }
            if (!empty && !integer) {
                // The invalid-number warning; the mode reads as 0.
                options.measurementMode = LenientInt(value, messages);
            } else if (integer && mode >= 0 && mode <= 3) {
                options.measurementMode = mode;
            } else {
                messages.Report(WarningMessage(InvalidMeasurementModeMessage(value, options.measurementMode)));
            }
        } else if (key == "Newtons") {
            options.newtons = value == "Y";
        } else if (key == "Elevation") {
            elevation = std::string(value);
        } else if (key == "Pressure") {
            pressure = std::string(value);
        } else if (key == "Temperature") {
            temperature = std::string(value);
        } else if (key == "UseTemp") {
            options.accountForHeating = LenientInt(value, messages) != 0;
        } else if (key == "PropellerRadioButton") {
            if (value == "Y") fields.SetDrivePage(kPropellerPage);
        } else if (key == "DuctedFanRadioButton") {
            if (value == "Y") fields.SetDrivePage(kDuctedFanPage);
        } else if (key == kMeasuredPropellerKey) {
            fields.SetMeasuredPropeller(std::string(TrimText(value)));
        } else if (key == "ParallelCellsEdit") {
            fields.SetText(WorkbenchControl::ParallelCellsFromEdit, NormaliseDecimal(value, locale));
        }
    }

    const bool metric = options.measurementMode > 1;
    const bool metricTempPress = options.measurementMode > 0;
    const auto flyingField = [&](std::string_view key, const std::optional<std::string>& text,
                                 std::string& target, FlyingFieldRange range) {
        if (!text) return;
        const auto number = FieldNumber(*text, locale);
        if (number && range.Contains(*number)) target = FormatNumber(0, -5, 0, *number, locale);
        else if (refused) refused->push_back({std::string(key), *text});
    };
    flyingField("Elevation", elevation, options.elevation, ElevationRange(metric));
    flyingField("Pressure", pressure, options.pressure, PressureRange(metricTempPress));
    flyingField("Temperature", temperature, options.temperature, TemperatureRange(metricTempPress));
    return true;
}

} // namespace

std::string InvalidMeasurementModeMessage(std::string_view value, int keptMode) {
    return "The measurement mode (" + std::string(TrimText(value)) +
           ") in the project text is not 0, 1, 2 or 3. The mode " + std::to_string(keptMode) + " is kept.";
}

std::string RefusedFlyingConditionMessage(const RefusedFlyingCondition& refused) {
    return "The " + refused.key + " (" + std::string(TrimText(refused.text)) +
           ") in the project text is outside the range the options accept and is not used.";
}

bool ReadProjectText(std::string_view text, WorkbenchFields& fields, AnalysisOptionsInput& options,
                     const NumberLocale& locale, MessageSink& messages,
                     std::vector<RefusedFlyingCondition>* refused) {
    TextLineSource source(text);
    return ReadProjectLines(source, fields, options, locale, messages, refused);
}

bool ReadProjectText(std::istream& in, WorkbenchFields& fields, AnalysisOptionsInput& options,
                     const NumberLocale& locale, MessageSink& messages,
                     std::vector<RefusedFlyingCondition>* refused) {
    StreamLineSource source(in);
    return ReadProjectLines(source, fields, options, locale, messages, refused);
}

} // namespace ampvane
