// SPDX-License-Identifier: GPL-3.0-or-later
// The wiring options text stored with a project: any text must restore to a valid state and write
// back as one of the eight texts the wizard itself writes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/wiring.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ampvane::WiringState state;
    ampvane::RestoreWireInfo(state, text);
    const std::string saved = ampvane::SaveWireInfo(state);
    ampvane::WiringState again;
    ampvane::RestoreWireInfo(again, saved);
    if (!(again == state) || saved.size() > 8) std::abort();
    return 0;
}
