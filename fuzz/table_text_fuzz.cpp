// SPDX-License-Identifier: GPL-3.0-or-later
// Import of table text from any bytes: it may refuse, but never crash, hang or write outside its folder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "data/comp_data_module.h"
#include "data/data_folder.h"
#include "data/table_text.h"

namespace {

using namespace ampvane;

struct Folder {
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ampvane-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path = pattern;
        for (ComponentTableKind kind : TableOpeningOrder())
            if (!DbfTable::Create(DataFilePath(path, TableInfoOf(kind).file), ShippedColumns(kind)).empty()) std::abort();
        module = std::make_unique<TCompDataModule>(TCompDataModule::Folders{path, ""}, quiet);
        module->OpenComponentTables();
    }
    ~Folder() {
        module.reset();
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
    NullMessageSink quiet;
    std::unique_ptr<TCompDataModule> module;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Folder folder;
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    TableImportOptions options;
    options.locale.decimal = size % 2 ? ',' : '.';
    ImportTableTextFrom(*folder.module, contents, "fuzz.txt", options, folder.quiet);
    return 0;
}
