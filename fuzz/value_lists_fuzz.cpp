// SPDX-License-Identifier: GPL-3.0-or-later
// Value lists ("PropConst.lst" and the rest): every line read as an entry, then one entry added; every
// other entry must survive in its order.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"
#include "data/value_lists.h"
#include "fuzz_files.h"

namespace {

using namespace ampvane;

std::vector<ValueListEntry> EntriesExcept(const std::vector<ValueListEntry>& entries, std::string_view label) {
    std::vector<ValueListEntry> kept;
    for (const ValueListEntry& entry : entries)
        if (entry.label != label) kept.push_back(entry);
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto& folder = fuzz::ScratchFolder();
    fuzz::WriteScratchFile(folder / kPropConstList, text);
    NullMessageSink messages;
    const NumberLocale locale{',', ':'};
    const auto before = ValueListEntries(folder, kPropConstList, locale, messages);
    if (AddOrReplaceListEntry(folder, kPropConstList, "Fuzz|1.5", messages) != ListUpdate::Written) std::abort();
    const auto after = ValueListEntries(folder, kPropConstList, locale, messages);
    if (EntriesExcept(after, "Fuzz") != EntriesExcept(before, "Fuzz")) std::abort();
    const bool added = std::any_of(after.begin(), after.end(), [](const ValueListEntry& entry) {
        return entry.label == "Fuzz" && entry.firstText == "1.5";
    });
    if (!added) std::abort();
    return 0;
}
