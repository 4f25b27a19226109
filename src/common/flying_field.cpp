// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/flying_field.h"

namespace ampvane {

double StandardDayTemperature(double elevation) {
    return 15 - 0.00198 * elevation;
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
