// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "server/exchange_protocol.h"

// The exchange's web pages for people: the contributed components and what contributing means.

namespace ampvane::server {

// The bordered table of the HTML table pages: the visible columns named in the tab-separated `header`,
// one row a line, every value escaped; `extraHeads` label the values a line holds after the header's.
std::string HtmlGrid(int kind, std::string_view header, std::span<const std::string> lines,
                     std::span<const std::string_view> extraHeads = {});

// The closing paragraphs and end of every page.
extern const std::string_view kPageFooter;

struct ContributedSection {
    int kind = 0;
    std::vector<StoredContribution> rows; // newest first
};
// How many of each table's newest contributions the contributed-data page shows.
inline constexpr long long kContributedPageRows = 200;

// "/data/contrib.html": each table's newest contributions with their date and contributor.
std::string ContributedPage(std::span<const ContributedSection> sections);

// "/contrib.htm": what contributed data is and how to get it.
std::string ContributionsHelpPage();

} // namespace ampvane::server
