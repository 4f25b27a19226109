// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/report_rows.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

#include <sys/mman.h>

namespace ampvane {
namespace {

constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14};

// The decimals FormatNumber shows with minDigits minimum digits: it adds decimals until the
// integer digits (none below 1) and the decimals are at least minDigits, counting the integer
// digits of the value rounded to decimals + minDigits places within the width's significant digits.
// That rounding can carry a value just below 1, 10 or 100 into one more digit; there (and for
// whatever else this does not cover) it gives -1, and the caller formats in full.
int DecimalsForMinDigits(int width, int decimals, int minDigits, double value) {
    const int needed = minDigits - decimals; // integer digits that make the extra decimals unneeded
    if (needed <= 0) return decimals;
    if (needed > 3 || width < 4 || decimals < 0 || !std::isfinite(value)) return -1;
    const int significant = std::min(width, 15);
    const double magnitude = std::fabs(value);
    int digits = 0;
    for (int t = 0; t < needed; ++t, ++digits) {
        const double threshold = kPowers[t];
        if (magnitude >= threshold) continue;
        // Below 10^t the value has at most t digits before rounding, so it is rounded to at least
        // this many places; half a unit there is less than this margin.
        const int places = std::clamp(significant - 1 - t, 0, decimals + minDigits);
        if (magnitude > threshold - 1 / kPowers[places]) return -1;
        break;
    }
    return digits >= needed ? decimals : decimals + needed - digits;
}

// A whole number's digits written ending at `end`, two at a time; returns where they begin.
char* WholeBefore(char* end, std::uint64_t n) {
    for (; n >= 100; n /= 100) {
        end -= 2;
        std::memcpy(end, kDigitPairs + 2 * (n % 100), 2);
    }
    if (n >= 10) {
        end -= 2;
        std::memcpy(end, kDigitPairs + 2 * n, 2);
    } else {
        *--end = static_cast<char>('0' + n);
    }
    return end;
}

// Where the fixed-point rule covers a value (at least one decimal place to spare below the width's
// significant digits, the minimum digits decided from the value alone): its decimals and, away from
// a rounding tie, its magnitude in units of the last decimal. Away from a tie the product's own
// rounding error cannot move it across one, so rounding it gives the correctly rounded digits; at
// (or next to) a tie only the exact conversion can tell. (Below 10^14 the whole part converts
// exactly, and the fraction subtracts exactly.)
struct FixedCell {
    bool Covered = false;
    bool NearTie = false;
    int Decimals = 0;
    std::uint64_t Units = 0;
};

FixedCell FixedCellOf(int width, int decimals, int minDigits, double value) {
    FixedCell cell;
    if (minDigits > 0) decimals = DecimalsForMinDigits(width, decimals, minDigits, value);
    const int significant = std::min(width, 15);
    const int spare = significant - 1 - decimals; // integer digits the fixed-point rule leaves whole
    cell.Covered = width > 0 && width <= 24 && decimals >= 0 && spare >= 0 && std::isfinite(value) &&
                   (std::fabs(value) < kPowers[spare] - 1 || value == 0);
    if (!cell.Covered) return cell;
    cell.Decimals = decimals;
    const double scaled = std::fabs(value) * kPowers[decimals];
    const auto whole = static_cast<std::uint64_t>(scaled);
    const double fraction = scaled - static_cast<double>(whole);
    cell.NearTie = !(std::fabs(fraction - 0.5) > 1e-6);
    cell.Units = whole + (fraction > 0.5 ? 1 : 0);
    return cell;
}

// FormatNumber for the common report cell, several times faster: every cell of a large report is
// made when it is read. Only values the fixed-point rule covers take this path; for anything else
// this gives an empty text and the caller asks FormatNumber itself, so the text is always the same.
std::string_view FastCellNumber(int width, int decimals, int minDigits, double value, char decimal,
                                char (&buffer)[64]) {
    const FixedCell cell = FixedCellOf(width, decimals, minDigits, value);
    if (!cell.Covered) return {};
    char* const end = buffer + sizeof buffer;
    char* begin = end;
    if (!cell.NearTie) {
        std::uint64_t units = cell.Units;
        const bool negative = value < 0 && units != 0;
        for (int i = 0; i < cell.Decimals; ++i, units /= 10) *--begin = static_cast<char>('0' + units % 10);
        if (cell.Decimals > 0) *--begin = decimal;
        begin = WholeBefore(begin, units);
        if (negative) *--begin = '-';
    } else {
        char digits[48];
        const auto result =
            std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, cell.Decimals);
        const char* first = digits;
        if (*first == '-' && std::all_of(first + 1, static_cast<const char*>(result.ptr),
                                         [](char c) { return c == '0' || c == '.'; }))
            ++first;
        for (const char* c = result.ptr; c != first;) {
            --c;
            *--begin = *c == '.' ? decimal : *c;
        }
    }
    while (end - begin < width) *--begin = ' ';
    return {begin, static_cast<std::size_t>(end - begin)};
}

// A signed whole number written ending at `end`.
char* SignedBefore(char* end, std::int64_t n) {
    char* begin = WholeBefore(end, n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n));
    if (n < 0) *--begin = '-';
    return begin;
}

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a store takes ordinary pages: a small report is not worth a 2 MB page.
constexpr std::size_t kHugeStoreBytes = std::size_t{8} << 20;

} // namespace

void ReportCellNumber(int width, int decimals, int minDigits, double value, const NumberLocale& locale,
                      std::string& out) {
    char buffer[64];
    const std::string_view fast = FastCellNumber(width, decimals, minDigits, value, locale.decimal, buffer);
    if (fast.empty())
        out = FormatNumber(width, decimals, minDigits, value, locale);
    else
        out.assign(fast);
}

std::string ReportCellNumber(int width, int decimals, int minDigits, double value, const NumberLocale& locale) {
    std::string out;
    ReportCellNumber(width, decimals, minDigits, value, locale, out);
    return out;
}

void* AllocateRowStore(std::size_t bytes) {
    if (bytes < kHugeStoreBytes) return ::operator new(bytes);
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* at = std::aligned_alloc(kHugePage, rounded);
    if (!at) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    ::madvise(at, rounded, MADV_HUGEPAGE); // only advice: without huge pages the store works the same
#endif
    return at;
}

void FreeRowStore(void* at, std::size_t bytes) {
    if (bytes < kHugeStoreBytes) ::operator delete(at);
    else std::free(at);
}

std::string_view CellText(const CellFormat& format, double number, std::uint32_t parallelCells,
                          const NumberLocale& locale, CellBuffer& buffer) {
    char* const end = buffer.chars + sizeof buffer.chars;
    char* begin = end;
    switch (format.Kind) {
    case CellKind::Number: {
        const std::string_view fast =
            FastCellNumber(format.Width, format.Decimals, format.MinDigits, number, locale.decimal, buffer.chars);
        if (!fast.empty()) return fast;
        buffer.spill = FormatNumber(format.Width, format.Decimals, format.MinDigits, number, locale);
        return buffer.spill;
    }
    case CellKind::Cells:
        // The series count, then "S" parallel "P" when the row says how it is wired; right-aligned in 5.
        if (parallelCells > 1 || format.AlwaysParallel) {
            *--begin = 'P';
            begin = WholeBefore(begin, parallelCells);
            *--begin = 'S';
        }
        begin = SignedBefore(begin, static_cast<std::int64_t>(number));
        while (end - begin < 5) *--begin = ' ';
        break;
    case CellKind::MinSec: {
        // Minutes right-aligned in 3, the time separator, two-digit seconds.
        const auto seconds = static_cast<std::int64_t>(number);
        const std::int64_t minutes = seconds / 60;
        const std::int64_t rest = seconds % 60;
        begin = WholeBefore(begin, static_cast<std::uint64_t>(rest < 0 ? -rest : rest));
        if (rest > -10 && rest < 10) *--begin = '0';
        *--begin = locale.timeSeparator;
        char* const minutesEnd = begin;
        begin = WholeBefore(begin, static_cast<std::uint64_t>(minutes < 0 ? -minutes : minutes));
        if (seconds < 0) *--begin = '-';
        while (minutesEnd - begin < 3) *--begin = ' ';
        break;
    }
    case CellKind::Sequence: begin = SignedBefore(begin, static_cast<std::int64_t>(number)); break;
    }
    return {begin, static_cast<std::size_t>(end - begin)};
}

std::optional<double> CellSortKey(const CellFormat& format, double number, char decimal, char timeSeparator) {
    if (format.Kind != CellKind::Number) return std::nullopt;
    const FixedCell cell = FixedCellOf(format.Width, format.Decimals, format.MinDigits, number);
    if (!cell.Covered || cell.NearTie) return std::nullopt;
    // The text reads back as a number only with a decimal mark the reading understands.
    if (cell.Decimals > 0 && decimal != '.' && decimal != ',' && decimal != timeSeparator) return std::nullopt;
    // Units and 10^decimals are both exact doubles, so their correctly rounded quotient is the double
    // nearest the displayed decimal: the one reading the text gives.
    const double magnitude = static_cast<double>(cell.Units) / kPowers[cell.Decimals];
    return number < 0 && cell.Units != 0 ? -magnitude : magnitude;
}

void AppendCellText(std::string& out, const CellFormat& format, double number, std::uint32_t parallelCells,
                    const NumberLocale& locale) {
    CellBuffer buffer;
    out += CellText(format, number, parallelCells, locale, buffer);
}

void ReportRows::SetColumns(int columns) {
    columns_ = std::max(0, columns);
    numbers_.clear();
    sequence_.clear();
    parallel_.clear();
    marks_.clear();
}

void ReportRows::Reserve(std::size_t rows) {
    numbers_.reserve(rows * Width());
    sequence_.reserve(rows);
    parallel_.reserve(rows);
    marks_.reserve(rows);
}

std::size_t ReportRows::Add(std::size_t count) { return AddRows(count, true); }

std::size_t ReportRows::AddUnset(std::size_t count) { return AddRows(count, false); }

std::size_t ReportRows::AddRows(std::size_t count, bool zeroed) {
    const std::size_t first = Count();
    if (zeroed) numbers_.resize((first + count) * Width(), 0.0);
    else numbers_.resize((first + count) * Width());
    sequence_.resize(first + count);
    for (std::size_t r = first; r < first + count; ++r) sequence_[r] = static_cast<std::uint32_t>(r + 2);
    parallel_.resize(first + count, 1);
    marks_.resize(first + count, 0);
    return first;
}

void ReportRows::Truncate(std::size_t count) {
    if (count >= Count()) return;
    numbers_.resize(count * Width());
    sequence_.resize(count);
    parallel_.resize(count);
    marks_.resize(count);
}

void ReportRows::SetMarks(std::size_t row, RowBackground background, bool propStalled) {
    marks_[row] = static_cast<std::uint8_t>(static_cast<std::uint8_t>(background) & kBackgroundBits) |
                  (propStalled ? kStalledBit : 0);
}

void ReportRows::Reorder(std::span<const std::uint32_t> order) {
    const std::size_t n = std::min(order.size(), Count());
    const std::size_t width = Width();
    const auto move = [&](std::size_t from, std::size_t to) {
        std::copy_n(numbers_.begin() + static_cast<std::ptrdiff_t>(from * width), width,
                    numbers_.begin() + static_cast<std::ptrdiff_t>(to * width));
        sequence_[to] = sequence_[from];
        parallel_[to] = parallel_[from];
        marks_[to] = marks_[from];
    };
    // One cycle of the permutation at a time, carrying only the row the cycle starts with.
    std::vector<bool> placed(n, false);
    std::vector<double> carried(width);
    for (std::size_t start = 0; start < n; ++start) {
        if (placed[start]) continue;
        placed[start] = true;
        if (order[start] == start) continue;
        std::copy_n(numbers_.begin() + static_cast<std::ptrdiff_t>(start * width), width, carried.begin());
        const std::uint32_t sequence = sequence_[start], parallel = parallel_[start];
        const std::uint8_t marks = marks_[start];
        std::size_t at = start;
        for (std::size_t from = order[at]; from != start; from = order[at]) {
            move(from, at);
            at = from;
            placed[at] = true;
        }
        std::copy(carried.begin(), carried.end(), numbers_.begin() + static_cast<std::ptrdiff_t>(at * width));
        sequence_[at] = sequence;
        parallel_[at] = parallel;
        marks_[at] = marks;
    }
}

std::size_t ReportRows::MemoryBytes() const {
    return numbers_.capacity() * sizeof(double) + sequence_.capacity() * sizeof(std::uint32_t) +
           parallel_.capacity() * sizeof(std::uint32_t) + marks_.capacity();
}

} // namespace ampvane
