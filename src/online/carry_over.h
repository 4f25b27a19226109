// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/comp_data_module.h"

// The one-time carry-over of the previous major version's own components into this version's tables.

namespace ampvane {

struct CarryOverTable {
    ComponentTableKind kind;
    std::string_view kindName;     // the list heading, e.g. "Motors"
    std::string_view previousFile; // e.g. "MOTOR7.DBF"
    std::string_view checkCaption; // e.g. "Updating Motor Table"
};

// The eight tables in the order they are carried over.
const std::array<CarryOverTable, kComponentTableCount>& CarryOverTables();

// Records the previous version shipped itself: never carried over.
bool NeverCarriedOver(ComponentTableKind kind, std::string_view name);

// The cell type a previous cell gets from its voltage text and name: "LiPo", "NiMH", "NiCd" or empty.
std::string DerivedCellType(std::string_view voltageText, std::string_view cellName);

struct CarryOverProgress {
    std::function<void(int table)> tableStarted; // index into CarryOverTables()
    std::function<void(int table)> tableDone;
    std::function<void(const std::string& line)> line; // a memo line as it is written
};

struct CarryOverResult {
    bool previousFound = false; // the previous motor table opened
    std::array<int, kComponentTableCount> copied{};
    std::vector<std::string> lines; // the memo, summary included
    std::vector<std::string> skippedTables; // damaged previous tables, by file name
    int total() const;
};

// Merges every previous table found in `previousFolder` into the module's open tables, inserting only
// records the current tables lack (by name or as the same component under a changed name); nothing
// already in the current tables is ever changed. A previous table that cannot be read whole is named
// in the memo and skipped; what was carried over before it stays.
CarryOverResult CarryOverPreviousVersion(const std::filesystem::path& previousFolder, TCompDataModule& tables,
                                         const CarryOverProgress& progress = {});

} // namespace ampvane
