// SPDX-License-Identifier: GPL-3.0-or-later
// The exchange server's query decoding from any bytes: it may refuse, never crash; and pairs encoded
// again, every byte escaped, decode to the same pairs.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "server/exchange_protocol.h"

namespace {

std::string Escaped(std::string_view text) {
    std::string out;
    char hex[4];
    for (unsigned char c : text) {
        std::snprintf(hex, sizeof hex, "%%%02X", c);
        out += hex;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ampvane::server;
    const std::optional<QueryPairs> pairs = DecodeQuery(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!pairs) return 0;
    std::string again;
    for (const auto& [name, value] : *pairs) again += (again.empty() ? "" : "&") + Escaped(name) + "=" + Escaped(value);
    const std::optional<QueryPairs> decoded = DecodeQuery(again);
    // An empty query and a single empty pair both encode as "=" or nothing; compare only what can be told apart.
    if (!pairs->empty() && (!decoded || *decoded != *pairs)) std::abort();
    return 0;
}
