// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "data/dbf_table.h"

// Numbers as a numeric column of a table takes them, for code that checks values without a table
// (the exchange server refuses what the program's tables would refuse).

namespace ampvane {

// The right-aligned field text of a number for a numeric column, or the error the column gives (not
// finite, outside the column's range, too wide for its width): what DbfTable::SetNumber writes or reports.
std::string NumberField(const DbfColumn& column, double value, std::string& field);

// The error that DbfTable::SetText would report for a typed number in this column; empty when it fits
// (a blank text fits: it clears the field).
std::string NumberTextError(const DbfColumn& column, std::string_view text, char decimal = '.');

} // namespace ampvane
