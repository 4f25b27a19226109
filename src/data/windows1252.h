// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace ampvane {

// Tables store text as Windows-1252; the rest of the program works in UTF-8. These convert at that
// edge. Characters that Windows-1252 cannot hold, and malformed UTF-8, become '?'.
std::string Utf8FromWindows1252(std::string_view bytes);
std::string Windows1252FromUtf8(std::string_view utf8);

} // namespace ampvane
