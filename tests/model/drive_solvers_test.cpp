// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/electric_chain.h"
#include "model/fan.h"
#include "model/propeller.h"

namespace ampvane {

TEST(ElectricChain, SingleMotorAtRestDrawsStallCurrent) {
    EXPECT_NEAR(MotorCurrentInCircuit(1, 1, 1, 1, 1, 1, 0, 0.01, 0.02, 1.2, 0.1, 1000, 1), 1.2 / 0.13, 1e-12);
    EXPECT_NEAR(MaxPowerCurrent(10, 0.1, 2), 51, 1e-12);
    EXPECT_EQ(RunTimeSeconds(1, 2000, 20), 360);
    EXPECT_EQ(RunTimeSeconds(1, 2.5, 3.6), 2); // 2.5 goes to the even integer
}

TEST(PropellerDrive, WeakBatteryGivesFloorAndStaticSolveBalances) {
    EXPECT_DOUBLE_EQ(PropDriveRpm(1, 1, 1, 1, 1, 2, 1, 1, 1, 6, 10, 1, 1, 0, 0, 1, 1, 100, 1000), 0.1);
    const auto d = SolvePropDrive(10, 1, 1, true, 20, 3.8, 1, 0.95, 1, 2, 1, 1, 1, 0, 6, 10, 1, 1, 0.01, 0.005,
                                  1.2, 6, 0.1, 1, 1000);
    ASSERT_FALSE(d.Failed);
    EXPECT_GT(d.Rpm, 1000);
    EXPECT_GT(PropThrust(0.95, 1, d.OutputPower, 0, 1, d.Rpm, 6, 10).Thrust, 0);
}

TEST(FanDrive, StaticSolveSucceeds) {
    const auto f = SolveFanDrive(10, 1, 1, true, 20, 3.8, 1, 0.82, 1, 1, 0, 3, 1, 3, 0.01, 0.005, 1.2, 6, 0.05,
                                 1, 3000);
    ASSERT_FALSE(f.Failed);
    EXPECT_GT(f.Rpm, 1000);
}

} // namespace ampvane
