// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/flight.h"

#include <cmath>
#include <numbers>

namespace ampvane {

TEST(FlightForces, LevelFlightSpeedCarriesTheWeight) {
    const double V = LevelFlightSpeed(0.95, 0.5, 600, 40);
    EXPECT_NEAR(LiftForce(0.95, V, 600, 0.5), 40, 1e-9);
    EXPECT_NEAR(DragForce(1, 30, 600, 0.05), 0.000278412926 * 900 * 600 * 0.05, 1e-12);
    // No wing, no lift coefficient or no air: no speed carries the weight.
    EXPECT_EQ(LevelFlightSpeed(1, 0.5, 0, 40), 0);
    EXPECT_EQ(LevelFlightSpeed(1, 0, 600, 40), 0);
    EXPECT_EQ(LevelFlightSpeed(0, 0.5, 600, 40), 0);
    EXPECT_EQ(LevelFlightSpeed(1, -0.2, 600, 40), 0);
}

TEST(FlightForces, ArcSinIsClampedAtTheEnds) {
    EXPECT_DOUBLE_EQ(ArcSin(3), std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(ArcSin(-1.5), -std::numbers::pi / 2);
    EXPECT_EQ(ArcSin(std::nan("")), 0);
}

TEST(Climb, PowerOffGlideAndFullPowerVerticalClimb) {
    const double V = LevelFlightSpeed(1, 0.5, 600, 40);
    const ClimbResult glide = GlideSinkRate(1, 600, 40, 0.5, 10);
    ASSERT_TRUE(glide.Valid);
    EXPECT_NEAR(glide.RateOfClimb, -V / 10 * 88, 0.01 * V / 10 * 88);
    EXPECT_NEAR(glide.ClimbAngle, -5.7, 0.05);
    EXPECT_NEAR(std::sin(glide.ClimbAngle / 57.29577951), glide.RateOfClimb / 88 / V, 1e-3);

    // 10 cells on a 10×6 are far stronger than a 4 oz glider: the climb is vertical.
    const ClimbResult vertical = SolveClimb(10, 1, 1, false, 20, 3.8, 1, 0.95, 1, 2, 1, 1, 1, 6, 10, 1, 1, 0.01,
                                            0.005, 1.2, 6, 0.1, 1, 1000, 600, 4, 0.5, 10);
    ASSERT_TRUE(vertical.Valid);
    EXPECT_NEAR(vertical.ClimbAngle, 90, 1e-6);
    EXPECT_GT(vertical.RateOfClimb, 0);
    // Without cell voltage there is no thrust: the same as the glide.
    const ClimbResult unpowered = SolveClimb(10, 1, 1, false, 20, 3.8, 1, 0.95, 1, 2, 1, 1, 1, 6, 10, 1, 1, 0.01,
                                             0.005, 0, 6, 0.1, 1, 1000, 600, 40, 0.5, 10);
    EXPECT_DOUBLE_EQ(unpowered.RateOfClimb, glide.RateOfClimb);
    // No wing or no weight: nothing to compute.
    EXPECT_FALSE(GlideSinkRate(1, 0, 40, 0.5, 10).Valid);
    EXPECT_FALSE(GlideSinkRate(1, 600, 0, 0.5, 10).Valid);
    EXPECT_FALSE(GlideSinkRate(1, 600, 40, 0.5, 0).Valid);
}

} // namespace ampvane
