// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ampvane {

// The exchange server every online operation talks to. The configuration's "server" value (host, or
// host:port) replaces it; an empty value means this default.
inline constexpr std::string_view kDefaultServer = "exchange.ampvane.org";
// The client version sent with every request: program version 8.09 without its point.
inline constexpr std::string_view kClientVersion = "809";
inline constexpr std::string_view kProgramVersion = "8.09";
// The program name sent in the "From" header field.
inline constexpr std::string_view kProgramName = "Ampvane";
// Shown in the support window and named in its no-client message.
inline constexpr std::string_view kSupportAddress = "support@ampvane.org";

struct ServerAddress {
    std::string host;
    int port = 80;
    // "host" on port 80, else "host:port": the text used in URLs and messages.
    std::string Authority() const;
    bool operator==(const ServerAddress&) const = default;
};

// Reads "host[:port]" (blanks around it ignored; an IPv6 address in brackets). Empty gives the
// default. nullopt for a host with blanks, slashes or other characters a host name cannot hold, or a
// port that is not a whole number from 1 to 65535.
std::optional<ServerAddress> ParseServerAddress(std::string_view text);

// The message for a "server" value that ParseServerAddress refuses.
std::string InvalidServerMessage(std::string_view text);

// What every transfer needs from the configuration.
struct ExchangeSettings {
    std::string server;    // "host[:port]"; empty: kDefaultServer
    std::string proxyHost; // empty: no proxy
    std::string proxyPort; // used only when it reads as a whole number from 0 to 65535
};

struct ProxyAddress {
    std::string host;
    int port = 0;
};

// The proxy to use: only with a non-empty host and a port text that is a whole number 0..65535.
std::optional<ProxyAddress> EffectiveProxy(const ExchangeSettings& settings);

// The server of the settings; the default when the value cannot be read (see ParseServerAddress).
ServerAddress ServerOf(const ExchangeSettings& settings);

// "http://" + authority.
std::string SiteUrl(const ServerAddress& server);

} // namespace ampvane
