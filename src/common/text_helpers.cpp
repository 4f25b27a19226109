// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/text_helpers.h"

#include <vector>

namespace ampvane {

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte index after `count` UTF-8 characters from `pos` (or the end).
std::size_t Advance(std::string_view text, std::size_t pos, int count) {
    while (pos < text.size() && count > 0) {
        ++pos;
        while (pos < text.size() && IsContinuationByte(text[pos])) ++pos;
        --count;
    }
    return pos;
}

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text)
        if (!IsContinuationByte(c)) ++count;
    return count;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// Index just past the line break at `pos` ("\r\n" counts as one break).
std::size_t SkipLineBreak(std::string_view text, std::size_t pos) {
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') return pos + 2;
    return pos + 1;
}

} // namespace

std::string FormatWordList(std::string_view words, std::string_view conjunction, std::string_view emptyText) {
    std::vector<std::string_view> list;
    std::size_t pos = 0;
    while (pos < words.size()) {
        while (pos < words.size() && words[pos] == ' ') ++pos;
        const std::size_t start = pos;
        while (pos < words.size() && words[pos] != ' ') ++pos;
        if (pos > start) list.push_back(words.substr(start, pos - start));
    }
    if (list.empty()) return std::string(emptyText);
    if (list.size() == 1) return std::string(list[0]);
    std::string result;
    if (list.size() == 2) {
        result.append(list[0]).append(" ").append(conjunction).append(" ").append(list[1]);
        return result;
    }
    for (std::size_t i = 0; i + 1 < list.size(); ++i) result.append(list[i]).append(", ");
    result.append(conjunction).append(" ").append(list.back());
    return result;
}

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
    if (find.empty()) return std::string(text);
    if (replacement.size() >= find.size()) {
        std::string single;
        std::size_t pos = 0;
        for (std::size_t hit; (hit = text.find(find, pos)) != std::string_view::npos; pos = hit + find.size())
            single.append(text, pos, hit - pos).append(replacement);
        single.append(text, pos, std::string_view::npos);
        return single;
    }
    // Every replacement shortens the text, so rescanning ends. The text is emitted a byte at a time,
    // and an occurrence is replaced as soon as the output ends with it: occurrences all have the same
    // length, so the first to end is the leftmost, and its replacement is fed through the same check.
    std::string out;
    out.reserve(text.size());
    std::string pending; // bytes still to emit, the next one last
    for (const char c : text) {
        pending.push_back(c);
        while (!pending.empty()) {
            out.push_back(pending.back());
            pending.pop_back();
            if (out.size() < find.size() || std::string_view(out).substr(out.size() - find.size()) != find)
                continue;
            out.resize(out.size() - find.size());
            pending.append(replacement.rbegin(), replacement.rend());
        }
    }
    return out;
}

std::string BlankIfZero(std::string_view text) { return text == "0" ? std::string() : std::string(text); }
std::string BlankIfOne(std::string_view text) { return text == "1" ? std::string() : std::string(text); }

std::string IfElseText(bool condition, std::string_view a, std::string_view b) {
    return std::string(condition ? a : b);
}

std::string Plural(long n, std::string_view singular, std::string_view plural) {
    return std::string(n == 1 ? singular : plural);
}

std::string WrapText(std::string_view text, int width) {
    std::string result(text);
    if (width <= 0) return result;
    std::size_t pos = 0;
    while (pos < result.size()) {
        std::size_t lineEnd = pos;
        while (lineEnd < result.size() && !IsLineBreak(result[lineEnd])) ++lineEnd;
        if (CharCount(std::string_view(result).substr(pos, lineEnd - pos)) <= static_cast<std::size_t>(width)) {
            if (lineEnd == result.size()) break;
            pos = SkipLineBreak(result, lineEnd);
            continue;
        }
        // The character at `limit` would be the first one beyond the line; a space there still
        // gives a full line when it becomes the break.
        const std::size_t limit = Advance(result, pos, width);
        const std::size_t space = result.rfind(' ', limit);
        if (space != std::string::npos && space > pos) {
            result[space] = '\r';
            pos = space + 1;
        } else {
            result.insert(limit, 1, '\r');
            pos = limit + 1;
        }
    }
    return result;
}

std::string WrappedLine(std::string_view text, int width, int n, bool& more) {
    const std::string wrapped = WrapText(text, width);
    std::size_t pos = 0;
    std::string line;
    more = false;
    for (int k = 1; pos <= wrapped.size(); ++k) {
        std::size_t end = pos;
        while (end < wrapped.size() && !IsLineBreak(wrapped[end])) ++end;
        if (k == n) {
            line = wrapped.substr(pos, end - pos);
            more = end < wrapped.size() && SkipLineBreak(wrapped, end) < wrapped.size();
            break;
        }
        if (end == wrapped.size()) break;
        pos = SkipLineBreak(wrapped, end);
    }
    const std::size_t length = CharCount(line);
    if (width > 0 && length < static_cast<std::size_t>(width)) line.append(static_cast<std::size_t>(width) - length, ' ');
    return line;
}

bool StartsWithText(std::string_view prefix, std::string_view text) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (AsciiLower(prefix[i]) != AsciiLower(text[i])) return false;
    return true;
}

} // namespace ampvane
