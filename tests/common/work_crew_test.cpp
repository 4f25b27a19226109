// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/work_crew.h"

#include <atomic>
#include <stdexcept>
#include <gtest/gtest.h>

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

} // namespace
} // namespace ampvane
