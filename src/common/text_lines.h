// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>
#include <vector>

namespace ampvane {

// Splits a text file's contents into lines ended by CR LF, LF or a lone CR, without the line ends.
// A last line without a line end still counts; a text ending in a line end gives no extra empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// The line end a text uses (that of its first line), or `fallback` when it has none.
std::string_view LineEndOf(std::string_view text, std::string_view fallback);

} // namespace ampvane
