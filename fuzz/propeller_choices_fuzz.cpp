// SPDX-License-Identifier: GPL-3.0-or-later
// The lists of the drives' and projects' measured propellers: every line read, then one entry written and
// one removed; every other entry, and every line that is no entry, must survive.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"
#include "fuzz_files.h"
#include "workbench/propeller_choices.h"

namespace {

using namespace ampvane;

std::vector<PropellerChoice> EntriesExcept(const std::vector<PropellerChoice>& entries, std::string_view owner) {
    std::vector<PropellerChoice> kept;
    for (const PropellerChoice& entry : entries)
        if (entry.owner != owner) kept.push_back(entry);
    return kept;
}

void CheckKept(const PropellerChoices& before, const PropellerChoices& after) {
    if (EntriesExcept(after.entries, "Fuzz") != EntriesExcept(before.entries, "Fuzz")) std::abort();
    if (after.badLines.size() != before.badLines.size()) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const PropellerChoices before = ParsePropellerChoices(text);

    const std::string written = WithPropellerChoice(text, "Fuzz", "Prop 1");
    const PropellerChoices withEntry = ParsePropellerChoices(written);
    CheckKept(before, withEntry);
    if (std::count(withEntry.entries.begin(), withEntry.entries.end(), PropellerChoice{"Fuzz", "Prop 1"}) != 1)
        std::abort();

    const PropellerChoices removed = ParsePropellerChoices(WithPropellerChoice(written, "Fuzz", std::nullopt));
    CheckKept(before, removed);
    if (std::any_of(removed.entries.begin(), removed.entries.end(),
                    [](const PropellerChoice& entry) { return entry.owner == "Fuzz"; }))
        std::abort();

    // Through the file as the workbench reads it.
    const auto& folder = fuzz::ScratchFolder();
    const auto path = PropellerChoiceListPath(folder, kDrivePropellerList);
    std::filesystem::create_directories(path.parent_path());
    fuzz::WriteScratchFile(path, written);
    NullMessageSink messages;
    if (ListedPropeller(folder, kDrivePropellerList, "Fuzz", messages) != std::optional<std::string>("Prop 1")) std::abort();
    return 0;
}
