// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/plane_desc.h"

namespace ampvane {

// A plane as gathered from the workbench: its numbers as typed, in the display units of the options
// it was gathered with (g, cm, dm², m/s or N where they choose them). The model and the sweeps take
// a PlaneDesc in internal units, which only ConvertToInternalUnits makes of this, so a plane in
// display units cannot reach them by mistake.
struct DisplayPlane {
    PlaneDesc asTyped;
};

// The plane in the model's internal units (oz, in, sq.in, mph). The aspect ratio and airfoil
// coefficients derived at gathering stay as they were, and the airframe no longer counts as metric.
PlaneDesc ConvertToInternalUnits(const DisplayPlane& plane, const AnalysisOptions& options);

} // namespace ampvane
