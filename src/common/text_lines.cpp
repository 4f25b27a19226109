// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/text_lines.h"

namespace ampvane {

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string_view LineEndOf(std::string_view text, std::string_view fallback) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) return fallback;
    if (text[end] == '\n') return "\n";
    return end + 1 < text.size() && text[end + 1] == '\n' ? "\r\n" : "\r";
}

} // namespace ampvane
