#pragma once

#include "model/flight.h"

#include <cmath>

namespace ampvane::model_detail {

inline constexpr int kClimbPasses = 51;
inline constexpr double kClimbTolerance = 1e-4; // mph
inline constexpr double kFeetPerMinutePerMph = 88;
inline constexpr double kDegreesPerRadian = 57.29577951;

template <class ThrustAt>
ClimbResult ClimbWith(double sigma, double S, double W, double Cl, double LiftToDrag, ThrustAt thrustAt) {
    ClimbResult result;
    const double V = LevelFlightSpeed(sigma, Cl, S, W);
    if (!(V > 0) || !(W > 0) || !(LiftToDrag > 0)) return result;
    const double thrust = thrustAt(V);
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

} // namespace ampvane::model_detail
