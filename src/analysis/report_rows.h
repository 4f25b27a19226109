// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/numeric_text.h"

// The data rows of a report, kept small: a row holds one number a column and a few bytes of marks,
// and each cell's text is made from its number when it is read. A million-row report then costs
// about 170 MB instead of over a gigabyte of short strings.

namespace ampvane {

enum class RowBackground : std::uint8_t { Plain, BelowStall, LevelFlightOpt, LevelFlight };

// How a data cell's text is made from the number kept for it.
enum class CellKind : std::uint8_t {
    Number,   // FormatNumber(Width, Decimals, MinDigits)
    Cells,    // the series count, or series "S" parallel "P", right-aligned in 5
    MinSec,   // a run time in seconds as m:ss
    Sequence, // the row's sequence number; the row keeps it, not a number column
};

struct CellFormat {
    CellKind Kind = CellKind::Number;
    int Width = 0;
    int Decimals = 0;
    int MinDigits = 0;
    bool AlwaysParallel = false; // Cells: "nS1P" too, when the parallel range has more than one value
};

// "00" to "99" in a row: the two digits of n < 100 start at 2n, for writing numbers two at a time.
inline constexpr char kDigitPairs[] = "0001020304050607080910111213141516171819202122232425262728293031323334353637383940"
                                      "4142434445464748495051525354555657585960616263646566676869707172737475767778798081"
                                      "828384858687888990919293949596979899";

// FormatNumber(width, decimals, min digits, value), the same text, faster for the usual cell.
std::string ReportCellNumber(int width, int decimals, int minDigits, double value, const NumberLocale& locale);
void ReportCellNumber(int width, int decimals, int minDigits, double value, const NumberLocale& locale,
                      std::string& out);

// Room for one cell's text while it is read: the usual cell is made in `chars`, the rare one that
// needs the general formatter lands in `spill`. Reused from cell to cell, it allocates nothing.
struct CellBuffer {
    char chars[64];
    std::string spill;
};

// The text of a cell of this format holding `number`, valid until the buffer is used again; a cells
// column also needs the row's parallel cell count.
std::string_view CellText(const CellFormat& format, double number, std::uint32_t parallelCells,
                          const NumberLocale& locale, CellBuffer& buffer);
// The same appended to `out`.
void AppendCellText(std::string& out, const CellFormat& format, double number, std::uint32_t parallelCells,
                    const NumberLocale& locale);
// The key a sort gives this number cell's text (its displayed value read back), made without the text
// where that gives the same double; std::nullopt where the text must be made and read.
std::optional<double> CellSortKey(const CellFormat& format, double number, char decimal, char timeSeparator);

// Memory for a row store; a large one is aligned to, and advised as, huge pages.
void* AllocateRowStore(std::size_t bytes);
void FreeRowStore(void* at, std::size_t bytes);

class ReportRows {
public:
    // Drops every row; each row then holds this many numbers.
    void SetColumns(int columns);
    int Columns() const { return columns_; }
    std::size_t Count() const { return sequence_.size(); }
    bool Empty() const { return sequence_.empty(); }
    void Reserve(std::size_t rows);

    // Adds `count` rows of zeros, plain, one parallel cell; their sequence numbers are their row
    // indices + 2, the grid row each is written to. Returns the first new row.
    std::size_t Add(std::size_t count = 1);
    // As Add, but the rows' numbers are left unset: for rows that are then filled whole on several
    // cores, so that each core also makes the first touch of its rows' memory.
    std::size_t AddUnset(std::size_t count);
    // Drops the rows from `count` on.
    void Truncate(std::size_t count);

    double Number(std::size_t row, int column) const { return numbers_[row * columns_ + column]; }
    std::span<double> Numbers(std::size_t row) { return {numbers_.data() + row * columns_, Width()}; }
    std::span<const double> Numbers(std::size_t row) const { return {numbers_.data() + row * columns_, Width()}; }
    std::uint32_t Sequence(std::size_t row) const { return sequence_[row]; }
    std::uint32_t ParallelCells(std::size_t row) const { return parallel_[row]; }
    void SetParallelCells(std::size_t row, std::uint32_t cells) { parallel_[row] = cells; }
    RowBackground Background(std::size_t row) const { return static_cast<RowBackground>(marks_[row] & kBackgroundBits); }
    bool PropStalled(std::size_t row) const { return (marks_[row] & kStalledBit) != 0; }
    void SetMarks(std::size_t row, RowBackground background, bool propStalled);

    // Puts the rows in this order (row i becomes the row that was at order[i]), in place: a large
    // report is never copied whole.
    void Reorder(std::span<const std::uint32_t> order);

    // Bytes held for the rows, reserved room included.
    std::size_t MemoryBytes() const;

private:
    static constexpr std::uint8_t kBackgroundBits = 0x3;
    static constexpr std::uint8_t kStalledBit = 0x4;
    std::size_t Width() const { return static_cast<std::size_t>(columns_); }

    // Value-initialises only when a value is given, so a resize alone leaves the memory untouched;
    // a large store is asked of the system in huge pages where it offers them, so that filling a
    // million rows does not take a page fault every 4 KB.
    template <class T>
    struct UnsetAllocator : std::allocator<T> {
        template <class U>
        struct rebind {
            using other = UnsetAllocator<U>;
        };
        using std::allocator<T>::allocator;
        T* allocate(std::size_t n) { return static_cast<T*>(AllocateRowStore(n * sizeof(T))); }
        void deallocate(T* at, std::size_t n) { FreeRowStore(at, n * sizeof(T)); }
        template <class U, class... Args>
        void construct(U* at, Args&&... args) {
            if constexpr (sizeof...(Args) == 0) ::new (static_cast<void*>(at)) U;
            else ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
        }
    };
    std::size_t AddRows(std::size_t count, bool zeroed);

    int columns_ = 0;
    std::vector<double, UnsetAllocator<double>> numbers_; // Count() rows of columns_ numbers
    std::vector<std::uint32_t> sequence_;
    std::vector<std::uint32_t> parallel_;
    std::vector<std::uint8_t> marks_;
};

} // namespace ampvane
