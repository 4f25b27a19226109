// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A data folder of its own with the eight tables, empty and open, for fuzz targets and benchmarks
// that import into them. Header-only and without the test framework, so that those programs can use
// it; a failure to make the folder is no finding and ends the program.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "data/comp_data_module.h"
#include "data/data_folder.h"

namespace ampvane::testing {

struct TableFolder {
    TableFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ampvane-tables-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path = pattern;
        for (ComponentTableKind kind : TableOpeningOrder())
            if (!DbfTable::Create(DataFilePath(path, TableInfoOf(kind).file), ShippedColumns(kind)).empty()) std::abort();
        module = std::make_unique<TCompDataModule>(TCompDataModule::Folders{path, ""}, quiet);
        module->OpenComponentTables();
    }
    ~TableFolder() {
        module.reset();
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TableFolder(const TableFolder&) = delete;
    TableFolder& operator=(const TableFolder&) = delete;

    std::string path;
    NullMessageSink quiet;
    std::unique_ptr<TCompDataModule> module;
};

} // namespace ampvane::testing
