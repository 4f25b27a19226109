// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "analysis/report_builder.h"

// The furniture of a report: its columns and their headers, the cell texts of a row, the caption,
// the condition line, the description lines and the colour key. Values come in internal units and
// are converted for display here, in one place.

namespace ampvane {

// Creates the grid's columns in their fixed order (those the mode and flags call for), hides those
// the options uncheck, and adds the hidden sequence-number column last.
void LayOutReportColumns(const Report& report, ReportGrid& grid);

// Stores row r of `rows` (the grid's own rows, or rows laid out like them): each column's number in
// display units and the row's colours, which are read from its cells as they show.
void StoreReportRow(const Report& report, const ReportRowValues& values, ReportRows& rows, std::size_t r);

std::string ReportCaption(const std::string& projectName, bool inFlight, double throttlePercent);
std::string ReportConditionLine(const AnalysisOptions& options, const NumberLocale& locale);

// Description lines 1 to 7 (line 8, the in-flight statistics, is built with the level-flight
// points) and the heating note, the key labels and the ducting colour.
void DescribeReport(const Report& report, ReportGrid& grid);

// Moves empty lines 5 to 8 up.
void CompactDescriptionLines(std::array<std::string, 8>& lines);

// Duct taper angle in degrees.
double DuctTaperAngle(double fanDiameter, double ductDiameter, double ductLength);

} // namespace ampvane
