// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/electric_chain.h"
#include "model/propeller.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace ampvane {
namespace {

// A 10-cell pack on one motor swinging a 10×6 propeller; tests change what they are about.
struct PropCase {
    int Sc = 10, Pc = 1, Ne = 1, Nbl = 2, Np = 1, Pm = 1, Sm = 1;
    bool heating = true;
    double Ta = 20, K = 3.8, sigma = 1, Tc = 0.95, Kp = 1, Va = 0, P = 6, D = 10, eta = 1, G = 1;
    double Re = 0.01, Rc = 0.005, V = 1.2, Wm = 6, Rm = 0.1, Io = 1, Kv = 1000;

    PropDriveSolution Solve() const {
        return SolvePropDrive(Sc, Pc, Ne, heating, Ta, K, sigma, Tc, Kp, Nbl, Np, Pm, Sm, Va, P, D, eta, G, Re, Rc,
                              V, Wm, Rm, Io, Kv);
    }
};

void ExpectSameSolution(const PropDriveSolution& a, const PropDriveSolution& b) {
    ASSERT_FALSE(a.Failed);
    ASSERT_FALSE(b.Failed);
    EXPECT_DOUBLE_EQ(a.Rpm, b.Rpm);
    EXPECT_DOUBLE_EQ(a.MotorCurrent, b.MotorCurrent);
    EXPECT_DOUBLE_EQ(a.OutputPower, b.OutputPower);
    EXPECT_DOUBLE_EQ(a.MotorTemperature, b.MotorTemperature);
}

} // namespace

TEST(PropellerLaw, BladesChangePitchAndPower) {
    EXPECT_DOUBLE_EQ(EffectivePitch(6, 2), 6);
    EXPECT_DOUBLE_EQ(EffectivePitch(6, 3), 6 * 0.99);
    EXPECT_DOUBLE_EQ(EffectivePitch(6, 1), 6 * 1.01);
    // A three-bladed propeller loads the motor like a two-bladed one with 1.5 × 0.99 its constant.
    const double three = PropDriveRpm(10, 1, 1, 1, 1, 3, 1, 1, 1, 6, 10, 1, 1, 0.01, 0.005, 1.2, 0.1, 1, 1000);
    const double two = PropDriveRpm(10, 1, 1, 1, 1.5 * 0.99, 2, 1, 1, 1, 6, 10, 1, 1, 0.01, 0.005, 1.2, 0.1, 1, 1000);
    EXPECT_NEAR(three, two, 1e-9 * two);
}

TEST(PropellerLaw, LoadFactorPiecesJoin) {
    // P/D = 1: peak 1.1 at half the pitch speed, 0.85 at 1/1.1 of it; 1000 rpm on a 10 in pitch is
    // a pitch speed of 9.47 mph.
    const auto j = [](double s) { return PropLoadFactor(s * 9.47, 1000, 10, 10); };
    const double l = 1 / 1.1;
    EXPECT_DOUBLE_EQ(j(0), 1);
    EXPECT_NEAR(j(0.5 - 1e-9), 1.1, 1e-6);
    EXPECT_NEAR(j(0.5 + 1e-9), 1.1, 1e-6);
    EXPECT_NEAR(j(l - 1e-9), 0.85, 1e-6);
    EXPECT_NEAR(j(l + 1e-9), 0.85, 1e-6);
    EXPECT_GT(j(0.25), 1);
    EXPECT_LT(j(1.0), 0.85);
    EXPECT_EQ(j(3), 0); // far beyond the pitch speed the factor stays at 0
}

TEST(PropellerSolve, StaticPointKeepsTheLoadFactorAndWeakBatteryFloors) {
    const PropRpmSolution rest = SolvePropRpm(10, 1, 1, 1, 0.9, 2, 1, 1, 1, 6, 10, 1, 1, 0.01, 0.005, 1.2, 0.1,
                                              1, 1000, 0);
    ASSERT_FALSE(rest.Failed);
    EXPECT_EQ(rest.EffectiveConstant, 0.9);
    EXPECT_EQ(rest.Rpm, PropDriveRpm(10, 1, 1, 1, 0.9, 2, 1, 1, 1, 6, 10, 1, 1, 0.01, 0.005, 1.2, 0.1, 1, 1000));
    // V × Sc × Pc × Ne below Io × Rt: the motor cannot turn.
    EXPECT_EQ(PropDriveRpm(1, 1, 1, 1, 1, 2, 1, 1, 1, 6, 10, 1, 1, 0.01, 0.005, 1.2, 0.1, 20, 1000), 0.1);
    // No propeller load at all is a division by zero in the closed form: the floor as well.
    EXPECT_EQ(PropDriveRpm(10, 1, 1, 0, 1, 2, 1, 1, 1, 6, 10, 1, 1, 0.01, 0.005, 1.2, 0.1, 1, 1000), 0.1);
}

// The plain relaxation of the load factor, from g = 1 at most 200 rounds until g moves by less than
// 1e-4, remembering whether some step was no shorter than the one before (the relaxation circles).
struct PlainRelaxation {
    double rpm = 0, g = 0;
    bool circled = false, toleranceEnded = false;
};
PlainRelaxation Relax(int Sc, double sigma, double Kp, int Nbl, double P, double D, double G, double V, double R,
                      double Io, double Kv, double Va) {
    PlainRelaxation out;
    double g = 1, lastStep = INFINITY;
    for (int round = 0; round < 200; ++round) {
        out.rpm = PropDriveRpm(Sc, 1, 1, sigma, Kp * g, Nbl, 1, 1, 1, P, D, 1, G, 0.005, 0.01, V, R, Io, Kv);
        out.g = g;
        g = (PropLoadFactor(Va, out.rpm, P, D) + 9 * g) * 0.1;
        const double step = std::fabs(g - out.g);
        if (step < 1e-4) {
            out.toleranceEnded = true;
            break;
        }
        out.circled = out.circled || step >= lastStep;
        lastStep = step;
    }
    return out;
}

// Where the relaxation contracts to its tolerance, the speed is the relaxation's to the last bit. Where
// it circles (a small pitch flying near and beyond its pitch speed, where the load factor is steep),
// the speed is the fixed point itself rather than whichever point of the circle a short step happened
// to land on; so it is where it still creeps after 200 rounds.
TEST(PropellerSolve, InFlightSpeedIsTheRelaxationOrItsFixedPoint) {
    std::mt19937 random(17);
    const auto uniform = [&](double low, double high) { return std::uniform_real_distribution<>(low, high)(random); };
    int circled = 0, circledEndedByAShortStep = 0;
    for (int i = 0; i < 3000; ++i) {
        const int Sc = 4 + i % 11, Nbl = i % 4 == 0 ? 3 : 2;
        const double sigma = uniform(0.8, 1.05), Kp = uniform(0.6, 2.5) / 1.31, D = uniform(5, 16);
        const double P = D * (i % 2 == 0 ? uniform(0.25, 0.27) : uniform(0.25, 1.2));
        const double G = i % 3 == 0 ? uniform(1.5, 5) : 1, V = uniform(1, 1.25), R = uniform(0.01, 0.2),
                     Io = uniform(0.3, 3), Kv = uniform(500, 4000);
        const double staticRpm = PropDriveRpm(Sc, 1, 1, sigma, Kp, Nbl, 1, 1, 1, P, D, 1, G, 0.005, 0.01, V, R, Io, Kv);
        const double Va = PitchSpeed(P, staticRpm) * (i % 2 == 0 ? uniform(1.3, 1.4) : uniform(0, 1.6));
        const PropRpmSolution s = SolvePropRpm(Sc, 1, 1, sigma, Kp, Nbl, 1, 1, 1, P, D, 1, G, 0.005, 0.01, V, R, Io, Kv, Va);
        const PlainRelaxation plain = Relax(Sc, sigma, Kp, Nbl, P, D, G, V, R, Io, Kv, Va);
        if (s.Failed) continue;
        SCOPED_TRACE(testing::Message() << "system " << i << " at " << Va << " mph");
        if (!plain.circled && plain.toleranceEnded) {
            EXPECT_EQ(s.Rpm, plain.rpm);
            EXPECT_EQ(s.EffectiveConstant, Kp * plain.g);
            continue;
        }
        // Circling, or still creeping after 200 rounds: bisection.
        circled += plain.circled;
        circledEndedByAShortStep += plain.circled && plain.toleranceEnded;
        const double g = s.EffectiveConstant / Kp;
        EXPECT_NEAR(PropLoadFactor(Va, s.Rpm, P, D), g, 1e-9);
    }
    EXPECT_GT(circled, 200);
    EXPECT_GT(circledEndedByAShortStep, 20);
}

TEST(PropellerSolve, HeatingCorrectsTheWindingResistance) {
    PropCase hot;
    PropCase cold = hot;
    cold.heating = false;
    const PropDriveSolution h = hot.Solve(), c = cold.Solve();
    ASSERT_FALSE(h.Failed);
    ASSERT_FALSE(c.Failed);
    EXPECT_GT(h.MotorTemperature, 40);
    EXPECT_LT(h.Rpm, c.Rpm); // a hot winding has more resistance
    // Heating off still estimates the temperature from the loss.
    EXPECT_GT(c.MotorTemperature, 40);

    // Without motor weight only the air temperature enters: as heating off at that resistance.
    PropCase weightless = hot;
    weightless.Wm = 0;
    weightless.Ta = 35;
    PropCase atAir = weightless;
    atAir.heating = false;
    atAir.Rm = ResistanceAt(weightless.Rm, 35);
    ExpectSameSolution(weightless.Solve(), atAir.Solve());
    EXPECT_EQ(weightless.Solve().MotorTemperature, 35);
}

TEST(PropellerSolve, TemperatureAbove1000DegreesStopsTheCorrection) {
    PropCase tiny;
    tiny.Wm = 0.01; // a few hundred degrees per watt of loss
    PropCase atAir = tiny;
    atAir.heating = false;
    atAir.Rm = ResistanceAt(tiny.Rm, tiny.Ta);
    const PropDriveSolution s = tiny.Solve();
    EXPECT_GT(s.MotorTemperature, 1000);
    ExpectSameSolution(s, atAir.Solve());
}

TEST(PropellerSolve, PointsThatCannotRunFailWithoutNonFiniteValues) {
    PropCase dead;
    dead.V = 0; // the floor speed would need a negative current
    EXPECT_TRUE(dead.Solve().Failed);
    for (const auto change : {+[](PropCase& c) { c.P = 0; }, +[](PropCase& c) { c.D = 0; },
                              +[](PropCase& c) { c.Kv = 0; }, +[](PropCase& c) { c.V = std::nan(""); },
                              +[](PropCase& c) { c.Kp = std::nan(""); }, +[](PropCase& c) { c.Va = 1e300; }}) {
        PropCase bad;
        change(bad);
        const PropDriveSolution s = bad.Solve();
        if (s.Failed) continue;
        for (const double v : {s.Rpm, s.MotorCurrent, s.MotorVoltage, s.OutputPower, s.MotorTemperature})
            EXPECT_TRUE(std::isfinite(v));
    }
}

TEST(PropellerThrust, SizeFactorStaticPointAndAdvanceLimit) {
    // A 6 in propeller takes the size factor of an 8 in one.
    const PropThrustResult small = PropThrust(0.95, 1, 100, 10, 1, 10000, 4, 6);
    const double vp = 4 * 10000 * 9.47e-4;
    EXPECT_NEAR(small.Efficiency / PropShapeEfficiency(10 / vp, 4, 6), 1 - std::pow(0.8195 / 0.95, 8), 1e-12);
    EXPECT_NEAR(1 - std::pow(0.8195 / 0.95, 8), 0.693, 5e-4);
    EXPECT_NEAR(PropShapeEfficiency(1, 10, 10), 0.84, 5e-5);
    // A static point is taken at 0.001 mph and has a finite thrust.
    const PropThrustResult rest = PropThrust(0.95, 1, 100, 0, 1, 10000, 6, 10);
    EXPECT_EQ(rest.Thrust, PropThrust(0.95, 1, 100, 0.001, 1, 10000, 6, 10).Thrust);
    EXPECT_GT(rest.Thrust, 0);
    EXPECT_TRUE(std::isfinite(rest.Thrust));
    // At 1.3922 × the pitch speed the efficiency has fallen to 0, and it stays there.
    const double pitchSpeed = 6 * 10000 * 9.47e-4;
    EXPECT_NEAR(PropThrust(0.95, 1, 100, 1.3922 * pitchSpeed, 1, 10000, 6, 10).Efficiency, 0, 1e-3);
    EXPECT_EQ(PropThrust(0.95, 1, 100, 1.45 * pitchSpeed, 1, 10000, 6, 10).Thrust, 0);
    EXPECT_EQ(PropThrust(0.95, 1, 100, 3 * pitchSpeed, 1, 10000, 6, 10).Efficiency, 0);
    EXPECT_EQ(PropThrust(0.95, 1, 100, 10, 1, 0, 6, 10).Thrust, 0);
}

TEST(PropellerThrust, KeptPropellerFactorsGiveTheWholeFormulaBitForBit) {
    // More propellers than the kept table holds, asked again and again in shuffled order, with
    // some odd ones (no pitch, -0, NaN, a tiny constant): each thrust has the bits of the whole formula.
    std::mt19937 random(35);
    const auto uniform = [&](double low, double high) { return std::uniform_real_distribution<>(low, high)(random); };
    struct Prop {
        double Tc, P, D;
    };
    std::vector<Prop> props;
    for (int i = 0; i < 4000; ++i) props.push_back({uniform(0.85, 1.3), uniform(3, 20), uniform(4, 30)});
    props.push_back({0.95, 0, 10});
    props.push_back({0.95, -0.0, 10});
    props.push_back({0.95, std::nan(""), 10});
    props.push_back({1e-300, 6, 10});
    for (int i = 0; i < 60000; ++i) {
        const Prop& p = props[std::uniform_int_distribution<std::size_t>(0, props.size() - 1)(random)];
        const double Va = uniform(0, 60), N = uniform(1000, 20000), airspeed = Va < 0.001 ? 0.001 : Va;
        const double z = 1 - std::pow(0.8195 / p.Tc, std::max(p.D, 8.0));
        double efficiency = z * PropShapeEfficiency(airspeed / (p.P * N * 9.47e-4), p.P, p.D);
        if (!(efficiency > 0) || !std::isfinite(efficiency)) efficiency = 0;
        const PropThrustResult thrust = PropThrust(p.Tc, 1, 150, Va, 1, N, p.P, p.D);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(thrust.Efficiency), std::bit_cast<std::uint64_t>(efficiency))
            << p.Tc << " " << p.P << " " << p.D << " at " << Va << " mph, " << N << " rpm";
    }
}

TEST(PropellerThrust, ThrustConstantFromMeasurementInvertsThrust) {
    for (const double Tc : {0.9, 1.0, 1.3})
        for (const double Va : {0.0, 20.0}) {
            const double thrust = PropThrust(Tc, 1, 150, Va, 1, 9000, 6, 10).Thrust;
            const auto back = ThrustConstantFromMeasurement(thrust, 1, 150, Va, 1, 9000, 6, 10);
            ASSERT_TRUE(back.has_value());
            EXPECT_NEAR(*back, Tc, 1e-9);
        }
    // More thrust than any constant gives, or no power, has no constant.
    EXPECT_FALSE(ThrustConstantFromMeasurement(1e6, 1, 150, 0, 1, 9000, 6, 10).has_value());
    EXPECT_FALSE(ThrustConstantFromMeasurement(100, 1, 0, 0, 1, 9000, 6, 10).has_value());
}

} // namespace ampvane
