// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A small pattern language for pulling parts out of component names and short texts: single
// characters, ".", sets, "^" and "$" anchors, "*" and "+" repeats, numbered groups "\(" "\)",
// back-references "\1".."\9" and the word marks "\<" "\>". Matching is exact and case-sensitive
// on bytes. A pattern is compiled into a byte program that a small backtracking walker runs.

namespace ampvane {

// Byte program operation codes.
enum class PatternOp : std::uint8_t {
    End = 0,
    Char = 1,          // c
    Any = 2,           //
    Set = 3,           // 32-byte bit set
    NegatedSet = 4,    // 32-byte bit set
    TextStart = 5,     //
    TextEnd = 6,       //
    GroupOpen = 7,     // n
    GroupClose = 8,    // n
    WordStart = 9,     //
    WordEnd = 10,      //
    BackReference = 11, // n
    Repeat = 12,       // element, 0
};

inline constexpr int kPatternGroups = 10; // group 0 is the whole match

class NamePattern {
public:
    NamePattern() = default;
    // Compiles at once; Valid() tells whether the pattern was accepted.
    explicit NamePattern(std::string_view pattern) { Compile(pattern); }

    // Replaces the program. Returns false (and leaves an empty, never-matching program) for an
    // invalid pattern; Error() then says why.
    bool Compile(std::string_view pattern);
    bool Valid() const { return valid_; }
    const std::string& Error() const { return error_; }
    const std::vector<std::uint8_t>& Program() const { return program_; }

    // Searches the text for the leftmost match. Forgets the previous search either way.
    bool Search(std::string_view text);

    // After a successful search: the whole match and the groups (nullopt when a group did not
    // take part or there was no successful search).
    bool Matched() const { return matched_; }
    std::string Match() const;
    std::optional<std::string> Group(int n) const;
    std::size_t MatchStart() const { return matched_ ? static_cast<std::size_t>(start_[0]) : 0; }
    std::size_t MatchLength() const { return matched_ ? static_cast<std::size_t>(end_[0] - start_[0]) : 0; }

    // Builds a text from the last successful search: "&" is the whole match, "\d" group d,
    // "\x" the character x, a final lone "\" stays. nullopt when there was no successful search.
    std::optional<std::string> Substitute(std::string_view templateText) const;

    // A search gives up (no match) after this many program steps, so that a pathological pattern
    // over a long text cannot hang the program. Ordinary names never come near it.
    static constexpr long kStepBudget = 2'000'000;
    bool BudgetExceeded() const { return budgetExceeded_; }

private:
    bool MatchAt(std::size_t pc, std::size_t pos);
    bool MatchOne(std::size_t pc, std::size_t pos) const;
    std::size_t ElementSize(std::size_t pc) const;

    std::vector<std::uint8_t> program_;
    bool valid_ = false;
    std::string error_;
    std::string text_;
    bool matched_ = false;
    bool budgetExceeded_ = false;
    long steps_ = 0;
    std::array<long, kPatternGroups> start_{};
    std::array<long, kPatternGroups> end_{};
};

// Compiles the pattern and searches the text; false for an invalid pattern or no match.
bool PatternMatches(std::string_view text, std::string_view pattern);
// The leftmost match of the pattern in the text, or nullopt.
std::optional<std::string> PatternExtract(std::string_view text, std::string_view pattern);
// Substitution from the last successful search of the given pattern object.
std::optional<std::string> PatternSubstitute(const NamePattern& pattern, std::string_view templateText);

// Word characters of the word marks: a-z, A-Z, 0-9 and "_".
bool IsPatternWordChar(unsigned char c);

} // namespace ampvane
