// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/exchange_server.h"

#include <cctype>

namespace ampvane {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::optional<int> WholeNumber(std::string_view text, int low, int high) {
    text = Trim(text);
    if (text.empty() || text.size() > 6) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

bool HostCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

} // namespace

std::string ServerAddress::Authority() const {
    const bool ipv6 = host.find(':') != std::string::npos;
    std::string text = ipv6 ? "[" + host + "]" : host;
    if (port != 80) text += ":" + std::to_string(port);
    return text;
}

std::optional<ServerAddress> ParseServerAddress(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return ParseServerAddress(kDefaultServer);
    ServerAddress address;
    std::string_view host = text;
    std::string_view port;
    if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return std::nullopt;
            port = rest.substr(1);
            if (port.empty()) return std::nullopt;
        }
        for (char c : host)
            if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return std::nullopt;
    } else {
        const std::size_t colon = text.find(':');
        if (colon != std::string_view::npos) {
            host = text.substr(0, colon);
            port = text.substr(colon + 1);
            if (port.empty()) return std::nullopt;
        }
        for (char c : host)
            if (!HostCharacter(c)) return std::nullopt;
    }
    if (host.empty() || host.size() > 253) return std::nullopt;
    if (!port.empty()) {
        // No blanks inside "host:port".
        if (Trim(port).size() != port.size()) return std::nullopt;
        const std::optional<int> number = WholeNumber(port, 1, 65535);
        if (!number) return std::nullopt;
        address.port = *number;
    }
    address.host = std::string(host);
    return address;
}

std::string InvalidServerMessage(std::string_view text) {
    return "The exchange server \"" + std::string(text) +
           "\" is not a valid host name, optionally followed by a colon and a port number from 1 to 65535.";
}

std::optional<ProxyAddress> EffectiveProxy(const ExchangeSettings& settings) {
    if (settings.proxyHost.empty()) return std::nullopt;
    const std::optional<int> port = WholeNumber(settings.proxyPort, 0, 65535);
    if (!port) return std::nullopt;
    return ProxyAddress{settings.proxyHost, *port};
}

ServerAddress ServerOf(const ExchangeSettings& settings) {
    if (std::optional<ServerAddress> address = ParseServerAddress(settings.server)) return *address;
    return *ParseServerAddress(kDefaultServer);
}

std::string SiteUrl(const ServerAddress& server) { return "http://" + server.Authority(); }

} // namespace ampvane
