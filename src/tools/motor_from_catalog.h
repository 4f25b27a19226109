// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "common/messages.h"
#include "common/numeric_text.h"
#include "tools/motor_from_tests.h"

// Motor constants from catalogue figures: nominal voltage, free-running speed and two of the three
// currents (maximum efficiency Ie, stall Is, no-load Io), tied by Ie² = Is·Io so that the third is
// filled in.

namespace ampvane {

inline constexpr int kCatalogDataHelpTopic = 215;
inline constexpr std::string_view kCatalogNote =
    "Enter any two of the three current values, and Ampvane will automatically compute the third one.";

// Which of the three currents the window filled in (read-only), if any.
enum class CatalogCurrent { None, MaxEfficiency, Stall, Idle };

struct CatalogDataInput {
    std::string nominalVoltage, freeRunningRpm;
    std::string maxEfficiencyCurrent, stallCurrent, idleCurrent;
    CatalogCurrent computed = CatalogCurrent::None;
};

// A current field changed (sender): fills in the third current or releases the computed one.
void CompleteCatalogCurrents(CatalogDataInput& input, CatalogCurrent sender, const NumberLocale& locale,
                             MessageSink& messages);

struct CatalogDataResult {
    std::optional<MotorConstants> constants; // unrounded, when all three are known
    std::string motorConstant, armatureResistance;
    // The no-load current is at least half the stall current: no motor fits these figures (the
    // free-running speed would need a voltage below zero).
    bool inconsistent = false;
};

CatalogDataResult ComputeMotorFromCatalog(const CatalogDataInput& input, const NumberLocale& locale,
                                          MessageSink& messages);

// Apply and OK need the constant, the resistance and a no-load current.
bool CatalogApplyEnabled(const CatalogDataInput& input, const CatalogDataResult& result);

} // namespace ampvane
