#include "analysis/project_text.h"

#include <vector>

#include "model/air.h"

namespace ampvane {
namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == text.size()) break;
        start = end + 1;
    }
    return lines;
}

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

bool ReadProjectText(std::string_view text, WorkbenchFields& fields, AnalysisOptionsInput& options,
                     const NumberLocale& locale, MessageSink& messages) {
    // A file saved by an editor may start with a byte-order mark.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::vector<std::string_view> lines = SplitLines(text);
    std::size_t begin = 0;
    while (begin < lines.size() && TrimText(lines[begin]) != kProjectTextBegin) ++begin;
    if (begin + 1 >= lines.size()) return false;

    fields.SetProjectName(std::string(TrimText(lines[begin + 1])));
    for (std::size_t i = begin + 2; i < lines.size(); ++i) {
        const std::string_view entry = TrimText(lines[i]);
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
        const bool metric = options.measurementMode > 1;
        const bool metricTempPress = options.measurementMode > 0;
        const auto flyingField = [&](std::string& target, FlyingFieldRange range) {
            const auto number = FieldNumber(value, locale);
            if (number && range.Contains(*number)) target = FormatNumber(0, -5, 0, *number, locale);
        };
        if (key == "MetricMode") {
            const std::int32_t mode = LenientInt(value, messages);
            if (mode >= 0 && mode <= 3) options.measurementMode = mode;
        } else if (key == "Newtons") {
            options.newtons = value == "Y";
        } else if (key == "Elevation") {
            flyingField(options.elevation, ElevationRange(metric));
        } else if (key == "Pressure") {
            flyingField(options.pressure, PressureRange(metricTempPress));
        } else if (key == "Temperature") {
            flyingField(options.temperature, TemperatureRange(metricTempPress));
        } else if (key == "UseTemp") {
            options.accountForHeating = LenientInt(value, messages) != 0;
        } else if (key == "PropellerRadioButton") {
            if (value == "Y") fields.SetDrivePage(kPropellerPage);
        } else if (key == "DuctedFanRadioButton") {
            if (value == "Y") fields.SetDrivePage(kDuctedFanPage);
        } else if (key == "ParallelCellsEdit") {
            fields.SetText(WorkbenchControl::ParallelCellsFromEdit, NormaliseDecimal(value, locale));
        }
    }
    return true;
}

} // namespace ampvane
