// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace httplib {
class Server;
}

namespace ampvane::server {

class ExchangeStore;

// Bounds how many writes one client address may make in a minute (0: no bound).
class RateLimiter {
public:
    explicit RateLimiter(int perMinute) : perMinute_(perMinute) {}
    bool Allow(const std::string& client, std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now());

private:
    int perMinute_;
    std::mutex mutex_;
    std::map<std::string, std::deque<std::chrono::steady_clock::time_point>> recent_;
};

struct ServiceOptions {
    int ratePerMinute = 0;
    std::size_t maxRequestBytes = std::size_t{2} << 20;
};

// Answers the exchange's requests from the store.
void InstallRoutes(httplib::Server& server, ExchangeStore& store, RateLimiter& limiter, const ServiceOptions& options);

} // namespace ampvane::server
