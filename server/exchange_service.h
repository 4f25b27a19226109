// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <boost/asio/thread_pool.hpp>
#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "server/group_commit.h"
#include "server/request_handler.h"

namespace ampvane::server {

class ExchangeStore;

// Bounds how many writes one client address may make in a minute (0: no bound). An address is
// forgotten a minute after its last write, so the table holds only the addresses of the last minute or two.
class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;
    explicit RateLimiter(int perMinute) : perMinute_(perMinute) {}
    bool Allow(const std::string& client, Clock::time_point now = Clock::now());
    // How many addresses are remembered.
    std::size_t Addresses();

private:
    int perMinute_;
    std::mutex mutex_;
    std::map<std::string, std::vector<Clock::time_point>> recent_;
    Clock::time_point lastSweep_{};
};

struct ServiceOptions {
    int ratePerMinute = 0;
    // dump.cgi answers at most this many of a table's newest contributions; a client may ask for fewer.
    long long dumpLimit = 10000;
};

// Answers the exchange's requests from the store: reads on a small pool of threads, contributions and
// support requests through the group committer.
class ExchangeService final : public RequestHandler {
public:
    ExchangeService(ExchangeStore& store, const ServiceOptions& options);
    ~ExchangeService() override;
    void Handle(ExchangeRequest request, ExchangeReply reply) override;
    // Finishes the work in hand (queued writes are committed) and stops the threads.
    void Close();

private:
    ExchangeAnswer Read(const std::string& path, const std::string& query);
    ExchangeStore& store_;
    ServiceOptions options_;
    RateLimiter limiter_;
    GroupCommitter committer_;
    boost::asio::thread_pool readers_{2};
};

} // namespace ampvane::server
