// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "server/exchange_protocol.h"
#include "server/request_handler.h"

namespace ampvane::server {

// What one client may cost the server. Every connection is served asynchronously on one network
// thread, so a slow or silent client holds a socket and a few kilobytes, never a thread.
struct HttpLimits {
    std::size_t maxConnections = 4096; // open at once; past it a new connection is answered 503
    std::size_t maxBodyBytes = kMaxRequestBodyBytes; // counted on the wire, chunk framing included
    std::size_t bodyBudgetBytes = std::size_t{32} << 20; // all bodies in memory at once; past it 503
    std::chrono::milliseconds headerDeadline = std::chrono::seconds(10); // the whole request header
    std::chrono::milliseconds bodyDeadline = std::chrono::seconds(60);   // the whole body
    std::chrono::milliseconds answerDeadline = std::chrono::seconds(60); // writing the answer
    int backlog = 4096;
};

// The HTTP/1.x front of the exchange: parses requests (Boost.Beast), enforces the limits above, hands
// each complete request to the handler and writes its answer. Request bodies with a Content-Encoding
// are refused, never inflated; Range requests are answered whole.
class HttpServer {
public:
    HttpServer(RequestHandler& handler, const HttpLimits& limits);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds and listens; the port (the one chosen for port 0), or nullopt with the reason.
    std::optional<int> Listen(const std::string& host, int port, std::string& error);
    // Makes SIGINT and SIGTERM stop the server.
    void StopOnSignals();
    // Serves on the calling thread until Stop.
    void Run();
    // From any thread.
    void Stop();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace ampvane::server
