// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/work_crew.h"

#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#endif

namespace ampvane {

#ifdef __linux__
// The crew's threads each keep to a core of their own while the crew lasts: the creator to the core it
// is on, helper k to the k-th core after it among those the creator may use. Left to the scheduler, a
// new or woken helper was often queued on the core of the thread that started or woke it while the
// other core idled, for milliseconds at a time (seen: 15 ms at the start of a 170 ms report, and both
// text helpers taking turns on one core round after round); on a machine with more work than cores,
// work shared out by turns still lets a slow thread take less. The creator's own cores come back at
// the end.
struct WorkCrew::Placement {
    pthread_t creator = pthread_self();
    cpu_set_t allowed;
    std::vector<int> cores; // the allowed ones, from the creator's
    bool placed = false;

    Placement() {
        CPU_ZERO(&allowed);
        if (pthread_getaffinity_np(creator, sizeof allowed, &allowed) != 0 || CPU_COUNT(&allowed) < 2) return;
        const int here = sched_getcpu();
        if (here < 0 || !CPU_ISSET(here, &allowed)) return;
        for (int cpu = here; cpu < CPU_SETSIZE; ++cpu)
            if (CPU_ISSET(cpu, &allowed)) cores.push_back(cpu);
        for (int cpu = 0; cpu < here; ++cpu)
            if (CPU_ISSET(cpu, &allowed)) cores.push_back(cpu);
        placed = Keep(creator, 0);
    }
    ~Placement() {
        if (placed) pthread_setaffinity_np(creator, sizeof allowed, &allowed);
    }
    // Failing only leaves the placement to the scheduler.
    bool Keep(pthread_t thread, std::size_t core) const {
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(cores[core % cores.size()], &one);
        return pthread_setaffinity_np(thread, sizeof one, &one) == 0;
    }
    void Helper(std::thread& thread, unsigned helper) const {
        if (placed) Keep(thread.native_handle(), helper + 1);
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
