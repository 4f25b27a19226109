// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"
#include "data/table_catalogue.h"

// Which measured propeller a stored drive or project names. The tables keep their columns (peers
// exchange them), so two lists of our own in the Propellers folder of the data folder say it: one keyed
// by the propeller drive's name, one by the project's. A line is the name, "|", and the measured
// propeller's name; an empty propeller name says "the two constants". Empty lines and lines beginning
// with "#" are comments. A line that is none of these is reported and skipped, and kept as it is when
// the list is rewritten.

namespace ampvane {

inline constexpr std::string_view kDrivePropellerList = "DrivePropellers.lst";
inline constexpr std::string_view kProjectPropellerList = "ProjectPropellers.lst";

struct PropellerChoice {
    std::string owner;     // the drive's or project's name, trimmed
    std::string propeller; // empty: the two constants
    bool operator==(const PropellerChoice&) const = default;
};

struct PropellerChoices {
    std::vector<PropellerChoice> entries; // in file order
    std::vector<int> badLines;            // 1-based numbers of the lines that are no entry
};

PropellerChoices ParsePropellerChoices(std::string_view text);

// The list text with `owner`'s entry replaced by owner|propeller (where its first entry was, else at the
// end), or with every entry of `owner` removed when `propeller` is nullopt. Every other line stays.
std::string WithPropellerChoice(std::string_view text, std::string_view owner,
                                const std::optional<std::string>& propeller);

// Why a name cannot own an entry (empty when it can).
std::string PropellerChoiceOwnerProblem(std::string_view owner);

std::filesystem::path PropellerChoiceListPath(const std::filesystem::path& dataFolder, std::string_view list);

// The propeller the list names for `owner` (empty text: the two constants); nullopt when the list has no
// entry for it or cannot be read. An unreadable list and the skipped lines are reported as a warning.
std::optional<std::string> ListedPropeller(const std::filesystem::path& dataFolder, std::string_view list,
                                           std::string_view owner, MessageSink& messages);

// Writes `owner`'s entry (nullopt: removes it). A list that is missing is made only to hold an entry.
// False after an error message, the list then unchanged; `what` names the owner in it, as in
// "the drive \"X\"".
bool RecordPropellerChoice(const std::filesystem::path& dataFolder, std::string_view list, std::string_view owner,
                           const std::optional<std::string>& propeller, std::string_view what,
                           MessageSink& messages);

// A stored drive or project has been deleted: its entry goes, so that another record of that name (an
// import, a download) does not take the deleted one's propeller. Other kinds have no list.
bool ForgetPropellerChoice(const std::filesystem::path& dataFolder, ComponentTableKind kind, std::string_view name,
                           MessageSink& messages);

} // namespace ampvane
