// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

// A library opened when it is first needed rather than with the program, so that runs which never use it
// do not pay for loading it (and everything it needs) at start.

namespace ampvane {

// One function to find: its name in the library and the pointer it is stored in.
using SharedLibrarySymbol = std::pair<const char*, void**>;

// Opens `file` (never closed again) and fills every pointer. On failure nothing is kept and the result
// is the loader's reason ("...: cannot open shared object file", "...: undefined symbol: ..."); empty on
// success.
std::string OpenSharedLibrary(const std::string& file, std::initializer_list<SharedLibrarySymbol> symbols);

} // namespace ampvane
