// SPDX-License-Identifier: GPL-3.0-or-later
// What an exchange server (or anyone on the way) may send as an update or a contributed list: whatever
// the bytes, the import may write only the tables and the lists the exchange is allowed to deliver,
// never the configuration or any other file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "common/file_write.h"
#include "data/table_text.h"
#include "fuzz_files.h"
#include "online/contribution.h"

namespace {

using namespace ampvane;

constexpr std::string_view kConfiguration = "server exchange.ampvane.org\r\n";

// Only the tables, their indexes, the allowed lists and the untouched configuration.
void CheckFolder(const std::string& path) {
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        const std::string name = entry.path().filename().string();
        const std::string extension = entry.path().extension().string();
        if (extension == ".DBF" || extension == ".NTX" || IsExchangeListFile(name)) continue;
        std::string text;
        if (name != "Ampvane.ini" || !ReadWholeFile(entry.path().string(), text) || text != kConfiguration)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::TableFolder folder;
    static const bool written = WriteFileAtomically(folder.path + "/Ampvane.ini", kConfiguration).empty();
    if (!written) std::abort();
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    TableImportOptions options;
    options.source = ImportSource::ExchangeUpdate;
    ImportTableTextFrom(*folder.module, contents, "all.upd", options, folder.quiet);
    CheckFolder(folder.path);
    // The same bytes as a contributed list, every entry ticked, as "Add Checked Items" imports it.
    const std::vector<std::string> lines = SplitContributedLines(contents);
    std::vector<ContributedEntry> entries = ContributedEntries(lines);
    for (ContributedEntry& entry : entries) entry.ticked = true;
    options.source = ImportSource::ExchangeContributed;
    ImportTableTextFrom(*folder.module, ContributedImportSection("Motor", ApplyTicks(lines, entries)), "contrib.tmp",
                        options, folder.quiet);
    CheckFolder(folder.path);
    return 0;
}
