// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
// bare file name), /file.txt (a small body), anything else 404.
class HostileServer {
public:
    HostileServer();
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;
    int Port() const { return port_; }
    std::string Address() const;
    // The request lines and header of the last request, as received.
    std::string LastRequest() const;

private:
    void Serve();
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    mutable std::string lastRequest_;
};

} // namespace ampvane::testing
