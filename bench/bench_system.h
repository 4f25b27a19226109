// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The power system the report benchmarks sweep: a geared 2350 Kv motor on NiCd cells with heating on
// and an airframe with a wing and a weight, so that every row also solves its rate of climb. Each
// benchmark narrows or widens the ranges from here.
#include <cstdlib>
#include <utility>

#include "analysis/analysis_input.h"
#include "project/project_text.h"

namespace ampvane::bench {

// 10 series × 3 parallel cell counts, 20 gear ratios, 17 diameters, 10 pitches: 102,000 rows, as the
// project text that ampvane-cli reads.
inline WorkbenchFields BenchFields() {
    WorkbenchFields fields = EmptyWorkbenchFields();
    fields.SetProjectName("Bench");
    const std::pair<WorkbenchControl, const char*> texts[] = {
        {WorkbenchControl::MotorConstantEdit, "2350"},      {WorkbenchControl::IdleCurrentEdit, "2.7"},
        {WorkbenchControl::ArmatureResistanceEdit, "0.048"}, {WorkbenchControl::MotorWeightEdit, "9.2"},
        {WorkbenchControl::CellCapacityEdit, "1700"},       {WorkbenchControl::CellVoltageEdit, "1.2"},
        {WorkbenchControl::CellResistanceEdit, "0.0045"},   {WorkbenchControl::CellWeightEdit, "1.94"},
        {WorkbenchControl::CellTypeComboBox, "NiCd"},       {WorkbenchControl::NumberOfCellsFromEdit, "6"},
        {WorkbenchControl::NumberOfCellsToEdit, "15"},      {WorkbenchControl::ParallelCellsToEdit, "3"},
        {WorkbenchControl::GearRatioFromEdit, "1.5"},       {WorkbenchControl::GearRatioToEdit, "3.4"},
        {WorkbenchControl::GearRatioByEdit, "0.1"},         {WorkbenchControl::GearboxEfficiencyEdit, "95"},
        {WorkbenchControl::GearboxWeightEdit, "1.2"},       {WorkbenchControl::PropellerDiameterFromEdit, "8"},
        {WorkbenchControl::PropellerDiameterToEdit, "16"},  {WorkbenchControl::PropellerDiameterByEdit, "0.5"},
        {WorkbenchControl::PropellerPitchFromEdit, "5"},    {WorkbenchControl::PropellerPitchToEdit, "9.5"},
        {WorkbenchControl::PropellerPitchByEdit, "0.5"},    {WorkbenchControl::ESCResistanceEdit, "0.006"},
        {WorkbenchControl::ESCWeightEdit, "1.1"},           {WorkbenchControl::WingAreaEdit, "660"},
        {WorkbenchControl::WingSpanEdit, "100"},            {WorkbenchControl::EmptyWeightEdit, "36"},
        {WorkbenchControl::DragInfoEdit, "1111"},
    };
    for (const auto& [control, text] : texts) fields.SetText(control, text);
    fields.SetChecked(WorkbenchControl::ESCHighRateCheckBox, true);
    return fields;
}

inline AnalysisOptionsInput BenchOptionsInput() {
    AnalysisOptionsInput options;
    options.accountForHeating = true;
    return options;
}

// A plane in internal units with its options, as a report builds from them.
struct BenchRecords {
    PlaneDesc plane;
    AnalysisOptions options;
};

// Gathered and converted, as Compute Report does.
inline BenchRecords BenchInput(const WorkbenchFields& fields = BenchFields()) {
    NullMessageSink sink;
    DefaultPrompter prompter;
    auto input = GatherAnalysisInput(fields, BenchOptionsInput(), {}, sink, prompter);
    if (!input) std::abort();
    return {ConvertToInternalUnits(input->plane, input->options), input->options};
}

} // namespace ampvane::bench
