// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/flying_field.h"

// Flying conditions: the air density ratio σ that scales every propeller, fan, lift and drag force.
// Elevation in ft, pressure in inHg, temperature in °C unless a name says otherwise.

namespace ampvane {

// Force (oz) = kAirForceConstant × σ × V² (mph) × S (sq.in) × coefficient.
inline constexpr double kAirForceConstant = 0.000278412926;

// Density of the air relative to dry air at 0 °C on a standard sea-level day (a standard day at sea
// level and 15 °C gives about 0.948). 0 where the conditions have no density: a density altitude at
// or beyond about 145,442 ft, or a temperature at or below absolute zero; callers treat that as a
// failure.
double AirDensityRatio(double elevation, double pressure, double temperature);

} // namespace ampvane
