// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

#include "project/workbench_fields.h"

namespace ampvane::testing {

// The sample power system: a geared cobalt motor on six or seven NiCd cells in a glider.
inline void FillSample(WorkbenchFields& f) {
    const std::pair<WorkbenchControl, const char*> texts[] = {
        {WorkbenchControl::MotorNameEdit, "Astro Cobalt 05 7T#20 #605"},
        {WorkbenchControl::MotorConstantEdit, "2350"},
        {WorkbenchControl::IdleCurrentEdit, "2.7"},
        {WorkbenchControl::ArmatureResistanceEdit, "0.048"},
        {WorkbenchControl::MotorWeightEdit, "9.2"},
        {WorkbenchControl::CellNameEdit, "Sanyo 1700SCR"},
        {WorkbenchControl::CellCapacityEdit, "1700"},
        {WorkbenchControl::CellVoltageEdit, "1.2"},
        {WorkbenchControl::CellResistanceEdit, "0.0045"},
        {WorkbenchControl::CellWeightEdit, "1.94"},
        {WorkbenchControl::NumberOfCellsFromEdit, "6"},
        {WorkbenchControl::NumberOfCellsToEdit, "7"},
        {WorkbenchControl::DriveSystemNameEdit, "Astro 035-15 2.38:1 Gearbox"},
        {WorkbenchControl::GearRatioFromEdit, "2.38"},
        {WorkbenchControl::GearRatioToEdit, "2.38"},
        {WorkbenchControl::PropellerDiameterFromEdit, "10"},
        {WorkbenchControl::PropellerDiameterToEdit, "12"},
        {WorkbenchControl::PropellerDiameterByEdit, "1"},
        {WorkbenchControl::PropellerPitchFromEdit, "6"},
        {WorkbenchControl::PropellerPitchToEdit, "8"},
        {WorkbenchControl::PropellerPitchByEdit, "1"},
        {WorkbenchControl::PropConstantEdit, "1.31"},
        {WorkbenchControl::ThrustConstantEdit, "0.95"},
        {WorkbenchControl::GearboxEfficiencyEdit, "95"},
        {WorkbenchControl::GearboxWeightEdit, "1.2"},
        {WorkbenchControl::ESCNameEdit, "Astro 210"},
        {WorkbenchControl::ESCResistanceEdit, "0.006"},
        {WorkbenchControl::ESCWeightEdit, "1.1"},
        {WorkbenchControl::ESCMaxCurrentEdit, "35"},
        {WorkbenchControl::AirframeNameEdit, "Great Planes Spectra"},
        {WorkbenchControl::WingSpanEdit, "100"},
        {WorkbenchControl::WingAreaEdit, "660"},
        {WorkbenchControl::EmptyWeightEdit, "36"},
        {WorkbenchControl::AirfoilInfoEdit, "0"},
        {WorkbenchControl::DragInfoEdit, "1111"},
    };
    for (const auto& [id, text] : texts) f.SetText(id, text, Marking::Keep);
    f.SetText(WorkbenchControl::CellTypeComboBox, "NiCd", Marking::Keep);
    f.SetChecked(WorkbenchControl::ESCHighRateCheckBox, true, Marking::Keep);
    f.SetDrivePage(kPropellerPage, Marking::Keep);
}

} // namespace ampvane::testing
