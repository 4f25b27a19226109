// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/filter.h"

#include <gtest/gtest.h>

#include "report_fixtures.h"

namespace ampvane {
namespace {

// A combination comfortably inside every limit set below.
struct Point {
    int parallelCells = 1;
    double diameter = 10, pitch = 6;
    int runTime = 300;
    double pitchSpeed = 50, thrust = 30, motorRpm = 12000, efficiency = 70, temperature = 80, loss = 40,
           current = 20;
};

bool Passes(const PlaneDesc& plane, const Point& p) {
    return PassesFilter(plane, p.parallelCells, p.diameter, p.pitch, p.runTime, p.pitchSpeed, p.thrust, p.motorRpm,
                        p.efficiency, p.temperature, p.loss, p.current);
}

PlaneDesc FilteredPlane() {
    PlaneDesc plane = testing::GearedPropellerPlane();
    plane.UseFilter = 1;
    return plane;
}

TEST(FilterRestrictions, OffPassesEverythingEvenOverTheSpeedControlLimit) {
    PlaneDesc plane = FilteredPlane();
    plane.UseFilter = 0;
    plane.ESC.MaxCurrent = 10;
    plane.Filter.MaxCurrent = 1;
    EXPECT_TRUE(Passes(plane, Point{}));
    plane.UseFilter = 1;
    EXPECT_FALSE(Passes(plane, Point{}));
}

TEST(FilterRestrictions, EachLimitRejectsJustBeyondItsBound) {
    struct Case {
        const char* name;
        void (*set)(PlaneDesc&);
        void (*breakIt)(Point&);
        void (*edge)(Point&); // exactly at the bound still passes
    };
    const Case cases[] = {
        {"current per motor", [](PlaneDesc& p) { p.Filter.MaxCurrent = 20; }, [](Point& x) { x.current = 20.01; },
         [](Point& x) { x.current = 20; }},
        {"loss", [](PlaneDesc& p) { p.Filter.MaxPowerLoss = 40; }, [](Point& x) { x.loss = 40.01; },
         [](Point& x) { x.loss = 40; }},
        {"efficiency", [](PlaneDesc& p) { p.Filter.MinEfficiency = 70; }, [](Point& x) { x.efficiency = 69.99; },
         [](Point& x) { x.efficiency = 70; }},
        {"motor rpm", [](PlaneDesc& p) { p.Filter.MaxMotorRPM = 12000; }, [](Point& x) { x.motorRpm = 12001; },
         [](Point& x) { x.motorRpm = 12000; }},
        {"thrust", [](PlaneDesc& p) { p.Filter.MinThrust = 30; }, [](Point& x) { x.thrust = 29.9; },
         [](Point& x) { x.thrust = 30; }},
        {"minimum speed", [](PlaneDesc& p) { p.Filter.MinSpeed = 50; }, [](Point& x) { x.pitchSpeed = 49.9; },
         [](Point& x) { x.pitchSpeed = 50; }},
        {"maximum speed", [](PlaneDesc& p) { p.Filter.MaxSpeed = 50; }, [](Point& x) { x.pitchSpeed = 50.1; },
         [](Point& x) { x.pitchSpeed = 50; }},
        {"run time", [](PlaneDesc& p) { p.Filter.MinRunTime = 300; }, [](Point& x) { x.runTime = 299; },
         [](Point& x) { x.runTime = 300; }},
        {"pitch ratio", [](PlaneDesc& p) { p.Filter.MaxPitchRatio = 0.6; }, [](Point& x) { x.pitch = 6.1; },
         [](Point& x) { x.pitch = 6; }},
        {"speed control", [](PlaneDesc& p) { p.ESC.MaxCurrent = 20; }, [](Point& x) { x.current = 20.5; },
         [](Point& x) { x.current = 20; }},
        {"C rating", [](PlaneDesc& p) { p.Cell.CRating = 10; p.Cell.Capacity = 2000; },
         [](Point& x) { x.current = 20.1; }, [](Point& x) { x.current = 20; }},
    };
    for (const Case& c : cases) {
        PlaneDesc plane = FilteredPlane();
        c.set(plane);
        Point broken, edge;
        c.breakIt(broken);
        c.edge(edge);
        EXPECT_TRUE(Passes(plane, Point{})) << c.name;
        EXPECT_TRUE(Passes(plane, edge)) << c.name;
        EXPECT_FALSE(Passes(plane, broken)) << c.name;
    }
}

TEST(FilterRestrictions, LimitsAreSharedOutOverMotorsControlsAndStrings) {
    PlaneDesc plane = FilteredPlane();
    plane.SeriesMotors = 2;
    plane.ParallelMotors = 2;
    plane.Filter.MaxPowerLoss = 50; // per motor: 200 W for all four
    Point p;
    p.loss = 200;
    EXPECT_TRUE(Passes(plane, p));
    p.loss = 201;
    EXPECT_FALSE(Passes(plane, p));

    plane = FilteredPlane();
    plane.Cell.CRating = 10;
    plane.Cell.Capacity = 2000;
    p = Point{};
    p.parallelCells = 2;
    p.current = 40; // 20 A per parallel string
    EXPECT_TRUE(Passes(plane, p));
    p.current = 40.2;
    EXPECT_FALSE(Passes(plane, p));

    plane = FilteredPlane();
    plane.ESC.MaxCurrent = 30;
    plane.NumberOfESCs = 2;
    p = Point{};
    p.current = 60;
    EXPECT_TRUE(Passes(plane, p));
}

TEST(FilterRestrictions, FanPassesNoDiameterOrPitchSoThePitchRatioNeverRejects) {
    PlaneDesc plane = FilteredPlane();
    plane.Filter.MaxPitchRatio = 0.01;
    Point p;
    p.diameter = 0;
    p.pitch = 0;
    EXPECT_TRUE(Passes(plane, p));
}

TEST(FilterDescription, ImperialAndMetricLines) {
    PlaneDesc plane = FilteredPlane();
    AnalysisOptions options;
    EXPECT_EQ(DescribeFilter(plane, options), "Filter: .");
    plane.Filter.MinSpeed = 40;
    plane.Filter.MaxSpeed = 60;
    EXPECT_EQ(DescribeFilter(plane, options), "Filter: 40 to 60mph.");
    plane.Filter.MaxSpeed = 0;
    EXPECT_EQ(DescribeFilter(plane, options), "Filter: 40mph min.");

    plane.Filter = FilterDesc{};
    plane.Filter.MaxCurrent = 35;
    plane.ESC.MaxCurrent = 40;
    plane.Cell.CRating = 10;
    plane.Cell.Capacity = 1700;
    plane.Filter.MaxPowerLoss = 50.26;
    plane.Filter.MinEfficiency = 60;
    plane.Filter.MaxMotorRPM = 20000.4;
    plane.Filter.MinThrust = 36;
    plane.Filter.MaxSpeed = 60;
    plane.Filter.MinRunTime = 240;
    plane.Filter.MaxPitchRatio = 0.6667;
    EXPECT_EQ(DescribeFilter(plane, options),
              "Filter: 35A max (per Motor); 40A max (per ESC); 17A max (per parallel Battery); 50.3W max loss; "
              "60% min efficiency; 20000rpm max; 36oz min thrust; 60mph max; 240sec min; 0.667 max pitch:diam.");
    options.Metric = 1;
    plane.Filter = FilterDesc{};
    plane.ESC.MaxCurrent = 0;
    plane.Cell.CRating = 0;
    plane.Filter.MinThrust = 36;
    plane.Filter.MaxSpeed = 60;
    EXPECT_EQ(DescribeFilter(plane, options), "Filter: 1019g min thrust; 26.8m/s max.");
    options.Newtons = 1;
    EXPECT_EQ(DescribeFilter(plane, options, NumberLocale{',', ':'}), "Filter: 9,99N min thrust; 26,8m/s max.");
    plane.UseFilter = 0;
    EXPECT_EQ(DescribeFilter(plane, options), "");
}

} // namespace
} // namespace ampvane
