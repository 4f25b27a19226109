// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/opinion_input.h"

namespace ampvane {

OpinionInput OpinionInputFromReport(const Report& report) {
    OpinionInput in;
    in.Plane = report.Plane;
    in.Options = report.Options;
    in.Locale = report.Settings.Locale;
    in.HasWing = report.Flags.HasWing;
    in.HasDrag = report.Flags.HasDrag;
    in.HasWeight = report.Flags.HasWeight;
    in.HasStall = report.Flags.HasStall;
    const ReportGrid& grid = report.Grid;
    in.StallSpeed = grid.StallSpeed;
    in.MaxLevelSpeed = grid.MaxLevelSpeed;
    // The in-flight report is of one cell count, so its heavier weight is its only one.
    in.TotalWeight = grid.MaxTotalWeight;
    in.Markers = grid.Markers;
    in.ConditionLine = grid.ConditionLine;
    in.Description = grid.Description;
    return in;
}

} // namespace ampvane
