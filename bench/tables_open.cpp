// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and indexing the eight component tables of a large database: 20,000 motors and 2,500
// records in each of the other seven tables, in the shipped layouts, names in no particular order.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "data/comp_data_module.h"
#include "data/data_folder.h"
#include "data/table_catalogue.h"

namespace {

using namespace ampvane;
namespace fs = std::filesystem;

constexpr int kMotors = 20000;
constexpr int kOtherRecords = 2500;

class LargeDatabase {
public:
    LargeDatabase() {
        std::string pattern = (fs::temp_directory_path() / "ampvane-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        folder_ = pattern;
        std::mt19937 random(8);
        for (ComponentTableKind kind : TableOpeningOrder()) {
            const std::string path = DataFilePath(folder_, TableInfoOf(kind).file);
            if (!DbfTable::Create(path, ShippedColumns(kind)).empty()) std::abort();
            auto opened = DbfTable::Open(path, DbfTable::Access::Exclusive);
            DbfTable& table = *opened.table;
            const int count = kind == ComponentTableKind::Motor ? kMotors : kOtherRecords;
            for (int i = 0; i < count; ++i) {
                table.Insert();
                // Names share long leading parts, as real catalogue names do.
                const unsigned n = random();
                table.SetText(0, "Maker " + std::to_string(n % 40) + " Series " + std::to_string(n / 40 % 500) +
                                     "-" + std::to_string(i));
                for (size_t c = 1; c < table.columns().size(); ++c)
                    if (table.columns()[c].type == DbfType::Numeric) table.SetNumber(static_cast<int>(c), n % 97);
                if (!table.Post().empty()) std::abort();
            }
        }
    }
    ~LargeDatabase() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
};

const LargeDatabase& Database() {
    static const LargeDatabase database;
    return database;
}

// What OpenComponentTables does once the data folder exists: open, attach the catalogue, index.
void BM_OpenAndIndexEightTables(benchmark::State& state) {
    const std::string& folder = Database().folder();
    NullMessageSink messages;
    for (auto _ : state) {
        size_t records = 0;
        for (ComponentTableKind kind : TableOpeningOrder()) {
            auto table = OpenComponentTable(DataFilePath(folder, TableInfoOf(kind).file), kind,
                                            DbfTable::Access::Shared, messages);
            records += table->size();
            benchmark::DoNotOptimize(table);
        }
        if (records != kMotors + 7 * kOtherRecords) state.SkipWithError("records missing");
    }
}
BENCHMARK(BM_OpenAndIndexEightTables)->Unit(benchmark::kMillisecond);

// Rebuilding the name index of the motor table alone.
void BM_RebuildMotorIndex(benchmark::State& state) {
    auto opened = DbfTable::Open(DataFilePath(Database().folder(), "MOTOR8.DBF"));
    for (auto _ : state) {
        opened.table->RebuildNameIndex();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RebuildMotorIndex)->Unit(benchmark::kMillisecond);

// The module's whole start and exit on that folder (exit reopens every table to pack it).
void BM_ModuleOpenAndClose(benchmark::State& state) {
    NullMessageSink messages;
    for (auto _ : state) {
        TCompDataModule module({Database().folder(), ""}, messages);
        module.OpenComponentTables();
        module.CloseComponentTables();
    }
}
BENCHMARK(BM_ModuleOpenAndClose)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
