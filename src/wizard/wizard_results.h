// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/numeric_text.h"
#include "wizard/wizard_answers.h"
#include "wizard/wizard_search.h"

// What follows the search: near-duplicates removed, a cap on systems per motor, the ranking, the
// grid rows and their sorting, the summary or the message that says why nothing was found, and the
// written results.

namespace ampvane {

// How different two results of one motor are; 3 or less counts as the same system.
int DifferenceScore(const TResultObject& a, const TResultObject& b);

// The positions of the raw list in name order, best rating first within a name, the list's order where
// both tie: what a stable sort by (name, rating) gives.
std::vector<std::uint32_t> RankingOrder(const std::vector<TResultObject>& list);

// Sorts, filters, caps and ranks the raw list; the progress control shows the stages and may cancel
// (nullopt then). The list that comes back holds only kept results, best rating first.
std::optional<std::vector<TResultObject>> RankResults(std::vector<TResultObject> raw, WizardSearchControl& control);

inline constexpr int kResultColumns = 5;
struct WizardRow {
    std::array<std::string, kResultColumns> cells;
    TResultObject result; // sizes in cm when the row shows metric propeller sizes
};
std::array<std::string, kResultColumns> ResultsHeader(int motors);
std::vector<WizardRow> ResultRows(const std::vector<TResultObject>& ranked, int motors, bool metricPropSizes,
                                  double bestRating, const NumberLocale& locale);
std::string GearText(double gearRatio, const NumberLocale& locale);
std::string RatingText(double rating, double bestRating, const NumberLocale& locale);

// The grid's column sort: numbers before texts, moving right while cells tie.
void SortResultRows(std::vector<WizardRow>& rows, int column, bool descending, char decimal);

// Counts with thousands separators ("," with a "." decimal, else ".").
std::string GroupedCount(std::int64_t n, const NumberLocale& locale);
std::string WizardSummary(std::int64_t analysed, std::string_view restrictionText, std::size_t results,
                          const NumberLocale& locale);
// Why nothing was found, from the counters of every pass.
std::string WizardFailureMessage(const WizardSearchSettings& settings, const WizardSearchResult& search,
                                 const NumberLocale& locale);

enum class WizardOutputStyle { Text, Html, Csv };
WizardOutputStyle ChooseWizardOutputStyle(std::string_view fileName, int filterIndex);
// The written results: title, the answers, the table and the footer. `rows` are the rows to write.
std::string WriteWizardResults(WizardOutputStyle style, const WizardAnswers& answers, int motors,
                               const std::vector<WizardRow>& rows, std::string_view generatedAt,
                               const NumberLocale& locale);

} // namespace ampvane
