// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/numeric_text.h"
#include "common/messages.h"

namespace ampvane {

// The value lists in the data folder. Each line is a label, "|", a first value and optionally "|" and a
// second value; a line without "|" is no entry and may serve as a comment.
inline constexpr std::string_view kPropConstList = "PropConst.lst";     // propeller, power constant
inline constexpr std::string_view kThrustConstList = "ThrustConst.lst"; // propeller, thrust constant
inline constexpr std::string_view kGearboxEffList = "GearboxEff.lst";   // gearbox, efficiency %
inline constexpr std::string_view kManufacturerList = "Manufacturer.lst"; // motor-name prefix
inline constexpr std::string_view kWizardCellsList = "WizardCells.lst";   // cell, most series, most parallel
inline constexpr std::string_view kAirfoilList = "Airfoil.lst";           // airfoil, thickness %, camber %

struct ValueListEntry {
    std::string label;      // as written, blanks included
    std::string firstText;  // the value texts as written in the file
    std::string secondText; // "0" when the line has no second value
    double first = 0;
    double second = 0;
    bool operator==(const ValueListEntry&) const = default;
};

// One line as an entry, or nullopt for a line without "|". A value that is no number reads as 0
// after the lenient-read warning; values are written with "." in the file whatever the locale.
std::optional<ValueListEntry> ParseValueListLine(std::string_view line, const NumberLocale& locale,
                                                 MessageSink& messages);

// Calls the consumer for each entry of dataFolder/fileName in file order. Returns whether the file
// could be read; a missing or unreadable list simply has no entries and is not reported.
bool ReadValueList(const std::filesystem::path& dataFolder, std::string_view fileName,
                   const std::function<void(const ValueListEntry&)>& consumer, const NumberLocale& locale,
                   MessageSink& messages);

// The entries as a vector; empty for a list that cannot be read.
std::vector<ValueListEntry> ValueListEntries(const std::filesystem::path& dataFolder, std::string_view fileName,
                                             const NumberLocale& locale, MessageSink& messages);

// The backup kept beside a list when an entry is written: its extension replaced by ".bak".
std::filesystem::path ValueListBackupPath(const std::filesystem::path& listFile);

enum class ListUpdate {
    Written,
    ListMissing, // nothing written, nothing reported: the list was not there to extend
    Failed,      // nothing changed in the list; the reason was reported as an error
};

// Writes one entry line (label "|" value) into the list, keeping key order: the first line whose key (its
// text before "|") equals the entry's is replaced, else the entry goes before the first line with a
// greater key (byte order), else at the end. Empty lines and lines beginning with "#" stay where they
// are. The previous list is kept in the backup file first; the list itself is replaced safely.
ListUpdate AddOrReplaceListEntry(const std::filesystem::path& dataFolder, std::string_view fileName,
                                 std::string_view entryLine, MessageSink& messages);

// How a file block of an import file changes a file in the data folder.
enum class FileBlockMode {
    Replace,       // the block becomes the file
    Append,        // the block's lines are added at the end (the file is created when missing)
    AppendAndSort, // appended, then all lines sorted ignoring letter case, each kept once
};

// Applies a file block's lines to dataFolder/fileName. The name must be a plain file name (no folder
// part), as it comes from files received from elsewhere. Returns an empty text on success, otherwise what
// went wrong; the file is then unchanged. Nothing is reported: the importer names the file itself.
std::string ApplyFileBlock(const std::filesystem::path& dataFolder, std::string_view fileName, FileBlockMode mode,
                           std::span<const std::string> lines);

// Lines sorted ignoring ASCII letter case, keeping the first of lines that differ only in case.
std::vector<std::string> SortedWithoutCaseDuplicates(std::vector<std::string> lines);

} // namespace ampvane
