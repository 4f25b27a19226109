// SPDX-License-Identifier: GPL-3.0-or-later
// Import of table text from any bytes: it may refuse, but never crash, hang or write outside its folder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "data/table_text.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ampvane;
    static fuzz::TableFolder folder;
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    TableImportOptions options;
    options.locale.decimal = size % 2 ? ',' : '.';
    ImportTableTextFrom(*folder.module, contents, "fuzz.txt", options, folder.quiet);
    return 0;
}
