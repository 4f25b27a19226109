// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace ampvane {

inline constexpr std::string_view kCopyrightLine = "Copyright (C) 2026 the Ampvane developers";
// The short notice the banner shows under the copyright line.
inline constexpr std::string_view kLicenceNotice =
    "Free software under the GNU GPL version 3 or later; it comes with NO WARRANTY.";

// What every program's --version prints: its name and version, the copyright, the licence and the
// absence of warranty (the lines packaging tools and people look for).
std::string VersionText(std::string_view program, std::string_view version);

} // namespace ampvane
