// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/messages.h"

namespace ampvane {

// The user's number conventions. Passed in explicitly: the process locale is never consulted, so
// text written and read by the core does not change with the environment it happens to run in.
struct NumberLocale {
    char decimal = '.';       // decimal separator shown to the user
    char timeSeparator = ':'; // between minutes and seconds
};

// Removes leading and trailing blanks and control characters.
std::string_view TrimText(std::string_view text);

// Width, decimals, minimum digits, value. A negative decimals count means "up to |decimals|
// decimals, trailing zeros removed". The width is also the number of significant digits (20 for a
// width of 0); a value with more integer digits than that is written in scientific notation.
// With min digits > 0 extra decimals are added until at least that many digits show.
std::string FormatNumber(int width, int decimals, int minDigits, double value,
                         const NumberLocale& locale = {});
std::string FormatReal(int width, int decimals, double value, const NumberLocale& locale = {});

// Prefixes spaces until the text is at least width characters (UTF-8 characters, not bytes) long.
std::string PadLeft(std::string_view text, int width);
std::string FormatInt(std::int64_t n, int width);

// An optional "-", digits, one "." or ",", digits: the separator becomes the locale's. Any other
// text is returned unchanged.
std::string NormaliseDecimal(std::string_view text, const NumberLocale& locale);

// Strict reads of a whole (already trimmed or not) text: an optional sign, digits, the locale's
// decimal separator, digits and an optional exponent. Anything else, and any value that does not
// fit a finite double (or an int32 for whole numbers), gives nullopt.
std::optional<double> ParseLocaleReal(std::string_view text, const NumberLocale& locale);
std::optional<std::int32_t> ParseInteger(std::string_view text);

// Lenient reads for fields that must not stop an operation: empty or a lone "-" reads as 0; a text
// that is no number reads as 0 after a warning naming it.
double LenientReal(std::string_view text, const NumberLocale& locale, MessageSink& sink);
std::int32_t LenientInt(std::string_view text, MessageSink& sink);

// Seconds as minutes right-aligned in 3 characters, the time separator and two-digit seconds.
std::string FormatMinSec(std::int64_t seconds, const NumberLocale& locale = {});

} // namespace ampvane
