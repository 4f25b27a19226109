// SPDX-License-Identifier: GPL-3.0-or-later
// Contributed-data lists as a server may send them: list entries, sorting, tick rewriting and the
// import section must cope with any bytes, and the rewrite must keep every line but its first character.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "online/contribution.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ampvane;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = SplitContributedLines(text);
    std::vector<ContributedEntry> entries = ContributedEntries(lines);
    for (ContributedEntry& entry : entries) entry.ticked = !entry.ticked;
    SortContributedEntries(entries, ContributedSort::Contributor);
    SortContributedEntries(entries, ContributedSort::Description);
    const std::vector<std::string> ticked = ApplyTicks(lines, entries);
    if (ticked.size() != lines.size()) std::abort();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (ticked[i].size() != lines[i].size() || (!lines[i].empty() && ticked[i].substr(1) != lines[i].substr(1)))
            std::abort();
    (void)ContributedImportSection("Motor", ticked);
    return 0;
}
