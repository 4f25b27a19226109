// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "common/numeric_text.h"
#include "common/messages.h"

namespace ampvane {

// Converts the number in an edit field when the display units change: value × factor + offset,
// rounded (half to even) to a multiple of the resolution and shown without trailing zeros. An empty
// field stays empty; a text that is no number reads as 0 after the lenient-read warning; when the
// arithmetic fails (no usable resolution, overflow) the trimmed text is returned unchanged.
std::string ConvertEditValue(std::string_view text, double offset, double resolution, double factor,
                             const NumberLocale& locale, MessageSink& sink);

// The same, writing the result back into the field's text.
void ConvertEdit(std::string& editText, double resolution, double factor, const NumberLocale& locale,
                 MessageSink& sink);
void ConvertEditWithOffset(std::string& editText, double offset, double resolution, double factor,
                           const NumberLocale& locale, MessageSink& sink);

} // namespace ampvane

namespace ampvane {

// The unit factors of the program, each named once. They are the rounded figures the program has
// always used (0.3937 in/cm, not 1/2.54; 28.3 g/oz, not 28.35), so converting one way and back is not
// the identity; reports and stored texts depend on their exact values, so none is to be replaced by
// an exact or computed reciprocal.
// Metric display values become internal (imperial) units by these; the reverse factors serve the
// workbench's unit switch and the metric report columns.
inline constexpr double kOuncesPerGram = 0.03534;
inline constexpr double kGramsPerOunce = 28.3;
inline constexpr double kInchesPerCentimetre = 0.3937;
inline constexpr double kCentimetresPerInch = 2.54;
inline constexpr double kSquareInchesPerSquareDecimetre = 15.5;
inline constexpr double kSquareDecimetresPerSquareInch = 0.06452;
inline constexpr double kOuncesPerNewton = 3.60201;
inline constexpr double kNewtonsPerOunce = 0.27762;
inline constexpr double kMphPerMetrePerSecond = 2.237;
inline constexpr double kMetresPerSecondPerMph = 0.447;
// Rates of climb: the model's ft/min from mph, shown in m/s.
inline constexpr double kFeetPerMinutePerMph = 88;
inline constexpr double kMetresPerSecondPerFootPerMinute = 0.00508;
// Power loadings per ounce shown per pound or per kilogram.
inline constexpr double kOuncesPerPound = 16;
inline constexpr double kOuncesPerKilogram = 35.3;
// Imperial units among themselves, and the SI units of measured propellers.
inline constexpr double kInchesPerFoot = 12;
inline constexpr double kSquareInchesPerSquareFoot = 144;
inline constexpr double kMetresPerInch = 0.0254;
// Measured propellers' coefficients take the mile as defined, not the display's rounded 0.447.
inline constexpr double kMetresPerSecondPerMphExactly = 0.44704;
inline constexpr double kInchOuncesPerNewtonMetre = 141.6119;

// The flying field: elevation in ft or m, temperature in °F or °C, pressure in inHg or kPa. The
// model takes ft, °C and inHg.
inline constexpr double kFeetPerMetre = 3.28084;
inline constexpr double kMetresPerFoot = 0.3048;
inline constexpr double kFahrenheitDegreesPerCelsiusDegree = 1.8;
inline constexpr double kFreezingFahrenheit = 32;
inline constexpr double kCelsiusDegreesPerFahrenheitDegree = 0.55556;
inline constexpr double kZeroFahrenheitInCelsius = -17.77778;
// Pressures convert through the standard day's two readings.
inline constexpr double kStandardPressureKilopascals = 101.3;
inline constexpr double kStandardPressureInchesHg = 29.92;
// The options dialog's unit switch multiplies by their ratio as written out to the last digit,
// one step of the last binary place away from dividing the two doubles.
inline constexpr double kKilopascalsPerInchHgAsWritten = 3.3856951871657754;
inline constexpr double kInchesHgPerKilopascalAsWritten = 0.29536031589338596;

inline double OuncesFromGrams(double grams) { return grams * kOuncesPerGram; }
inline double InchesFromCentimetres(double centimetres) { return centimetres * kInchesPerCentimetre; }
inline double SquareInchesFromSquareDecimetres(double dm2) { return dm2 * kSquareInchesPerSquareDecimetre; }
inline double OuncesFromNewtons(double newtons) { return newtons * kOuncesPerNewton; }
inline double MphFromMetresPerSecond(double metresPerSecond) { return metresPerSecond * kMphPerMetrePerSecond; }
inline double CentimetresFromInches(double inches) { return inches * kCentimetresPerInch; }
inline double MetresPerSecondFromMph(double mph) { return mph * kMetresPerSecondPerMph; }

inline double FeetFromMetres(double metres) { return metres * kFeetPerMetre; }
inline double MetresFromFeet(double feet) { return feet * kMetresPerFoot; }
inline double FahrenheitFromCelsius(double celsius) {
    return celsius * kFahrenheitDegreesPerCelsiusDegree + kFreezingFahrenheit;
}
inline double CelsiusFromFahrenheit(double fahrenheit) {
    return fahrenheit * kCelsiusDegreesPerFahrenheitDegree + kZeroFahrenheitInCelsius;
}
inline double InchesHgFromKilopascals(double kilopascals) {
    return kilopascals * kStandardPressureInchesHg / kStandardPressureKilopascals;
}
inline double KilopascalsFromInchesHg(double inchesHg) {
    return inchesHg * kStandardPressureKilopascals / kStandardPressureInchesHg;
}

// A speed given as inches a minute (a pitch times a speed in rpm) in mph, and back.
inline constexpr double kMphPerInchPerMinute = 0.000947;
inline double MphFromInchesPerMinute(double inchesPerMinute) { return inchesPerMinute * kMphPerInchPerMinute; }
inline double InchesPerMinuteFromMph(double mph) { return mph / kMphPerInchPerMinute; }

// Angles, with the factor the estimators have always used.
inline constexpr double kDegreesPerRadian = 57.29577951;
inline double DegreesFromRadians(double radians) { return radians * kDegreesPerRadian; }
inline double RadiansFromDegrees(double degrees) { return degrees / kDegreesPerRadian; }

} // namespace ampvane
