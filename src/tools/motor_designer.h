// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "project/workbench_fields.h"
#include "common/messages.h"
#include "common/numeric_text.h"
#include "data/dbf_table.h"
#include "workbench/workbench_rules.h"

// The rewound motor: from a baseline motor and its winding (turns per pole, wire gauge), the
// constants of the same motor with a new number of turns, and the wire gauge that fills the winding
// as the baseline's does. Empirical exponents: Kv ∝ r^−1.126, Io ∝ r^−1.379 with r the turns ratio.

namespace ampvane {

inline constexpr int kMotorDesignerHelpTopic = 216;
inline constexpr std::string_view kHighTurnsRatioText = "Warning! High Turns Ratio";
inline constexpr std::string_view kWireGaugeCaption = "Wire Gauge:";

struct MotorDesignInput {
    std::string baselineName, motorConstant, idleCurrent, armatureResistance, motorWeight;
    std::string windings, wireGauge;
    std::string newWindings, newWireGauge;
    std::string newName;
};

struct MotorDesignResult {
    std::string newMotorConstant, newIdleCurrent, newArmatureResistance, newMotorWeight;
    std::string gaugeLabel{"Wire Ga&uge:"};
    bool warning = false; // "Warning! High Turns Ratio"
    // Unrounded results, when shown.
    std::optional<double> Kv, Io, Rm, suggestedGauge;
    bool ApplyEnabled() const {
        return !newMotorConstant.empty() && !newIdleCurrent.empty() && !newArmatureResistance.empty();
    }
};

// The recomputation. When either turns field is empty or fails its check the results keep the
// previous texts (the warning is hidden); the weight is always copied.
MotorDesignResult ComputeMotorDesign(const MotorDesignInput& input, const MotorDesignResult& previous,
                                     const NumberLocale& locale, MessageSink& messages);

// The label of the suggested gauge: "Gauge (0000):" .. "Gauge (0):" for gauges below zero, else
// "Gauge (" + one decimal + "):".
std::string GaugeLabel(double gauge, const NumberLocale& locale);

// The winding a motor's name states: turns per pole as a word like "12T" or "7t", the wire gauge
// as "#9" or "#22" at a word end; empty where the name states none.
struct MotorWindingTexts {
    std::string turns, gauge;
};
MotorWindingTexts WindingsFromMotorName(std::string_view name);

// A motor chosen from the table as the baseline: name, constants and weight as the workbench would
// show them (weight in its unit, a stored 0 empty), turns and gauge from the name. The new-motor
// fields are left alone.
void LoadBaselineMotor(MotorDesignInput& input, const DbfTable& motors, const WorkbenchUnits& units,
                       const NumberLocale& locale, MessageSink& messages);

// Apply: the new motor's name, constants and weight into the workbench's motor fields.
void ApplyMotorDesign(const MotorDesignInput& input, const MotorDesignResult& result, WorkbenchFields& fields);

} // namespace ampvane
