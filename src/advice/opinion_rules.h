// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "advice/opinion_input.h"

// The opinion's fixed rule system: each rule compares a few numbers of an in-flight report with fixed
// thresholds and adds a fixed sentence, with the numbers written in, to one of four lists. The lists
// are then assembled into the opinion text, whose lines are separated by single carriage returns.

namespace ampvane {

enum class CruiseFallback {
    None,              // the hands-off point holds level flight
    BestLiftToDrag,    // warning 1
    ZeroAirspeedFull,  // warning 2
};

struct OpinionFindings {
    CruiseFallback Fallback = CruiseFallback::None;
    std::vector<std::string> PowerProblems;
    std::vector<std::string> PowerNotes;
    std::vector<std::string> AeroProblems;
    std::vector<std::string> AeroNotes;
    bool MoreCurrentSuggested = false;
    bool LessCurrentSuggested = false;
    bool AeroProblemReported = false;
};

// Runs every rule in its documented order.
OpinionFindings EvaluateOpinion(const OpinionInput& input);

// The whole text: header, warning, the four lists under their headings, and the general notes.
std::string OpinionText(const OpinionInput& input, const OpinionFindings& findings);
std::string BuildOpinionText(const OpinionInput& input);

inline constexpr char kOpinionLineBreak = '\r';

} // namespace ampvane
