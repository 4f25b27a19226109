// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/plane_desc.h"
#include "model/air.h"
#include "model/airframe.h"

// Power systems in internal units for the report tests: a geared cobalt motor on NiCd cells in a
// glider, and a ducted fan in a jet.

namespace ampvane::testing {

inline AnalysisOptions SeaLevelOptions(bool heating = false) {
    AnalysisOptions options;
    options.Elevation = 0;
    options.Pressure = 29.92;
    options.Temperature = 59;
    options.TemperatureC = 15;
    options.DensityRatio = AirDensityRatio(0, 29.92, 15);
    options.AccountForHeating = heating;
    return options;
}

inline void AddGlider(PlaneDesc& plane, double wingArea = 660, double emptyWeight = 36) {
    AirframeDesc& a = plane.Airframe;
    a.AirframeName = "Great Planes Spectra";
    a.WingSpan = 100;
    a.WingArea = wingArea;
    a.EmptyWeight = emptyWeight;
    a.DragInfo = 1111;
    DeriveAirframe(a, false);
}

inline PlaneDesc GearedPropellerPlane() {
    PlaneDesc plane;
    plane.ProjectName = "Untitled";
    plane.Motor = {"Astro Cobalt 05 7T#20 #605", 1136, 2.4, 0.07, 8.5, 3.8, 0, 0};
    plane.Cell.CellName = "Sanyo 1700SCR";
    plane.Cell.Capacity = 1700;
    plane.Cell.Voltage = 1.2;
    plane.Cell.Resistance = 0.005;
    plane.Cell.Weight = 1.9;
    plane.Cell.Chemistry = NiCd;
    plane.Cell.SeriesCellsFrom = 6;
    plane.Cell.SeriesCellsTo = 7;
    plane.ParallelCellsFrom = plane.ParallelCellsTo = 1;
    DriveSystemDesc& d = plane.Drive;
    d.DriveName = "Astro 035-15 2.38:1 Gearbox";
    d.Kind = PropellerDrive;
    d.Weight = 1.2;
    d.GearRatioFrom() = d.GearRatioTo() = 2.38;
    d.GearRatioBy() = 1;
    d.DiameterFrom() = 10;
    d.DiameterTo() = 12;
    d.DiameterBy() = 1;
    d.PitchFrom() = 6;
    d.PitchTo() = 8;
    d.PitchBy() = 1;
    d.PropConstant() = 1.0;
    d.ThrustConstant() = 0.95;
    d.GearboxEfficiency() = 0.95;
    d.Blades = 2;
    plane.SeriesMotors = plane.ParallelMotors = plane.NumberOfProps = 1;
    plane.ESC = {"Astro 210", 0.006, 0, 1.0, 1, 0};
    plane.NumberOfESCs = 1;
    return plane;
}

inline PlaneDesc DuctedFanPlane() {
    PlaneDesc plane = GearedPropellerPlane();
    plane.ProjectName = "Jet";
    plane.Motor = {"Fan Motor", 2900, 3.0, 0.025, 6.0, 2.0, 1, 0};
    plane.Cell.SeriesCellsFrom = 10;
    plane.Cell.SeriesCellsTo = 10;
    plane.ParallelCellsTo = 2;
    DriveSystemDesc& d = plane.Drive;
    d = DriveSystemDesc{};
    d.DriveName = "Fan 480";
    d.Kind = FanDrive;
    d.Weight = 2.5;
    d.FanDiameter() = 2.75;
    d.FanPitch() = 2.2;
    d.HubDiameter() = 1.2;
    d.IntakeDiameter() = 2.5;
    d.IntakeLength() = 4;
    d.ExhaustDiameter() = 2.3;
    d.ExhaustLength() = 6;
    d.FanThrustCoeff() = 0.96;
    d.FanPowerCoeff() = 0.82;
    return plane;
}

} // namespace ampvane::testing
