// SPDX-License-Identifier: GPL-3.0-or-later
// The power-system search: a sport-model questionnaire over the shipped database on one thread and
// on every core, and over generated databases of 124, 1,240 and 12,400 motors (the shipped motors
// repeated with varied constants) to show how the time grows.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "common/messages.h"
#include "data/comp_data_module.h"
#include "wizard/wizard_results.h"
#include "wizard/wizard_search.h"

namespace {

using namespace ampvane;

struct Shipped {
    WizardDatabase db;
    std::vector<CellEntry> cells;
};

const Shipped& ShippedDatabase() {
    static const Shipped shipped = [] {
        Shipped s;
        NullMessageSink quiet;
        const std::string folder = AMPVANE_INITIAL_DIR;
        auto motors = OpenComponentTable(folder + "/MOTOR8.DBF", ComponentTableKind::Motor, DbfTable::Access::Shared, quiet);
        auto cells = OpenComponentTable(folder + "/CELL8.DBF", ComponentTableKind::Cell, DbfTable::Access::Shared, quiet);
        if (!motors || !cells) std::abort();
        s.db = ReadWizardDatabase(motors.get(), cells.get());
        s.cells = LoadWizardCells(s.db, ReadWizardCellList(folder, {}, quiet));
        return s;
    }();
    return shipped;
}

WizardSearchSettings SportSettings(const WizardDatabase& db) {
    WizardAnswers a;
    a.level = WizardLevel::Sport;
    a.wingSpan = "60";
    a.wingArea = "600";
    a.emptyWeight = "40";
    NullMessageSink quiet;
    auto result = ReadSearchSettings(a, db, ShippedDatabase().cells, {}, quiet);
    if (!result.settings) std::abort();
    return *result.settings;
}

WizardDatabase Generated(int motors) {
    WizardDatabase db;
    db.cells = ShippedDatabase().db.cells;
    const auto& shipped = ShippedDatabase().db.motors;
    for (int i = 0; db.motors.size() < static_cast<std::size_t>(motors); ++i) {
        WizardMotorRecord m = shipped[static_cast<std::size_t>(i) % shipped.size()];
        const int copy = i / static_cast<int>(shipped.size());
        const double vary = 1 + 0.003 * (copy % 17) - 0.002 * (copy % 5);
        m.name += " #" + std::to_string(copy);
        m.kv *= vary;
        m.resistance /= vary;
        m.idleCurrent *= 2 - vary;
        db.motors.push_back(std::move(m));
    }
    return db;
}

void ShippedSearch(benchmark::State& state) {
    const auto& db = ShippedDatabase().db;
    const auto settings = SportSettings(db);
    std::size_t results = 0;
    for (auto _ : state) {
        WizardSearchControl control;
        const auto found = SearchPowerSystems(settings, db, control, static_cast<unsigned>(state.range(0)));
        results = found.results.size();
        benchmark::DoNotOptimize(results);
    }
    state.counters["motors"] = static_cast<double>(db.motors.size());
    state.counters["results"] = static_cast<double>(results);
}
BENCHMARK(ShippedSearch)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void GeneratedSearch(benchmark::State& state) {
    const auto db = Generated(static_cast<int>(state.range(0)));
    const auto settings = SportSettings(db);
    for (auto _ : state) {
        WizardSearchControl control;
        benchmark::DoNotOptimize(SearchPowerSystems(settings, db, control, static_cast<unsigned>(state.range(1))));
    }
}
BENCHMARK(GeneratedSearch)
    ->ArgNames({"motors", "threads"})
    ->Args({124, 2})
    ->Args({1240, 2})
    ->Args({12400, 1})
    ->Args({12400, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The whole road of a search in the window: the search, then the ranking of its raw list.
void GeneratedSearchAndRank(benchmark::State& state) {
    const auto db = Generated(static_cast<int>(state.range(0)));
    const auto settings = SportSettings(db);
    std::size_t raw = 0, ranked = 0;
    for (auto _ : state) {
        WizardSearchControl control;
        auto found = SearchPowerSystems(settings, db, control, static_cast<unsigned>(state.range(1)));
        raw = found.results.size();
        const auto list = RankResults(std::move(found.results), control);
        ranked = list ? list->size() : 0;
        benchmark::DoNotOptimize(ranked);
    }
    state.counters["raw"] = static_cast<double>(raw);
    state.counters["ranked"] = static_cast<double>(ranked);
}
BENCHMARK(GeneratedSearchAndRank)
    ->ArgNames({"motors", "threads"})
    ->Args({12400, 1})
    ->Args({12400, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
