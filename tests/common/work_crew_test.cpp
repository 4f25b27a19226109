// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/work_crew.h"

#include <atomic>
#include <gtest/gtest.h>

namespace ampvane {
namespace {

// Many short rounds in a row, as a sweep's blocks come: every helper runs each job exactly once, the
// caller's own work meanwhile is not waited for, and a crew destroyed right after a Start still
// finishes that job first.
TEST(WorkCrew, EveryHelperRunsEachJobOnceRoundAfterRound) {
    for (unsigned helpers : {0u, 1u, 3u}) {
        std::atomic<long> total{0};
        std::vector<std::atomic<int>> perHelper(helpers);
        {
            const std::function<void(unsigned)> last = [&](unsigned k) { ++perHelper[k]; };
            WorkCrew crew(helpers); // after `last`, so that it is gone first
            EXPECT_EQ(crew.Helpers(), helpers);
            for (int round = 1; round <= 2000; ++round) {
                const std::function<void(unsigned)> job = [&](unsigned k) {
                    ++perHelper[k];
                    total += round;
                };
                crew.Start(job);
                total += 0; // the caller works beside them
                crew.Wait();
                ASSERT_EQ(total.load(), static_cast<long>(helpers) * round * (round + 1) / 2) << helpers;
            }
            crew.Start(last);
        }
        for (unsigned k = 0; k < helpers; ++k) EXPECT_EQ(perHelper[k].load(), 2001) << k;
    }
}

} // namespace
} // namespace ampvane
