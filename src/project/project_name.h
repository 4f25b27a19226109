// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace ampvane {

// The name of a project never saved; shown in titles and report captions, never stored as a project.
inline constexpr std::string_view kUntitledProject = "Untitled";

} // namespace ampvane
