// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "analysis/report_grid.h"
#include "analysis/report_output.h"

// A report as JSON for scripts: the header rows, every visible column, every row with each value as a
// number at full precision beside the text the report shows, the level-flight markers, the stall
// speed and the messages the build gave.

namespace ampvane {

std::string ReportJson(const ReportGrid& grid, const std::vector<std::string>& messages = {});
// The same streamed a piece at a time; false when the output stopped taking pieces.
bool WriteReportJson(const ReportGrid& grid, const std::vector<std::string>& messages, const ReportOutput& output);

// A JSON string literal; invalid UTF-8 becomes U+FFFD so the output always parses.
std::string JsonString(std::string_view text);
void AppendJsonString(std::string& out, std::string_view text);
// A number at full precision, as "%.17g" writes it; null when it has no finite value.
std::string JsonNumber(double value);
void AppendJsonNumber(std::string& out, double value);

} // namespace ampvane
