// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/measured_drive.h"

#include <memory>

#include "model/measured_propeller.h"
#include "model/propeller.h"

namespace ampvane {

std::string AttachMeasuredPropeller(DriveSystemDesc& drive, const PropellerStore& store, std::string_view name) {
    if (name.empty()) return {};
    PropellerImport loaded = store.Load(name);
    if (!loaded.Propeller) return loaded.Error;
    drive.Measured = std::make_shared<const MeasuredCurves>(std::move(*loaded.Propeller));
    return {};
}

void UseMeasuredPropellerSize(DriveSystemDesc& drive) {
    if (drive.Kind != PropellerDrive || !drive.Measured) return;
    const MeasuredPropeller& p = drive.Measured->Propeller();
    drive.DiameterFrom() = drive.DiameterTo() = p.Diameter;
    drive.PitchFrom() = drive.PitchTo() = p.Pitch;
    drive.DiameterBy() = drive.PitchBy() = 1;
    drive.Blades = p.Blades;
}

std::string MeasuredPropellerCaption(const DriveSystemDesc& drive) {
    if (drive.Kind != PropellerDrive || !drive.Measured) return {};
    const MeasuredPropeller& p = drive.Measured->Propeller();
    return p.Kind == PropellerDataKind::Computed ? " (propeller " + p.Name + " from a maker's computed data)"
                                                 : " (measured propeller " + p.Name + ")";
}

std::string MeasuredPropellerNote(const DriveSystemDesc& drive) {
    if (!drive.Measured) return {};
    const MeasuredPropeller& p = drive.Measured->Propeller();
    return (p.Kind == PropellerDataKind::Computed ? "maker's computed data: " : "measured: ") + p.Name;
}

std::vector<ModelComparisonRow> CompareWithTwoConstants(const PlaneDesc& plane, const AnalysisOptions& options,
                                                        double throttle, double Kp, double Tc) {
    std::vector<ModelComparisonRow> rows;
    const DriveSystemDesc& d = plane.Drive;
    if (d.Kind != PropellerDrive || !d.Measured) return rows;
    const MeasuredPropeller& prop = d.Measured->Propeller();
    const MotorDesc8& m = plane.Motor;
    PropDriveProblem p{plane.Cell.SeriesCellsFrom, plane.ParallelCellsFrom, plane.NumberOfESCs,
                       options.AccountForHeating != 0, options.TemperatureC, m.HeatingFactor, options.DensityRatio, Tc,
                       Kp, prop.Blades, plane.NumberOfProps, plane.ParallelMotors, plane.SeriesMotors, 0, prop.Pitch,
                       prop.Diameter, d.GearboxEfficiency(), d.GearRatioFrom(), plane.ESC.Resistance,
                       plane.Cell.Resistance, plane.Cell.Voltage * throttle, m.Weight, m.ArmatureResistance,
                       m.IdleCurrent, m.MotorConstant};
    // An airspeed beyond which neither propeller pushes is the end; this bound only guards odd input.
    constexpr int kMaxAirspeed = 500;
    for (int airspeed = 0; airspeed <= kMaxAirspeed; ++airspeed) {
        p.Va = airspeed;
        ModelComparisonRow row;
        row.Airspeed = airspeed;
        const PropDriveSolution measured = SolveMeasuredPropDrive(p, *d.Measured);
        if (!measured.Failed) {
            const double thrust = d.Measured->Thrust(p.Va, measured.Rpm, p.sigma, p.Np).Thrust;
            if (thrust > 0) {
                row.MeasuredThrust = thrust;
                row.MeasuredPower = measured.OutputPower;
            }
        }
        const PropDriveSolution constants = SolvePropDrive(p);
        if (!constants.Failed) {
            const double thrust = PropThrust(Tc, Kp, constants.OutputPower, p.Va, p.sigma, constants.Rpm, p.P, p.D).Thrust;
            if (thrust > 0) {
                row.ConstantsThrust = thrust;
                row.ConstantsPower = constants.OutputPower;
            }
        }
        if (!row.MeasuredThrust && !row.ConstantsThrust) break;
        rows.push_back(row);
    }
    return rows;
}

} // namespace ampvane
