// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/air.h"

#include <cmath>

namespace ampvane {

namespace {
constexpr double kLapseFactor = 6.87559302e-6; // per ft of density altitude
constexpr double kDensityExponent = 4.255876;
constexpr double kZeroCelsiusInKelvin = 273;
} // namespace

double AirDensityRatio(double elevation, double pressure, double temperature) {
    // Height that the reported pressure adds to the field: close to 0 at 29.92 inHg, growing as the
    // pressure falls.
    const double pressureOffset = pressure * (12.563 * pressure - 1678.5) + 38974;
    const double densityAltitude = pressureOffset + elevation;
    const double base = 1 - kLapseFactor * densityAltitude;
    const double absolute = temperature + kZeroCelsiusInKelvin;
    if (!(base > 0) || !(absolute > 0)) return 0;
    const double sigma = std::exp(kDensityExponent * std::log(base)) * kZeroCelsiusInKelvin / absolute;
    return std::isfinite(sigma) ? sigma : 0;
}

} // namespace ampvane
