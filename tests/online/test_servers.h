// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// Servers the online tests talk to, all on the loopback address.

namespace ampvane::testing {

// ampvane-server started on a free port with a fresh data folder; stopped (and the folder removed)
// when destroyed.
class ExchangeServerProcess {
public:
    explicit ExchangeServerProcess(const std::string& catalogueFile = {});
    ~ExchangeServerProcess();
    ExchangeServerProcess(const ExchangeServerProcess&) = delete;
    ExchangeServerProcess& operator=(const ExchangeServerProcess&) = delete;

    int Port() const { return port_; }
    // "127.0.0.1:port"
    std::string Address() const;
    const std::string& DataFolder() const { return folder_; }

private:
    std::string folder_;
    int pid_ = -1;
    int port_ = 0;
};

// A misbehaving server for the client's defences. Every connection is answered by the behaviour that
// the request's path names: /loop (a redirect to itself), /huge (announces 1 GiB), /endless (streams
// without a length until the client gives up), /drip (one byte, then silence until the client leaves),
// /garbage (no HTTP at all), /half (announces 1000 bytes, sends 10 and closes), /moved (a redirect to a
// bare file name), /file.txt (a small body), /trickle (announces 100,000 bytes and sends 20 a second
// until the client leaves), anything else 404.
class HostileServer {
public:
    HostileServer();
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;
    int Port() const { return port_; }
    std::string Address() const;
    // Answers requests for `path` (the query ignored) with `answer`: the raw bytes sent (status line,
    // header, body), or, when it starts with "/", the behaviour of that path above.
    void Answer(const std::string& path, std::string answer);
    // The request lines and header of the last request, as received.
    std::string LastRequest() const;
    int Requests() const;
    // Blocks until `count` requests have arrived.
    void AwaitRequests(int count) const;

private:
    void Serve();
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::string lastRequest_;
    int requests_ = 0;
    std::map<std::string, std::string> answers_;
};

} // namespace ampvane::testing
