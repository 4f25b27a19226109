// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/electric_chain.h"
#include "model/fan.h"
#include "model/flight.h"
#include "model/propeller.h"

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

// Properties that must hold for every power system, checked over generated ones (fixed seeds, so a
// failure reproduces).

namespace ampvane {
namespace {

struct PropSystem {
    int Sc, Pc, Ne, Nbl, Np, Pm, Sm;
    double Ta, K, sigma, Tc, Kp, Va, P, D, eta, G, Re, Rc, V, Wm, Rm, Io, Kv;
};

// Motors in series and parallel with speed controls that divide the parallel motors, one
// propeller per motor or several motors per propeller, geared or direct.
PropSystem RandomPropSystem(std::mt19937& random) {
    const auto uniform = [&](double low, double high) { return std::uniform_real_distribution<>(low, high)(random); };
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<>(low, high)(random); };
    PropSystem s{};
    s.Sc = pick(1, 14);
    s.Pc = pick(1, 4);
    s.Sm = pick(1, 3);
    s.Pm = pick(1, 4);
    s.Ne = (s.Pm % 2 == 0 && pick(0, 1)) ? 2 : 1;
    s.Np = pick(0, 1) ? s.Sm * s.Pm : 1;
    s.Nbl = pick(1, 5);
    s.Ta = uniform(-10, 40);
    s.K = pick(0, 1) ? 3.8 : 2.0;
    s.sigma = uniform(0.7, 1.1);
    s.Tc = uniform(0.85, 1.2);
    s.Kp = uniform(0.5, 4) / 1.31;
    s.Va = pick(0, 2) == 0 ? 0 : uniform(1, 80);
    s.D = uniform(4, 20);
    s.P = s.D * uniform(0.3, 1.2);
    const bool geared = pick(0, 1);
    s.G = geared ? uniform(1.5, 6) : 1;
    s.eta = geared ? uniform(0.85, 1) : 1;
    s.Re = uniform(0, 0.05);
    s.Rc = uniform(0.001, 0.03);
    s.V = uniform(1, 4.2) * (pick(0, 3) == 0 ? uniform(0.3, 1) : 1); // some at part throttle
    s.Wm = pick(0, 5) == 0 ? 0 : uniform(1, 20);
    s.Rm = uniform(0.005, 0.5);
    s.Io = uniform(0.2, 4);
    s.Kv = uniform(300, 4000);
    return s;
}

PropDriveSolution Solve(const PropSystem& s, bool heating) {
    return SolvePropDrive(s.Sc, s.Pc, s.Ne, heating, s.Ta, s.K, s.sigma, s.Tc, s.Kp, s.Nbl, s.Np, s.Pm, s.Sm,
                          s.Va, s.P, s.D, s.eta, s.G, s.Re, s.Rc, s.V, s.Wm, s.Rm, s.Io, s.Kv);
}

PropDriveProblem ProblemOf(const PropSystem& s, bool heating) {
    return PropDriveProblem{s.Sc, s.Pc, s.Ne, heating, s.Ta, s.K, s.sigma, s.Tc, s.Kp, s.Nbl, s.Np, s.Pm, s.Sm,
                            s.Va, s.P, s.D, s.eta, s.G, s.Re, s.Rc, s.V, s.Wm, s.Rm, s.Io, s.Kv};
}

// Bit for bit: a report sweep must not change with the way its solves are scheduled.
bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void ExpectSameSolution(const PropDriveSolution& solo, const PropDriveSolution& together) {
    EXPECT_EQ(solo.Failed, together.Failed);
    EXPECT_TRUE(Same(solo.MotorTemperature, together.MotorTemperature));
    EXPECT_TRUE(Same(solo.EffectiveConstant, together.EffectiveConstant));
    EXPECT_TRUE(Same(solo.OutputPower, together.OutputPower));
    EXPECT_TRUE(Same(solo.MotorVoltage, together.MotorVoltage));
    EXPECT_TRUE(Same(solo.MotorCurrent, together.MotorCurrent));
    EXPECT_TRUE(Same(solo.Rpm, together.Rpm));
}

// Power all propellers absorb at N with the effective constant KpG.
double AbsorbedByPropellers(const PropSystem& s, double KpG, double N) {
    return s.Np * 5.33e-15 * KpG * s.sigma * std::pow(s.D, 4) * EffectivePitch(s.P, s.Nbl) * (s.Nbl / 2.0) *
           N * N * N;
}

} // namespace

TEST(PropDriveProperties, DeliveredPowerBalancesAbsorbedPowerAndCurrentIsNeverNegative) {
    std::mt19937 random(20261209);
    int balanced = 0;
    for (int i = 0; i < 4000; ++i) {
        const PropSystem s = RandomPropSystem(random);
        const bool heating = i % 2 == 0;
        const PropDriveSolution d = Solve(s, heating);
        if (d.Failed) continue;
        SCOPED_TRACE(testing::Message() << "system " << i);
        EXPECT_GE(d.MotorCurrent, 0);
        for (const double value : {d.MotorTemperature, d.EffectiveConstant, d.OutputPower, d.MotorVoltage, d.Rpm})
            ASSERT_TRUE(std::isfinite(value));
        if (d.Rpm > 0.1) {
            const double absorbed = AbsorbedByPropellers(s, d.EffectiveConstant, d.Rpm);
            EXPECT_NEAR(d.OutputPower, absorbed, 1e-6 * absorbed);
            ++balanced;
        }
    }
    EXPECT_GT(balanced, 2000);
}

TEST(PropDriveProperties, MoreSeriesCellsNeverLowerThePropellerSpeedWithoutHeating) {
    std::mt19937 random(7);
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        PropSystem s = RandomPropSystem(random);
        const PropDriveSolution fewer = Solve(s, false);
        ++s.Sc;
        const PropDriveSolution more = Solve(s, false);
        if (fewer.Failed || more.Failed) continue;
        SCOPED_TRACE(testing::Message() << "system " << i << " at " << s.Va << " mph");
        // The load factor settles to 1e-4, which leaves the speed that much uncertain.
        EXPECT_GE(more.Rpm, fewer.Rpm * (1 - 1e-4));
        ++compared;
    }
    EXPECT_GT(compared, 2000);
}

TEST(PropDriveProperties, InterleavedSolvesGiveTheSoloSolvesBitForBit) {
    std::mt19937 random(99);
    std::vector<PropDriveProblem> problems;
    for (int i = 0; i < 3000; ++i) {
        PropSystem s = RandomPropSystem(random);
        // Some close to the pitch speed, where the relaxation circles and bisection settles it.
        if (i % 7 == 0) s.Va = s.P * 2000 * 9.47e-4 * std::uniform_real_distribution<>(0.5, 1.1)(random);
        // And some that fail: no pitch at all, or an airspeed that drives the motor backwards.
        if (i % 23 == 0) s.P = 0;
        if (i % 29 == 0) s.Va = 1000;
        problems.push_back(ProblemOf(s, i % 3 != 0));
    }
    // Batches shorter than, equal to and longer than the number of solves in flight, with this
    // processor's widest vector instructions and with those of every processor.
    for (const auto solveAll : {&SolvePropDrives, &model_detail::SolvePropDrivesPlain})
        for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{15}, std::size_t{16},
                                        problems.size()}) {
            const std::span<const PropDriveProblem> batch(problems.data(), count);
            std::vector<PropDriveSolution> together(count);
            solveAll(batch, together);
            int failed = 0;
            for (std::size_t i = 0; i < count; ++i) {
                SCOPED_TRACE(testing::Message() << "problem " << i << " of " << count
                                                << (solveAll == &SolvePropDrives ? "" : ", plain"));
                const PropDriveSolution solo = SolvePropDrive(batch[i]);
                ExpectSameSolution(solo, together[i]);
                failed += solo.Failed;
            }
            if (count == problems.size()) {
                EXPECT_GT(failed, 100);
                EXPECT_LT(failed, 1000);
            }
        }
}

TEST(PropDriveProperties, ClimbsSolvedTogetherGiveTheSoloClimbsBitForBit) {
    std::mt19937 random(5);
    const auto uniform = [&](double low, double high) { return std::uniform_real_distribution<>(low, high)(random); };
    std::vector<ClimbProblem> problems;
    for (int i = 0; i < 1500; ++i) {
        const PropSystem s = RandomPropSystem(random);
        ClimbProblem p{ProblemOf(s, i % 2 == 0), uniform(100, 1200), uniform(10, 200), uniform(0.2, 1.2),
                       uniform(4, 20)};
        // No wing, no weight, no lift-to-drag ratio or no voltage: no climb, or no thrust.
        if (i % 11 == 0) p.S = 0;
        if (i % 13 == 0) p.W = 0;
        if (i % 17 == 0) p.LiftToDrag = 0;
        if (i % 19 == 0) p.Drive.V = 0;
        problems.push_back(p);
    }
    std::vector<ClimbResult> together(problems.size());
    SolveClimbs(problems, together);
    int valid = 0;
    for (std::size_t i = 0; i < problems.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "problem " << i);
        const ClimbProblem& p = problems[i];
        const PropDriveProblem& d = p.Drive;
        const ClimbResult solo = SolveClimb(d.Sc, d.Pc, d.Ne, d.heating, d.Ta, d.K, d.sigma, d.Tc, d.Kp, d.Nbl, d.Np,
                                            d.Pm, d.Sm, d.P, d.D, d.gearboxEfficiency, d.G, d.Re, d.Rc, d.V, d.Wm, d.Rm,
                                            d.Io, d.Kv, p.S, p.W, p.Cl, p.LiftToDrag);
        EXPECT_EQ(solo.Valid, together[i].Valid);
        EXPECT_TRUE(Same(solo.RateOfClimb, together[i].RateOfClimb));
        EXPECT_TRUE(Same(solo.ClimbAngle, together[i].ClimbAngle));
        valid += solo.Valid;
    }
    EXPECT_GT(valid, 1000);
}

TEST(FanDriveProperties, BalanceAndReportedCurrentComeFromTheSameCircuit) {
    std::mt19937 random(42);
    const auto uniform = [&](double low, double high) { return std::uniform_real_distribution<>(low, high)(random); };
    int solved = 0;
    for (int i = 0; i < 2000; ++i) {
        const int Sc = 4 + i % 10, Pc = 1 + i % 2, Ne = i % 3 == 0 ? 2 : 1, Pm = 2, Sm = 1;
        const double Re = uniform(0.005, 0.05), Rc = uniform(0.002, 0.02), V = uniform(1, 4.2);
        const double Rm = uniform(0.01, 0.2), Io = uniform(0.5, 3), Kv = uniform(1500, 5000);
        const double Df = uniform(2, 5), Dh = Df * uniform(0.3, 0.6), Pf = Df * uniform(0.8, 1.5);
        const double Va = i % 3 == 0 ? 0 : uniform(5, 60), sigma = uniform(0.8, 1.05), Cp = uniform(0.5, 1.2);
        const FanDriveSolution d =
            SolveFanDrive(Sc, Pc, Ne, false, 20, 3.8, sigma, Cp, Pm, Sm, Va, Pf, Dh, Df, Re, Rc, V, 6, Rm, Io, Kv);
        if (d.Failed) continue;
        SCOPED_TRACE(testing::Message() << "system " << i);
        ++solved;
        const double N = d.Rpm;
        // The motor power the balance uses is the shaft power of the reported current.
        const double I = FanMotorCurrent(Sc, Pc, Ne, Pm, Sm, N, Re, Rc, V, Rm, Kv);
        const double Vm = FanMotorVoltage(Sc, Pc, Ne, Pm, Sm, N, Re, Rc, V, Rm, Kv);
        EXPECT_NEAR(d.MotorCurrent, Pm * I, 1e-12 * d.MotorCurrent);
        const double shaft = MotorOutputPower(Vm, I, Rm, Io);
        const double balance = FanMotorPower(Ne, Sm, Pm, Re, Rc, V, Pc, Sc, Rm, Io, Kv, N);
        EXPECT_NEAR(balance, shaft, 1e-9 * std::fabs(shaft) + 1e-12);
        // And at the solved speed it matches what the fans absorb (to the 0.01 rpm of the search).
        const double absorbed = FanAbsorbedPower(sigma, Cp, Va, Pf, Dh, Df, N);
        EXPECT_NEAR(d.OutputPower, Pm * Sm * absorbed, 1e-4 * Pm * Sm * absorbed);
    }
    EXPECT_GT(solved, 1000);
}

} // namespace ampvane
