// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "online/exchange_server.h"

// One HTTP/1.0 transfer with the exchange server, over libcurl. The caller's observer hears what
// happens (name resolved, connected, packets, outcome) and is polled while the transfer waits, so a
// window can repaint and offer Cancel. libcurl is loaded at the first transfer, so that programs and
// runs that never go online do not pay for loading it at start.

namespace ampvane {

enum class HttpEventKind { Resolved, Connected, ConnectFailed, Packet, Completed, Failed };

struct HttpEvent {
    HttpEventKind kind = HttpEventKind::Packet;
    std::int64_t received = 0; // body bytes so far (Packet)
    std::int64_t total = -1;   // the announced body length; -1 when unknown
    std::string detail;        // what went wrong (ConnectFailed, Failed)
};

class HttpObserver {
public:
    virtual ~HttpObserver() = default;
    virtual void OnHttpEvent(const HttpEvent&) {}
    // Called at least every few tens of milliseconds while the transfer runs. True stops it at once.
    virtual bool Poll() { return false; }
};

// Bounds that keep a dead or hostile server from hanging the program or filling the disk.
struct HttpLimits {
    int maxRedirects = 10;
    std::chrono::seconds connectTimeout{15};
    // A transfer that moves fewer than minimumRate bytes a second for this long fails.
    std::chrono::seconds silenceTimeout{30};
    long minimumRate = 10;
    std::int64_t maxBody = std::int64_t{64} << 20;
    // The whole transfer, redirects included, ends in this time: a server that trickles just fast
    // enough for the rule above must not keep it running for ever.
    std::chrono::seconds deadline{120};
};

struct HttpRequest {
    bool post = false;
    ServerAddress server;
    std::string target; // path and query, starting with "/"
    std::optional<ProxyAddress> proxy;
    std::string postBodyFile; // POST: the file whose bytes are the request body
    std::string bodyFile;     // where the answer's body goes; empty: kept in memory
    std::string headerFile;   // where the answer's header goes; empty: not written
};

struct HttpResult {
    bool success = false; // a final status from 200 to 298
    long status = 0;      // the final status; 0 when no answer came
    bool cancelled = false;
    std::string body;   // the body when no body file was given
    // What went wrong, for the user, saying whether trying again can help; empty on success.
    std::string error;
    std::string target; // the path and query finally fetched (after redirects)
};

// Runs the transfer. Redirects (300 to 302) are followed to their "Location"; an address without any
// "/" names a file at the root of the same host. A request with a body is redirected only to the same
// host and port: the body is never sent where the user did not send it. After a failure no body file
// is left behind. When the network library cannot be loaded every transfer fails, saying so, before
// any file is touched; `networkLibrary` is the file loaded (another one only in tests).
inline constexpr std::string_view kNetworkLibrary = "libcurl.so.4";
HttpResult PerformHttp(const HttpRequest& request, const HttpLimits& limits, HttpObserver& observer,
                       std::string_view networkLibrary = kNetworkLibrary);

// Where a redirect leads from `target` on `server`: an absolute "http://" address, a path from the
// root, a path relative to the current folder, or a bare file name (at the root). Rejects other
// schemes. Updates server and target; false when the location cannot be followed.
bool ResolveRedirect(std::string_view location, ServerAddress& server, std::string& target);

} // namespace ampvane
