// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "project/workbench_fields.h"
#include "common/messages.h"
#include "common/numeric_text.h"

// Generic components the search proposes when no table record fits: propeller drives named after
// their size and gearing, and two generic speed controls. The workbench fills its fields from such
// a name when its table holds no record of that name.

namespace ampvane {

// The four name forms: inches or centimetres, with or without a gearbox. Groups: 1 diameter,
// 2 pitch, 3 unit, 4 gear ratio (the gearbox forms only).
inline constexpr std::array<std::string_view, 4> kGenericDrivePatterns = {
    R"(^Generic \([0-9.,]+\)x\([0-9.,]+\)\(in\) Prop$)",
    R"(^Generic \([0-9.,]+\)x\([0-9.,]+\)\(cm\) Prop$)",
    R"(^Generic \([0-9.,]+\)x\([0-9.,]+\)\(in\) Prop w/\([0-9.]+\):1 Gearbox$)",
    R"(^Generic \([0-9.,]+\)x\([0-9.,]+\)\(cm\) Prop w/\([0-9.]+\):1 Gearbox$)",
};

struct GenericDrive {
    std::string diameter;
    std::string pitch;
    std::string unit;      // "in" or "cm"
    std::string gearRatio; // empty without a gearbox
};
std::optional<GenericDrive> ParseGenericDriveName(std::string_view name);
bool IsGenericDriveName(std::string_view name);

// "Generic " + diameter + "x" + pitch + unit + " Prop", with " w/" + ratio + ":1 Gearbox" for a
// gear ratio of 1.01 or more; numbers with up to one decimal, trailing zeros removed. The values
// are in inches and are shown in centimetres when `metricPropSizes`. The sizes use the locale's
// separator; the gear ratio always "." (the name form allows no comma there).
std::string GenericDriveName(double diameterInches, double pitchInches, double gearRatio, bool metricPropSizes,
                             const NumberLocale& locale = {});

inline constexpr double kGenericPropConstant = 1.31;
inline constexpr double kGenericThrustConstant = 0.95;

// Selects the propeller page and fills the first gear ratio, diameter and pitch fields, the
// drive name and the two constants from a generic name; converts the sizes when the name's unit
// differs from the workbench's. False, changing nothing, for a name that is not generic. The
// caller lets the workbench recompute its drive afterwards.
bool ApplyGenericDrive(WorkbenchFields& fields, std::string_view name, bool metricPropSizes,
                       const NumberLocale& locale, MessageSink& messages);

struct GenericSpeedControl {
    std::string_view name;
    double resistance; // ohms
    std::string_view weightText;
    bool highRate;
    bool brushless;
};
inline constexpr GenericSpeedControl kGenericBrushlessEsc{"Generic Brushless ESC", 0.006, "1.5", true, true};
inline constexpr GenericSpeedControl kGenericHighRateEsc{"Generic High Rate ESC", 0.003, "0.7", true, false};
const GenericSpeedControl* FindGenericSpeedControl(std::string_view name);

// Fills the speed-control name, resistance, weight and the two boxes for either generic name.
// False, changing nothing, for any other name.
bool ApplyGenericSpeedControl(WorkbenchFields& fields, std::string_view name, const NumberLocale& locale);

} // namespace ampvane
