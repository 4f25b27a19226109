// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "advice/opinion_input.h"

// Opinion inputs for the tests: a well-matched sport model that no problem rule touches, and four
// contrasting systems whose outputs are kept as golden files.

namespace ampvane::testing {

// Brushless 1000 rpm/V motor on 3 LiPo cells and a 10x6 propeller in a 400 sq.in, 40 oz model.
// At V = 10 V the motor's best-efficiency current is √200 ≈ 14.1 A and its maximum-power current 51 A.
inline OpinionInput SportModel() {
    OpinionInput in;
    PlaneDesc& p = in.Plane;
    p.ProjectName = "Sport Model";
    p.Motor = {"Test Motor", 1000, 2, 0.1, 6, 3.8, 1, 1};
    p.Cell.CellName = "Test LiPo";
    p.Cell.Capacity = 2000;
    p.Cell.Voltage = 3.7;
    p.Cell.CRating = 20;
    p.Cell.Resistance = 0.01;
    p.Cell.Weight = 1.6;
    p.Cell.Chemistry = LiPo;
    p.Cell.SeriesCellsFrom = p.Cell.SeriesCellsTo = 3;
    p.ParallelCellsFrom = p.ParallelCellsTo = 1;
    p.Drive.Kind = PropellerDrive;
    p.Drive.GearRatioFrom() = p.Drive.GearRatioTo() = 1;
    p.Drive.DiameterFrom() = p.Drive.DiameterTo() = 10;
    p.Drive.PitchFrom() = p.Drive.PitchTo() = 6;
    p.SeriesMotors = p.ParallelMotors = 1;
    p.ESC = {"Test ESC", 0.005, 40, 1, 1, 1};
    p.NumberOfESCs = 1;
    p.Airframe.WingArea = 400;

    in.Options.TemperatureC = 20;
    in.HasWing = in.HasDrag = in.HasWeight = in.HasStall = true;
    in.StallSpeed = 15;
    in.MaxLevelSpeed = 50;
    in.TotalWeight = 40;

    auto& zero = in.Markers[kZeroAirspeedMarker];
    zero.Enabled = zero.Captured = true;
    zero.RowMotorCurrent = 20;
    zero.RowMotorVoltage = 10;
    zero.RowThrust = 30;
    zero.RowPitchSpeed = 40;

    auto& best = in.Markers[kBestLiftToDragMarker];
    best.Enabled = best.Captured = best.Feasible = true;
    best.Speed = 25;
    best.Throttle = 0.6;
    best.MotorCurrent = 10;
    best.MotorVoltage = 8;
    best.BatteryCurrent = 6;
    best.MotorTemperature = 50;
    best.RowMotorCurrent = 18;
    best.RowMotorVoltage = 10;
    best.RowThrust = 25;
    best.RowDrag = 15;

    auto& handsOff = in.Markers[kHandsOffMarker];
    handsOff.Enabled = handsOff.Captured = handsOff.Feasible = true;
    handsOff.Speed = 30;
    handsOff.Throttle = 0.5;
    handsOff.MotorCurrent = 8;
    handsOff.MotorVoltage = 7;
    handsOff.BatteryCurrent = 5;
    handsOff.MotorTemperature = 45;
    handsOff.RowMotorCurrent = 17;
    handsOff.RowMotorVoltage = 10;
    handsOff.RowThrust = 24;
    handsOff.RowDrag = 17;

    in.ConditionLine = "Sea Level, 29.92inHg, 68°F";
    in.Description = {"Motor: Test Motor; 1000rpm/V; 2A no-load; 0.1 Ohms.",
                      "Battery: Test LiPo (20C); 3 cells; 2000mAh @ 3.7V; 0.01 Ohms/cell.",
                      "Speed Control: Test ESC; 0.005 Ohms; High rate.",
                      "Drive System: 10x6 (Pconst=1.31; Tconst=1) direct drive.",
                      "Airframe: 400sq.in; 40oz RTF; 14.4oz/sq.ft.",
                      "", "", ""};
    return in;
}

// A hot-running in-runner on ten NiMH cells, over its maximum-power current, with a square propeller.
inline OpinionInput OverloadedMotor() {
    OpinionInput in = SportModel();
    PlaneDesc& p = in.Plane;
    p.ProjectName = "Hotliner <Mk2> & Co";
    p.Motor = {"Speed 480 <race>", 2200, 1.5, 0.08, 15, 2.0, 1, 0};
    p.Cell.CellName = "NiMH 3000 & more";
    p.Cell.Capacity = 3000;
    p.Cell.Voltage = 1.2;
    p.Cell.CRating = 10;
    p.Cell.Resistance = 0.006;
    p.Cell.Weight = 2;
    p.Cell.Chemistry = NiMH;
    p.Cell.SeriesCellsFrom = p.Cell.SeriesCellsTo = 10;
    p.Drive.DiameterFrom() = p.Drive.DiameterTo() = 8;
    p.Drive.PitchFrom() = p.Drive.PitchTo() = 8;
    p.ESC = {"Jeti 40", 0.004, 40, 1, 0, 1};
    p.Airframe.WingArea = 250;
    in.Options.AccountForHeating = 1;
    in.Options.TemperatureC = 25;
    in.StallSpeed = 20;
    in.MaxLevelSpeed = 60;
    in.TotalWeight = 36;

    auto& zero = in.Markers[kZeroAirspeedMarker];
    zero.RowMotorCurrent = 58;
    zero.RowMotorVoltage = 8.2;
    zero.RowThrust = 40;
    zero.RowPitchSpeed = 90;
    auto& best = in.Markers[kBestLiftToDragMarker];
    best.Speed = 40;
    best.Throttle = 0.7;
    best.MotorCurrent = 45;
    best.MotorVoltage = 7;
    best.BatteryCurrent = 45;
    best.MotorTemperature = 160;
    best.RowMotorCurrent = 55;
    best.RowMotorVoltage = 8.4;
    best.RowThrust = 30;
    best.RowDrag = 10;
    auto& handsOff = in.Markers[kHandsOffMarker];
    handsOff.Speed = 45;
    handsOff.Feasible = false;
    handsOff.Throttle = 1.01;

    in.ConditionLine = "1500ft above Sea Level, 28.36inHg, 77°F";
    in.Description = {"Motor: Speed 480 <race>; 2200rpm/V; 1.5A no-load; 0.08 Ohms.",
                      "Battery: NiMH 3000 & more (10C); 10 cells; 3000mAh @ 1.2V; 0.006 Ohms/cell.",
                      "Speed Control: Jeti 40; 0.004 Ohms; Low rate.",
                      "Drive System: 8x8 (Pconst=1.31; Tconst=1) direct drive.",
                      "Airframe: 250sq.in; 36oz RTF; 20.7oz/sq.ft; Cd=0.04; Cl=0.3; Clopt=0.5; Clmax=1.1.",
                      "Stats: 212 W/lb in; 98 W/lb out; 20mph stall; 40mph opt @ 70% (3:34, 320°F).",
                      "", ""};
    return in;
}

// A geared 400-size brushed motor on seven NiCd cells in a big, light sailplane.
inline OpinionInput UnderpoweredGlider() {
    OpinionInput in = SportModel();
    PlaneDesc& p = in.Plane;
    p.ProjectName = "Thermal Glider";
    p.Motor = {"Brushed 400", 1100, 1.2, 0.35, 6.5, 3.8, 0, 0};
    p.Cell.CellName = "NiCd 1700";
    p.Cell.Capacity = 1700;
    p.Cell.Voltage = 1.2;
    p.Cell.CRating = 0;
    p.Cell.Resistance = 0.008;
    p.Cell.Weight = 1.9;
    p.Cell.Chemistry = NiCd;
    p.Cell.SeriesCellsFrom = p.Cell.SeriesCellsTo = 7;
    p.Drive.GearRatioFrom() = p.Drive.GearRatioTo() = 3;
    p.Drive.DiameterFrom() = p.Drive.DiameterTo() = 11;
    p.Drive.PitchFrom() = p.Drive.PitchTo() = 5;
    p.ESC = {"Brushed 25", 0.01, 0, 0, 0, 0};
    p.Airframe.WingArea = 700;
    in.StallSpeed = 14;
    in.MaxLevelSpeed = 19;
    in.TotalWeight = 60;

    auto& zero = in.Markers[kZeroAirspeedMarker];
    zero.RowMotorCurrent = 9;
    zero.RowMotorVoltage = 7.2;
    zero.RowThrust = 14;
    zero.RowPitchSpeed = 22;
    auto& best = in.Markers[kBestLiftToDragMarker];
    best.Speed = 18;
    best.Throttle = 0.95;
    best.MotorCurrent = 8.2;
    best.MotorVoltage = 7.1;
    best.BatteryCurrent = 8.2;
    best.MotorTemperature = -100;
    best.RowMotorCurrent = 8.5;
    best.RowMotorVoltage = 7.3;
    best.RowThrust = 9;
    best.RowDrag = 8;
    auto& handsOff = in.Markers[kHandsOffMarker];
    handsOff.Speed = 16;
    handsOff.Throttle = 0.9;
    handsOff.MotorCurrent = 8;
    handsOff.MotorVoltage = 7.0;
    handsOff.BatteryCurrent = 8;
    handsOff.MotorTemperature = -100;

    in.ConditionLine = "Sea Level, 29.92inHg, 59°F";
    in.Description = {"Motor: Brushed 400; 1100rpm/V; 1.2A no-load; 0.35 Ohms.",
                      "Battery: NiCd 1700; 7 cells; 1700mAh @ 1.2V; 0.008 Ohms/cell.",
                      "Speed Control: Brushed 25; 0.01 Ohms; Low rate.",
                      "Drive System: 11x5 (Pconst=1.31; Tconst=1) geared 3:1 (Eff=95%).",
                      "Airframe: 700sq.in; 60oz RTF; 12.3oz/sq.ft; Cd=0.03; Cl=0.9; Clopt=0.7; Clmax=1.3.",
                      "Stats: 78 W/lb in; 49 W/lb out; 14mph stall; 18mph opt @ 95% (12:26); 16mph level @ 90% (12:45).",
                      "", ""};
    return in;
}

// A ducted fan on six LiPo cells, shown in metric units with the heating option on.
inline OpinionInput FanJet() {
    OpinionInput in = SportModel();
    PlaneDesc& p = in.Plane;
    p.ProjectName = "EDF Jet";
    p.Motor = {"Inrunner 3500", 3500, 3, 0.02, 5, 2.0, 1, 0};
    p.Cell.CellName = "LiPo 3200";
    p.Cell.Capacity = 3200;
    p.Cell.Voltage = 3.7;
    p.Cell.CRating = 25;
    p.Cell.Resistance = 0.005;
    p.Cell.Weight = 3;
    p.Cell.Chemistry = LiPo;
    p.Cell.SeriesCellsFrom = p.Cell.SeriesCellsTo = 6;
    p.Drive = {};
    p.Drive.Kind = FanDrive;
    p.Drive.FanDiameter() = 3.5;
    p.Drive.FanPitch() = 3;
    p.ESC = {"ESC 80", 0.002, 80, 1, 1, 1};
    p.Airframe.WingArea = 380;
    in.Options.Metric = in.Options.MetricPropSizes = in.Options.MetricTempPress = 1;
    in.Options.AccountForHeating = 1;
    in.Options.TemperatureC = 25;
    in.StallSpeed = 35;
    in.MaxLevelSpeed = 110;
    in.TotalWeight = 70;

    auto& zero = in.Markers[kZeroAirspeedMarker];
    zero.RowMotorCurrent = 65;
    zero.RowMotorVoltage = 20.5;
    zero.RowThrust = 50;
    zero.RowPitchSpeed = 95;
    auto& best = in.Markers[kBestLiftToDragMarker];
    best.Speed = 55;
    best.Throttle = 0.55;
    best.MotorCurrent = 30;
    best.MotorVoltage = 12;
    best.BatteryCurrent = 16.5;
    best.MotorTemperature = 70;
    best.RowMotorCurrent = 62;
    best.RowMotorVoltage = 20.7;
    best.RowThrust = 42;
    best.RowDrag = 12;
    auto& handsOff = in.Markers[kHandsOffMarker];
    handsOff.Speed = 70;
    handsOff.Throttle = 0.7;
    handsOff.MotorCurrent = 40;
    handsOff.MotorVoltage = 14.5;
    handsOff.BatteryCurrent = 28;
    handsOff.MotorTemperature = 95;

    in.ConditionLine = "300m above Sea Level, 97.8kPa, 25°C";
    in.Description = {"Motor: Inrunner 3500; 3500rpm/V; 3A no-load; 0.02 Ohms.",
                      "Battery: LiPo 3200 (25C); 6 cells; 3200mAh @ 3.7V; 0.005 Ohms/cell.",
                      "Speed Control: ESC 80; 0.002 Ohms; High rate.",
                      "Drive System: 8.9x7.6 (0.9cm hub); (Pcoeff=1.2; Tcoeff=1.1).",
                      "Airframe: 24.5dm²; 1981g RTF; 80.8g/dm²; Cd=0.025; Cl=0.2; Clopt=0.4; Clmax=1.",
                      "Stats: 21 W/kg in; 17 W/kg out; 15.6m/s stall; 24.6m/s opt @ 55% (6:58, 70°C).",
                      "", ""};
    return in;
}

// A static test stand: no wing, so no drag, no stall and no level-flight points; a brushed motor of
// unknown weight on a brushless speed control, two strings of LiPo cells.
inline OpinionInput NoWing() {
    OpinionInput in = SportModel();
    PlaneDesc& p = in.Plane;
    p.ProjectName = "Test Stand";
    p.Motor = {"Can Motor", 900, 1.8, 0.15, 0, 3.8, 0, 0};
    p.Cell.CellName = "LiPo 1000";
    p.Cell.Capacity = 1000;
    p.Cell.CRating = 10;
    p.Cell.Resistance = 0.01;
    p.Cell.Weight = 1;
    p.ParallelCellsFrom = p.ParallelCellsTo = 2;
    p.Drive.DiameterFrom() = p.Drive.DiameterTo() = 9;
    p.Drive.PitchFrom() = p.Drive.PitchTo() = 4;
    p.ESC = {"Brushless 30", 0.005, 30, 1, 0, 1};
    p.Airframe.WingArea = 0;
    in.Options.AccountForHeating = 1;
    in.Options.MinDigits = 3;
    in.HasWing = in.HasDrag = in.HasStall = false;
    in.HasWeight = true;
    in.StallSpeed = 0;
    in.MaxLevelSpeed = 33;
    in.TotalWeight = 30;

    auto& zero = in.Markers[kZeroAirspeedMarker];
    zero.RowMotorCurrent = 28;
    zero.RowMotorVoltage = 9.6;
    zero.RowThrust = 26;
    zero.RowPitchSpeed = 28;
    in.Markers[kBestLiftToDragMarker] = {};
    in.Markers[kHandsOffMarker] = {};

    in.ConditionLine = "Sea Level, 29.92inHg, 68°F";
    in.Description = {"Motor: Can Motor; 900rpm/V; 1.8A no-load; 0.15 Ohms.",
                      "Battery: LiPo 1000 (10C); 3 series x 2 parallel cells; 1000mAh @ 3.7V; 0.01 Ohms/cell.",
                      "Speed Control: Brushless 30; 0.005 Ohms; Low rate.",
                      "Drive System: 9x4 (Pconst=1.31; Tconst=1) direct drive.",
                      "Airframe: 30oz RTF.",
                      "Stats: 358 W/lb in; 230 W/lb out.",
                      "", ""};
    return in;
}

} // namespace ampvane::testing
