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
// The crew keeps its threads to cores of their own while it lasts: never outside the cores the creator
// was allowed (as by taskset), and the creator has exactly those back afterwards, also after a crew of
// more helpers than cores.
TEST(WorkCrew, KeepsToTheCreatorsCoresAndGivesThemBack) {
    cpu_set_t original;
    ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof original, &original), 0);
    cpu_set_t limited;
    CPU_ZERO(&limited);
    for (int cpu = 0, kept = 0; cpu < CPU_SETSIZE && kept < 2; ++cpu)
        if (CPU_ISSET(cpu, &original)) CPU_SET(cpu, &limited), ++kept;
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
            }
            EXPECT_EQ(outside.load(), 0) << helpers;
            cpu_set_t after;
            ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof after, &after), 0);
            EXPECT_TRUE(CPU_EQUAL(&after, allowed)) << helpers;
        }
    }
    ASSERT_EQ(pthread_setaffinity_np(pthread_self(), sizeof original, &original), 0);
}
#endif

} // namespace
} // namespace ampvane
