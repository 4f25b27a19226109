// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/tips.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <vector>

#include "common/text_lines.h"

namespace ampvane {

namespace {

bool Blank(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

std::optional<int> TopicNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value <= 0) return std::nullopt;
    return value;
}

} // namespace

TipStep NextTip(std::optional<std::string_view> contents, int lastTip) {
    TipStep step;
    step.lastTip = lastTip;
    if (lastTip < 0) lastTip = 0; // a damaged stored number starts from the first tip
    if (!contents) {
        step.text = kNoTipFileText;
        return step;
    }
    const std::vector<std::string_view> lines = SplitLines(*contents);
    // Count tips until one beyond the last shown, or the end of the file: the tip read last is shown.
    int count = 0;
    std::size_t index = 0;
    std::string_view tip;
    while (count <= lastTip && index < lines.size()) {
        const std::string_view line = lines[index++];
        if (!Blank(line)) {
            ++count;
            tip = line;
        }
    }
    bool atEnd = true;
    for (std::size_t i = index; i < lines.size(); ++i)
        if (!Blank(lines[i])) atEnd = false;
    if (count == 0) {
        step.text = kNoTipsText;
        return step;
    }
    step.found = true;
    if (const auto bar = tip.find('|'); bar != std::string_view::npos) {
        if (const auto topic = TopicNumber(tip.substr(0, bar))) {
            step.topic = topic;
            tip.remove_prefix(bar + 1);
        }
    }
    step.text = std::string(tip);
    step.lastTip = atEnd ? 0 : count;
    return step;
}

TipStep NextTipFromFile(const std::string& path, int lastTip) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return NextTip(std::nullopt, lastTip);
    const std::string contents{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return NextTip(contents, lastTip);
}

std::string PrintedTipText(std::string_view labelText) {
    std::string text;
    text.reserve(labelText.size());
    for (std::size_t i = 0; i < labelText.size(); ++i) {
        text += labelText[i];
        if (labelText[i] == '&' && i + 1 < labelText.size() && labelText[i + 1] == '&') ++i;
    }
    return text;
}

} // namespace ampvane
