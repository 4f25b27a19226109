// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The tip of the day: one further tip of "Tips.lst" per opening, in file order, wrapping round.

namespace ampvane {

inline constexpr std::string_view kTipsFileName = "Tips.lst";
inline constexpr std::string_view kNoTipFileText = "The \"Tip of the Day\" file could not be found.";
inline constexpr std::string_view kNoTipsText = "The \"Tip of the Day\" file does not contain any tips.";

struct TipStep {
    // The label's text: the tip (as a label caption, "&&" for "&"), or one of the two texts above.
    std::string text;
    // Whether a tip was found; otherwise the label shows `text` and nothing else changes.
    bool found = false;
    // The tip's help topic ("Tell Me More..." shown), or none (the button hidden). Only set when found.
    std::optional<int> topic;
    // The number of the tip shown last, to be stored: 0 once the file's last tip has been shown.
    int lastTip = 0;
};

// The step after tip number `lastTip` over the file's contents; nullopt contents mean the file could not
// be opened. Empty lines (also lines of blanks only) are no tips. A tip whose text before the first "|" is
// not a whole number is shown whole, without a topic, so no tip is ever lost to a typing slip.
TipStep NextTip(std::optional<std::string_view> contents, int lastTip);

// Reads the file (nullopt when it cannot be opened) and takes the next step.
TipStep NextTipFromFile(const std::string& path, int lastTip);

// The text a tip prints: the label's "&&" as one "&".
std::string PrintedTipText(std::string_view labelText);

} // namespace ampvane
