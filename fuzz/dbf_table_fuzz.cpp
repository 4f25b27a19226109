// SPDX-License-Identifier: GPL-3.0-or-later
// dBase tables as found in the data folder: opened, every field of every record read in both orders,
// then a record appended and an existing one edited; what was posted must read back after a reopen.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/dbf_table.h"
#include "fuzz_files.h"

namespace {

using namespace ampvane;

void ReadEveryField(DbfTable& table) {
    for (table.First(); !table.empty() && !table.Eof(); table.Next()) {
        for (int column = 0; column < static_cast<int>(table.columns().size()); ++column) {
            (void)table.Text(column);
            (void)table.Number(column);
            (void)table.Logical(column);
        }
    }
}

// Fills the edit buffer with a value that fits each column; the name column gets `name`.
void FillRecord(DbfTable& table, const std::string& name) {
    for (int column = 0; column < static_cast<int>(table.columns().size()); ++column) {
        const DbfColumn& info = table.columns()[static_cast<std::size_t>(column)];
        if (column == 0 && info.type == DbfType::Character) (void)table.SetText(column, name);
        else if (info.type == DbfType::Numeric) (void)table.SetNumber(column, 1);
        else if (info.type == DbfType::Logical) (void)table.SetLogical(column, true);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto path = fuzz::ScratchFolder() / "FUZZ8.DBF";
    fuzz::WriteScratchFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    auto opened = DbfTable::Open(path.string());
    if (!opened.table) return 0;
    DbfTable& table = *opened.table;
    ReadEveryField(table);
    table.UseNameIndex();
    ReadEveryField(table);
    (void)table.SeekName("A");
    if (table.readOnly() || table.columns().empty() || table.columns()[0].type != DbfType::Character) return 0;

    const std::size_t before = table.storedCount();
    if (!table.empty()) {
        table.First();
        if (table.Edit().empty()) {
            FillRecord(table, table.Name());
            if (!table.Post().empty()) table.Cancel();
        }
    }
    if (!table.Insert().empty()) return 0;
    FillRecord(table, "Fuzz");
    const bool appended = table.Post().empty();
    if (!appended) table.Cancel();
    opened.table.reset();

    // A posted record is in the file: the reopened table counts it and finds it by name.
    auto reopened = DbfTable::Open(path.string());
    if (!reopened.table) std::abort();
    if (appended) {
        if (reopened.table->storedCount() != before + 1) std::abort();
        reopened.table->UseNameIndex();
        if (reopened.table->columns()[0].width >= 4 && !reopened.table->SeekName("Fuzz")) std::abort();
    }
    ReadEveryField(*reopened.table);
    return 0;
}
