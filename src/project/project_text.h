// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"
#include "common/numeric_text.h"
#include "project/options_input.h"
#include "project/workbench_fields.h"

// The project text: the plain-text form of a whole workbench (every field in the fixed control
// order) with the flying conditions and units it was typed in, as Copy Project and Paste Project
// exchange it through the clipboard and as ampvane-cli reads it from a file.

namespace ampvane {

inline constexpr std::string_view kProjectTextBegin = "Begin Ampvane Project";
inline constexpr std::string_view kProjectTextEnd = "End Ampvane Project";
// The line that names a measured propeller for the drive (written only when there is one).
inline constexpr std::string_view kMeasuredPropellerKey = "MeasuredPropeller";

// The block for these fields and options; numbers use the locale's decimal separator.
std::string WriteProjectText(const WorkbenchFields& fields, const AnalysisOptionsInput& options,
                             const NumberLocale& locale = {});

// Reads the first block of the text into the fields and options (which the caller has reset, as
// New Project does). Values are taken as written, in the units of the block's last valid
// "MetricMode=" line wherever it stands, which is left in `options`; a mode line that is not 0 to 3
// is reported and changes nothing. Unknown keys are ignored; a count that is no number reads as 0
// after a warning; flying conditions outside their range in the final mode leave the old value.
// Returns false, changing nothing, when the text holds no "Begin Ampvane Project" line followed by
// another line.
// `refused`, when given, receives those flying conditions.
struct RefusedFlyingCondition {
    std::string key;  // "Elevation", "Pressure" or "Temperature"
    std::string text; // as written
};
bool ReadProjectText(std::string_view text, WorkbenchFields& fields, AnalysisOptionsInput& options,
                     const NumberLocale& locale, MessageSink& messages,
                     std::vector<RefusedFlyingCondition>* refused = nullptr);
// The same from a stream, line by line: lines before the block are not kept.
bool ReadProjectText(std::istream& in, WorkbenchFields& fields, AnalysisOptionsInput& options,
                     const NumberLocale& locale, MessageSink& messages,
                     std::vector<RefusedFlyingCondition>* refused = nullptr);

// The warning for a "MetricMode=" line whose value is empty or outside 0 to 3.
std::string InvalidMeasurementModeMessage(std::string_view value, int keptMode);
// The warning for a refused flying condition, for readers that say what they left out.
std::string RefusedFlyingConditionMessage(const RefusedFlyingCondition& refused);

// Fields as New Project leaves them: every text empty, every box clear, the propeller page.
WorkbenchFields EmptyWorkbenchFields();

} // namespace ampvane
