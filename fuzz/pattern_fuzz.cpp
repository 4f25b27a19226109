// SPDX-License-Identifier: GPL-3.0-or-later
// Name patterns from hostile input: the bytes up to the first newline are the pattern, the rest the
// text searched. Compiling and searching must never crash, read outside the text or hang; a match
// must lie inside the text and substitution must only use what it holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/name_pattern.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string_view pattern = input.substr(0, newline);
    const std::string_view text = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);

    ampvane::NamePattern compiled(pattern);
    const bool found = compiled.Search(text);
    if (found) {
        if (compiled.MatchStart() + compiled.MatchLength() > text.size())
            std::abort();
        for (int g = 0; g < ampvane::kPatternGroups; ++g)
            if (auto group = compiled.Group(g); group && group->size() > text.size())
                std::abort();
        (void)compiled.Substitute(R"(&\1\2\3\4\5\6\7\8\9\x\)");
    }
    if (!compiled.Valid() && found)
        std::abort();
    return 0;
}
