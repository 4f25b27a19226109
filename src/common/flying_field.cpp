// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/flying_field.h"

namespace ampvane {

double StandardDayTemperature(double elevation) {
    return 15 - 0.00198 * elevation;
}

double FeetFromMetres(double metres) {
    return metres * 3.28084;
}

double InchesHgFromKilopascals(double kilopascals) {
    return kilopascals * kStandardPressureInchesHg / kStandardPressureKilopascals;
}

double CelsiusFromFahrenheit(double fahrenheit) {
    return fahrenheit * 0.55556 - 17.77778;
}

double FahrenheitFromCelsius(double celsius) {
    return celsius * 1.8 + 32;
}

double MetresFromFeet(double feet) {
    return feet * 0.3048;
}

double KilopascalsFromInchesHg(double inchesHg) {
    return inchesHg * kStandardPressureKilopascals / kStandardPressureInchesHg;
}

FlyingFieldRange ElevationRange(bool metric) {
    return metric ? FlyingFieldRange{-304.1, 10972.1} : FlyingFieldRange{-1000.1, 36000.1};
}

FlyingFieldRange PressureRange(bool metricTempPress) {
    return metricTempPress ? FlyingFieldRange{94.79, 108.31} : FlyingFieldRange{27.9, 32.1};
}

FlyingFieldRange TemperatureRange(bool metricTempPress) {
    return metricTempPress ? FlyingFieldRange{-50.1, 50.1} : FlyingFieldRange{-58.1, 122.1};
}

} // namespace ampvane
