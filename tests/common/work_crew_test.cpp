// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/work_crew.h"

#include <atomic>
#include <stdexcept>
#include <gtest/gtest.h>

#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#endif

namespace ampvane {
namespace {

// Many short rounds in a row, as a sweep's blocks come: every helper runs each job exactly once and
// the caller works meanwhile; a round left by an exception still waits for its job to be done.
TEST(WorkCrew, EveryHelperRunsEachJobOnceRoundAfterRound) {
    for (unsigned helpers : {0u, 1u, 3u}) {
        std::atomic<long> total{0};
        std::vector<std::atomic<int>> perHelper(helpers);
        {
            WorkCrew crew(helpers);
            EXPECT_EQ(crew.Helpers(), helpers);
            for (int round = 1; round <= 2000; ++round) {
                const std::function<void(unsigned)> job = [&](unsigned k) {
                    ++perHelper[k];
                    total += round;
                };
                { const WorkCrew::Round running = crew.Start(job); }
                ASSERT_EQ(total.load(), static_cast<long>(helpers) * round * (round + 1) / 2) << helpers;
            }
            // A round that throws before the helpers are done still waits for them.
            std::atomic<unsigned> finished{0};
            const std::function<void(unsigned)> slow = [&](unsigned k) {
                volatile double x = 1;
                for (int i = 0; i < 1'000'000; ++i) x = x * 1.0000001;
                ++perHelper[k];
                ++finished;
            };
            EXPECT_THROW(
                {
                    const WorkCrew::Round running = crew.Start(slow);
                    throw std::runtime_error("the caller's part failed");
                },
                std::runtime_error);
            EXPECT_EQ(finished.load(), helpers);
        }
        for (unsigned k = 0; k < helpers; ++k) EXPECT_EQ(perHelper[k].load(), 2001) << k;
    }
}

#ifdef __linux__
// The helpers keep to cores of their own, never outside the cores the creator was allowed (as by
// taskset), also when there are more helpers than cores; the creator's own cores stay as they were.
TEST(WorkCrew, HelpersKeepToTheCreatorsCoresAndLeaveItsOwnAlone) {
    cpu_set_t original;
    ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof original, &original), 0);
    // One core alone, the last allowed: a helper placed by counting on from it without looking at the
    // allowed cores would land outside them.
    cpu_set_t limited;
    CPU_ZERO(&limited);
    for (int cpu = CPU_SETSIZE - 1; cpu >= 0; --cpu)
        if (CPU_ISSET(cpu, &original)) {
            CPU_SET(cpu, &limited);
            break;
        }
    for (const cpu_set_t* allowed : {&original, &limited}) {
        ASSERT_EQ(pthread_setaffinity_np(pthread_self(), sizeof *allowed, allowed), 0);
        for (unsigned helpers : {1u, 5u}) {
            std::atomic<int> outside{0};
            {
                WorkCrew crew(helpers);
                const std::function<void(unsigned)> job = [&](unsigned) {
                    if (!CPU_ISSET(sched_getcpu(), allowed)) ++outside;
                };
                for (int round = 0; round < 20; ++round) {
                    const WorkCrew::Round running = crew.Start(job);
                }
                cpu_set_t during;
                ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof during, &during), 0);
                EXPECT_TRUE(CPU_EQUAL(&during, allowed)) << helpers;
            }
            EXPECT_EQ(outside.load(), 0) << helpers;
        }
    }
    ASSERT_EQ(pthread_setaffinity_np(pthread_self(), sizeof original, &original), 0);
}
#endif

} // namespace
} // namespace ampvane
