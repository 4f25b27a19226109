// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace ampvane {

// The name of the person who owns this account (the full-name field of the account entry), offered
// as the default contributor name. Empty when the account has none. At most 79 bytes, cut only
// between characters.
std::string OwnerName();

// The rule above applied to an account entry's full-name field ("Name,room,phone,...").
std::string OwnerNameFromAccountField(const std::string& field);

} // namespace ampvane
