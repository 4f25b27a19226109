// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/work_crew.h"

#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#endif

namespace ampvane {

#ifdef __linux__
// Each helper keeps to a core of its own while the crew lasts, the k-th after its creator's among the
// cores the creator may use; the creator itself is left as it was. Left to the scheduler, a new or woken
// helper was often queued on the core of the thread that started or woke it while another core idled,
// for milliseconds at a time (seen: 15 ms at the start of a 170 ms report, and both text helpers taking
// turns on one core round after round). Work is shared out by turns, so a helper whose core is busy
// with something else only takes less of it.
struct WorkCrew::Placement {
    std::vector<int> cores; // the creator's allowed cores, its own first; empty: leave it to the scheduler

    Placement() {
        cpu_set_t allowed;
        CPU_ZERO(&allowed);
        if (pthread_getaffinity_np(pthread_self(), sizeof allowed, &allowed) != 0 || CPU_COUNT(&allowed) < 2) return;
        const int here = sched_getcpu();
        if (here < 0 || !CPU_ISSET(here, &allowed)) return;
        for (int cpu = here; cpu < CPU_SETSIZE; ++cpu)
            if (CPU_ISSET(cpu, &allowed)) cores.push_back(cpu);
        for (int cpu = 0; cpu < here; ++cpu)
            if (CPU_ISSET(cpu, &allowed)) cores.push_back(cpu);
    }
    // Failing only leaves the helper to the scheduler.
    void Helper(std::thread& thread, unsigned helper) const {
        if (cores.empty()) return;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(cores[(helper + 1) % cores.size()], &one);
        pthread_setaffinity_np(thread.native_handle(), sizeof one, &one);
    }
};
#else
struct WorkCrew::Placement {
    void Helper(std::thread&, unsigned) const {}
};
#endif

WorkCrew::WorkCrew(unsigned helpers) : placement_(helpers > 0 ? std::make_unique<Placement>() : nullptr) {
    threads_.reserve(helpers);
    for (unsigned k = 0; k < helpers; ++k) {
        threads_.emplace_back([this, k] { Serve(k); });
        placement_->Helper(threads_.back(), k);
    }
}

WorkCrew::~WorkCrew() {
    {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [this] { return busy_ == 0; });
        closing_ = true;
    }
    started_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

WorkCrew::Round WorkCrew::Start(const std::function<void(unsigned)>& job) {
    if (threads_.empty()) return Round(*this);
    {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [this] { return busy_ == 0; });
        job_ = &job;
        busy_ = Helpers();
        ++round_;
    }
    started_.notify_all();
    return Round(*this);
}

void WorkCrew::Wait() {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return busy_ == 0; });
}

void WorkCrew::Serve(unsigned helper) {
    unsigned long long done = 0;
    for (;;) {
        const std::function<void(unsigned)>* job = nullptr;
        {
            std::unique_lock lock(mutex_);
            started_.wait(lock, [&] { return closing_ || round_ != done; });
            if (closing_) return;
            done = round_;
            job = job_;
        }
        (*job)(helper);
        bool last = false;
        {
            std::lock_guard lock(mutex_);
            last = --busy_ == 0;
        }
        if (last) finished_.notify_all();
    }
}

} // namespace ampvane
