// SPDX-License-Identifier: GPL-3.0-or-later
// The tip file: any contents and any stored number give a tip or one of the two fixed texts, never a
// crash, and the stored number stays within the file's tips.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "help/tips.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int last = static_cast<int>(data[0]) - 8; // a few negative (damaged) numbers too
    const std::string_view contents(reinterpret_cast<const char*>(data + 1), size - 1);
    const ampvane::TipStep step = ampvane::NextTip(contents, last);
    if (step.found && (step.lastTip < 0 || step.lastTip > static_cast<int>(size))) std::abort();
    if (step.topic && *step.topic <= 0) std::abort();
    (void)ampvane::PrintedTipText(step.text);
    return 0;
}
