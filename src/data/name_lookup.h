// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "data/dbf_table.h"

namespace ampvane {

// Name lookups on a component table in its active order (the name index unless a browser order is
// active).

// True when a record whose name equals `name` exactly (case-sensitive; trailing blanks of the stored
// name ignored) exists; the table is then positioned on it. A name longer than the name column is
// compared as far as the column holds it, since that is how it was stored.
bool FindComponentByName(DbfTable& table, std::string_view name);

// Positions on the record whose name best matches `name`: the first name not less than it, unless the
// name before shares a longer leading part with `name`.
void PositionNearestName(DbfTable& table, std::string_view name);

enum class FindDirection { FromFirst = 0, Forward = 1, Backward = 2 };

// Finds the next record (in the given direction) whose name contains `text`, ignoring letter case.
// False at the end (or start) of the table, where it is then left; an empty text matches nothing.
bool FindNameContaining(DbfTable& table, std::string_view text, FindDirection direction);

} // namespace ampvane
