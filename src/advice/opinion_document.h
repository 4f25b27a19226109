// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The opinion text as a small formatted document, the form every output is written from (the window,
// plain text, HTML, rich text). The text's first line is the title, the second the conditions; of
// the rest, a line led by letters and spaces and a colon is a heading (when the colon ends it) or a
// labelled line, an empty line is a gap, and any other line a bullet.

namespace ampvane {

enum class ParagraphStyle {
    Title,      // a large serif face
    Conditions, // heading style
    Heading,    // the whole line in heading style
    Labelled,   // the label (with its colon) in heading style, a hanging indent
    Bullet,
    Blank,
};

struct TextRun {
    std::string Text;
    bool Bold = false; // heading style
    friend bool operator==(const TextRun&, const TextRun&) = default;
};

struct OpinionParagraph {
    ParagraphStyle Style = ParagraphStyle::Blank;
    std::vector<TextRun> Runs;
    std::string Text() const;
};

struct OpinionDocument {
    std::string Title; // also the window caption
    std::vector<OpinionParagraph> Paragraphs;
};

// Splits at carriage returns (a final part without one is a line too) and styles each line.
OpinionDocument FormatOpinionText(std::string_view text);

// The length of a leading "Label:" (letters and spaces, at least one letter, then a colon), or 0.
std::size_t LeadingLabelLength(std::string_view line);

} // namespace ampvane
