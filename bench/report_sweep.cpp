// The static sweep of about 100,000 combinations with heating on and an airframe with a wing and a
// weight, so that every row also solves its rate of climb; and the CSV of the same report.
#include <benchmark/benchmark.h>

#include "analysis/report_builder.h"
#include "analysis/report_export.h"
#include "model/air.h"
#include "model/airframe.h"

namespace {

using namespace ampvane;

// 10 series × 3 parallel cell counts, 20 gear ratios, 17 diameters, 10 pitches: 102,000 rows.
PlaneDesc BenchPlane() {
    PlaneDesc plane;
    plane.ProjectName = "Bench";
    plane.Motor = {"Cobalt", 2350, 2.7, 0.048, 9.2, 3.8, 0, 0};
    plane.Cell = {"Cell", 1700, 1.2, 0, 0.0045, 1.94, NiCd, 6, 15};
    plane.ParallelCellsFrom = 1;
    plane.ParallelCellsTo = 3;
    DriveSystemDesc& d = plane.Drive;
    d.Kind = PropellerDrive;
    d.Weight = 1.2;
    d.GearRatioFrom() = 1.5;
    d.GearRatioTo() = 3.4;
    d.GearRatioBy() = 0.1;
    d.DiameterFrom() = 8;
    d.DiameterTo() = 16;
    d.DiameterBy() = 0.5;
    d.PitchFrom() = 5;
    d.PitchTo() = 9.5;
    d.PitchBy() = 0.5;
    d.PropConstant() = 1;
    d.ThrustConstant() = 0.95;
    d.GearboxEfficiency() = 0.95;
    d.Blades = 2;
    plane.SeriesMotors = plane.ParallelMotors = plane.NumberOfProps = plane.NumberOfESCs = 1;
    plane.ESC = {"ESC", 0.006, 35, 1.1, 1, 0};
    AirframeDesc& a = plane.Airframe;
    a.WingSpan = 100;
    a.WingArea = 660;
    a.EmptyWeight = 36;
    a.DragInfo = 1111;
    DeriveAirframe(a, false);
    return plane;
}

AnalysisOptions BenchOptions() {
    AnalysisOptions options;
    options.Pressure = 29.92;
    options.Temperature = 59;
    options.TemperatureC = 15;
    options.DensityRatio = AirDensityRatio(0, 29.92, 15);
    options.AccountForHeating = 1;
    return options;
}

void Sweep(benchmark::State& state) {
    const PlaneDesc plane = BenchPlane();
    const AnalysisOptions options = BenchOptions();
    NullMessageSink sink;
    DefaultPrompter prompter;
    std::int64_t rows = 0;
    for (auto _ : state) {
        Report report;
        report.Settings.Parallel = state.range(0) != 0;
        BuildReport(report, ReportRequest{}, options, plane, sink, prompter);
        rows += report.Grid.RowCount();
        benchmark::DoNotOptimize(report.Grid.Rows.data());
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(Sweep)->Arg(1)->Arg(0)->ArgName("parallel")->Unit(benchmark::kMillisecond)->UseRealTime();

void Csv(benchmark::State& state) {
    Report report;
    NullMessageSink sink;
    DefaultPrompter prompter;
    BuildReport(report, ReportRequest{}, BenchOptions(), BenchPlane(), sink, prompter);
    ReportExportSettings settings;
    settings.GeneratedAt = "now";
    std::int64_t rows = 0;
    for (auto _ : state) {
        const std::string csv = ReportCsv(report.Grid, settings);
        benchmark::DoNotOptimize(csv.data());
        rows += report.Grid.RowCount();
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(Csv)->Unit(benchmark::kMillisecond);

} // namespace


namespace {
void FormatCells(benchmark::State& state) {
    double v = 1.2345;
    for (auto _ : state) {
        std::string s = ampvane::FormatNumber(6, 1, 0, v);
        benchmark::DoNotOptimize(s.data());
        v += 0.37;
        if (v > 30000) v = 1.2345;
    }
}
BENCHMARK(FormatCells);
}
BENCHMARK_MAIN();
