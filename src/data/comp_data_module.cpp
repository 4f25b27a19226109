// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/comp_data_module.h"

#include <filesystem>

#include "data/data_folder.h"

namespace ampvane {

namespace fs = std::filesystem;

std::unique_ptr<DbfTable> OpenComponentTable(const std::string& path, ComponentTableKind kind,
                                             DbfTable::Access access, MessageSink& messages) {
    DbfTable::OpenResult opened = DbfTable::Open(path, access);
    if (!opened.table) {
        messages.Report(ErrorMessage(opened.error));
        return nullptr;
    }
    for (const std::string& warning : opened.warnings) messages.Report(WarningMessage(warning));
    ApplyColumnInfo(kind, *opened.table);
    opened.table->UseNameIndex();
    return std::move(opened.table);
}

TCompDataModule::TCompDataModule(Folders folders, MessageSink& messages)
    : folders_(std::move(folders)), messages_(messages) {}

TCompDataModule::~TCompDataModule() {
    if (open_) CloseComponentTables();
}

std::string TCompDataModule::DataFilePath(std::string_view name) const {
    return ampvane::DataFilePath(folders_.data, name);
}

void TCompDataModule::OpenComponentTables() {
    open_ = true;
    std::error_code error;
    const std::string projectFile(TableInfoOf(ComponentTableKind::Project).file);
    if (!fs::is_directory(folders_.data, error) || !fs::exists(DataFilePath(projectFile), error)) {
        fs::create_directories(folders_.data, error);
        // The error-code form: a folder name the system refuses (too long, a link loop) must give the
        // message, not an exception.
        if (!fs::is_directory(folders_.data, error)) {
            Message message = ErrorMessage("The directory \"" + folders_.data + "\" could not be created.");
            message.buttons = OkButton | HelpButton;
            messages_.Report(message);
            return;
        }
        CopyInitialFiles(folders_.initial, folders_.data);
    }
    for (ComponentTableKind kind : TableOpeningOrder()) {
        const std::string path = DataFilePath(TableInfoOf(kind).file);
        auto table = OpenComponentTable(path, kind, DbfTable::Access::Shared, messages_);
        if (!table) return; // this table and the ones after it stay closed
        tables_[static_cast<size_t>(kind)] = std::move(table);
    }
}

void TCompDataModule::CloseComponentTables() {
    open_ = false;
    for (ComponentTableKind kind : TableOpeningOrder()) {
        auto& table = tables_[static_cast<size_t>(kind)];
        if (!table) continue;
        const std::string path = table->path();
        table.reset();
        // Another instance holding the table open makes the exclusive open fail: the pack waits for a
        // later exit.
        DbfTable::OpenResult exclusive = DbfTable::Open(path, DbfTable::Access::Exclusive);
        if (exclusive.table) exclusive.table->Pack();
    }
}

DbfTable* TCompDataModule::TableForTypeName(std::string_view typeName) const {
    auto kind = KindForTypeName(typeName);
    return kind ? Table(*kind) : nullptr;
}

std::optional<ComponentTableKind> TCompDataModule::KindOf(const DbfTable& table) const {
    for (int k = 0; k < kComponentTableCount; ++k)
        if (tables_[static_cast<size_t>(k)].get() == &table) return static_cast<ComponentTableKind>(k);
    return std::nullopt;
}

} // namespace ampvane
