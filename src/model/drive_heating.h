// SPDX-License-Identifier: GPL-3.0-or-later
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

// The heating correction as a loop that is fed one load solve at a time, so that several drive
// solves can be advanced together. With heating off the resistance stays Rm and one pass runs; with
// it on the resistance starts at the air temperature and at most kHeatingPasses run. A temperature
// above kStopTemperature keeps the last resistance.
class HeatingLoop {
public:
    // What a loop starts from: the motor's thermal resistance and the winding resistance of the
    // first pass. Many solves of one report share them, so a caller may compute them once.
    struct Start {
        double Rth = 0;
        double R = 0;
    };

    static Start StartOf(bool heating, double Ta, double K, double Wm, double Rm) {
        return {MotorThermalResistance(K, Wm), heating ? ResistanceAt(Rm, Ta) : Rm};
    }

    HeatingLoop(bool heating, double Ta, double K, double Wm, double Rm, double Io)
        : HeatingLoop(heating, Ta, Rm, Io, StartOf(heating, Ta, K, Wm, Rm)) {}

    HeatingLoop(bool heating, double Ta, double Rm, double Io, Start start)
        : Ta_(Ta), Rm_(Rm), Io_(Io), Rth_(start.Rth), R_(start.R), T_(Ta), passes_(heating ? kHeatingPasses : 1) {}

    // The winding resistance the next load solve is to use.
    double Resistance() const { return R_; }

    // Takes the load solve at Resistance(); true when the correction has ended.
    bool Take(const DrivePass& pass) {
        pass_ = pass;
        Pshaft_ = MotorOutputPower(pass.Voltage, pass.Current, R_, Io_);
        T_ = Ta_ + (pass.Current * pass.Voltage - Pshaft_) * Rth_;

        const double previous = R_;
        if (T_ <= kStopTemperature) R_ = ResistanceAt(Rm_, T_);
        --passes_;
        // A zero resistance has no relative change; it cannot change any more either.
        return passes_ == 0 || !(T_ <= kStopTemperature) || previous == 0 ||
               std::fabs(R_ - previous) / previous < kResistanceSettled;
    }

    // The totals of the last pass; empty when a value has no finite result, or when the point is no
    // operating point at all (a motor driven backwards by its load reports a negative current).
    std::optional<DriveTotals> Totals(int Pm, int Sm, double gearboxEfficiency) const {
        if (!(pass_.Current >= 0)) return std::nullopt;
        DriveTotals totals;
        totals.MotorTemperature = T_;
        totals.OutputPower = Pm * Sm * (Pshaft_ * gearboxEfficiency);
        totals.MotorVoltage = Sm * pass_.Voltage;
        totals.MotorCurrent = Pm * pass_.Current;
        totals.Rpm = pass_.Rpm;
        if (!std::isfinite(totals.MotorTemperature) || !std::isfinite(totals.OutputPower) ||
            !std::isfinite(totals.MotorVoltage) || !std::isfinite(totals.MotorCurrent) || !std::isfinite(totals.Rpm))
            return std::nullopt;
        return totals;
    }

private:
    double Ta_, Rm_, Io_, Rth_;
    double R_;
    DrivePass pass_;
    double Pshaft_ = 0, T_;
    int passes_;
};

// solvePass(R) gives std::optional<DrivePass>, empty when the load has no solution; then the whole
// solve is empty as well.
template <class SolvePass>
std::optional<DriveTotals> SolveWithHeating(bool heating, double Ta, double K, double Wm, double Rm, double Io,
                                            int Pm, int Sm, double gearboxEfficiency, SolvePass solvePass) {
    HeatingLoop loop(heating, Ta, K, Wm, Rm, Io);
    for (;;) {
        const std::optional<DrivePass> solved = solvePass(loop.Resistance());
        if (!solved) return std::nullopt;
        if (loop.Take(*solved)) break;
    }
    return loop.Totals(Pm, Sm, gearboxEfficiency);
}

// A drive solve's answer (the propeller's or the fan's solution record) from its totals: Failed when
// there are none.
template <class Solution>
Solution SolutionFromTotals(const std::optional<DriveTotals>& totals) {
    Solution solution;
    if (!totals) {
        solution.Failed = true;
        return solution;
    }
    solution.MotorTemperature = totals->MotorTemperature;
    solution.OutputPower = totals->OutputPower;
    solution.MotorVoltage = totals->MotorVoltage;
    solution.MotorCurrent = totals->MotorCurrent;
    solution.Rpm = totals->Rpm;
    return solution;
}

} // namespace ampvane::model_detail
