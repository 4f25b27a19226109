// SPDX-License-Identifier: GPL-3.0-or-later
// A support request body from any bytes: refused with a reason, or a message with all three fields.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "server/exchange_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ampvane::server;
    std::string reason;
    const auto message = ParseSupportBody(std::string_view(reinterpret_cast<const char*>(data), size), reason);
    if (!message && reason.empty()) std::abort();
    if (message && (message->sender.empty() || message->subject.empty() || message->message.empty())) std::abort();
    return 0;
}
