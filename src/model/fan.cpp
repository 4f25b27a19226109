// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/fan.h"

#include "common/unit_conversion.h"
#include "model/drive_heating.h"
#include "model/electric_chain.h"
#include "model/model_numbers.h"

#include <cmath>
#include <limits>

namespace ampvane {

using model_detail::FiniteOr;

namespace {

constexpr double kFanPowerConstant = 4.96439988e-14;
constexpr double kFanThrustConstant = 4.22404026e-10;
constexpr double kDuctLoss = 0.01308523955; // per fan diameter of duct length
constexpr double kStartRpm = 0.5;
constexpr int kDoublings = 64;
constexpr int kFalsePositionRounds = 200;
constexpr double kRpmTolerance = 0.01;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The two powers with NaN wherever a formula has no value, so the solver can tell a fault from a
// small number.
double MotorPowerOrNaN(int Ne, int Sm, int Pm, double Re, double Rc, double V, int Pc, int Sc, double Rm,
                       double Io, double Kv, double N) {
    if (Pc == 0 || Ne == 0 || Kv == 0) return kNaN;
    // The speed controls carry the current of all Pm branches, as in MotorCurrentInCircuit.
    const double resistance = Sm * Rm + Pm * Rc * Sc / Pc + Pm * Re / Ne;
    if (resistance == 0) return kNaN;
    const double backEmf = N / Kv;
    const double net = V * Sc - Io * Rm * Sm - Pm * Io * Rc * Sc / Pc - Pm * Io * Re / Ne - backEmf * Sm;
    const double power = net * backEmf / resistance;
    return std::isfinite(power) ? power : kNaN;
}

double FanPowerOrNaN(double sigma, double Cp, double Va, double Pf, double Dh, double Df, double N) {
    const double Vp = Pf * N * kMphPerInchPerMinute;
    if (Vp == 0) return kNaN;
    const double swept = N * Pf;
    const double power = kFanPowerConstant * (swept * swept * swept) * (Df * Df - Dh * Dh) * sigma * Cp *
                         (Vp * Vp - Va * Va) / (Vp * Vp);
    return std::isfinite(power) ? power : kNaN;
}

} // namespace

double FanMotorPower(int Ne, int Sm, int Pm, double Re, double Rc, double V, int Pc, int Sc, double Rm,
                     double Io, double Kv, double N) {
    return FiniteOr(MotorPowerOrNaN(Ne, Sm, Pm, Re, Rc, V, Pc, Sc, Rm, Io, Kv, N), 0);
}

double FanAbsorbedPower(double sigma, double Cp, double Va, double Pf, double Dh, double Df, double N) {
    return FiniteOr(FanPowerOrNaN(sigma, Cp, Va, Pf, Dh, Df, N), 0);
}

FanRpmSolution SolveFanRpm(int Ne, int Sm, int Pm, double Re, double Rc, double V, int Pc, int Sc, double Rm,
                           double Io, double Kv, double sigma, double Cp, double Va, double Pf, double Dh,
                           double Df) {
    const FanRpmSolution failed{0, true};
    // Motor power minus fan power; NaN on a fault.
    const auto surplus = [&](double N) {
        return MotorPowerOrNaN(Ne, Sm, Pm, Re, Rc, V, Pc, Sc, Rm, Io, Kv, N) -
               FanPowerOrNaN(sigma, Cp, Va, Pf, Dh, Df, N);
    };

    double lowN = kStartRpm;
    double lowSurplus = surplus(lowN);
    if (!std::isfinite(lowSurplus)) return failed;
    double highN = 0, highSurplus = 0;
    bool bracketed = false;
    double N = kStartRpm;
    for (int doubling = 0; doubling < kDoublings; ++doubling) {
        N *= 2;
        const double d = surplus(N);
        if (!std::isfinite(d)) return failed;
        if (d >= 0) {
            lowN = N;
            lowSurplus = d;
        } else {
            highN = N;
            highSurplus = d;
            bracketed = true;
            break;
        }
    }
    if (!bracketed) return failed;

    double previousEstimate = highN;
    bool converged = false;
    for (int round = 0; round < kFalsePositionRounds; ++round) {
        const double denominator = lowSurplus - highSurplus;
        if (denominator == 0) return failed;
        const double estimate = lowN + (highN - lowN) * lowSurplus / denominator;
        const double d = surplus(estimate);
        if (!std::isfinite(estimate) || !std::isfinite(d)) return failed;
        if (d > 0) {
            lowN = estimate;
            lowSurplus = d;
        } else {
            highN = estimate;
            highSurplus = d;
        }
        N = estimate;
        if (std::fabs(estimate - previousEstimate) < kRpmTolerance) {
            converged = true;
            break;
        }
        previousEstimate = estimate;
    }
    if (!converged) return failed;

    // Driven by the air faster than its own pitch speed, the fan is no drive.
    const double margin = Pf - Va / (N * kMphPerInchPerMinute);
    if (!std::isfinite(margin) || margin < 0) return failed;
    return FanRpmSolution{N, false};
}

double FanMotorCurrent(int Sc, int Pc, int Ne, int Pm, int Sm, double N, double Re, double Rc, double V,
                       double R, double Kv) {
    return MotorCurrentInCircuit(Sc, Pc, Ne, Pm, Sm, 1, N, Re, Rc, V, R, Kv, 1);
}

double FanMotorVoltage(int Sc, int Pc, int Ne, int Pm, int Sm, double N, double Re, double Rc, double V,
                       double R, double Kv) {
    return MotorVoltageInCircuit(Sc, Pc, Ne, Pm, Sm, 1, N, Re, Rc, V, R, Kv, 1);
}

FanDriveSolution SolveFanDrive(int Sc, int Pc, int Ne, bool heating, double Ta, double K, double sigma,
                               double Cp, int Pm, int Sm, double Va, double Pf, double Dh, double Df,
                               double Re, double Rc, double V, double Wm, double Rm, double Io, double Kv) {
    const auto totals = model_detail::SolveWithHeating(
        heating, Ta, K, Wm, Rm, Io, Pm, Sm, 1, [&](double R) -> std::optional<model_detail::DrivePass> {
            const FanRpmSolution rpm =
                SolveFanRpm(Ne, Sm, Pm, Re, Rc, V, Pc, Sc, R, Io, Kv, sigma, Cp, Va, Pf, Dh, Df);
            if (rpm.Failed) return std::nullopt;
            return model_detail::DrivePass{rpm.Rpm, FanMotorCurrent(Sc, Pc, Ne, Pm, Sm, rpm.Rpm, Re, Rc, V, R, Kv),
                                           FanMotorVoltage(Sc, Pc, Ne, Pm, Sm, rpm.Rpm, Re, Rc, V, R, Kv)};
        });
    return model_detail::SolutionFromTotals<FanDriveSolution>(totals);
}

FanThrustResult FanThrust(double Ct, double Va, double sigma, double N, int Pm, int Sm, double Pf, double Li,
                          double /*Di*/, double Le, double De, double Df) {
    const double ductFactor = std::exp(-kDuctLoss * Le / Df) * std::exp(-kDuctLoss * Li / Df);
    const double margin = Pf - Va / (kMphPerInchPerMinute * N);
    const double swept = N * De;
    FanThrustResult result;
    result.Thrust =
        FiniteOr(swept * swept * kFanThrustConstant * Pf * margin * ductFactor * Ct * sigma * Sm * Pm, 0);
    result.Efficiency = FiniteOr(Ct, 0);
    return result;
}

double FanEfflux(double Va, double N, double Pf, double De, double Dh, double Df) {
    if (De == 0) return 0;
    return FiniteOr((Df * Df - Dh * Dh) * (Pf * N * kMphPerInchPerMinute - Va) / (De * De), 0);
}

ClimbResult SolveFanClimb(int Sc, int Pc, int Ne, bool heating, double Ta, double K, double sigma, double Cp,
                          int Pm, int Sm, double Pf, double Dh, double Df, double Re, double Rc, double V,
                          double Wm, double Rm, double Io, double Kv, double Ct, double Li, double Di,
                          double Le, double De, double S, double W, double Cl, double LiftToDrag) {
    return model_detail::ClimbWith(sigma, S, W, Cl, LiftToDrag, [&](double airspeed) {
        if (!(V > 0)) return 0.0;
        const FanDriveSolution drive = SolveFanDrive(Sc, Pc, Ne, heating, Ta, K, sigma, Cp, Pm, Sm, airspeed,
                                                     Pf, Dh, Df, Re, Rc, V, Wm, Rm, Io, Kv);
        if (drive.Failed) return 0.0;
        return FanThrust(Ct, airspeed, sigma, drive.Rpm, Pm, Sm, Pf, Li, Di, Le, De, Df).Thrust;
    });
}

} // namespace ampvane
