// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/text_escape.h"

#include "common/text_helpers.h"

namespace ampvane {

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, unsigned byte) {
    out += kHexDigits[(byte >> 4) & 0xF];
    out += kHexDigits[byte & 0xF];
}
} // namespace

std::string DoubleAmpersands(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        result += c;
        if (c == '&') result += '&';
    }
    return result;
}

std::string UndoubleAmpersands(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') ++i;
    }
    return result;
}

std::string HtmlEscape(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '"': result += "&quot;"; break;
        case '&': result += "&amp;"; break;
        case '<': result += "&lt;"; break;
        case '>': result += "&gt;"; break;
        default: result += c;
        }
    }
    return result;
}

std::string NonBreakingSpaces(std::string_view text, char after) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool keep = text[i] == ' ' && i > 0 && after != '\0' && text[i - 1] == after;
        if (text[i] == ' ' && !keep) result += "&nbsp;";
        else result += text[i];
    }
    return result;
}

std::string UrlEncode(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
                           c == '.' || c == '_';
        if (plain) {
            result += c;
        } else {
            result += '%';
            AppendHex(result, static_cast<unsigned char>(c));
        }
    }
    return result;
}

std::string CsvQuote(std::string_view text, bool quote, int extraFields) {
    if (!quote) return std::string(text);
    // A double quote inside the field becomes a single one, however many there are.
    std::string result;
    result.reserve(text.size() + 2 + 3 * static_cast<std::size_t>(std::max(extraFields, 0)));
    result += '"';
    for (const char c : text) result += c == '"' ? '\'' : c;
    result += '"';
    for (int i = 0; i < extraFields; ++i) result += ",\"\"";
    return result;
}

std::string ColorToHtml(RgbColour colour) {
    std::string result = "#";
    AppendHex(result, colour.red);
    AppendHex(result, colour.green);
    AppendHex(result, colour.blue);
    return result;
}

} // namespace ampvane
