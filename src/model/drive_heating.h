#pragma once

#include "model/electric_chain.h"

#include <cmath>
#include <optional>

// The heating loop shared by the propeller and fan drive solves: solve the load at the current
// winding resistance, estimate the motor temperature from the loss, correct the resistance, and
// repeat until it settles.

namespace ampvane::model_detail {

inline constexpr int kHeatingPasses = 10;
inline constexpr double kStopTemperature = 1000;   // °C: beyond this the heating estimate is meaningless
inline constexpr double kResistanceSettled = 0.01; // relative change that ends the correction

// One load solve at a winding resistance: the load speed and the current through and voltage
// across one motor.
struct DrivePass {
    double Rpm = 0;
    double Current = 0;
    double Voltage = 0;
};

// The operating point of a whole drive, totals over all motors.
struct DriveTotals {
    double MotorTemperature = 0; // °C, of the last pass
    double OutputPower = 0;      // W after the gearbox
    double MotorVoltage = 0;     // V across one series branch
    double MotorCurrent = 0;     // A drawn by all motors together
    double Rpm = 0;              // load speed
};

// solvePass(R) gives std::optional<DrivePass>, empty when the load has no solution. With heating
// off the resistance stays Rm and one pass runs; with it on the resistance starts at the air
// temperature and at most kHeatingPasses run. A temperature above kStopTemperature keeps the last
// resistance. Empty when a pass fails, when a value has no finite result, or when the point is no
// operating point at all (a motor driven backwards by its load reports a negative current).
template <class SolvePass>
std::optional<DriveTotals> SolveWithHeating(bool heating, double Ta, double K, double Wm, double Rm, double Io,
                                            int Pm, int Sm, double gearboxEfficiency, SolvePass solvePass) {
    const double Rth = MotorThermalResistance(K, Wm);
    double R = heating ? ResistanceAt(Rm, Ta) : Rm;
    int passes = heating ? kHeatingPasses : 1;

    DrivePass pass;
    double Pshaft = 0, T = Ta;
    for (;;) {
        const std::optional<DrivePass> solved = solvePass(R);
        if (!solved) return std::nullopt;
        pass = *solved;
        Pshaft = MotorOutputPower(pass.Voltage, pass.Current, R, Io);
        T = Ta + (pass.Current * pass.Voltage - Pshaft) * Rth;

        const double previous = R;
        if (T <= kStopTemperature) R = ResistanceAt(Rm, T);
        --passes;
        // A zero resistance has no relative change; it cannot change any more either.
        if (passes == 0 || !(T <= kStopTemperature) || previous == 0 ||
            std::fabs(R - previous) / previous < kResistanceSettled)
            break;
    }

    if (!(pass.Current >= 0)) return std::nullopt;
    DriveTotals totals;
    totals.MotorTemperature = T;
    totals.OutputPower = Pm * Sm * (Pshaft * gearboxEfficiency);
    totals.MotorVoltage = Sm * pass.Voltage;
    totals.MotorCurrent = Pm * pass.Current;
    totals.Rpm = pass.Rpm;
    if (!std::isfinite(totals.MotorTemperature) || !std::isfinite(totals.OutputPower) ||
        !std::isfinite(totals.MotorVoltage) || !std::isfinite(totals.MotorCurrent) || !std::isfinite(totals.Rpm))
        return std::nullopt;
    return totals;
}

} // namespace ampvane::model_detail
