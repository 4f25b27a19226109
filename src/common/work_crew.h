// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace ampvane {

// Helper threads kept for a run of parallel steps (the blocks of a report sweep, the blocks of its text),
// so that a step does not start and stop threads, and what a thread keeps from step to step (its
// allocator arena, its scratch room) stays warm.
class WorkCrew {
public:
    explicit WorkCrew(unsigned helpers);
    ~WorkCrew();
    WorkCrew(const WorkCrew&) = delete;
    WorkCrew& operator=(const WorkCrew&) = delete;

    // Waits, when it goes, for the helpers to finish the job it was started with, so that the job
    // cannot go before them, not even when the caller's own work throws.
    class [[nodiscard]] Round {
    public:
        explicit Round(WorkCrew& crew) : crew_(crew) {}
        ~Round() { crew_.Wait(); }
        Round(const Round&) = delete;
        Round& operator=(const Round&) = delete;

    private:
        WorkCrew& crew_;
    };

    unsigned Helpers() const { return static_cast<unsigned>(threads_.size()); }
    // Runs job(k) on helper k, for every helper, and returns at once; the caller may work meanwhile
    // until the round goes. The job must outlive the round.
    Round Start(const std::function<void(unsigned)>& job);

private:
    void Wait();
    void Serve(unsigned helper);

    struct Placement;
    std::unique_ptr<Placement> placement_; // which core each helper keeps to

    std::mutex mutex_;
    std::condition_variable started_, finished_;
    const std::function<void(unsigned)>* job_ = nullptr;
    unsigned long long round_ = 0; // counts Starts, so that a helper runs each job once
    unsigned busy_ = 0;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

} // namespace ampvane
