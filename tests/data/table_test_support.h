// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/dbf_table.h"
#include "data/table_catalogue.h"

namespace ampvane::testing {

// Creates a table of a kind with the shipped layout holding records with these names (and nothing
// else), and returns its path.
inline std::string MakeNamedTable(const std::string& path, ComponentTableKind kind,
                                  const std::vector<std::string>& names) {
    auto columns = ShippedColumns(kind);
    EXPECT_EQ(DbfTable::Create(path, columns), "");
    auto opened = DbfTable::Open(path);
    EXPECT_NE(opened.table, nullptr) << opened.error;
    for (const std::string& name : names) {
        EXPECT_EQ(opened.table->Insert(), "");
        EXPECT_EQ(opened.table->SetText(0, name), "");
        EXPECT_EQ(opened.table->Post(), "");
    }
    return path;
}

// Creates the eight tables, empty and with the shipped layout, in `folder` (made when missing).
inline void MakeEmptyTables(const std::string& folder) {
    std::filesystem::create_directories(folder);
    for (int kind = 0; kind < kComponentTableCount; ++kind) {
        const TableInfo& info = *TableInfoOf(kind);
        EXPECT_EQ(DbfTable::Create(folder + "/" + std::string(info.file), ShippedColumns(info.kind)), "");
    }
}

// Opens a table with its name index active, failing the test when it does not open cleanly.
inline std::unique_ptr<DbfTable> OpenIndexed(const std::string& path,
                                             DbfTable::Access access = DbfTable::Access::Shared) {
    auto opened = DbfTable::Open(path, access);
    EXPECT_NE(opened.table, nullptr) << opened.error;
    EXPECT_TRUE(opened.warnings.empty());
    if (opened.table) opened.table->UseNameIndex();
    return std::move(opened.table);
}

// Names in the active order from the first record.
inline std::vector<std::string> NamesInOrder(DbfTable& table) {
    std::vector<std::string> names;
    for (table.First(); !table.Eof(); table.Next()) names.push_back(table.Name());
    return names;
}

} // namespace ampvane::testing
