// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ampvane {

// Label captions show "&&" as a single "&" (a lone "&" marks a keyboard accelerator).
std::string DoubleAmpersands(std::string_view text);
std::string UndoubleAmpersands(std::string_view text);

// Double quote, "&", "<" and ">" as HTML entities.
std::string HtmlEscape(std::string_view text);

// Every space becomes "&nbsp;" except one directly after the character `after` ('\0': no
// exception). A space in the first position is always replaced.
std::string NonBreakingSpaces(std::string_view text, char after);

// "-", ".", "_", ASCII digits and letters stay; every other byte becomes "%" and two upper-case hex digits.
std::string UrlEncode(std::string_view text);

// With `quote`: double quotes inside become single quotes, the text is wrapped in double quotes and
// `extraFields` empty quoted fields (,"") follow. Without it the text is returned unchanged.
std::string CsvQuote(std::string_view text, bool quote, int extraFields);

struct RgbColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const RgbColour&, const RgbColour&) = default;
};

// "#RRGGBB".
std::string ColorToHtml(RgbColour colour);

} // namespace ampvane
