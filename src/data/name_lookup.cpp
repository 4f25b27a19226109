// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/name_lookup.h"

#include <algorithm>
#include <string>

#include "data/windows1252.h"

namespace ampvane {

namespace {

std::string_view TrimTrailingBlanks(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// Upper case within Windows-1252, so that accented names match too.
char UpperWindows1252(char c) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z') return static_cast<char>(b - 32);
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 32);
    switch (b) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return c;
    }
}

std::string UpperName(std::string_view utf8) {
    std::string bytes = Windows1252FromUtf8(utf8);
    std::transform(bytes.begin(), bytes.end(), bytes.begin(), UpperWindows1252);
    return bytes;
}

size_t CommonPrefix(std::string_view a, std::string_view b) {
    size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

} // namespace

bool FindComponentByName(DbfTable& table, std::string_view name) {
    if (table.empty()) return false;
    const size_t width = static_cast<size_t>(table.columns().front().width);
    std::string stored = Windows1252FromUtf8(name);
    if (stored.size() > width) stored.resize(width);
    // The key search may stop on a longer name that begins with `name`; only equality counts.
    const std::string key = Utf8FromWindows1252(stored);
    table.SeekName(key);
    if (table.Eof() && table.CompareCurrentName(key) < 0) return false;
    return table.Name() == key && TrimTrailingBlanks(key).size() == key.size();
}

void PositionNearestName(DbfTable& table, std::string_view name) {
    if (table.empty()) return;
    const std::string target = Windows1252FromUtf8(name);
    // A table left at its end by an earlier walk still stands on its last record; start again from the
    // first one when that record lies beyond the name, or a smaller name would never be reached.
    if (table.CompareCurrentName(name) > 0) table.First();
    std::string previous;
    while (!table.Eof() && table.CompareCurrentName(name) < 0) {
        previous = Windows1252FromUtf8(table.Name());
        table.Next();
    }
    if (table.CompareCurrentName(name) > 0 && !previous.empty()) {
        const std::string current = Windows1252FromUtf8(table.Name());
        if (CommonPrefix(current, target) < CommonPrefix(previous, target)) table.Prior();
    }
}

bool FindNameContaining(DbfTable& table, std::string_view text, FindDirection direction) {
    const std::string needle = UpperName(text);
    auto matches = [&] { return !needle.empty() && UpperName(table.Name()).find(needle) != std::string::npos; };
    switch (direction) {
    case FindDirection::FromFirst: table.First(); break;
    case FindDirection::Forward: table.Next(); break;
    case FindDirection::Backward: table.Prior(); break;
    }
    if (direction == FindDirection::Backward) {
        for (; !table.Bof(); table.Prior())
            if (matches()) return true;
        return false;
    }
    for (; !table.Eof(); table.Next())
        if (matches()) return true;
    return false;
}

} // namespace ampvane
