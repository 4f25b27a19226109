// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "advice/opinion_document.h"
#include "advice/opinion_input.h"
#include "advice/opinion_rules.h"
#include "analysis/report_builder.h"

// The opinion of one in-flight report, ready for the window and the files.

namespace ampvane {

inline OpinionDocument ExplainReport(const Report& inFlightReport) {
    return FormatOpinionText(BuildOpinionText(OpinionInputFromReport(inFlightReport)));
}

} // namespace ampvane
