// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "server/exchange_store.h"

namespace ampvane::server {

// Writes contributions and support requests on a thread of its own. Everything that arrives while a
// commit is being synced to disk goes into the next transaction together, so one sync serves many
// clients under load; each write is reported (its row id, 0 when it failed) only after its commit.
class GroupCommitter {
public:
    using Done = std::function<void(long long id)>;
    explicit GroupCommitter(ExchangeStore& store);
    // Commits what is queued, then stops.
    ~GroupCommitter();
    GroupCommitter(const GroupCommitter&) = delete;
    GroupCommitter& operator=(const GroupCommitter&) = delete;

    void Add(StoreWrite write, Done done);
    // As the destructor; later writes are reported as failed at once.
    void Close();

private:
    void Run();
    ExchangeStore& store_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::pair<StoreWrite, Done>> queue_;
    bool closing_ = false;
    std::thread thread_;
};

} // namespace ampvane::server
