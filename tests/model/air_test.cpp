// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "common/unit_conversion.h"
#include "model/air.h"

#include <cmath>

namespace ampvane {

TEST(AirDensity, StandardDaysAtSeaLevelAndAltitude) {
    EXPECT_NEAR(AirDensityRatio(0, 29.92, 15), 0.9479, 5e-5);
    EXPECT_NEAR(AirDensityRatio(0, 29.92, 0), 1.0, 5e-5);
    EXPECT_NEAR(AirDensityRatio(5000, 29.92, 15), 0.8168, 5e-5);
    // The pressure term at 29.92 inHg is about a quarter of a foot; a field that far above sea
    // level cancels it exactly.
    const double offset = 29.92 * (12.563 * 29.92 - 1678.5) + 38974;
    EXPECT_NEAR(offset, -0.24, 0.005);
    EXPECT_NEAR(AirDensityRatio(-offset, 29.92, 15), 273.0 / 288.0, 1e-12);
}

TEST(AirDensity, LowerPressureAndWarmerAirAreThinner) {
    const double standard = AirDensityRatio(1000, 29.92, 15);
    EXPECT_LT(AirDensityRatio(1000, 29.0, 15), standard);
    EXPECT_LT(AirDensityRatio(1000, 29.92, 30), standard);
    // Over the whole accepted range the ratio stays a sensible positive number.
    for (const double elevation : {-1000.1, 0.0, 36000.1})
        for (const double pressure : {27.9, 32.1})
            for (const double temperature : {-50.1, 50.1}) {
                const double sigma = AirDensityRatio(elevation, pressure, temperature);
                EXPECT_GT(sigma, 0.2);
                EXPECT_LT(sigma, 1.4);
            }
}

TEST(AirDensity, ConditionsWithoutADensityGiveZero) {
    // A density altitude beyond about 145,442 ft leaves the logarithm without a value.
    EXPECT_EQ(AirDensityRatio(145443, 29.92, 15), 0);
    EXPECT_EQ(AirDensityRatio(0, 29.92, -273), 0);
    EXPECT_EQ(AirDensityRatio(NAN, 29.92, 15), 0);
    EXPECT_EQ(AirDensityRatio(0, 29.92, INFINITY), 0);
}

TEST(FlyingField, StandardDayAndAcceptedRanges) {
    EXPECT_NEAR(StandardDayTemperature(5000), 5.1, 1e-12);
    EXPECT_NEAR(InchesHgFromKilopascals(kStandardPressureKilopascals), kStandardPressureInchesHg, 1e-12);
    EXPECT_NEAR(CelsiusFromFahrenheit(FahrenheitFromCelsius(-40)), -40, 1e-3);
    // The ranges are inclusive and in the unit shown.
    EXPECT_TRUE(TemperatureRange(false).Contains(122.1));
    EXPECT_FALSE(TemperatureRange(false).Contains(130));
    EXPECT_FALSE(TemperatureRange(true).Contains(60));
    EXPECT_TRUE(ElevationRange(true).Contains(-304.1));
    EXPECT_FALSE(PressureRange(true).Contains(kStandardPressureInchesHg));
    EXPECT_FALSE(PressureRange(false).Contains(NAN));
}

} // namespace ampvane
