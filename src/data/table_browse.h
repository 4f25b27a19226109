// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/numeric_text.h"
#include "data/dbf_table.h"
#include "data/table_catalogue.h"

namespace ampvane {

// What the component browser shows and how it orders a table, without the window.

// The unit settings the browser converts stored values for.
struct BrowserUnits {
    int measurementMode = 0; // 0..3 as in the configuration
    bool forceInNewtons = false;
    NumberLocale locale;
};

// Order codes: 0 name order, +k ascending by column k, -k descending by column k, 99 likeness.
inline constexpr int kNameOrder = 0;
inline constexpr int kLikenessOrder = 99;

// The columns the grid shows (hidden ones left out), as column numbers of the table.
std::vector<int> BrowserColumns(const DbfTable& table, ComponentTableKind kind);

// Title and text of a grid cell: a stored 0 shows the column's default (or nothing), a number its
// display format, or its converted value when the unit settings ask for it.
std::string BrowserColumnTitle(const DbfTable& table, ComponentTableKind kind, int column);
std::string BrowserCellText(const DbfTable& table, ComponentTableKind kind, int column, const BrowserUnits& units);
bool BrowserColumnIsNumber(const DbfTable& table, int column);
// The grid width of a column in characters: its display width, else its stored width (at least the title).
int BrowserColumnWidth(const DbfTable& table, ComponentTableKind kind, int column);

// A number in a display format such as "0.000" or "00.0".
std::string FormatDisplayNumber(std::string_view format, double value, char decimal);

// "Speed Control Browser - 57 Speed Controls".
std::string BrowserCaption(ComponentTableKind kind, std::size_t count);

// The order code after a click on the title of column k, given the current code.
int OrderCodeAfterTitleClick(int current, int column);

// Makes column order `code` (±k) the table's active order, keeping the current record current. Code 0
// restores the name index. Records with equal keys keep their name order.
void SetColumnOrder(DbfTable& table, ComponentTableKind kind, int code);

// Orders the table by likeness to its current record (most alike first; the record itself leads) and
// returns the number of columns the likeness used (columns 1..n). A table without similarity weights
// keeps its order and gives 0.
int SetLikenessOrder(DbfTable& table, ComponentTableKind kind);

// The likeness key of the current record to the reference values, for tests and the ordering.
struct LikenessReference {
    std::vector<int> columns;
    std::vector<double> values;    // 0: the column adds no term
    std::vector<int> exponents;
    std::vector<double> defaults;  // the value a stored 0 stands for; 0 when none
};
LikenessReference MakeLikenessReference(const DbfTable& table, ComponentTableKind kind);
double LikenessKey(const DbfTable& table, const LikenessReference& reference);

// The table as the printer gets it: a title line, an empty line, one line per record in the current
// order, stored units without defaults. The table is left where it stood.
std::vector<std::string> BrowserPrintLines(DbfTable& table, ComponentTableKind kind);

// Type-ahead: characters typed within 0.864 s of each other build one search text, its first letter
// upper-cased; a longer pause starts a new one. One buffer serves every opening of the browser.
class TypeAhead {
public:
    using Clock = std::chrono::steady_clock;
    // Adds a typed character and returns the text to position on.
    const std::string& Add(char c, Clock::time_point now);

private:
    std::string buffer_;
    std::optional<Clock::time_point> last_;
};

// The export format a chosen file name and file-type filter (0 text, 1 HTML, 2 CSV) give.
enum class ExportChoice { Text, Html, Csv };
ExportChoice ExportChoiceFor(std::string_view fileName, int filterIndex);

} // namespace ampvane
