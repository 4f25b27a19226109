// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

#include "common/numeric_text.h"
#include "analysis/plane_desc.h"
#include "analysis/report_builder.h"
#include "analysis/report_grid.h"

// What the opinion rules read from one in-flight report: the one configuration, the option snapshot,
// the report's flags and results, and the header texts. Everything is in the model's internal units
// (oz, in, sq.in, mph, A, V, °C); the rules convert for display themselves.

namespace ampvane {

struct OpinionInput {
    PlaneDesc Plane; // the "From" values are the configuration's own
    AnalysisOptions Options;
    NumberLocale Locale;

    bool HasWing = false;
    bool HasDrag = false;
    bool HasWeight = false;
    bool HasStall = false;

    double StallSpeed = 0;    // mph
    double MaxLevelSpeed = 0; // mph
    double TotalWeight = 0;   // oz

    // 0: zero airspeed (full-throttle values static, RowPitchSpeed the static pitch speed or efflux);
    // 1: best lift-to-drag; 2: hands-off. Currents and voltages are totals of the drive.
    std::array<LevelFlightMarker, 3> Markers;

    std::string ConditionLine;
    std::array<std::string, 8> Description; // as shown, single ampersands
};

inline constexpr int kZeroAirspeedMarker = 0;
inline constexpr int kBestLiftToDragMarker = 1;
inline constexpr int kHandsOffMarker = 2;

// What an in-flight report holds for the opinion. A static report has no level-flight points: its
// opinion is asked of the in-flight report of the chosen row.
OpinionInput OpinionInputFromReport(const Report& inFlightReport);

} // namespace ampvane
