#include <gtest/gtest.h>

#include "model/airframe.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace ampvane {
namespace {

constexpr double kDegree = 1 / 57.29577951;

AirframeDesc Wing(double span, double area, std::int32_t airfoil, std::int32_t drag) {
    AirframeDesc airframe;
    airframe.WingSpan = span;
    airframe.WingArea = area;
    airframe.AirfoilInfo = airfoil;
    airframe.DragInfo = drag;
    return airframe;
}

} // namespace

TEST(AirfoilCode, DecodesDigitGroupsAndFlatPlateSign) {
    AirframeDesc airframe = Wing(0, 0, 1161622, 0);
    EXPECT_EQ(DecodeAirfoil(airframe), 1);
    EXPECT_NEAR(airframe.Thickness, 0.12, 1e-15);
    EXPECT_NEAR(airframe.Camber, 0.08, 1e-15);
    EXPECT_NEAR(airframe.AngleOfAttack, 3 * kDegree, 1e-12);
    EXPECT_FALSE(airframe.FlatPlate);

    airframe.AirfoilInfo = -1161622;
    EXPECT_EQ(DecodeAirfoil(airframe), 1);
    EXPECT_NEAR(airframe.Thickness, 0.12, 1e-15);
    EXPECT_NEAR(airframe.Camber, 0.08, 1e-15);
    EXPECT_TRUE(airframe.FlatPlate);

    // An angle digit pair below 10 is a negative angle.
    airframe.AirfoilInfo = 1000000;
    DecodeAirfoil(airframe);
    EXPECT_NEAR(airframe.AngleOfAttack, -5 * kDegree, 1e-12);
    EXPECT_NEAR(airframe.Thickness, 0.01, 1e-15);
}

TEST(AirfoilCode, MostNegativeCodeDecodesWithoutOverflow) {
    AirframeDesc airframe = Wing(0, 0, std::numeric_limits<std::int32_t>::min(), 0);
    // 2147483648: version 2147, angle digits 48, camber 36, thickness 48.
    EXPECT_EQ(DecodeAirfoil(airframe), 2147);
    EXPECT_TRUE(airframe.FlatPlate);
    EXPECT_NEAR(airframe.Thickness, 0.25, 1e-15);
    EXPECT_NEAR(airframe.Camber, 0.18, 1e-15);
}

TEST(AirfoilCode, EncodeIsTheInverseOfDecode) {
    for (const std::int32_t code : {1161622, -1161622, 1120822, 1000000, 1603038, -1100001}) {
        AirframeDesc airframe = Wing(0, 0, code, 0);
        DecodeAirfoil(airframe);
        EXPECT_EQ(EncodeAirfoil(airframe), code);
    }
    // The default airfoil (12 %, 4 %, 1°) is written as 1120822.
    AirframeDesc defaults = Wing(0, 0, 0, 0);
    DeriveAirframe(defaults, false);
    EXPECT_EQ(EncodeAirfoil(defaults), 1120822);
}

TEST(AirfoilCode, FieldsBeyondTheirDigitsDoNotSpillIntoNeighbours) {
    AirframeDesc airframe;
    airframe.Thickness = 0.6; // would be 118 without the limit and carry into the camber
    airframe.Camber = 0.04;
    airframe.AngleOfAttack = 2 * kDegree;
    EXPECT_EQ(EncodeAirfoil(airframe), 1140899);
    airframe.Thickness = 0.005; // below 1 % would borrow from the camber
    EXPECT_EQ(EncodeAirfoil(airframe), 1140800);
    airframe.AngleOfAttack = -20 * kDegree;
    EXPECT_EQ(EncodeAirfoil(airframe), 1000800);
    airframe.Camber = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(EncodeAirfoil(airframe), 1000000);
}

TEST(DragCode, DecodesClassesAndEncodesBack) {
    AirframeDesc airframe = Wing(0, 0, 0, 0);
    EXPECT_EQ(DecodeDrag(airframe), 0);
    EXPECT_EQ(airframe.LandingGear, -1);
    EXPECT_EQ(airframe.SurfaceFinish, -1);
    EXPECT_EQ(airframe.Protrusions, -1);
    EXPECT_EQ(airframe.Fuselage, -1);

    airframe.DragInfo = 13241;
    EXPECT_EQ(DecodeDrag(airframe), 1);
    EXPECT_EQ(airframe.LandingGear, 0);
    EXPECT_EQ(airframe.SurfaceFinish, 3);
    EXPECT_EQ(airframe.Protrusions, 1);
    EXPECT_EQ(airframe.Fuselage, 2);
    // The encoder writes no version digit.
    EXPECT_EQ(EncodeDrag(airframe), 3241);

    airframe.LandingGear = 12;
    airframe.SurfaceFinish = -4;
    EXPECT_EQ(EncodeDrag(airframe), 3209);
}

TEST(AirframeCoefficients, ParasiticDragFollowsTheClasses) {
    AirframeDesc none = Wing(60, 600, 0, 0);
    DeriveAirframe(none, false);
    EXPECT_NEAR(none.CdParasitic, 0.031, 1e-15);
    AirframeDesc clean = Wing(60, 600, 0, 1111);
    DeriveAirframe(clean, false);
    EXPECT_NEAR(clean.CdParasitic, 0.021, 1e-15);
    AirframeDesc rough = Wing(60, 600, 0, 3334); // fixed full floats, rough, many, rectangular
    DeriveAirframe(rough, false);
    EXPECT_NEAR(rough.CdParasitic, 0.021 + 0.0025 * (9 + 2 + 4 + 2), 1e-15);
    EXPECT_NEAR(rough.Cd, rough.CdProfile + rough.CdInduced + rough.CdParasitic, 1e-15);
}

TEST(AirframeCoefficients, DefaultAirfoilOnAKnownWing) {
    AirframeDesc airframe = Wing(60, 600, 0, 1111);
    DeriveAirframe(airframe, false);
    EXPECT_DOUBLE_EQ(airframe.AspectRatio, 6.0);
    EXPECT_NEAR(airframe.Thickness, 0.12, 1e-15);
    EXPECT_NEAR(airframe.Camber, 0.04, 1e-15);
    EXPECT_NEAR(airframe.AngleOfAttack, 0.017453, 1e-15);
    EXPECT_NEAR(airframe.ClMax, 0.613 * std::exp(3.11 * 0.12) + 8.85 * 0.04, 1e-12);
    const double cl = 0.017453 * 57.29577951 / 10 * 0.22 / (0.59 / 6 + 0.22) + 0.4;
    EXPECT_NEAR(airframe.Cl, cl, 1e-12);
    EXPECT_FALSE(airframe.Stalled);
    const double e = std::sin(0.017453) * 57.29577951 / 10;
    EXPECT_NEAR(airframe.CdProfile, (5 * std::pow(e, 4) + 1) * (0.05 * 0.04 + 0.0095), 1e-12);
    EXPECT_NEAR(airframe.CdInduced, cl * cl / (std::numbers::pi * 6), 1e-12);
}

TEST(AirframeCoefficients, FlatPlateAddsThicknessDrag) {
    AirframeDesc section = Wing(60, 600, 1161622, 1111);
    AirframeDesc plate = Wing(60, 600, -1161622, 1111);
    DeriveAirframe(section, false);
    DeriveAirframe(plate, false);
    EXPECT_NEAR(plate.CdProfile - section.CdProfile, 0.128 * 0.12, 1e-12);
    EXPECT_DOUBLE_EQ(plate.Cl, section.Cl);
}

TEST(AirframeCoefficients, StallFoldsLiftBackButNotBelowHalf) {
    AirframeDesc airframe = Wing(60, 600, 0, 1111);
    DeriveAirframe(airframe, false);
    // Just past ClMax the lift falls back by as much as it overshot.
    airframe.AngleOfAttack = 13 * kDegree;
    AirframeCoefficients(airframe);
    const double unstalled = 13 * 0.22 / (0.59 / 6 + 0.22) / 10 * 1.0 + 0.4;
    ASSERT_GT(unstalled, airframe.ClMax);
    ASSERT_LT(unstalled - airframe.ClMax, airframe.ClMax / 2);
    EXPECT_TRUE(airframe.Stalled);
    EXPECT_NEAR(airframe.Cl, 2 * airframe.ClMax - unstalled, 1e-9);
    // Far past it the lift stays at half of ClMax.
    airframe.AngleOfAttack = 40 * kDegree;
    AirframeCoefficients(airframe);
    EXPECT_TRUE(airframe.Stalled);
    EXPECT_DOUBLE_EQ(airframe.Cl, airframe.ClMax / 2);
    airframe.AngleOfAttack = 0;
    AirframeCoefficients(airframe);
    EXPECT_FALSE(airframe.Stalled);
}

TEST(AspectRatio, MissingOrBadWingTakesEight) {
    EXPECT_DOUBLE_EQ(AspectRatioOf(0, 600, false), 8.0);
    EXPECT_DOUBLE_EQ(AspectRatioOf(60, 0, false), 8.0);
    EXPECT_DOUBLE_EQ(AspectRatioOf(60, -600, false), 8.0);
    EXPECT_DOUBLE_EQ(AspectRatioOf(NAN, 600, false), 8.0);
    // Metric: span in cm, area in dm².
    EXPECT_DOUBLE_EQ(AspectRatioOf(150, 37.5, true), 6.0);

    AirframeDesc airframe = Wing(0, 0, 0, 0);
    DeriveAirframe(airframe, true);
    EXPECT_DOUBLE_EQ(airframe.AspectRatio, 8.0);
    EXPECT_TRUE(airframe.MetricUnits);
    // A record whose aspect ratio was never set still gives finite coefficients.
    AirframeDesc raw;
    raw.Thickness = 0.1;
    AirframeCoefficients(raw);
    EXPECT_TRUE(std::isfinite(raw.Cd));
    EXPECT_GE(raw.CdInduced, 0);
}

TEST(BestLiftToDrag, FindsTheScanMaximumAndLeavesTheAngle) {
    AirframeDesc airframe = Wing(60, 600, 1161622, 1111);
    DeriveAirframe(airframe, false);
    const double angle = airframe.AngleOfAttack;
    const double cl = airframe.Cl;
    ASSERT_GT(airframe.MaxLiftToDrag, 0);
    EXPECT_DOUBLE_EQ(airframe.AngleOfAttack, angle);
    EXPECT_DOUBLE_EQ(airframe.Cl, cl);

    // No angle of the scan beats the best ratio, and one meets it with the reported Cl.
    bool met = false;
    for (int half = -10; half <= 50; ++half) {
        AirframeDesc probe = airframe;
        probe.AngleOfAttack = half / 2.0 * kDegree;
        AirframeCoefficients(probe);
        const double ratio = probe.Cl / probe.Cd;
        EXPECT_LE(ratio, airframe.MaxLiftToDrag);
        if (ratio == airframe.MaxLiftToDrag && probe.Cl == airframe.ClOpt) met = true;
    }
    EXPECT_TRUE(met);
}

TEST(BestLiftToDrag, NoPositiveRatioKeepsClOpt) {
    // A strongly negative camber gives negative lift at every scanned angle: no ratio is positive.
    AirframeDesc airframe = Wing(60, 600, 0, 1111);
    airframe.Thickness = 0.12;
    airframe.Camber = -0.2;
    airframe.AspectRatio = 6;
    airframe.ClOpt = 0.55;
    BestLiftToDrag(airframe);
    EXPECT_EQ(airframe.MaxLiftToDrag, 0);
    EXPECT_EQ(airframe.ClOpt, 0.55);
}

} // namespace ampvane
