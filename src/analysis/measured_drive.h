// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/plane_desc.h"
#include "analysis/propeller_store.h"

// A propeller drive that names a measured propeller: the propeller taken from the Propellers folder
// into the drive, its size used for the diameter and pitch, and the words the report uses for it.

namespace ampvane {

// Takes the named propeller from the store into the drive; an empty name takes none. Returns the
// message when the name is not stored or its file is damaged (the drive is then unchanged).
std::string AttachMeasuredPropeller(DriveSystemDesc& drive, const PropellerStore& store, std::string_view name);

// With a measured propeller, its diameter, pitch and blade count replace the drive's ranges (one
// value each; internal units).
void UseMeasuredPropellerSize(DriveSystemDesc& drive);

// " (measured propeller NAME)" for the report caption, empty without a measured propeller.
std::string MeasuredPropellerCaption(const DriveSystemDesc& drive);

// What the drive's description says in place of the two constants.
std::string MeasuredPropellerNote(const DriveSystemDesc& drive);

} // namespace ampvane

namespace ampvane {

struct AnalysisOptions;

// Thrust and power against airspeed for one combination of a plane (internal units), with the measured
// propeller of its drive and with the two-constant model of the same size (constants as the drive
// stores them: the power constant divided by 1.31). Each model's column ends where it can no longer
// turn the propeller forward; the rows end where both have ended.
struct ModelComparisonRow {
    double Airspeed = 0;                                    // mph
    std::optional<double> MeasuredThrust, MeasuredPower;    // oz, W delivered to the propellers
    std::optional<double> ConstantsThrust, ConstantsPower;  // oz, W
};
std::vector<ModelComparisonRow> CompareWithTwoConstants(const PlaneDesc& plane, const AnalysisOptions& options,
                                                        double throttle, double Kp, double Tc);

} // namespace ampvane
