// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/flight.h"

#include "model/air.h"
#include "model/model_numbers.h"
#include "model/propeller.h"

#include <cmath>
#include <vector>
#include <numbers>

namespace ampvane {

using model_detail::FiniteOr;

double DragForce(double sigma, double V, double S, double Cd) {
    return FiniteOr(kAirForceConstant * sigma * V * V * S * Cd, 0);
}

double LiftForce(double sigma, double V, double S, double Cl) {
    return FiniteOr(kAirForceConstant * sigma * V * V * S * Cl, 0);
}

double LevelFlightSpeed(double sigma, double Cl, double S, double W) {
    const double denominator = sigma * kAirForceConstant * S * Cl;
    if (!(denominator > 0)) return 0;
    const double square = W / denominator;
    if (!(square >= 0)) return 0;
    return FiniteOr(std::sqrt(square), 0);
}

double ArcSin(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 1) return std::numbers::pi / 2;
    if (x <= -1) return -std::numbers::pi / 2;
    return std::atan(x / std::sqrt(1 - x * x));
}

namespace {

// The thrust SolveClimb flies with at airspeed Va, from the drive's solution there.
double ClimbThrust(const PropDriveProblem& drive, const PropDriveSolution& solution) {
    if (solution.Failed) return 0.0;
    return PropThrust(drive.Tc, drive.Kp, solution.OutputPower, drive.Va, drive.sigma, solution.Rpm, drive.P, drive.D)
        .Thrust;
}

} // namespace

ClimbResult SolveClimb(int Sc, int Pc, int Ne, bool heating, double Ta, double K, double sigma, double Tc,
                       double Kp, int Nbl, int Np, int Pm, int Sm, double P, double D,
                       double gearboxEfficiency, double G, double Re, double Rc, double V, double Wm,
                       double Rm, double Io, double Kv, double S, double W, double Cl, double LiftToDrag) {
    return model_detail::ClimbWith(sigma, S, W, Cl, LiftToDrag, [&](double airspeed) {
        if (!(V > 0)) return 0.0;
        const PropDriveProblem drive{Sc, Pc, Ne, heating, Ta, K, sigma, Tc, Kp, Nbl, Np, Pm, Sm, airspeed, P, D,
                                     gearboxEfficiency, G, Re, Rc, V, Wm, Rm, Io, Kv};
        return ClimbThrust(drive, SolvePropDrive(drive));
    });
}

void SolveClimbs(std::span<const ClimbProblem> problems, std::span<ClimbResult> results) {
    // The drives that need solving, each at its climb's airspeed. The room is kept by the thread from
    // call to call: a report asks this of every few hundred rows, and freeing it each time would have
    // the allocator hand the pages back to the system and fault them in again.
    thread_local std::vector<PropDriveProblem> drives;
    thread_local std::vector<std::size_t> owners;
    thread_local std::vector<double> airspeeds;
    thread_local std::vector<PropDriveSolution> solutions;
    drives.clear();
    owners.clear();
    airspeeds.assign(problems.size(), 0.0);
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const ClimbProblem& p = problems[i];
        airspeeds[i] = model_detail::ClimbAirspeed(p.Drive.sigma, p.S, p.W, p.Cl, p.LiftToDrag);
        if (!(airspeeds[i] > 0) || !(p.Drive.V > 0)) continue;
        drives.push_back(p.Drive);
        drives.back().Va = airspeeds[i];
        owners.push_back(i);
    }
    solutions.assign(drives.size(), PropDriveSolution{});
    SolvePropDrives(drives, solutions);

    std::size_t solved = 0;
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const ClimbProblem& p = problems[i];
        if (!(airspeeds[i] > 0)) {
            results[i] = ClimbResult{};
            continue;
        }
        double thrust = 0;
        if (solved < owners.size() && owners[solved] == i) {
            thrust = ClimbThrust(drives[solved], solutions[solved]);
            ++solved;
        }
        results[i] = model_detail::ClimbAtThrust(airspeeds[i], p.W, p.LiftToDrag, thrust);
    }
}

ClimbResult GlideSinkRate(double sigma, double S, double W, double Cl, double LiftToDrag) {
    return model_detail::ClimbWith(sigma, S, W, Cl, LiftToDrag, [](double) { return 0.0; });
}

} // namespace ampvane
