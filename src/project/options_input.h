// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace ampvane {

// What gathering reads from the options dialog: the unit choice, the switches and the flying-field
// texts as shown (in the units of the measurement mode).
struct AnalysisOptionsInput {
    int measurementMode = 0; // 0 all imperial, 1 metric temperature and pressure, 2 metric, 3 all metric
    bool newtons = false;
    bool printColours = false;
    bool accountForHeating = true;
    bool extraPrecision = false; // at least 3 digits in report columns
    std::string elevation;       // m or ft; empty: 0
    std::string pressure;        // kPa or inHg; empty: the standard day
    std::string temperature;     // °C or °F; empty: the standard day at the elevation
    std::string gearboxEfficiency; // %; the default of an empty gearbox efficiency field (95 when empty)
};

} // namespace ampvane
