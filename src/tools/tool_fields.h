// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "common/messages.h"
#include "common/numeric_text.h"

// Reading and writing the texts of the estimator windows. Every window keeps its inputs as the
// texts typed, so a result never shows a number the user did not give.

namespace ampvane {

// A measured quantity of an estimator: the lenient read (an empty text is 0 without a message, a
// text that is no number 0 after the warning); a value of 0 counts as not given; any other value is
// checked against the limits with the field messages and counts as 0 when it fails.
double ReadMeasuredField(std::string_view text, std::string_view label, double minimum, double maximum,
                         const NumberLocale& locale, MessageSink& messages);

// The checked read of an optional field: empty reads as 0 without a message; a value outside the
// limits (or no number) brings the field message and reads as 0.
double ReadOptionalField(std::string_view text, std::string_view label, double minimum, double maximum,
                         const NumberLocale& locale, MessageSink& messages);

// Fixed-point text of a result: the given decimals, or up to |decimals| decimals when negative. A
// value that is not finite gives the empty text, so no window ever shows an infinity or NaN.
std::string ResultText(double value, int decimals, const NumberLocale& locale);

// Whether every character of a text is one a value list line can carry in its name: a "|" would
// split the line and a line break would start a new one.
bool IsListSafeName(std::string_view name);
inline constexpr std::string_view kListNameMessage =
    "The name cannot contain the character \"|\" or a line break, because the lists use them to separate "
    "their entries.";

// The name as the lists store it: its first letter upper-cased (ASCII).
std::string ListEntryName(std::string_view name);
// The value text as the lists store it: the first locale decimal separator becomes ".".
std::string ListValueText(std::string_view text, const NumberLocale& locale);

} // namespace ampvane
