// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "common/messages.h"
#include "data/dbf_table.h"
#include "data/table_catalogue.h"

namespace ampvane {

// Owns the eight component tables for the whole run: determines the data folder, copies the shipped
// files on a first start, opens and indexes the tables, and packs them when it goes.
class TCompDataModule {
public:
    struct Folders {
        std::string data;    // DataFolder() in the program
        std::string initial; // InitialFolder() in the program; empty when there is none
    };

    TCompDataModule(Folders folders, MessageSink& messages);
    ~TCompDataModule(); // CloseComponentTables when still open
    TCompDataModule(const TCompDataModule&) = delete;
    TCompDataModule& operator=(const TCompDataModule&) = delete;

    // Creates the data folder when needed, copies the missing shipped files when this version's project
    // table is missing, then opens and indexes the tables in opening order. The first table that cannot
    // be opened is reported; it and the tables after it stay closed.
    void OpenComponentTables();
    // Packs every open table (each reopened exclusively); a table that cannot be packed is left as it is.
    void CloseComponentTables();

    const std::string& dataFolder() const { return folders_.data; }
    std::string DataFilePath(std::string_view name) const;

    // The table of a kind; nullptr while it is closed (its file failed to open).
    DbfTable* Table(ComponentTableKind kind) const { return tables_[static_cast<size_t>(kind)].get(); }
    DbfTable* TableForTypeName(std::string_view typeName) const;
    // The kind of one of this module's tables.
    std::optional<ComponentTableKind> KindOf(const DbfTable& table) const;

    DbfTable* AmpvaneTable() const { return Table(ComponentTableKind::Project); }
    DbfTable* MotorTable() const { return Table(ComponentTableKind::Motor); }
    DbfTable* CellTable() const { return Table(ComponentTableKind::Cell); }
    DbfTable* FilterTable() const { return Table(ComponentTableKind::Filter); }
    DbfTable* DriveTable() const { return Table(ComponentTableKind::PropellerDrive); }
    DbfTable* FanDriveTable() const { return Table(ComponentTableKind::FanDrive); }
    DbfTable* ESCTable() const { return Table(ComponentTableKind::SpeedControl); }
    DbfTable* AirframeTable() const { return Table(ComponentTableKind::Airframe); }

private:
    Folders folders_;
    MessageSink& messages_;
    std::array<std::unique_ptr<DbfTable>, kComponentTableCount> tables_;
    bool open_ = false;
};

// Opens one table of a kind with the catalogue's labels and ranges attached and its name index active.
// Errors and warnings go to `messages`; nullptr when it cannot be opened.
std::unique_ptr<DbfTable> OpenComponentTable(const std::string& path, ComponentTableKind kind,
                                             DbfTable::Access access, MessageSink& messages);

} // namespace ampvane
