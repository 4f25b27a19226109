// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/opinion_units.h"

#include <cmath>

#include "common/unit_conversion.h"

namespace ampvane {

namespace {

// A trimmed format: "up to n decimals".
constexpr int UpTo(int decimals) { return -decimals; }

} // namespace

OpinionUnits::OpinionUnits(const AnalysisOptions& options, const NumberLocale& locale)
    : options_(options), locale_(locale) {}

std::string OpinionUnits::Fixed(int decimals, double value) const {
    return FormatNumber(0, decimals, options_.MinDigits, value, locale_);
}

std::string OpinionUnits::Current(double amperes) const { return Fixed(UpTo(1), amperes); }
std::string OpinionUnits::Voltage(double volts) const { return Fixed(UpTo(1), volts); }
std::string OpinionUnits::Percent(double fraction) const { return Fixed(0, fraction * 100); }
std::string OpinionUnits::OneDecimal(double value) const { return Fixed(UpTo(1), value); }
std::string OpinionUnits::Ratio(double value) const { return Fixed(UpTo(2), value); }

double OpinionUnits::DisplayTemperature(double celsius) const {
    return options_.MetricTempPress ? celsius : FahrenheitFromCelsius(celsius);
}
std::string OpinionUnits::TemperatureUnit() const { return options_.MetricTempPress ? "°C" : "°F"; }
std::string OpinionUnits::Temperature(double celsius) const {
    return Fixed(0, DisplayTemperature(celsius)) + TemperatureUnit();
}

std::string OpinionUnits::Speed(double mph) const {
    return options_.Metric ? Fixed(UpTo(1), mph * kMetresPerSecondPerMph) : Fixed(0, mph);
}
std::string OpinionUnits::SpeedUnit() const { return options_.Metric ? "m/s" : "mph"; }

double OpinionUnits::DisplayPropSize(double inches) const {
    return options_.MetricPropSizes ? inches * kCentimetresPerInch : inches;
}
std::string OpinionUnits::PropSize(double inches) const { return Fixed(1, DisplayPropSize(inches)); }
std::string OpinionUnits::PropSizeUnit() const { return options_.MetricPropSizes ? "cm" : "in"; }

std::string OpinionUnits::Force(double ounces) const {
    if (!options_.Metric) return Fixed(UpTo(1), ounces);
    if (options_.Newtons) return Fixed(UpTo(2), ounces * kNewtonsPerOunce);
    return Fixed(0, ounces * kGramsPerOunce);
}
std::string OpinionUnits::ForceUnit() const {
    if (!options_.Metric) return "oz";
    return options_.Newtons ? "N" : "g";
}

std::optional<std::string> OpinionUnits::WingLoading(double weightOz, double areaSqIn) const {
    if (!(areaSqIn > 0)) return std::nullopt;
    const double loading = options_.Metric
                               ? weightOz * kGramsPerOunce / (areaSqIn * kSquareDecimetresPerSquareInch)
                               : weightOz / (areaSqIn / kSquareInchesPerSquareFoot);
    if (!std::isfinite(loading)) return std::nullopt;
    return Fixed(UpTo(1), loading);
}
std::string OpinionUnits::WingLoadingUnit() const { return options_.Metric ? "g/dm²" : "oz/sq.ft"; }

std::string OpinionUnits::Decimal(int whole, int tenths) const {
    return std::to_string(whole) + locale_.decimal + std::to_string(tenths);
}

} // namespace ampvane
