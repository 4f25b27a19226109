// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/group_commit.h"

namespace ampvane::server {

namespace {
// Bounds one transaction, so a burst never holds the write lock for long.
constexpr std::size_t kMaxBatch = 512;
} // namespace

GroupCommitter::GroupCommitter(ExchangeStore& store) : store_(store), thread_([this] { Run(); }) {}

GroupCommitter::~GroupCommitter() { Close(); }

void GroupCommitter::Add(StoreWrite write, Done done) {
    {
        std::lock_guard lock(mutex_);
        if (!closing_) {
            queue_.emplace_back(std::move(write), std::move(done));
            wake_.notify_one();
            return;
        }
    }
    done(0);
}

void GroupCommitter::Close() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        wake_.notify_one();
    }
    if (thread_.joinable()) thread_.join();
}

void GroupCommitter::Run() {
    for (;;) {
        std::vector<std::pair<StoreWrite, Done>> batch;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return closing_ || !queue_.empty(); });
            if (queue_.empty()) return; // closing, and nothing left to write
            const std::size_t count = std::min(queue_.size(), kMaxBatch);
            batch.assign(std::make_move_iterator(queue_.begin()), std::make_move_iterator(queue_.begin() + static_cast<std::ptrdiff_t>(count)));
            queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(count));
        }
        std::vector<StoreWrite> writes;
        writes.reserve(batch.size());
        for (auto& entry : batch) writes.push_back(std::move(entry.first));
        const std::vector<long long> ids = store_.AddAll(writes);
        for (std::size_t i = 0; i < batch.size(); ++i) batch[i].second(ids[i]);
    }
}

} // namespace ampvane::server
