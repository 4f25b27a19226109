#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ampvane::settings_text {

// Removes surrounding blanks and control characters, as a typed or stored value is cleaned.
std::string_view Trim(std::string_view text);

// Lower-cases ASCII letters only, so that names in other scripts pass through untouched.
std::string AsciiLower(std::string_view text);

// A whole decimal number with an optional sign and nothing else, within the range of int.
std::optional<int> ParseInt(std::string_view text);

} // namespace ampvane::settings_text
