// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "project/workbench_fields.h"

// Texts of the workbench window that are used in more than one place.

namespace ampvane::texts {

inline constexpr const char* kComputeButton = " Comp&ute Report...";
inline constexpr const char* kOhm = "\xCE\xA9";

// The six component name fields carry the name pop-up menu.
inline bool IsNameField(WorkbenchControl id) {
    const int number = ControlInfo(id).fieldNumber;
    return number != 0 && number % 100 == 0;
}

// "&Open " + kind + " Browser..." for the group of a name field.
inline std::string NamePopupOpenCaption(WorkbenchControl id) {
    const char* kind = "";
    switch (ControlInfo(id).fieldNumber / 100) {
    case 1: kind = "Motor"; break;
    case 2: kind = "Cell"; break;
    case 3: kind = "Filter"; break;
    case 4: kind = "Drive System"; break;
    case 6: kind = "Speed Control"; break;
    case 7: kind = "Airframe"; break;
    default: break;
    }
    return std::string("&Open ") + kind + " Browser...";
}

} // namespace ampvane::texts
