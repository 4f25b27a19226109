// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/airframe.h"

#include <cmath>
#include <limits>

namespace ampvane {
namespace {

constexpr double kDegree = 1 / 57.29577951;

AirframeDesc Derived(double span, double area, std::int32_t airfoil, std::int32_t drag, bool metric = false) {
    AirframeDesc airframe;
    airframe.WingSpan = span;
    airframe.WingArea = area;
    airframe.AirfoilInfo = airfoil;
    airframe.DragInfo = drag;
    DeriveAirframe(airframe, metric);
    return airframe;
}

} // namespace

TEST(AirfoilCode, DecodesDigitGroupsAndFlatPlateSign) {
    AirframeDesc airframe;
    airframe.AirfoilInfo = -1161622;
    EXPECT_EQ(DecodeAirfoil(airframe), 1);
    EXPECT_NEAR(airframe.Thickness, 0.12, 1e-15);
    EXPECT_NEAR(airframe.Camber, 0.08, 1e-15);
    EXPECT_NEAR(airframe.AngleOfAttack, 3 * kDegree, 1e-12);
    EXPECT_TRUE(airframe.FlatPlate);
    // An angle digit pair below 10 is a negative angle.
    airframe.AirfoilInfo = 1000000;
    DecodeAirfoil(airframe);
    EXPECT_NEAR(airframe.AngleOfAttack, -5 * kDegree, 1e-12);
    EXPECT_FALSE(airframe.FlatPlate);
    // The most negative code has no int32 magnitude; it still decodes.
    airframe.AirfoilInfo = std::numeric_limits<std::int32_t>::min(); // 2147|48|36|48
    EXPECT_EQ(DecodeAirfoil(airframe), 2147);
    EXPECT_NEAR(airframe.Thickness, 0.25, 1e-15);
}

TEST(AirfoilCode, EncodeInvertsDecodeAndKeepsFieldsInTheirDigits) {
    for (const std::int32_t code : {1161622, -1161622, 1000000, 1603038, -1100001}) {
        AirframeDesc airframe;
        airframe.AirfoilInfo = code;
        DecodeAirfoil(airframe);
        EXPECT_EQ(EncodeAirfoil(airframe), code);
    }
    // The default airfoil (12 %, 4 %, 1°) is written as 1120822.
    EXPECT_EQ(EncodeAirfoil(Derived(0, 0, 0, 0)), 1120822);

    AirframeDesc airframe;
    airframe.Thickness = 0.6; // 118 would carry into the camber digits
    airframe.Camber = 0.04;
    airframe.AngleOfAttack = 2 * kDegree;
    EXPECT_EQ(EncodeAirfoil(airframe), 1140899);
    airframe.Thickness = 0.005; // below 1 % would borrow from them
    EXPECT_EQ(EncodeAirfoil(airframe), 1140800);
    airframe.AngleOfAttack = -20 * kDegree;
    airframe.Camber = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(EncodeAirfoil(airframe), 1000000);
}

TEST(DragCode, DecodesClassesAndEncodesBack) {
    AirframeDesc airframe;
    airframe.DragInfo = 13241;
    EXPECT_EQ(DecodeDrag(airframe), 1);
    EXPECT_EQ(airframe.LandingGear * 1000 + airframe.SurfaceFinish * 100 + airframe.Protrusions * 10 +
                  airframe.Fuselage,
              312);
    EXPECT_EQ(EncodeDrag(airframe), 3241); // no version digit
    airframe.LandingGear = 12;
    airframe.SurfaceFinish = -4;
    EXPECT_EQ(EncodeDrag(airframe), 3209);
}

TEST(AirframeCoefficients, ParasiticDragFollowsTheClasses) {
    EXPECT_NEAR(Derived(60, 600, 0, 0).CdParasitic, 0.031, 1e-15); // every class −1
    EXPECT_NEAR(Derived(60, 600, 0, 1111).CdParasitic, 0.021, 1e-15);
    const AirframeDesc rough = Derived(60, 600, 0, 3334); // full floats, rough, many, rectangular
    EXPECT_NEAR(rough.CdParasitic, 0.021 + 0.0025 * (9 + 2 + 4 + 2), 1e-15);
    EXPECT_NEAR(rough.Cd, rough.CdProfile + rough.CdInduced + rough.CdParasitic, 1e-15);
}

TEST(AirframeCoefficients, DefaultAirfoilAndFlatPlate) {
    const AirframeDesc airframe = Derived(60, 600, 0, 1111);
    EXPECT_DOUBLE_EQ(airframe.AspectRatio, 6.0);
    EXPECT_NEAR(airframe.AngleOfAttack, 0.017453, 1e-15);
    EXPECT_NEAR(airframe.ClMax, 1.2443, 1e-4);
    EXPECT_NEAR(airframe.Cl, 0.4691, 1e-4);
    EXPECT_NEAR(airframe.Cd, 0.0442, 1e-4);
    EXPECT_FALSE(airframe.Stalled);
    const AirframeDesc section = Derived(60, 600, 1161622, 1111), plate = Derived(60, 600, -1161622, 1111);
    EXPECT_NEAR(plate.CdProfile - section.CdProfile, 0.128 * 0.12, 1e-12);
}

TEST(AirframeCoefficients, StallFoldsLiftBackButNotBelowHalf) {
    AirframeDesc airframe = Derived(60, 600, 0, 1111);
    airframe.AngleOfAttack = 13 * kDegree; // overshoots ClMax by less than half of it
    AirframeCoefficients(airframe);
    const double unstalled = 1.3 * 0.22 / (0.59 / 6 + 0.22) + 0.4;
    EXPECT_TRUE(airframe.Stalled);
    EXPECT_NEAR(airframe.Cl, 2 * airframe.ClMax - unstalled, 1e-9);
    airframe.AngleOfAttack = 40 * kDegree;
    AirframeCoefficients(airframe);
    EXPECT_TRUE(airframe.Stalled);
    EXPECT_DOUBLE_EQ(airframe.Cl, airframe.ClMax / 2);
}

TEST(AspectRatio, MissingOrBadWingTakesEight) {
    EXPECT_DOUBLE_EQ(AspectRatioOf(0, 600, false), 8.0);
    EXPECT_DOUBLE_EQ(AspectRatioOf(60, 0, false), 8.0);
    EXPECT_DOUBLE_EQ(AspectRatioOf(60, -600, false), 8.0);
    EXPECT_DOUBLE_EQ(AspectRatioOf(150, 37.5, true), 6.0); // cm over dm²
    EXPECT_TRUE(Derived(0, 0, 0, 0, true).MetricUnits);
    AirframeDesc raw; // never derived: aspect ratio 0
    AirframeCoefficients(raw);
    EXPECT_TRUE(std::isfinite(raw.Cd));
}

TEST(BestLiftToDrag, FindsTheScanMaximumAndLeavesTheAngle) {
    const AirframeDesc airframe = Derived(60, 600, 1161622, 1111);
    EXPECT_NEAR(airframe.AngleOfAttack, 3 * kDegree, 1e-12);
    ASSERT_GT(airframe.MaxLiftToDrag, 0);
    bool met = false;
    for (int half = -10; half <= 50; ++half) {
        AirframeDesc probe = airframe;
        probe.AngleOfAttack = half / 2.0 * kDegree;
        AirframeCoefficients(probe);
        EXPECT_LE(probe.Cl / probe.Cd, airframe.MaxLiftToDrag);
        met = met || (probe.Cl / probe.Cd == airframe.MaxLiftToDrag && probe.Cl == airframe.ClOpt);
    }
    EXPECT_TRUE(met);
    // Lift that is negative at every scanned angle leaves ClOpt as it was.
    AirframeDesc negative = airframe;
    negative.Camber = -0.2;
    negative.ClOpt = 0.55;
    BestLiftToDrag(negative);
    EXPECT_EQ(negative.MaxLiftToDrag, 0);
    EXPECT_EQ(negative.ClOpt, 0.55);
}

} // namespace ampvane
