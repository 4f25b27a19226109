// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "project/workbench_fields.h"
#include "common/numeric_text.h"
#include "online/web_update.h"

// Contributions: one request per chosen component of the workbench, and the lists of components
// other users contributed, with the user's ticks kept in the downloaded files.

namespace ampvane {

struct ContributionKind {
    int tag;                        // the check box's tag
    std::string_view checkBoxName;  // e.g. "MotorCheckBox"
    std::string_view kindName;      // e.g. "Motor"
    WorkbenchControl nameControl;   // the workbench's name field of the kind
    int base;                       // 100, 200, ... 700
};

// The six check boxes in form order; the drive box's kind follows the workbench's drive page.
std::vector<ContributionKind> ContributionKinds(int drivePage);

// The measurement settings that decide which typed values are converted to imperial units.
struct ContributionUnits {
    bool metricWeights = false; // weights, lengths, speeds and areas typed in metric units
    bool allMetric = false;     // propeller sizes in centimetres too
    bool forceInNewtons = false;
    NumberLocale locale;
};

using RequestPairs = std::vector<std::pair<std::string, std::string>>;

// The pairs of one component before "crc" and "ver": base, name, email (when given), then "p" + tag
// for each filled field of the base's range in the workbench's control order.
RequestPairs ContributionPairs(const WorkbenchFields& fields, int base, std::string_view name,
                               std::string_view email, const ContributionUnits& units);

// The sum of the byte values of the names and the raw values of the pairs.
long long ContributionChecksum(const RequestPairs& pairs);

// "/data/submit.cgi?" + the percent-encoded pairs, then crc and ver.
std::string ContributionTarget(const RequestPairs& pairs);

// Sends one contribution (k of n) with the contribution status window. True when the server took it.
bool SendContribution(OnlineContext& context, const std::string& target, std::string_view kindName, int helpTopic,
                      int count, int index);

// --- Contributed data files (".ctb") ---------------------------------------------------------------

struct ContributedEntry {
    std::string text;      // the list's display text (name, date, contributor, sequence number)
    bool ticked = false;
    int componentLine = 0; // which component line of the file (0-based among the "Y"/"N" lines)
    int sequence = 0;      // position in file order among the entries
    // The sort keys, kept apart so that a long name cannot shift the columns the labels sort by.
    std::string name, date, contributor;
};

// The list entry of a component line with its sequence number; nullopt for a line the list skips.
std::optional<ContributedEntry> ContributedListEntry(std::string_view line, int sequence);

// Every entry of a file's lines, in file order.
std::vector<ContributedEntry> ContributedEntries(std::span<const std::string> lines);

// The lines of a contributed-data text (LF or CR LF).
std::vector<std::string> SplitContributedLines(std::string_view text);

// The lines with each component line's first character set from the tick of the entry made from it.
std::vector<std::string> ApplyTicks(std::span<const std::string> lines, std::span<const ContributedEntry> entries);

// Sort keys of the list's column labels.
enum class ContributedSort { Description, Date, Contributor };
void SortContributedEntries(std::vector<ContributedEntry>& entries, ContributedSort sort);

// One table section of the import file: the first header line and the ticked component lines the
// list shows, without their two marker characters, between the Begin and End lines of the kind.
// Lines named like the frame lines of table text are left out.
std::string ContributedImportSection(std::string_view kindName, std::span<const std::string> lines);

} // namespace ampvane
