// SPDX-License-Identifier: GPL-3.0-or-later
// The static sweep of about 100,000 combinations with heating on and an airframe with a wing and a
// weight, so that every row also solves its rate of climb; and the CSV of the same report.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include "analysis/report_builder.h"
#include "analysis/report_export.h"
#include "analysis/report_json.h"
#include "bench_system.h"
#include "common/file_write.h"

namespace {

using namespace ampvane;
using namespace ampvane::bench;

// The same system swept finely: 10 series × 3 parallel cell counts, 20 gear ratios, 33 diameters (by
// 0.25 in) and 50 pitches (by 0.1 in): 990,000 rows.
WorkbenchFields MillionFields() {
    WorkbenchFields fields = BenchFields();
    fields.SetText(WorkbenchControl::PropellerDiameterByEdit, "0.25");
    fields.SetText(WorkbenchControl::PropellerPitchToEdit, "9.9");
    fields.SetText(WorkbenchControl::PropellerPitchByEdit, "0.1");
    return fields;
}

void Sweep(benchmark::State& state) {
    const BenchRecords input = BenchInput();
    NullMessageSink sink;
    DefaultPrompter prompter;
    std::int64_t rows = 0;
    for (auto _ : state) {
        Report report;
        report.Settings.Parallel = state.range(0) != 0;
        BuildReport(report, ReportRequest{}, input.options, input.plane, sink, prompter);
        rows += report.Grid.RowCount();
        benchmark::DoNotOptimize(&report.Grid.Rows);
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(Sweep)->Arg(1)->Arg(0)->ArgName("parallel")->Unit(benchmark::kMillisecond)->UseRealTime();

// The report of the benchmark system (of `fields`), built once before it is written.
void BuildBenchReport(Report& report, const WorkbenchFields& fields = BenchFields()) {
    NullMessageSink sink;
    DefaultPrompter prompter;
    const BenchRecords input = BenchInput(fields);
    BuildReport(report, ReportRequest{}, input.options, input.plane, sink, prompter);
}

void Csv(benchmark::State& state) {
    Report report;
    BuildBenchReport(report);
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
// The text is made on every core: the CPU column counts the whole process.
BENCHMARK(Csv)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The JSON of the same report (every value twice, as a number and as the cell's text), streamed.
void Json(benchmark::State& state) {
    Report report;
    BuildBenchReport(report);
    std::int64_t rows = 0, bytes = 0;
    // Counted, not kept: a file takes the pieces as they come, never the whole 130 MB at once.
    const ReportOutput count = [&](std::string_view piece) {
        bytes += static_cast<std::int64_t>(piece.size());
        return true;
    };
    for (auto _ : state) {
        WriteReportJson(report.Grid, {}, count);
        rows += report.Grid.RowCount();
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(Json)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The window's column sort of a million-row report by a numeric column (thrust), both directions.
void SortMillion(benchmark::State& state) {
    Report report;
    BuildBenchReport(report, MillionFields());
    const int column = report.Grid.Position(ReportColumn::Thrust);
    bool ascending = true;
    for (auto _ : state) {
        SortReportRows(report.Grid, column, ascending);
        ascending = !ascending;
    }
    state.counters["rows"] = static_cast<double>(report.Grid.RowCount());
    // Grid memory a data row: the row store's reserved bytes over the rows (the headers and
    // description lines are a few kilobytes for the whole report).
    state.counters["columns"] = static_cast<double>(report.Grid.Columns.size() - 1);
    state.counters["grid_B/row"] =
        static_cast<double>(report.Grid.Rows.MemoryBytes()) / std::max(1, report.Grid.RowCount());
}
BENCHMARK(SortMillion)->Unit(benchmark::kMillisecond)->Iterations(4);

} // namespace


#ifdef AMPVANE_CLI
namespace {
// The whole road a script takes: start the program, read and check the project text, sweep, write
// the CSV.
void CliCsv(benchmark::State& state) {
    const std::string project = (std::filesystem::temp_directory_path() / "ampvane_bench_project.avp").string();
    if (!WriteFileAtomically(project, WriteProjectText(BenchFields(), BenchOptionsInput())).empty()) std::abort();
    const std::string command =
        std::string("'") + AMPVANE_CLI + "' report '" + project + "' --format csv -o /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("ampvane-cli failed");
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(102000 * state.iterations()), benchmark::Counter::kIsRate);
    std::filesystem::remove(project);
}
BENCHMARK(CliCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

// One run of the command-line program, started without a shell and waited for by its own id, so that
// its processor time is its own. Its peak memory is its own only while this process is small: the
// system carries the starting process's high-water mark over into the child's, so after a benchmark
// that held a million-row report here, run these alone (--benchmark_filter=Cli).
struct CliRun {
    bool Ok = false;
    double CpuSeconds = 0;
    double PeakMB = 0;
};

CliRun RunCli(std::vector<std::string> args) {
    args.insert(args.begin(), AMPVANE_CLI);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    CliRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, AMPVANE_CLI, nullptr, nullptr, argv.data(), environ) != 0) return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return run;
    run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.CpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    run.PeakMB = static_cast<double>(usage.ru_maxrss) / 1024;
    return run;
}

// Runs the program once an iteration; counts its processor time a run (both cores together: a busy
// machine inflates the wall time far more) and its largest resident memory.
void TimeCliRuns(benchmark::State& state, const std::vector<std::string>& args) {
    double cpu = 0, peak = 0;
    for (auto _ : state) {
        const CliRun run = RunCli(args);
        if (!run.Ok) state.SkipWithError("ampvane-cli failed");
        cpu += run.CpuSeconds;
        peak = std::max(peak, run.PeakMB);
    }
    state.counters["cpu_ms"] = cpu * 1000 / static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
    state.counters["peak_MB"] = peak;
}

// A million-row report with climb, end to end into a file.
void CliCsvMillion(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path();
    const std::string project = (folder / "ampvane_bench_million.avp").string();
    const std::string output = (folder / "ampvane_bench_million.csv").string();
    if (!WriteFileAtomically(project, WriteProjectText(MillionFields(), BenchOptionsInput())).empty()) std::abort();
    TimeCliRuns(state, {"report", project, "--format", "csv", "-o", output});
    state.counters["csv_MB"] = static_cast<double>(std::filesystem::file_size(output)) / 1e6;
    std::filesystem::remove(project);
    std::filesystem::remove(output);
}
BENCHMARK(CliCsvMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The benchmark projects of bench/projects (a direct-drive trainer swept over gears, diameters,
// pitches and cells, heating on: 90,600 and 1,002,500 combinations) written by the command line into
// a file, as a script would ask for them.
void CliProject(benchmark::State& state, const char* project, const char* format) {
    const std::string output =
        (std::filesystem::temp_directory_path() / (std::string("ampvane_bench_project.") + format)).string();
    TimeCliRuns(state, {"report", std::string(AMPVANE_BENCH_PROJECTS) + "/" + project, "--format", format, "-o", output});
    state.counters["out_MB"] = static_cast<double>(std::filesystem::file_size(output)) / 1e6;
    std::filesystem::remove(output);
}
BENCHMARK_CAPTURE(CliProject, csv_90k, "report_90k.txt", "csv")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);
BENCHMARK_CAPTURE(CliProject, json_90k, "report_90k.txt", "json")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK_CAPTURE(CliProject, csv_1m, "report_1m.txt", "csv")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(CliProject, json_1m, "report_1m.txt", "json")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
} // namespace
#endif

BENCHMARK_MAIN();
