// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/opinion_writers.h"

#include <cstdint>

#include "analysis/report_export.h"
#include "common/text_escape.h"
#include "common/text_helpers.h"
#include "common/file_write.h"

namespace ampvane {

namespace {

constexpr const char* kCrLf = "\r\n";

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    return StartsWithText(suffix, text.substr(text.size() - suffix.size()));
}

// Decodes one UTF-8 character at `i`, advancing past it; a malformed byte reads as U+FFFD.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    int length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + length > text.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(i + k);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    i += length;
    return cp;
}

// ----- HTML

std::string HtmlText(std::string_view text) { return HtmlEscape(text); }

// After escaping: the degree sign by name, every other non-ASCII character by number.
std::string HtmlCharacters(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    for (std::size_t i = 0; i < html.size();) {
        const char32_t cp = NextCodePoint(html, i);
        if (cp < 0x80)
            out += static_cast<char>(cp);
        else if (cp == 0xB0)
            out += "&deg;";
        else
            out += "&#" + std::to_string(static_cast<std::uint32_t>(cp)) + ";";
    }
    return out;
}

// ----- RTF

constexpr int kTitleHalfPoints = 36;
constexpr int kBodyHalfPoints = 18;
constexpr int kHangingIndentTwips = 200; // 10 pt
constexpr int kBulletIndentTwips = 360;

std::string RtfText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = NextCodePoint(text, i);
        if (cp == '\\' || cp == '{' || cp == '}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp == '\t') {
            out += "\\tab ";
        } else if (cp < 0x20) {
            out += ' ';
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else {
            // \uN takes a signed 16-bit number; characters beyond it go as a surrogate pair.
            const auto unicode = [&out](std::uint32_t unit) {
                out += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "?";
            };
            if (cp > 0xFFFF) {
                const std::uint32_t v = cp - 0x10000;
                unicode(0xD800 + (v >> 10));
                unicode(0xDC00 + (v & 0x3FF));
            } else {
                unicode(cp);
            }
        }
    }
    return out;
}

std::string RtfRuns(const OpinionParagraph& paragraph) {
    std::string out;
    for (const auto& run : paragraph.Runs) {
        if (run.Text.empty()) continue;
        out += run.Bold ? "{\\b " : "{";
        out += RtfText(run.Text);
        out += "}";
    }
    return out;
}

std::string RtfParagraph(const OpinionParagraph& paragraph) {
    const std::string body = "\\f0\\fs" + std::to_string(kBodyHalfPoints) + " ";
    switch (paragraph.Style) {
    case ParagraphStyle::Title:
        return "\\pard\\plain\\f1\\fs" + std::to_string(kTitleHalfPoints) + " " + RtfRuns(paragraph) + "\\par\r\n";
    case ParagraphStyle::Labelled:
        return "\\pard\\plain\\li" + std::to_string(kHangingIndentTwips) + "\\fi-" +
               std::to_string(kHangingIndentTwips) + body + RtfRuns(paragraph) + "\\par\r\n";
    case ParagraphStyle::Bullet: {
        const std::string indent = std::to_string(kBulletIndentTwips);
        return "\\pard\\plain{\\*\\pn\\pnlvlblt\\pnf2\\pnindent" + indent +
               "{\\pntxtb\\'B7}}\\li" + indent + "\\fi-" + indent + body + "{\\pntext\\f2\\'B7\\tab}" +
               RtfRuns(paragraph) + "\\par\r\n";
    }
    case ParagraphStyle::Conditions:
    case ParagraphStyle::Heading:
    case ParagraphStyle::Blank:
        break;
    }
    return "\\pard\\plain" + body + RtfRuns(paragraph) + "\\par\r\n";
}

} // namespace

OpinionFileFormat ChooseOpinionFormat(std::string_view fileName, int filterIndex) {
    if (EndsWithNoCase(fileName, ".HTML") || EndsWithNoCase(fileName, ".HTM")) return OpinionFileFormat::Html;
    if (EndsWithNoCase(fileName, ".RTF")) return OpinionFileFormat::Rtf;
    if (filterIndex == kOpinionHtmlFilter) return OpinionFileFormat::Html;
    if (filterIndex == kOpinionRtfFilter) return OpinionFileFormat::Rtf;
    return OpinionFileFormat::Text;
}

bool OpinionFormatFromName(std::string_view name, OpinionFileFormat& format) {
    if (name == "text" || name == "txt") format = OpinionFileFormat::Text;
    else if (name == "html" || name == "htm") format = OpinionFileFormat::Html;
    else if (name == "rtf") format = OpinionFileFormat::Rtf;
    else return false;
    return true;
}

std::string OpinionPlainText(const OpinionDocument& document) {
    std::string out;
    for (const auto& paragraph : document.Paragraphs) out += paragraph.Text() + "\n";
    return out;
}

std::string OpinionHtmlBody(const OpinionDocument& document) {
    const auto& paragraphs = document.Paragraphs;
    const std::string title = HtmlText(document.Title);
    std::string conditions;
    if (paragraphs.size() > 1 && paragraphs[1].Style == ParagraphStyle::Conditions)
        conditions = HtmlText(paragraphs[1].Text());

    std::string html = std::string("<html><head>") + kCrLf + "<title>" + title + "</title>" + kCrLf +
                       "<meta name=\"GENERATOR\" content=\"Ampvane " + kVersionText + "\">" + kCrLf + "</head><body>" +
                       kCrLf + "<h2>" + title + "<br>" + kCrLf + "<font size=+1>" + conditions + "</font></h2>" +
                       kCrLf;
    bool listOpen = false;
    bool tableOpen = false;
    for (const auto& paragraph : paragraphs) {
        switch (paragraph.Style) {
        case ParagraphStyle::Title:
        case ParagraphStyle::Conditions:
        case ParagraphStyle::Blank:
            break;
        case ParagraphStyle::Heading:
            if (listOpen) html += std::string("</ul>") + kCrLf;
            listOpen = false;
            if (tableOpen) html += std::string("</table>") + kCrLf;
            tableOpen = false;
            html += "<h3>" + HtmlText(paragraph.Text()) + "</h3>" + kCrLf;
            break;
        case ParagraphStyle::Labelled:
            if (listOpen) html += std::string("</ul>") + kCrLf;
            listOpen = false;
            if (!tableOpen) html += std::string("<table border=0 cellpadding=0 cellspacing=0>") + kCrLf;
            tableOpen = true;
            html += "<tr valign=top><td><b>" + HtmlText(paragraph.Runs[0].Text) + "&nbsp;&nbsp;</b></td>" + kCrLf +
                    "<td>" + HtmlText(paragraph.Runs.size() > 1 ? paragraph.Runs[1].Text : "") + "</td></tr>" + kCrLf;
            break;
        case ParagraphStyle::Bullet:
            if (!listOpen) html += std::string("<ul>") + kCrLf;
            listOpen = true;
            html += "   <li>" + HtmlText(paragraph.Text()) + "</li>" + kCrLf;
            break;
        }
    }
    if (listOpen) html += std::string("</ul>") + kCrLf;
    return HtmlCharacters(html);
}

std::string OpinionHtml(const OpinionDocument& document, std::string_view generatedAt) {
    return OpinionHtmlBody(document) + "<p><font color=#666666 size=-1>Generated by <a href=\"" + kVendorSite +
           "\"><font color=#6666CC>Ampvane " + kVersionText + "</font></a>, " + HtmlCharacters(HtmlText(generatedAt)) +
           ".</font>" + kCrLf + "</body></html>" + kCrLf;
}

std::string OpinionRtf(const OpinionDocument& document) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n"
                      "{\\fonttbl{\\f0\\fswiss\\fcharset0 Microsoft Sans Serif;}"
                      "{\\f1\\froman\\fcharset0 Times New Roman;}"
                      "{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
                      "{\\info{\\title " +
                      RtfText(document.Title) + "}}\r\n\\viewkind4\r\n";
    for (const auto& paragraph : document.Paragraphs) rtf += RtfParagraph(paragraph);
    rtf += "}\r\n";
    return rtf;
}

std::string OpinionContents(const OpinionDocument& document, OpinionFileFormat format, std::string_view generatedAt) {
    switch (format) {
    case OpinionFileFormat::Html:
        return OpinionHtml(document, generatedAt);
    case OpinionFileFormat::Rtf:
        return OpinionRtf(document);
    case OpinionFileFormat::Text:
        break;
    }
    return OpinionPlainText(document);
}

bool SaveOpinion(const OpinionDocument& document, const std::string& fileName, OpinionFileFormat format,
                 std::string_view generatedAt, MessageSink& sink) {
    const std::string failure = WriteFileAtomically(fileName, OpinionContents(document, format, generatedAt));
    if (failure.empty()) return true;
    sink.Report(ErrorMessage(CouldNotWriteMessage(fileName)));
    return false;
}

} // namespace ampvane
