// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/numeric_text.h"
#include "common/messages.h"

namespace ampvane {

// A default at or below this means "no default": an empty field is then invalid.
inline constexpr double kNoDefault = -2048;
inline constexpr std::int32_t kNoIntegerDefault = -2048;

// Ranges of workbench fields that the estimators hold their own fields to as well.
inline constexpr double kGearboxEfficiencyMinimum = 50; // %
inline constexpr double kGearboxEfficiencyMaximum = 100;
struct LengthLimits {
    double minimum = 0, maximum = 0;
};
// Propeller and fan lengths: 0.1 to 100 in, or 0.254 to 254 cm.
constexpr LengthLimits WorkbenchLengthLimits(bool centimetres) {
    return centimetres ? LengthLimits{0.254, 254.0} : LengthLimits{0.1, 100.0};
}

// The three fixed messages of a typed number.
std::string InvalidFieldText(std::string_view label);
std::string TooSmallFieldText(std::string_view label, std::string_view limit);
std::string TooLargeFieldText(std::string_view label, std::string_view limit);

// An error box with OK.
void ShowFieldError(std::string message, MessageSink& sink);

// Trims the text; an empty text with a default above kNoDefault stores the default and is accepted
// without any range check. Otherwise the text must be a number ("." or "," as separator); the value
// is stored, then checked against both limits (written with up to five decimals in the message).
// Every failure is reported through ShowFieldError.
bool ValidateReal(std::string_view text, std::string_view label, double& value, double minimum, double maximum,
                  double emptyDefault, const NumberLocale& locale, MessageSink& sink);

// The same for whole numbers; a default of -2047 or above is a default.
bool ValidateInteger(std::string_view text, std::string_view label, std::int32_t minimum, std::int32_t emptyDefault,
                     std::int32_t& value, std::int32_t maximum, MessageSink& sink);

} // namespace ampvane
