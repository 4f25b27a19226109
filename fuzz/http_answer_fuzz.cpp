// SPDX-License-Identifier: GPL-3.0-or-later
// What the client takes from a server's answer beyond the body: a redirect's "Location" (resolved
// against the current address) and a server address typed into the configuration.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "online/exchange_server.h"
#include "online/http_client.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ampvane;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ServerAddress server{"exchange.example", 80};
    std::string target = "/data/send.cgi?data=all&ver=809";
    if (ResolveRedirect(text, server, target)) {
        // Whatever is followed stays a plain path on a host that parses back to itself.
        if (target.empty() || target.front() != '/') std::abort();
        if (ParseServerAddress(server.Authority()) != server) std::abort();
    }
    if (const std::optional<ServerAddress> parsed = ParseServerAddress(text)) {
        if (ParseServerAddress(parsed->Authority()) != parsed) std::abort();
    }
    return 0;
}
