// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/options.h"

#include <algorithm>
#include <cmath>

#include "common/unit_conversion.h"
#include "model/air.h"

namespace ampvane {

namespace {

constexpr double kDefaultGearboxEfficiency = 95; // %, an empty field
constexpr std::string_view kTypicalGearboxEfficiency = "92";
// Checked in inHg: the kPa value times the standard-day ratio, divided once.
constexpr double kInchesHgPerKilopascal = kStandardPressureInchesHg / kStandardPressureKilopascals;

// The checks are made in one unit whatever the field shows.
struct CheckRange {
    double low;
    double high;
};
constexpr CheckRange kElevationFeet{-1000.1, 36000.1};
constexpr CheckRange kPressureInchesHg{27.999, 32.001};
constexpr CheckRange kTemperatureCelsius{-50.1, 50.1};
constexpr CheckRange kGearboxPercent{50, 100};

bool IsEmpty(std::string_view text) { return TrimText(text).empty(); }

// Each value in the checking unit, by the unit its label shows.
double ElevationFeet(const Settings& s, double value) {
    return s.unitLabels.elevation == kMetresLabel ? value * kFeetPerMetre : value;
}
double PressureInchesHg(const Settings& s, double value) {
    return s.unitLabels.pressure == kKilopascalsLabel ? value * kInchesHgPerKilopascal : value;
}
double TemperatureCelsius(const Settings& s, double value) {
    return s.unitLabels.temperature == kFahrenheitLabel
               ? (value - kFreezingFahrenheit) / kFahrenheitDegreesPerCelsiusDegree
               : value;
}

Message FieldError(std::string_view text, int helpTopic) {
    return {MessageKind::Error, std::string(text), OkButton | HelpButton, helpTopic};
}

bool AnyRequiredColumnShown(const Settings& settings) {
    const auto& switches = ReportColumnSwitches();
    return std::any_of(switches.begin(), switches.end(), [&](const ReportColumnSwitchInfo& info) {
        return info.required && ColumnShown(settings, info.column);
    });
}

} // namespace

double ElevationValue(const Settings& settings, const NumberLocale& locale, MessageSink& messages) {
    return LenientReal(settings.elevation, locale, messages);
}

double PressureValue(const Settings& settings, const NumberLocale& locale, MessageSink& messages) {
    if (IsEmpty(settings.pressure))
        return MetricTemperatureAndPressure(settings) ? kStandardPressureKilopascals : kStandardPressureInchesHg;
    return LenientReal(settings.pressure, locale, messages);
}

double TemperatureValue(const Settings& settings, const NumberLocale& locale, MessageSink& messages) {
    if (!IsEmpty(settings.temperature)) return LenientReal(settings.temperature, locale, messages);
    // The elevation's own warning is given where the elevation is read.
    NullMessageSink quiet;
    double elevation = ElevationValue(settings, locale, quiet);
    if (MetricLengthsAndWeights(settings)) elevation = FeetFromMetres(elevation);
    const double celsius = StandardDayTemperature(elevation);
    return MetricTemperatureAndPressure(settings) ? celsius : FahrenheitFromCelsius(celsius);
}

double GearboxEfficiencyValue(const Settings& settings, const NumberLocale& locale, MessageSink& messages) {
    if (IsEmpty(settings.gearboxEfficiency)) return kDefaultGearboxEfficiency;
    return LenientReal(settings.gearboxEfficiency, locale, messages);
}

bool FieldOutOfRange(const Settings& settings, OptionsField field, const NumberLocale& locale,
                     MessageSink& messages) {
    auto outside = [&](const std::string& text, auto toCheckingUnit) {
        if (IsEmpty(text)) return false;
        return toCheckingUnit(LenientReal(text, locale, messages));
    };
    switch (field) {
    case OptionsField::Elevation:
        return outside(settings.elevation, [&](double v) {
            const double feet = ElevationFeet(settings, v);
            return feet < kElevationFeet.low || feet > kElevationFeet.high;
        });
    case OptionsField::Pressure:
        return outside(settings.pressure, [&](double v) {
            const double inches = PressureInchesHg(settings, v);
            return inches <= kPressureInchesHg.low || inches >= kPressureInchesHg.high;
        });
    case OptionsField::Temperature:
        return outside(settings.temperature, [&](double v) {
            const double celsius = TemperatureCelsius(settings, v);
            return celsius < kTemperatureCelsius.low || celsius > kTemperatureCelsius.high;
        });
    case OptionsField::GearboxEfficiency:
        return outside(settings.gearboxEfficiency,
                       [&](double v) { return v < kGearboxPercent.low || v > kGearboxPercent.high; });
    }
    return false;
}

bool ValidateOptions(const Settings& settings, const NumberLocale& locale, MessageSink& messages) {
    auto within = [](double value, CheckRange range) { return value >= range.low && value <= range.high; };
    const bool metres = settings.unitLabels.elevation == kMetresLabel;
    if (!within(ElevationFeet(settings, ElevationValue(settings, locale, messages)), kElevationFeet)) {
        messages.Report(FieldError(metres ? "Flying field elevation must be between -304 and +10972 metres."
                                          : "Flying field elevation must be between -1000 and +36000 feet.",
                                   kFlyingFieldHelpTopic));
        return false;
    }
    const bool kilopascals = settings.unitLabels.pressure == kKilopascalsLabel;
    if (!within(PressureInchesHg(settings, PressureValue(settings, locale, messages)), kPressureInchesHg)) {
        messages.Report(FieldError(kilopascals ? "Sea level pressure must be between 94.8 and 108.3 kPa."
                                               : "Sea level pressure must be between 28 and 32 inHg.",
                                   kFlyingFieldHelpTopic));
        return false;
    }
    const bool celsius = settings.unitLabels.temperature == kCelsiusLabel;
    if (!within(TemperatureCelsius(settings, TemperatureValue(settings, locale, messages)), kTemperatureCelsius)) {
        messages.Report(FieldError(celsius ? "Flying field temperature must be between -50 and +50\u00B0C."
                                           : "Flying field temperature must be between -58 and +122\u00B0F.",
                                   kFlyingFieldHelpTopic));
        return false;
    }
    if (!within(GearboxEfficiencyValue(settings, locale, messages), kGearboxPercent)) {
        messages.Report(
            FieldError("Default gearbox efficiency must be between 50 and 100%.", kGearboxEfficiencyHelpTopic));
        return false;
    }
    return true;
}

bool SetElevation(Settings& settings, double value, const NumberLocale& locale) {
    if (!ElevationRange(MetricLengthsAndWeights(settings)).Contains(value)) return false;
    settings.elevation = FormatReal(0, -1, value, locale);
    return true;
}

bool SetPressure(Settings& settings, double value, const NumberLocale& locale) {
    const bool metric = MetricTemperatureAndPressure(settings);
    if (!PressureRange(metric).Contains(value)) return false;
    settings.pressure = FormatReal(0, metric ? 1 : 2, value, locale);
    return true;
}

bool SetTemperature(Settings& settings, double value, const NumberLocale& locale) {
    if (!TemperatureRange(MetricTemperatureAndPressure(settings)).Contains(value)) return false;
    settings.temperature = FormatReal(0, -1, value, locale);
    return true;
}

FlyingFieldTexts EmptyFlyingFieldMeaning(const Settings& settings, const NumberLocale& locale) {
    NullMessageSink quiet;
    const bool metricLengths = MetricLengthsAndWeights(settings);
    const bool metricAir = MetricTemperatureAndPressure(settings);
    const double elevation = TrimText(settings.elevation).empty() ? 0 : LenientReal(settings.elevation, locale, quiet);
    const double celsius = StandardDayTemperature(metricLengths ? FeetFromMetres(elevation) : elevation);
    FlyingFieldTexts texts;
    texts.elevation = "0";
    texts.pressure = FormatReal(0, -2, metricAir ? kStandardPressureKilopascals : kStandardPressureInchesHg, locale);
    texts.temperature = std::isfinite(celsius)
                            ? FormatReal(0, -1, metricAir ? celsius : FahrenheitFromCelsius(celsius), locale)
                            : std::string();
    return texts;
}

void SeaLevelButtonClick(Settings& settings) { settings.elevation = "0"; }

void StdPressureButtonClick(Settings& settings, const NumberLocale& locale) {
    settings.pressure = NormaliseDecimal(settings.unitLabels.pressure == kInchesHgLabel ? "29.92" : "101.3", locale);
}

void RoomTemperatureButtonClick(Settings& settings) {
    settings.temperature = settings.unitLabels.temperature == kFahrenheitLabel ? "68" : "20";
}

void TypicalGearboxEfficiencyButtonClick(Settings& settings) {
    settings.gearboxEfficiency = std::string(kTypicalGearboxEfficiency);
}

void AllColumnsButtonClick(Settings& settings) { settings.columnHidden.fill(false); }

bool ColumnBoxClick(Settings& settings, ReportColumnSwitch column, bool shown, MessageSink& messages) {
    SetColumnShown(settings, column, shown);
    if (AnyRequiredColumnShown(settings)) return shown;
    messages.Report(FieldError(kRequiredColumnsMessage, kOptionsHelpTopic));
    SetColumnShown(settings, column, true);
    return true;
}

bool AcceptProxySettings(Settings& settings, std::string_view host, std::string_view port, MessageSink& messages) {
    host = TrimText(host);
    port = TrimText(port);
    if (!host.empty() && !IsProxyPort(port)) {
        messages.Report(FieldError(kProxyPortMessage, kAdvancedOptionsHelpTopic));
        return false;
    }
    settings.proxyHost = std::string(host);
    settings.proxyPort = std::string(port);
    return true;
}

std::string NewtonsText(const Settings& settings) { return settings.forceInNewtons ? "Y" : "N"; }

void SetNewtonsFromText(Settings& settings, std::string_view text) { settings.forceInNewtons = text == "Y"; }

} // namespace ampvane
