// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/work_crew.h"

namespace ampvane {

WorkCrew::WorkCrew(unsigned helpers) {
    threads_.reserve(helpers);
    for (unsigned k = 0; k < helpers; ++k) threads_.emplace_back([this, k] { Serve(k); });
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
