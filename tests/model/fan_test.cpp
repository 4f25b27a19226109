// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/electric_chain.h"
#include "model/fan.h"

#include <cmath>

namespace ampvane {

TEST(FanThrust, DuctLossAndStaticMargin) {
    const double bare = FanThrust(0.96, 0, 1, 30000, 1, 1, 3, 0, 2.2, 0, 2.2, 2.5).Thrust;
    // With no ducts the duct factor is 1 and at rest the pitch margin is the pitch.
    EXPECT_NEAR(bare, std::pow(30000 * 2.2, 2) * 4.22404026e-10 * 3 * 3 * 0.96, 1e-9 * bare);
    const double exhaust = FanThrust(0.96, 0, 1, 30000, 1, 1, 3, 0, 2.2, 1, 2.2, 2.5).Thrust;
    EXPECT_NEAR(exhaust / bare, std::exp(-0.01308523955 * 0.4), 1e-12);
    EXPECT_NEAR(exhaust / bare, 0.9948, 5e-5);
    EXPECT_EQ(FanThrust(0.96, 0, 1, 30000, 1, 1, 3, 0, 2.2, 0, 0, 2.5).Thrust, 0);
    EXPECT_EQ(FanThrust(0.96, 10, 1, 30000, 1, 1, 3, 0, 2.2, 1, 2.2, 0).Thrust, 0);
}

TEST(FanThrust, EffluxIsThePitchSpeedMarginScaledByArea) {
    const double Df = 2.5, Dh = 1.0, De = std::sqrt(Df * Df - Dh * Dh);
    EXPECT_NEAR(FanEfflux(20, 30000, 3, De, Dh, Df), 3 * 30000 * 9.47e-4 - 20, 1e-9);
    EXPECT_NEAR(FanEfflux(20, 30000, 3, De / 2, Dh, Df), 4 * (3 * 30000 * 9.47e-4 - 20), 1e-9);
    EXPECT_EQ(FanEfflux(20, 30000, 3, 0, Dh, Df), 0);
}

TEST(FanPower, AbsorbedPowerFallsToZeroAtThePitchSpeed) {
    const double rest = FanAbsorbedPower(1, 0.82, 0, 3, 1, 2.5, 30000);
    // A 2.5 in fan of 3 in pitch on a 1 in hub at 30000 rpm takes about 156 W at rest.
    EXPECT_NEAR(rest, 155.8, 0.01);
    EXPECT_NEAR(FanAbsorbedPower(1, 0.82, 3 * 30000 * 9.47e-4, 3, 1, 2.5, 30000), 0, 1e-9 * rest);
    EXPECT_LT(FanAbsorbedPower(1, 0.82, 100, 3, 1, 2.5, 30000), 0);
    EXPECT_EQ(FanAbsorbedPower(1, 0.82, 10, 3, 1, 2.5, 0), 0);
}

TEST(FanPower, MotorPowerIsTheShaftPowerOfTheCircuitCurrent) {
    // Two parallel motors on one speed control: the control carries both currents.
    const int Sc = 10, Pc = 1, Ne = 1, Pm = 2, Sm = 1;
    const double Re = 0.03, Rc = 0.005, V = 1.2, Rm = 0.05, Io = 1.5, Kv = 3000, N = 20000;
    const double I = FanMotorCurrent(Sc, Pc, Ne, Pm, Sm, N, Re, Rc, V, Rm, Kv);
    const double Vm = FanMotorVoltage(Sc, Pc, Ne, Pm, Sm, N, Re, Rc, V, Rm, Kv);
    EXPECT_NEAR(FanMotorPower(Ne, Sm, Pm, Re, Rc, V, Pc, Sc, Rm, Io, Kv, N), MotorOutputPower(Vm, I, Rm, Io),
                1e-9);
    EXPECT_NEAR(MotorOutputPower(Vm, I, Rm, Io), (I - Io) * N / Kv, 1e-9);
    EXPECT_EQ(FanMotorPower(Ne, Sm, Pm, Re, Rc, V, Pc, Sc, Rm, Io, 0, N), 0);
}

TEST(FanSolve, FailsBeyondThePitchSpeedAndAtTheSearchLimits) {
    const auto solve = [](double Va, double Kv, double Cp) {
        return SolveFanRpm(1, 1, 1, 0.01, 0.005, 1.2, 1, 10, 0.05, 1, Kv, 1, Cp, Va, 3, 1, 3);
    };
    const FanRpmSolution rest = solve(0, 3000, 0.82);
    ASSERT_FALSE(rest.Failed);
    EXPECT_NEAR(FanMotorPower(1, 1, 1, 0.01, 0.005, 1.2, 1, 10, 0.05, 1, 3000, rest.Rpm),
                FanAbsorbedPower(1, 0.82, 0, 3, 1, 3, rest.Rpm), 1e-4 * FanAbsorbedPower(1, 0.82, 0, 3, 1, 3, rest.Rpm));
    // Faster than the fan's pitch speed at any speed the motor reaches.
    const FanRpmSolution blown = solve(250, 3000, 0.82);
    EXPECT_TRUE(blown.Failed);
    EXPECT_EQ(blown.Rpm, 0);
    // A fan that absorbs nothing balances only at a no-load speed beyond 64 doublings of 0.5 rpm.
    EXPECT_TRUE(solve(0, 1e19, 0).Failed);
    EXPECT_TRUE(solve(0, std::nan(""), 0.82).Failed);
}

TEST(FanSolve, DriveWithHeatingAndTotals) {
    const auto drive = [](bool heating, int Pm, double Wm) {
        return SolveFanDrive(10, 1, 1, heating, 20, 3.8, 1, 0.82, Pm, 1, 0, 3, 1, 3, 0.01, 0.005, 1.2, Wm, 0.05, 1,
                             3000);
    };
    const FanDriveSolution hot = drive(true, 1, 6), cold = drive(false, 1, 6);
    ASSERT_FALSE(hot.Failed);
    ASSERT_FALSE(cold.Failed);
    EXPECT_LT(hot.Rpm, cold.Rpm);
    EXPECT_GT(hot.MotorTemperature, 20);
    // Output power is the shaft power of all motors, no gearbox.
    const double I = cold.MotorCurrent, Vm = cold.MotorVoltage;
    EXPECT_NEAR(cold.OutputPower, MotorOutputPower(Vm, I, 0.05, 1), 1e-9);
    // 1000 °C stops the correction at the air-temperature resistance.
    const FanDriveSolution tiny = drive(true, 1, 0.001);
    EXPECT_GT(tiny.MotorTemperature, 1000);
    const FanDriveSolution atAir = SolveFanDrive(10, 1, 1, false, 20, 3.8, 1, 0.82, 1, 1, 0, 3, 1, 3, 0.01, 0.005,
                                                 1.2, 0.001, ResistanceAt(0.05, 20), 1, 3000);
    EXPECT_DOUBLE_EQ(tiny.Rpm, atAir.Rpm);
    EXPECT_TRUE(SolveFanDrive(10, 1, 1, true, 20, 3.8, 1, 0.82, 1, 1, 0, 3, 1, 3, 0.01, 0.005, 0, 6, 0.05, 1, 3000)
                    .Failed);
}

} // namespace ampvane
