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

// The display-unit factors of the program, each named once. Metric display values become internal
// (imperial) units by these; the reverse factors serve the workbench's unit switch.
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

inline double OuncesFromGrams(double grams) { return grams * kOuncesPerGram; }
inline double InchesFromCentimetres(double centimetres) { return centimetres * kInchesPerCentimetre; }
inline double SquareInchesFromSquareDecimetres(double dm2) { return dm2 * kSquareInchesPerSquareDecimetre; }
inline double OuncesFromNewtons(double newtons) { return newtons * kOuncesPerNewton; }
inline double MphFromMetresPerSecond(double metresPerSecond) { return metresPerSecond * kMphPerMetrePerSecond; }
inline double CentimetresFromInches(double inches) { return inches * kCentimetresPerInch; }

// A speed given as inches a minute (a pitch times a speed in rpm) in mph, and back.
inline constexpr double kMphPerInchPerMinute = 0.000947;
inline double MphFromInchesPerMinute(double inchesPerMinute) { return inchesPerMinute * kMphPerInchPerMinute; }
inline double InchesPerMinuteFromMph(double mph) { return mph / kMphPerInchPerMinute; }

// Angles, with the factor the estimators have always used.
inline double DegreesFromRadians(double radians) { return radians * 57.29577951; }
inline double RadiansFromDegrees(double degrees) { return degrees / 57.29577951; }

} // namespace ampvane
