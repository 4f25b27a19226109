// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace ampvane {

// Words separated by blanks, joined for a sentence: "a", "a or b", "a, b, or c". No word gives
// `emptyText`.
std::string FormatWordList(std::string_view words, std::string_view conjunction, std::string_view emptyText);

// Replaces every occurrence, whatever the length of the text. A replacement shorter than the text
// sought is looked at again, so that it can complete a new occurrence ("   " with "  " → " "
// collapses runs); a replacement as long or longer could keep forming occurrences without end, so
// one pass is made instead. An empty text sought changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement);

std::string BlankIfZero(std::string_view text);
std::string BlankIfOne(std::string_view text);
std::string IfElseText(bool condition, std::string_view a, std::string_view b);
std::string Plural(long n, std::string_view singular, std::string_view plural);

// Lines of at most width characters: the last space within the limit becomes a carriage return,
// and a line without one is broken at the limit. Existing line breaks start a new line.
std::string WrapText(std::string_view text, int width);

// Line n (from 1) of WrapText, padded with spaces to width; `more` tells whether text follows it.
std::string WrappedLine(std::string_view text, int width, int n, bool& more);

// Case-insensitive (ASCII letters) test that text starts with prefix; an empty prefix matches.
bool StartsWithText(std::string_view prefix, std::string_view text);

} // namespace ampvane
