// SPDX-License-Identifier: GPL-3.0-or-later
// A static sweep of 90,000 combinations (20 series × 3 parallel cell counts, 1,500 gear ratios) of
// one 11 x 7 propeller with heating on and a wing and a weight, so every row also solves its climb:
// with the two-constant model, and with the same propeller as measured curves (nine runs of 41
// points, as a wind-tunnel data set has). Both in one run, on every core and on one.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "analysis/analysis_input.h"
#include "analysis/project_text.h"
#include "analysis/report_builder.h"
#include "model/measured_propeller.h"

namespace {

using namespace ampvane;

AnalysisInput BenchInput() {
    WorkbenchFields fields = EmptyWorkbenchFields();
    fields.SetProjectName("Bench");
    const std::pair<WorkbenchControl, const char*> texts[] = {
        {WorkbenchControl::MotorConstantEdit, "2350"},      {WorkbenchControl::IdleCurrentEdit, "2.7"},
        {WorkbenchControl::ArmatureResistanceEdit, "0.048"}, {WorkbenchControl::MotorWeightEdit, "9.2"},
        {WorkbenchControl::CellCapacityEdit, "1700"},       {WorkbenchControl::CellVoltageEdit, "1.2"},
        {WorkbenchControl::CellResistanceEdit, "0.0045"},   {WorkbenchControl::CellWeightEdit, "1.94"},
        {WorkbenchControl::CellTypeComboBox, "NiCd"},       {WorkbenchControl::NumberOfCellsFromEdit, "6"},
        {WorkbenchControl::NumberOfCellsToEdit, "25"},      {WorkbenchControl::ParallelCellsToEdit, "3"},
        {WorkbenchControl::GearRatioFromEdit, "1.5"},       {WorkbenchControl::GearRatioToEdit, "16.49"},
        {WorkbenchControl::GearRatioByEdit, "0.01"},       {WorkbenchControl::GearboxEfficiencyEdit, "95"},
        {WorkbenchControl::GearboxWeightEdit, "1.2"},       {WorkbenchControl::PropellerDiameterFromEdit, "11"},
        {WorkbenchControl::PropellerPitchFromEdit, "7"},    {WorkbenchControl::ESCResistanceEdit, "0.006"},
        {WorkbenchControl::ESCWeightEdit, "1.1"},           {WorkbenchControl::WingAreaEdit, "660"},
        {WorkbenchControl::WingSpanEdit, "100"},            {WorkbenchControl::EmptyWeightEdit, "36"},
        {WorkbenchControl::DragInfoEdit, "1111"},
    };
    for (const auto& [control, text] : texts) fields.SetText(control, text);
    fields.SetChecked(WorkbenchControl::ESCHighRateCheckBox, true);
    AnalysisOptionsInput options;
    options.accountForHeating = true;
    NullMessageSink sink;
    DefaultPrompter prompter;
    auto input = GatherAnalysisInput(fields, options, {}, sink, prompter);
    if (!input) std::abort();
    ConvertToInternalUnits(input->plane, input->options);
    return *input;
}

std::shared_ptr<const MeasuredCurves> MeasuredDrive(const DriveSystemDesc& d) {
    std::vector<double> rpms, js;
    for (double rpm = 2000; rpm <= 18000; rpm += 2000) rpms.push_back(rpm);
    for (int k = 0; k <= 40; ++k) js.push_back(0.025 * k);
    return std::make_shared<const MeasuredCurves>(TabulateTwoConstantModel(
        d.DiameterFrom(), d.PitchFrom(), d.Blades, d.PropConstant(), d.ThrustConstant(), rpms, js));
}

void Sweep(benchmark::State& state) {
    AnalysisInput input = BenchInput();
    if (state.range(0)) input.plane.Drive.Measured = MeasuredDrive(input.plane.Drive);
    NullMessageSink sink;
    DefaultPrompter prompter;
    std::int64_t rows = 0;
    for (auto _ : state) {
        Report report;
        report.Settings.Parallel = state.range(1) != 0;
        BuildReport(report, ReportRequest{}, input.options, input.plane, sink, prompter);
        rows = report.Grid.RowCount();
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

BENCHMARK_MAIN();
