// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "project/workbench_fields.h"
#include "common/messages.h"
#include "common/numeric_text.h"

// Motor constants from two measured operating points: terminal voltage, current and shaft speed at
// each. The motor relation N = Kv·(V − I·Rm) through both points gives Kv and Rm; the no-load
// current is the first point's current (free running) or follows from the maximum-efficiency
// relation Imaxeff² = Io·V/Rm (best efficiency).

namespace ampvane {

inline constexpr int kTestDataHelpTopic = 214;
inline constexpr std::string_view kPoorDataText = "Warning! Data Points Too Close";
inline constexpr std::string_view kBadDataText = "Error! Inconsistent Input Data";

struct MotorConstants {
    double Kv = 0; // rpm/V
    double Io = 0; // A
    double Rm = 0; // ohm
};

struct TestDataInput {
    std::string freeRunningVoltage, freeRunningCurrent, freeRunningRpm; // point 1
    std::string underLoadVoltage, underLoadCurrent, underLoadRpm;       // point 2
    bool bestEfficiency = false; // point 1 is the best-efficiency point, not the free-running one
};

struct TestDataGroupCaptions {
    std::string point1; // "Free Running:" or "Best Efficiency:"
    std::string point2; // "Under Load:" or "Other:"
};
TestDataGroupCaptions TestDataCaptions(bool bestEfficiency);

struct TestDataResult {
    std::optional<MotorConstants> constants; // unrounded; set exactly when the texts are
    std::string motorConstant, idleCurrent, armatureResistance;
    bool poorData = false; // "Warning! Data Points Too Close"
    bool badData = false;  // "Error! Inconsistent Input Data"
    bool ApplyEnabled() const { return !motorConstant.empty() && !idleCurrent.empty() && !armatureResistance.empty(); }
};

// The recomputation on every keystroke. Range and number messages go to the sink.
TestDataResult ComputeMotorFromTests(const TestDataInput& input, const NumberLocale& locale, MessageSink& messages);

// Apply: each non-empty result text goes unchanged into the workbench field of the same name.
void ApplyMotorConstants(const std::string& motorConstant, const std::string& idleCurrent,
                         const std::string& armatureResistance, WorkbenchFields& fields);

} // namespace ampvane
