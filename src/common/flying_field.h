// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The flying field as the options and the project text hold it: the standard day, the units the
// field's values are typed in, and the ranges accepted for each. Elevation in ft, pressure in inHg,
// temperature in °C unless a name says otherwise.

namespace ampvane {

// Temperature (°C) of a standard day at this elevation (ft).
double StandardDayTemperature(double elevation);

// Room temperature offered by the options dialog.
inline constexpr double kRoomTemperatureCelsius = 20;
inline constexpr double kRoomTemperatureFahrenheit = 68;

// Inclusive range of one flying-field value in one display unit.
struct FlyingFieldRange {
    double Minimum = 0;
    double Maximum = 0;
    bool Contains(double value) const { return value >= Minimum && value <= Maximum; }
};

// Ranges a flying-field setter accepts, in the display unit the options select: metres or feet by
// the metric flag; kPa or inHg and °C or °F by the metric temperature and pressure flag.
FlyingFieldRange ElevationRange(bool metric);
FlyingFieldRange PressureRange(bool metricTempPress);
FlyingFieldRange TemperatureRange(bool metricTempPress);

} // namespace ampvane
