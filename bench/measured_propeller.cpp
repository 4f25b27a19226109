// SPDX-License-Identifier: GPL-3.0-or-later
// A static sweep of 90,000 combinations (20 series × 3 parallel cell counts, 1,500 gear ratios) of
// one 11 x 7 propeller with heating on and a wing and a weight, so every row also solves its climb:
// with the two-constant model, and with the same propeller as measured curves (nine runs of 41
// points, as a wind-tunnel data set has). Both in one run, on every core and on one; and the same
// two reports written by the command line into a CSV file, with the program's processor time.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "analysis/propeller_store.h"
#include "analysis/report_builder.h"
#include "bench_system.h"
#include "common/file_write.h"
#include "model/measured_propeller.h"

namespace {

using namespace ampvane;
using namespace ampvane::bench;

WorkbenchFields SweepFields() {
    WorkbenchFields fields = BenchFields();
    const std::pair<WorkbenchControl, const char*> texts[] = {
        {WorkbenchControl::NumberOfCellsToEdit, "25"},    {WorkbenchControl::GearRatioToEdit, "16.49"},
        {WorkbenchControl::GearRatioByEdit, "0.01"},      {WorkbenchControl::PropellerDiameterFromEdit, "11"},
        {WorkbenchControl::PropellerDiameterToEdit, ""},  {WorkbenchControl::PropellerDiameterByEdit, ""},
        {WorkbenchControl::PropellerPitchFromEdit, "7"},  {WorkbenchControl::PropellerPitchToEdit, ""},
        {WorkbenchControl::PropellerPitchByEdit, ""},
    };
    for (const auto& [control, text] : texts) fields.SetText(control, text);
    return fields;
}

// The drive's own propeller and constants written out as coefficients.
MeasuredPropeller MeasuredTable(const DriveSystemDesc& d) {
    std::vector<double> rpms, js;
    for (double rpm = 2000; rpm <= 18000; rpm += 2000) rpms.push_back(rpm);
    for (int k = 0; k <= 40; ++k) js.push_back(0.025 * k);
    MeasuredPropeller table = TabulateTwoConstantModel(d.DiameterFrom(), d.PitchFrom(), d.Blades, d.PropConstant(),
                                                       d.ThrustConstant(), rpms, js);
    table.Name = "Bench 11x7";
    table.Kind = PropellerDataKind::Measured;
    return table;
}

void Sweep(benchmark::State& state) {
    BenchRecords input = BenchInput(SweepFields());
    const bool measured = state.range(0) != 0;
    if (measured) input.plane.Drive.Measured = std::make_shared<const MeasuredCurves>(MeasuredTable(input.plane.Drive));
    NullMessageSink sink;
    DefaultPrompter prompter;
    std::int64_t rows = 0;
    for (auto _ : state) {
        Report report;
        report.Settings.Parallel = state.range(1) != 0;
        BuildReport(report, ReportRequest{}, input.options, input.plane, sink, prompter);
        rows = report.Grid.RowCount();
        // The caption names the measured propeller only when its curves were solved.
        if (measured != (report.Grid.Caption.find("(measured propeller Bench 11x7)") != std::string::npos))
            state.SkipWithError("the report did not use the propeller it was given");
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(Sweep)
    ->ArgNames({"measured", "parallel"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

#ifdef AMPVANE_CLI
namespace {
// The whole road a script takes: start the program, read the project text and (measured) the
// propeller file from a data folder of its own, sweep, write the CSV.
void CliCsv(benchmark::State& state) {
    const bool measured = state.range(0) != 0;
    const auto folder = std::filesystem::temp_directory_path() / ("ampvane-bench-measured-" + std::to_string(getpid()));
    const std::string project = (folder / "project.avp").string(), output = (folder / "report.csv").string();
    std::filesystem::create_directories(folder);
    WorkbenchFields fields = SweepFields();
    if (measured) {
        const MeasuredPropeller table = MeasuredTable(BenchInput(fields).plane.Drive);
        if (!PropellerStore((folder / std::string(kPropellersFolder)).string()).Save(table, true).empty()) std::abort();
        fields.SetMeasuredPropeller(table.Name);
    }
    if (!WriteFileAtomically(project, WriteProjectText(fields, BenchOptionsInput())).empty()) std::abort();
    const std::string command = "AMPVANE_DATA_DIR='" + folder.string() + "' '" + AMPVANE_CLI + "' report '" + project +
                                "' --format csv -o '" + output + "'";
    const auto childSeconds = [] {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
        return seconds(usage.ru_utime) + seconds(usage.ru_stime);
    };
    const double before = childSeconds();
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("ampvane-cli failed");
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(90000 * state.iterations()), benchmark::Counter::kIsRate);
    // The program's own processor time a run (both cores together), which a busy machine does not inflate.
    state.counters["cpu_ms"] = (childSeconds() - before) * 1000 / static_cast<double>(state.iterations());
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(CliCsv)->ArgName("measured")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
} // namespace
#endif

BENCHMARK_MAIN();
