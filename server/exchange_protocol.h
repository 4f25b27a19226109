// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What the exchange server reads from requests and writes in its answers, without any I/O, so every
// check can be tested and fuzzed on its own.

namespace ampvane::server {

using QueryPairs = std::vector<std::pair<std::string, std::string>>;

// Splits "a=1&b=2" and percent-decodes names and values ("+" stays a plus: the client encodes blanks
// as %20). nullopt for a malformed escape or a pair without "=".
std::optional<QueryPairs> DecodeQuery(std::string_view query);

// The TAB-separated fields of a line (one empty field for an empty line).
std::vector<std::string_view> SplitTabs(std::string_view line);

// Table kinds on the wire: 0..7 with key and type name.
std::optional<int> KindForKey(std::string_view key);

// One contributed component, checked and ready to store.
struct Contribution {
    int kind = 0;             // 1..7
    std::string name;         // the component's name
    std::string line;         // the table text line: name, then every column of the kind in table order
    std::string contributor;  // the contributor's name
    std::string email;
};

// Bounds of what a contribution may hold.
inline constexpr std::size_t kMaxNameBytes = 40;
inline constexpr std::size_t kMaxContributorBytes = 80;
inline constexpr std::size_t kMaxEmailBytes = 120;
inline constexpr std::size_t kMaxValueBytes = 40;

// Checks a submit query (pairs in the client's order: base, name, email?, p<tag>..., crc, ver) and
// builds the contribution, or returns the reason it is refused.
struct SubmitCheck {
    std::optional<Contribution> contribution;
    std::string reason; // when refused
};
SubmitCheck CheckSubmission(const QueryPairs& pairs);

// The column names of a kind in table order, tab-separated (the header line of its table text).
std::string HeaderLine(int kind);

// The table text of catalogue lines: Begin line, header, lines, End line, each ended by CR LF.
std::string TableTextBlock(int kind, std::string_view header, std::span<const std::string> lines);

// A contributed-data list: "F\t" + header, then per contribution "N\t" + line + "\t" + date + "\t" +
// contributor + "\t" + id.
struct StoredContribution {
    std::string line;
    std::string date; // YYYY-MM-DD
    std::string contributor;
    long long id = 0;
};
std::string ContributedList(int kind, std::span<const StoredContribution> rows);

// The HTML table page of a kind: every value escaped; the importable tab block rides in a comment.
std::string HtmlTablePage(int kind, std::string_view header, std::span<const std::string> lines);

// A support request's form fields.
struct SupportMessage {
    std::string sender, subject, message, project;
};
// The largest request body the server takes; a support message may use all of it.
inline constexpr std::size_t kMaxRequestBodyBytes = std::size_t{2} << 20;
inline constexpr std::size_t kMaxSupportBytes = kMaxRequestBodyBytes;
// Reads "e=..&s=..&m=..[&p=..]" (a final CR LF allowed); the reason when it cannot be stored.
std::optional<SupportMessage> ParseSupportBody(std::string_view body, std::string& reason);

// Table blocks read from a table text file (a catalogue export).
struct CatalogueBlock {
    int kind = 0;
    std::string header;
    std::vector<std::string> lines;
};
// Every block whose type name belongs to a table; lines without a name are skipped. A line that is
// not valid UTF-8, holds control characters other than TAB, or a value that the program's table
// column would refuse (a number that does not fit, a logical value other than "Yes") is refused with
// its line number.
std::vector<CatalogueBlock> ReadCatalogueText(std::string_view text, std::string& error);

} // namespace ampvane::server
