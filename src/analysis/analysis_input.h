// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/numeric_text.h"
#include "analysis/display_plane.h"
#include "project/options_input.h"
#include "project/workbench_fields.h"
#include "common/messages.h"

// Gathering the analysis input: every workbench field is read in a fixed order, validated, and
// gathered into one DisplayPlane with the AnalysisOptions snapshot. The first field
// that fails stops everything with its message.

namespace ampvane {

// The options snapshot. A flying-field text that is no number reads as 0 after the lenient-read
// warning. Returns nullopt (after an error message) only when the conditions give no air density at
// all (an elevation far beyond any flying field, or a temperature at or below absolute zero).
std::optional<AnalysisOptions> SnapshotAnalysisOptions(const AnalysisOptionsInput& input, const NumberLocale& locale,
                                                       MessageSink& messages);

// The default gearbox efficiency in %: the options' text when it is a number from 50 to 100, else 95.
double TypicalGearboxEfficiency(const AnalysisOptionsInput& input, const NumberLocale& locale);

// Empty when the parallel motors can be shared out evenly among the speed controls; else the
// message listing the counts that would be accepted.
std::string CheckSpeedControlCount(std::int32_t parallelMotors, std::int32_t speedControls);

// The messages of the count rules and the brushless questions, kept here for tests and callers.
inline constexpr const char* kMotorsPerPropellerMessage =
    "There must be a whole number of motors per propeller, or a whole number of propellers per motor.";
inline constexpr const char* kBrushlessControlBrushedMotorQuestion =
    "You have selected a brushless speed control, which will not work with the brushed motor you've selected. "
    "Proceed anyway?";
inline constexpr const char* kBrushedControlBrushlessMotorQuestion =
    "You have selected a brushed-motor speed control, which will not work with the brushless motor you've "
    "selected. Proceed anyway?";
// The flying-condition field of the options that leaves no air density: "Field Elevation",
// "Sea Level Pressure" or "Air Temperature" as the options dialog labels them.
std::string NoAirDensityMessage(std::string_view field);
// Help topic of the speed control's brushless check box, offered with the brushless questions.
inline constexpr int kSpeedControlBrushlessHelpTopic = 605;

struct AnalysisInput {
    DisplayPlane plane;
    AnalysisOptions options;
};

// Reads the options first, then every field in the documented order. Messages go to `messages`,
// the brushless questions to `prompter` (anything but OK stops). nullopt when any step failed.
std::optional<AnalysisInput> GatherAnalysisInput(const WorkbenchFields& fields, const AnalysisOptionsInput& options,
                                                 const NumberLocale& locale, MessageSink& messages,
                                                 Prompter& prompter);

// The same with out records; true only when every step passed (on false the records are partly
// filled and must not be used). On failure `failedField`, when given, receives the workbench field
// the message is about (none for the options' flying conditions), so that the window can return
// the user to it.
bool GatherAnalysisInput(const WorkbenchFields& fields, const AnalysisOptionsInput& optionsInput, DisplayPlane& plane,
                         AnalysisOptions& options, const NumberLocale& locale, MessageSink& messages,
                         Prompter& prompter, std::optional<WorkbenchControl>* failedField = nullptr);

} // namespace ampvane
