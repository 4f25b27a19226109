// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/opinion_document.h"

namespace ampvane {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\r', start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

OpinionParagraph StyleLine(std::string_view line) {
    OpinionParagraph paragraph;
    if (line.empty()) return paragraph;
    const std::size_t label = LeadingLabelLength(line);
    if (label == 0) {
        paragraph.Style = ParagraphStyle::Bullet;
        paragraph.Runs.push_back({std::string(line), false});
    } else if (label == line.size()) {
        paragraph.Style = ParagraphStyle::Heading;
        paragraph.Runs.push_back({std::string(line), true});
    } else {
        paragraph.Style = ParagraphStyle::Labelled;
        paragraph.Runs.push_back({std::string(line.substr(0, label)), true});
        paragraph.Runs.push_back({std::string(line.substr(label)), false});
    }
    return paragraph;
}

} // namespace

std::string OpinionParagraph::Text() const {
    std::string text;
    for (const auto& run : Runs) text += run.Text;
    return text;
}

std::size_t LeadingLabelLength(std::string_view line) {
    bool letter = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (IsAsciiLetter(c))
            letter = true;
        else if (c == ':')
            return letter ? i + 1 : 0;
        else if (c != ' ')
            return 0;
    }
    return 0;
}

OpinionDocument FormatOpinionText(std::string_view text) {
    OpinionDocument document;
    const auto lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 0) {
            document.Title = std::string(lines[0]);
            document.Paragraphs.push_back({ParagraphStyle::Title, {{document.Title, false}}});
        } else if (i == 1) {
            document.Paragraphs.push_back({ParagraphStyle::Conditions, {{std::string(lines[1]), true}}});
        } else {
            document.Paragraphs.push_back(StyleLine(lines[i]));
        }
    }
    return document;
}

} // namespace ampvane
