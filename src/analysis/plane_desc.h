// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/airframe_desc.h"

namespace ampvane {

class MeasuredCurves;

// The records below hold numbers as typed (display units) until a report converts its own copy to
// the internal units of the performance model: oz, in, sq.in, mph, rpm, W, A, V, Ohm, °C.

struct MotorDesc8 {
    std::string MotorName;
    double MotorConstant = 0;      // Kv, rpm/V
    double IdleCurrent = 0;        // Io, A
    double ArmatureResistance = 0; // Rm, Ohm at 20 °C
    double Weight = 0;             // oz (g in metric display units)
    double HeatingFactor = 0;      // 3.8 brushed or out-runner, 2.0 brushless in-runner
    std::uint8_t Brushless = 0;
    std::uint8_t OutRunner = 0; // false whenever the motor is brushed
};

enum CellChemistry : std::uint8_t { NiCd = 0, NiMH = 1, LiPo = 2, LiNP = 3, OtherChemistry = 4 };

struct CellDesc8 {
    std::string CellName;
    double Capacity = 0;   // mAh
    double Voltage = 0;    // V per cell under load
    double CRating = 0;    // 0: not given
    double Resistance = 0; // Ohm per cell
    double Weight = 0;     // oz (g in metric display units)
    std::uint8_t Chemistry = 0;
    std::int32_t SeriesCellsFrom = 0;
    std::int32_t SeriesCellsTo = 0;
};

// Each limit means "no restriction" when 0.
struct FilterDesc {
    std::string FilterName;
    double MaxCurrent = 0;    // A
    double MaxPowerLoss = 0;  // W
    double MinEfficiency = 0; // %
    double MinThrust = 0;     // oz (g or N in metric display units)
    double MinSpeed = 0;      // mph (m/s in metric display units)
    double MaxSpeed = 0;      // mph (m/s in metric display units)
    double MinRunTime = 0;    // s
    double MaxPitchRatio = 0; // pitch:diameter
    double MaxMotorRPM = 0;   // rpm
};

enum DriveKind : std::int32_t { PropellerDrive = 0, FanDrive = 1 };

// A propeller drive and a ducted fan share the same slots; the accessors below name each slot for
// the drive kind that uses it, so code reads like the formulas it implements.
struct DriveSystemDesc {
    std::string DriveName;
    double Weight = 0; // one gearbox or one fan; oz (g in metric display units)
    std::int32_t Kind = PropellerDrive;
    double Slot[12] = {};
    std::int32_t Blades = 0; // propeller only
    // A measured propeller instead of diameter, pitch and the two constants (propeller only); its
    // size then replaces the diameter and pitch ranges when the report is built.
    std::shared_ptr<const MeasuredCurves> Measured;

    // Propeller (Kind 0). Lengths in inches (cm with metric propeller sizes until converted).
    double& GearRatioFrom() { return Slot[0]; }
    double& GearRatioTo() { return Slot[1]; }
    double& GearRatioBy() { return Slot[2]; }
    double& DiameterFrom() { return Slot[3]; }
    double& DiameterTo() { return Slot[4]; }
    double& DiameterBy() { return Slot[5]; }
    double& PitchFrom() { return Slot[6]; }
    double& PitchTo() { return Slot[7]; }
    double& PitchBy() { return Slot[8]; }
    double& PropConstant() { return Slot[9]; } // stored divided by 1.31
    double& ThrustConstant() { return Slot[10]; }
    double& GearboxEfficiency() { return Slot[11]; } // fraction 0..1
    // Ducted fan (Kind 1). Lengths in inches (cm in metric display units until converted).
    double& IntakeDiameter() { return Slot[0]; }
    double& IntakeLength() { return Slot[1]; }
    double& ExhaustDiameter() { return Slot[2]; }
    double& ExhaustLength() { return Slot[3]; }
    double& FanDiameter() { return Slot[4]; }
    double& FanPitch() { return Slot[5]; }
    double& HubDiameter() { return Slot[6]; }
    double& FanThrustCoeff() { return Slot[7]; }
    double& FanPowerCoeff() { return Slot[8]; }

    double GearRatioFrom() const { return Slot[0]; }
    double GearRatioTo() const { return Slot[1]; }
    double GearRatioBy() const { return Slot[2]; }
    double DiameterFrom() const { return Slot[3]; }
    double DiameterTo() const { return Slot[4]; }
    double DiameterBy() const { return Slot[5]; }
    double PitchFrom() const { return Slot[6]; }
    double PitchTo() const { return Slot[7]; }
    double PitchBy() const { return Slot[8]; }
    double PropConstant() const { return Slot[9]; }
    double ThrustConstant() const { return Slot[10]; }
    double GearboxEfficiency() const { return Slot[11]; }
    double IntakeDiameter() const { return Slot[0]; }
    double IntakeLength() const { return Slot[1]; }
    double ExhaustDiameter() const { return Slot[2]; }
    double ExhaustLength() const { return Slot[3]; }
    double FanDiameter() const { return Slot[4]; }
    double FanPitch() const { return Slot[5]; }
    double HubDiameter() const { return Slot[6]; }
    double FanThrustCoeff() const { return Slot[7]; }
    double FanPowerCoeff() const { return Slot[8]; }
};

struct ESCDesc {
    std::string ESCName;
    double Resistance = 0; // Ohm
    double MaxCurrent = 0; // A, 0: not given
    double Weight = 0;     // oz (g in metric display units)
    std::uint8_t HighRate = 0;
    std::uint8_t Brushless = 0;
};

struct PlaneDesc {
    std::string ProjectName;
    MotorDesc8 Motor;
    CellDesc8 Cell;
    std::int32_t ParallelCellsFrom = 0;
    std::int32_t ParallelCellsTo = 0;
    FilterDesc Filter;
    std::uint8_t UseFilter = 0;
    DriveSystemDesc Drive;
    std::int32_t SeriesMotors = 0;
    std::int32_t ParallelMotors = 0;
    std::int32_t NumberOfProps = 0;
    ESCDesc ESC;
    std::int32_t NumberOfESCs = 0;
    AirframeDesc Airframe;
};

// The snapshot of the options that travels with every analysis.
struct AnalysisOptions {
    std::uint8_t Metric = 0;          // units index > 1
    std::uint8_t MetricPropSizes = 0; // units index > 2
    std::uint8_t Newtons = 0;
    std::uint8_t MetricTempPress = 0; // units index > 0
    std::uint8_t PrintColours = 0;
    std::uint8_t AccountForHeating = 0;
    double Elevation = 0;    // display units (m or ft)
    double Pressure = 0;     // display units (kPa or inHg)
    double Temperature = 0;  // display units (°C or °F)
    double TemperatureC = 0; // °C
    double DensityRatio = 1;
    std::int32_t MinDigits = 0;
};

} // namespace ampvane
