// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/unit_conversion.h"
#include "model/flight.h"

#include <cmath>

namespace ampvane::model_detail {

inline constexpr int kClimbPasses = 51;
inline constexpr double kClimbTolerance = 1e-4; // mph

// The level-flight speed the climb is solved at; 0 when there is no climb to solve (no such speed,
// no weight or no lift-to-drag ratio).
inline double ClimbAirspeed(double sigma, double S, double W, double Cl, double LiftToDrag) {
    const double V = LevelFlightSpeed(sigma, Cl, S, W);
    if (!(V > 0) || !(W > 0) || !(LiftToDrag > 0)) return 0;
    return V;
}

// The climb iteration at airspeed V (from ClimbAirspeed) with the thrust the drive gives there.
inline ClimbResult ClimbAtThrust(double V, double W, double LiftToDrag, double thrust) {
    ClimbResult result;
    if (!std::isfinite(thrust)) return result;
    double gamma = 0, climb = 0;
    for (int pass = 0; pass < kClimbPasses; ++pass) {
        const double previous = climb;
        const double drag = std::cos(gamma) * W / LiftToDrag;
        climb = (thrust - drag) * V / W;
        gamma = ArcSin(climb / V);
        if (std::fabs(climb - previous) < kClimbTolerance) break;
    }
    if (!std::isfinite(climb)) return result;
    result.RateOfClimb = climb * kFeetPerMinutePerMph;
    result.ClimbAngle = gamma * kDegreesPerRadian;
    result.Valid = true;
    return result;
}

template <class ThrustAt>
ClimbResult ClimbWith(double sigma, double S, double W, double Cl, double LiftToDrag, ThrustAt thrustAt) {
    const double V = ClimbAirspeed(sigma, S, W, Cl, LiftToDrag);
    if (!(V > 0)) return ClimbResult{};
    return ClimbAtThrust(V, W, LiftToDrag, thrustAt(V));
}

} // namespace ampvane::model_detail
