// SPDX-License-Identifier: GPL-3.0-or-later
// Table text of 20,000 motors: importing it into an empty motor table, exporting that table, and
// ordering it by likeness to one motor as the browser's Find Similar does.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "data/comp_data_module.h"
#include "data/data_folder.h"
#include "data/table_browse.h"
#include "data/table_text.h"
#include "support/table_folder.h"

namespace {

using namespace ampvane;
namespace fs = std::filesystem;

constexpr int kMotors = 20000;

std::string MotorText() {
    std::mt19937 random(12);
    std::string text = "Begin Ampvane8 Motor Table\r\nMOTORNAME\tMOTORSTANT\tIDLECRRENT\tARMATTANCE\tWEIGHT\tBRUSHLESS\t"
                       "OUTRUNNER\r\n";
    for (int i = 0; i < kMotors; ++i) {
        const unsigned n = random();
        text += "Maker " + std::to_string(n % 40) + " Series " + std::to_string(n / 40 % 500) + "-" + std::to_string(i) +
                "\t" + std::to_string(500 + n % 3000) + "\t" + std::to_string(n % 7) + ".25\t0.0" +
                std::to_string(n % 90 + 10) + "\t" + std::to_string(n % 30) + ".5\t" + (n % 2 ? "Yes" : "") + "\t\r\n";
    }
    return text + "End Ampvane8 Motor Table\r\n";
}

using Folder = testing::TableFolder;

void ImportTwentyThousandMotors(benchmark::State& state) {
    const std::string text = MotorText();
    TableImportOptions options;
    options.table = ComponentTableKind::Motor;
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<Folder>();
        state.ResumeTiming();
        const TableImportResult result = ImportTableTextFrom(*folder->module, text, "motors.txt", options, folder->quiet);
        if (result.blocks.empty() || result.blocks.front().added != kMotors) state.SkipWithError("not all imported");
        state.PauseTiming();
        folder.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(ImportTwentyThousandMotors)->Unit(benchmark::kMillisecond);

void ExportTwentyThousandMotors(benchmark::State& state) {
    Folder folder;
    TableImportOptions options;
    ImportTableTextFrom(*folder.module, MotorText(), "motors.txt", options, folder.quiet);
    const std::string file = DataFilePath(folder.path, "export.txt");
    const TableExportSettings settings{{}, "now", {}};
    for (auto _ : state)
        if (!ExportTable(*folder.module->MotorTable(), ComponentTableKind::Motor, file, false, false, 86, settings,
                         folder.quiet))
            state.SkipWithError("export failed");
}
BENCHMARK(ExportTwentyThousandMotors)->Unit(benchmark::kMillisecond);

// Find Similar in the browser: the whole table ordered by likeness to one motor.
void LikenessOrderOfTwentyThousandMotors(benchmark::State& state) {
    Folder folder;
    TableImportOptions options;
    ImportTableTextFrom(*folder.module, MotorText(), "motors.txt", options, folder.quiet);
    DbfTable& motors = *folder.module->MotorTable();
    motors.MoveTo(motors.size() / 2);
    for (auto _ : state) benchmark::DoNotOptimize(SetLikenessOrder(motors, ComponentTableKind::Motor));
}
BENCHMARK(LikenessOrderOfTwentyThousandMotors)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
