// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/settings.h"

#include "common/unit_conversion.h"

namespace ampvane {

namespace {
using C = ReportColumnSwitch;
constexpr std::array<ReportColumnSwitchInfo, kReportColumnSwitchCount> kSwitches{{
    {C::Airspeed, "noairspeed", "Airspeed", "AirSpeedCheckBox", false},
    {C::NumberOfCells, "nocells", "Number of Cells", "CellsCheckBox", false},
    {C::MotorCurrent, "nomotorcurrent", "Motor Current", "MotorCurrentCheckBox", true},
    {C::BatteryCurrent, "nobatterycurrent", "Battery Current", "BatteryCurrentCheckBox", true},
    {C::Diameter, "nodiam", "Diameter", "DiamCheckBox", false},
    {C::Drag, "nodrag", "Drag", "DragCheckBox", false},
    {C::ShaftEfficiency, "noeleceff", "Shaft Efficiency", "ElecEffCheckBox", true},
    {C::GearRatio, "nogear", "Gear Ratio", "GearCheckBox", false},
    {C::InputPowerLoading, "noinwattslb", "Input Power Loading", "InWattsLbCheckBox", false},
    {C::InputPower, "noinput", "Input Power", "InputCheckBox", true},
    {C::Lift, "nolift", "Lift", "LiftCheckBox", false},
    {C::PowerLoss, "noloss", "Power Loss", "LossCheckBox", true},
    {C::MotorEfficiency, "nomotoreff", "Motor/Gearbox Efficiency", "MotorEffCheckBox", true},
    {C::MotorRpm, "nomotorrpm", "Motor RPM", "MotorRPMCheckBox", false},
    {C::OutputPowerLoading, "nooutwattslb", "Output Power Loading", "OutWattsLbCheckBox", false},
    {C::OutputPower, "nooutput", "Output Power", "OutputCheckBox", true},
    {C::Pitch, "nopitch", "Pitch", "PitchCheckBox", false},
    {C::PropellerEfficiency, "nopropeff", "Propeller Efficiency", "PropEffCheckBox", false},
    {C::PropellerRpm, "norpm", "Propeller RPM", "RPMCheckBox", true},
    {C::PitchSpeed, "nospeed", "Pitch Speed / Efflux", "SpeedCheckBox", true},
    {C::RateOfClimb, "noroc", "Rate of Climb", "RoCCheckBox", false},
    {C::TotalEfficiency, "nototaleff", "Total Efficiency", "TotalEffCheckBox", false},
    {C::Thrust, "nothrust", "Thrust", "ThrustCheckBox", true},
    {C::Time, "notime", "Time", "TimeCheckBox", true},
    {C::MotorVoltage, "novoltage", "Motor Voltage", "VoltageCheckBox", true},
    {C::TotalWeight, "noweight", "Total Weight", "WeightCheckBox", false},
}};

constexpr bool SwitchesInEnumOrder() {
    for (std::size_t i = 0; i < kSwitches.size(); ++i)
        if (static_cast<std::size_t>(kSwitches[i].column) != i) return false;
    return true;
}
static_assert(SwitchesInEnumOrder(), "the switch table is indexed by ReportColumnSwitch");

constexpr int kHighestPort = 65535;
} // namespace

const std::array<ReportColumnSwitchInfo, kReportColumnSwitchCount>& ReportColumnSwitches() { return kSwitches; }

bool MetricLengthsAndWeights(const Settings& settings) {
    return settings.measurementMode == MetricInchProps || settings.measurementMode == AllMetric;
}

bool MetricPropellerSizes(const Settings& settings) { return settings.measurementMode == AllMetric; }

bool MetricTemperatureAndPressure(const Settings& settings) {
    return settings.measurementMode >= ImperialMetricTempPress && settings.measurementMode <= AllMetric;
}

bool ThrustInNewtons(const Settings& settings) {
    return settings.forceInNewtons && MetricLengthsAndWeights(settings);
}

void SelectMeasurementMode(Settings& settings, int mode, const NumberLocale& locale, MessageSink& messages) {
    settings.measurementMode = mode;
    UnitLabels& labels = settings.unitLabels;
    if (MetricLengthsAndWeights(settings)) {
        if (labels.elevation == kFeetLabel) ConvertEdit(settings.elevation, 0.3, kMetresPerFoot, locale, messages);
        labels.elevation = kMetresLabel;
    } else {
        if (labels.elevation == kMetresLabel) ConvertEdit(settings.elevation, 1, kFeetPerMetre, locale, messages);
        labels.elevation = kFeetLabel;
    }
    if (MetricTemperatureAndPressure(settings)) {
        if (labels.temperature == kFahrenheitLabel)
            ConvertEditWithOffset(settings.temperature, kZeroFahrenheitInCelsius, 0.5, kCelsiusDegreesPerFahrenheitDegree,
                                  locale, messages);
        labels.temperature = kCelsiusLabel;
        if (labels.pressure == kInchesHgLabel)
            ConvertEdit(settings.pressure, 0.1, kKilopascalsPerInchHgAsWritten, locale, messages);
        labels.pressure = kKilopascalsLabel;
    } else {
        if (labels.temperature == kCelsiusLabel) ConvertEditWithOffset(settings.temperature, kFreezingFahrenheit, 1, kFahrenheitDegreesPerCelsiusDegree,
                                  locale, messages);
        labels.temperature = kFahrenheitLabel;
        if (labels.pressure == kKilopascalsLabel)
            ConvertEdit(settings.pressure, 0.01, kInchesHgPerKilopascalAsWritten, locale, messages);
        labels.pressure = kInchesHgLabel;
    }
}

bool ColumnShown(const Settings& settings, ReportColumnSwitch column) {
    return !settings.columnHidden[static_cast<std::size_t>(column)];
}

void SetColumnShown(Settings& settings, ReportColumnSwitch column, bool shown) {
    settings.columnHidden[static_cast<std::size_t>(column)] = !shown;
}

bool IsProxyPort(std::string_view port) {
    std::optional<std::int32_t> number = ParseInteger(port);
    return number && *number >= 0 && *number <= kHighestPort;
}

ProxySetting EffectiveProxy(const Settings& settings) {
    std::string_view host = TrimText(settings.proxyHost);
    if (host.empty() || !IsProxyPort(settings.proxyPort)) return {};
    return {std::string(host), *ParseInteger(settings.proxyPort)};
}

std::string UserName(const Settings& settings, std::string_view ownerName) {
    if (!settings.userName.empty()) return settings.userName;
    return std::string(TrimText(ownerName));
}

} // namespace ampvane
