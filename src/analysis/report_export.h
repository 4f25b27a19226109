// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "analysis/report_grid.h"
#include "analysis/report_output.h"
#include "common/messages.h"

// Report files: plain text, HTML and comma-separated values, written from what the report shows
// (caption, condition line, description lines, the visible columns in the current row order, the
// heating note, the colour key and the footer).

namespace ampvane {

enum class ReportFileFormat { Text, Html, Csv };

// Save dialog filter indices, 1-based as the dialog counts them.
inline constexpr int kTextFilterIndex = 1;
inline constexpr int kHtmlFilterIndex = 2;
inline constexpr int kCsvFilterIndex = 3;
inline constexpr const char* kReportSaveFilter =
    "Text Files|*.txt|HTML Files|*.html;*.htm|Comma Separated Values|*.csv";

// The format by the file name's extension first, then by the dialog's filter.
ReportFileFormat ChooseReportFormat(std::string_view fileName, int filterIndex = kTextFilterIndex);

struct ReportExportSettings {
    std::string GeneratedAt; // the footer's date and time
    ReportColours Colours;
};

// The current local date and time in the footer's short form.
std::string FooterDateTime();

// Each format streamed to an output a piece at a time; false when the output stopped taking pieces.
bool WriteReportText(const ReportGrid& grid, const ReportExportSettings& settings, const ReportOutput& output);
bool WriteReportCsv(const ReportGrid& grid, const ReportExportSettings& settings, const ReportOutput& output);
bool WriteReportHtml(const ReportGrid& grid, const ReportExportSettings& settings, const ReportOutput& output);
bool WriteReport(const ReportGrid& grid, ReportFileFormat format, const ReportExportSettings& settings,
                 const ReportOutput& output);

// The same, as one text.
std::string ReportText(const ReportGrid& grid, const ReportExportSettings& settings);
std::string ReportCsv(const ReportGrid& grid, const ReportExportSettings& settings);
std::string ReportHtml(const ReportGrid& grid, const ReportExportSettings& settings);
std::string ReportContents(const ReportGrid& grid, ReportFileFormat format, const ReportExportSettings& settings);

// Writes the file under a temporary name and renames it over the target; on failure the message
// is given, any old file stays as it was, and false is returned.
bool SaveReport(const ReportGrid& grid, const std::string& fileName, ReportFileFormat format,
                const ReportExportSettings& settings, MessageSink& sink);

std::string CouldNotWriteMessage(const std::string& fileName);

inline constexpr const char* kVersionText = "8.09";
inline constexpr const char* kVendorSite = "https://ampvane.example/";

} // namespace ampvane
