// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "common/numeric_text.h"
#include "analysis/plane_desc.h"

// The filter restrictions of a static sweep: the limits of the plane's FilterDesc plus the speed
// control's maximum current and the cells' C rating, all switched by PlaneDesc::UseFilter.
// Internal units throughout.

namespace ampvane {

// True when the combination keeps its row. The motor temperature is accepted and not tested; a fan
// passes a diameter and pitch of 0. The motor current is that of all motors together.
bool PassesFilter(const PlaneDesc& plane, int parallelCells, double diameter, double pitch, int runTime,
                  double pitchSpeedMargin, double thrust, double motorRpm, double motorGearboxEfficiency,
                  double motorTemperature, double loss, double motorCurrent);

// The "Filter: ..." description line; empty when the filter is off.
std::string DescribeFilter(const PlaneDesc& plane, const AnalysisOptions& options,
                           const NumberLocale& locale = {});

} // namespace ampvane
