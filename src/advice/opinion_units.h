// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "common/numeric_text.h"
#include "analysis/plane_desc.h"

// Numbers as the opinion writes them: the report's fixed-point format with its minimum digits, in the
// display units the options choose. Values come in internal units (A, V, °C, mph, in, oz, sq.in).

namespace ampvane {

class OpinionUnits {
public:
    OpinionUnits(const AnalysisOptions& options, const NumberLocale& locale);

    std::string Current(double amperes) const; // 1 decimal, no unit
    std::string Voltage(double volts) const;   // 1 decimal, no unit
    std::string Percent(double fraction) const; // 0 decimals, no "%"
    std::string OneDecimal(double value) const;
    std::string Ratio(double value) const; // up to 2 decimals

    // Number, "°" and "C" or "F".
    std::string Temperature(double celsius) const;
    std::string TemperatureUnit() const; // "°C" or "°F"
    double DisplayTemperature(double celsius) const;

    std::string Speed(double mph) const; // number only
    std::string SpeedUnit() const;
    std::string PropSize(double inches) const; // exactly 1 decimal
    std::string PropSizeUnit() const;
    double DisplayPropSize(double inches) const;
    std::string Force(double ounces) const; // thrust and weight
    std::string ForceUnit() const;
    // None when there is no area or the loading is beyond any number (a positive wing area just
    // above zero): such a figure is left out rather than written as infinite.
    std::optional<std::string> WingLoading(double weightOz, double areaSqIn) const;
    std::string WingLoadingUnit() const;

    // "2.5" or "1.5" with the locale's separator, as the sentences quote fixed factors.
    std::string Decimal(int whole, int tenths) const;

private:
    std::string Fixed(int decimals, double value) const;

    AnalysisOptions options_;
    NumberLocale locale_;
};

} // namespace ampvane
