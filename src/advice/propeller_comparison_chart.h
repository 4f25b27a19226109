// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "analysis/measured_drive.h"
#include "picture/chart_picture.h"

// The measured propeller against the two-constant model as a chart: thrust (oz, left axis, red) and
// power (W, right axis, blue) against airspeed (mph), the measured curves solid and the two-constant
// model's dashed, named with `constants` (the two constants as the user reads them, such as "fitted
// constants 1.24, 1.205"). A model's line ends where its column of the comparison ends.

namespace ampvane {

Chart PropellerComparisonChart(const std::vector<ModelComparisonRow>& rows, std::string title,
                              const std::string& constants);

} // namespace ampvane
