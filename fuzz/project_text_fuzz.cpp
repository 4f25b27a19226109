// SPDX-License-Identifier: GPL-3.0-or-later
// Project text as pasted or given to ampvane-cli: read, gathered, swept into a static report, the
// first row's in-flight report, every export of both; and the text written back must read the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "analysis/analysis_input.h"
#include "project/project_text.h"
#include "analysis/report_builder.h"
#include "analysis/report_export.h"
#include "analysis/report_json.h"
#include "common/messages.h"

namespace {

using namespace ampvane;

// Larger sweeps are correct but too slow to fuzz usefully.
constexpr std::uint64_t kMaxFuzzedCombinations = 2000;

void ExportAll(const ReportGrid& grid) {
    ReportExportSettings settings;
    settings.GeneratedAt = "2026-01-01 00:00";
    (void)ReportText(grid, settings);
    (void)ReportCsv(grid, settings);
    (void)ReportHtml(grid, settings);
    (void)ReportJson(grid);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const NumberLocale locale;
    NullMessageSink messages;
    DefaultPrompter prompter;

    WorkbenchFields fields = EmptyWorkbenchFields();
    AnalysisOptionsInput options;
    if (!ReadProjectText(text, fields, options, locale, messages)) return 0;

    // Written and read again, a project must give the same text: nothing is lost or changed on the way.
    const std::string written = WriteProjectText(fields, options, locale);
    WorkbenchFields again = EmptyWorkbenchFields();
    AnalysisOptionsInput againOptions;
    if (!ReadProjectText(written, again, againOptions, locale, messages)) std::abort();
    if (WriteProjectText(again, againOptions, locale) != written) std::abort();

    const auto input = GatherAnalysisInput(fields, options, locale, messages, prompter);
    if (!input || CountCombinations(input->plane.asTyped) > kMaxFuzzedCombinations) return 0;

    Report report;
    report.Settings.Parallel = false;
    if (BuildStaticReport(report, input->options, input->plane, messages, prompter) == ReportOutcome::Closed)
        return 0;
    ExportAll(report.Grid);
    if (report.Grid.RowCount() == 0) return 0;
    ReportOutcome outcome = ReportOutcome::Closed;
    const auto inFlight = OpenInFlightReport(report, 0, false, messages, prompter, &outcome);
    if (inFlight && outcome != ReportOutcome::Closed) ExportAll(inFlight->Grid);
    return 0;
}
