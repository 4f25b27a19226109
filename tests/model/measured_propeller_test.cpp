// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/measured_propeller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <vector>

namespace ampvane {
namespace {

// Two runs at different rpm with different J ranges and a static curve: every rule of the
// interpolation can be seen on it.
MeasuredPropeller TwoRuns() {
    MeasuredPropeller p;
    p.Name = "Two runs";
    p.Diameter = 10;
    p.Pitch = 5;
    p.Static = {{3000, 0.12, 0.05}, {6000, 0.10, 0.04}};
    p.Runs = {{3000, {{0.2, 0.10, 0.048}, {0.4, 0.07, 0.044}, {0.8, 0.01, 0.02}}},
              {6000, {{0.2, 0.09, 0.038}, {0.4, 0.06, 0.034}, {0.5, 0.04, 0.03}}}};
    return p;
}

TEST(MeasuredPropeller, InterpolationFollowsItsDocumentedRules) {
    const MeasuredCurves curves(TwoRuns());
    struct Case {
        const char* what;
        double J, rpm, CT, CP;
    };
    const Case cases[] = {
        {"a measured point", 0.4, 3000, 0.07, 0.044},
        {"static curve at J = 0", 0, 4500, 0.11, 0.045},
        {"static curve held below its lowest rpm", 0, 1000, 0.12, 0.05},
        {"linear in rpm between two covering runs", 0.4, 4500, 0.065, 0.039},
        {"held at the nearest covering run above the highest", 0.2, 9000, 0.09, 0.038},
        // Only the 3000 rpm run reaches J = 0.8: held there, never the 6000 rpm run extended.
        {"one covering run is held", 0.8, 6000, 0.01, 0.02},
        // Halfway from the static curve at 4500 rpm (0.11, 0.045) to the runs' first points (0.095, 0.043).
        {"static curve joined to the first points", 0.1, 4500, 0.1025, 0.044},
        // The run reaching furthest (3000 rpm) goes on with its last slope: CT −0.15 and CP −0.06 per unit J.
        {"continued past the last J through the windmill point", 1.0, 3000, -0.02, 0.008},
    };
    for (const Case& c : cases) {
        const PropellerCoefficients v = curves.At(c.J, c.rpm);
        EXPECT_NEAR(v.CT, c.CT, 1e-12) << c.what;
        EXPECT_NEAR(v.CP, c.CP, 1e-12) << c.what;
    }
}

TEST(MeasuredPropeller, MonotoneDataGivesNoOvershootBetweenPoints) {
    MeasuredPropeller p = TwoRuns();
    p.Runs[0].Points = {{0.1, 0.11, 0.05}, {0.15, 0.109, 0.0499}, {0.6, 0.05, 0.03}, {0.62, 0.0, 0.029}};
    const MeasuredCurves curves(p);
    const auto& points = p.Runs[0].Points;
    for (std::size_t k = 0; k + 1 < points.size(); ++k)
        for (double t = 0; t <= 1; t += 0.01) {
            const double J = points[k].J + t * (points[k + 1].J - points[k].J);
            const PropellerCoefficients v = curves.At(J, 3000);
            EXPECT_LE(v.CT, points[k].CT + 1e-15);
            EXPECT_GE(v.CT, points[k + 1].CT - 1e-15);
        }
}

PropDriveProblem DirectDrive(double Va) {
    PropDriveProblem p;
    p.Sc = 10;
    p.Pc = 1;
    p.Ne = 1;
    p.heating = true;
    p.Ta = 15;
    p.K = 3.8;
    p.sigma = 0.9479;
    p.Tc = 0.95;
    p.Kp = 1.0;
    p.Nbl = 2;
    p.Np = 1;
    p.Pm = p.Sm = 1;
    p.Va = Va;
    p.P = 6;
    p.D = 10;
    p.gearboxEfficiency = 1;
    p.G = 1;
    p.Re = 0.006;
    p.Rc = 0.005;
    p.V = 1.2;
    p.Wm = 8;
    p.Rm = 0.07;
    p.Io = 2;
    p.Kv = 1100;
    return p;
}

std::vector<double> Grid(double from, double to, double by) {
    std::vector<double> values;
    for (double v = from; v <= to + 1e-9; v += by) values.push_back(v);
    return values;
}

// The two-constant model written as a table and solved through the measured balance gives the
// two-constant model's own operating point: exactly at rest (the static curve does not depend on
// the interpolation), within the interpolation error in flight.
TEST(MeasuredPropeller, TabulatedTwoConstantModelSolvesToTheSameOperatingPoint) {
    const std::vector<double> rpms = Grid(2000, 20000, 2000), js = Grid(0, 1.2, 0.02);
    for (const double Va : {0.0, 20.0, 35.0}) {
        const PropDriveProblem problem = DirectDrive(Va);
        const MeasuredCurves curves(TabulateTwoConstantModel(problem.D, problem.P, problem.Nbl, problem.Kp,
                                                             problem.Tc, rpms, js));
        const PropDriveSolution two = SolvePropDrive(problem);
        const PropDriveSolution measured = SolveMeasuredPropDrive(problem, curves);
        ASSERT_FALSE(two.Failed);
        ASSERT_FALSE(measured.Failed);
        const double tolerance = Va == 0 ? 1e-7 : 2e-3;
        EXPECT_NEAR(measured.Rpm / two.Rpm, 1, tolerance) << Va;
        EXPECT_NEAR(measured.MotorCurrent / two.MotorCurrent, 1, tolerance) << Va;
        const double twoThrust =
            PropThrust(problem.Tc, problem.Kp, two.OutputPower, Va, problem.sigma, two.Rpm, problem.P, problem.D).Thrust;
        EXPECT_NEAR(curves.Thrust(Va, measured.Rpm, problem.sigma, 1).Thrust / twoThrust, 1, Va == 0 ? 1e-4 : 5e-3)
            << Va;
    }
}

// The balance ends with an answer for any drive: a battery too weak to turn the motor gives the
// 0.1 rpm floor, an airspeed at which the air drives the propeller even at the motor's free speed
// gives no operating point.
TEST(MeasuredPropeller, BalanceAlwaysEnds) {
    const MeasuredCurves curves(TwoRuns());
    PropDriveProblem weak = DirectDrive(0);
    weak.V = 0.01;
    EXPECT_NEAR(SolveMeasuredPropDrive(weak, curves).Rpm, 0.1, 1e-12);
    PropDriveProblem overrun = DirectDrive(300);
    EXPECT_TRUE(SolveMeasuredPropDrive(overrun, curves).Failed);
}

// Data that changes with rpm (as real data does, with runs at nearly the same rpm over different J
// ranges, as wind-tunnel files split them): drop each inner run in turn and predict its points
// from the others.
TEST(MeasuredPropeller, HeldOutRunIsPredictedFromTheOthers) {
    const auto ct = [](double J, double rpm) { return 0.11 * (1 + 0.08 * std::log(rpm / 4000)) * (1 - std::pow(J / 0.75, 1.6)); };
    const auto cp = [](double J, double rpm) { return 0.05 * (1 - 0.05 * std::log(rpm / 4000)) * (1 - 0.6 * std::pow(J / 0.8, 2.2)); };
    MeasuredPropeller all;
    all.Diameter = 10;
    all.Pitch = 5;
    const double rpms[] = {2500, 3000, 3500, 4000, 4500, 5000, 5986, 6009, 6500};
    for (const double rpm : rpms) {
        all.Static.push_back({rpm, ct(0, rpm), cp(0, rpm)});
        const double from = rpm == 6009 ? 0.491 : 0.1, to = rpm == 5986 ? 0.585 : 0.817;
        PropellerRun run{rpm, {}};
        for (double J = from; J <= to + 1e-9; J += 0.04) run.Points.push_back({J, ct(J, rpm), cp(J, rpm)});
        all.Runs.push_back(run);
    }
    std::vector<double> errors;
    for (std::size_t out = 1; out + 1 < all.Runs.size(); ++out) {
        MeasuredPropeller rest = all;
        rest.Runs.erase(rest.Runs.begin() + static_cast<std::ptrdiff_t>(out));
        const MeasuredCurves curves(rest);
        for (const AdvancePoint& point : all.Runs[out].Points) {
            const PropellerCoefficients v = curves.At(point.J, all.Runs[out].Rpm);
            // Relative to the static value, so that the vanishing thrust near windmill does not dominate.
            errors.push_back(std::fabs(v.CT - point.CT) / ct(0, all.Runs[out].Rpm));
            errors.push_back(std::fabs(v.CP - point.CP) / cp(0, all.Runs[out].Rpm));
        }
    }
    std::sort(errors.begin(), errors.end());
    const double median = errors[errors.size() / 2], worst = errors.back();
    std::cout << "held-out runs: median error " << median * 100 << " %, worst " << worst * 100 << " % of the static value over "
              << errors.size() / 2 << " points\n";
    EXPECT_LT(median, 0.005);
    EXPECT_LT(worst, 0.025); // where only a run 1000 rpm away covers the point, it is held
}

TEST(MeasuredPropeller, FitRecoversTheConstantsOfTabulatedData) {
    const std::vector<double> rpms = Grid(3000, 12000, 1000), js = Grid(0, 0.8, 0.1);
    for (const double D : {6.0, 10.0, 14.0}) {
        const MeasuredCurves curves(TabulateTwoConstantModel(D, 0.6 * D, 3, 1.2, 1.05, rpms, js));
        const std::optional<FittedConstants> fit = FitTwoConstants(curves);
        ASSERT_TRUE(fit) << D;
        EXPECT_NEAR(fit->PropConstant, 1.2 * 1.31, 1e-9) << D;
        EXPECT_NEAR(fit->ThrustConstant, 1.05, 1e-4) << D;
        EXPECT_LT(fit->PowerRmsError, 1e-9);
        EXPECT_LT(fit->ThrustRmsError, 1e-4);
    }
}

} // namespace
} // namespace ampvane
