// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/licence.h"

namespace ampvane {

std::string VersionText(std::string_view program, std::string_view version) {
    std::string text;
    text.append(program).append(" ").append(version).append("\n");
    text.append(kCopyrightLine).append("\n");
    text += "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
            "This is free software: you are free to change and redistribute it.\n"
            "There is NO WARRANTY, to the extent permitted by law.\n";
    return text;
}

} // namespace ampvane
