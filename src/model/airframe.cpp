// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/airframe.h"

#include "common/unit_conversion.h"
#include "model/model_numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace ampvane {

namespace {

constexpr double kHalfDegreesPerRadian = 2 * kDegreesPerRadian;
constexpr double kDefaultAspectRatio = 8.0;
constexpr double kDefaultThickness = 0.12;
constexpr double kDefaultCamber = 0.04;
constexpr double kDefaultAngleOfAttack = 0.017453; // 1°
constexpr int kFirstScanHalfDegree = -10;          // −5°
constexpr int kLastScanHalfDegree = 50;            // 25°

// The digit group a field is written into: rounded, then held to [low, high]. NaN takes low.
long DigitsOf(double value, long low, long high) {
    if (!(value >= low)) return low;
    if (!(value <= high)) return high;
    return std::clamp(static_cast<long>(model_detail::RoundHalfEven(value)), low, high);
}

double SafeAspectRatio(double aspectRatio) {
    return aspectRatio > 0 && std::isfinite(aspectRatio) ? aspectRatio : kDefaultAspectRatio;
}

} // namespace

int DecodeAirfoil(AirframeDesc& airframe) {
    // Widened so that the most negative code has a magnitude.
    const long long a = std::llabs(static_cast<long long>(airframe.AirfoilInfo));
    airframe.FlatPlate = airframe.AirfoilInfo < 0;
    airframe.Thickness = static_cast<double>(a % 100 + 2) / 200;
    airframe.Camber = static_cast<double>(a / 100 % 100) / 200;
    airframe.AngleOfAttack = static_cast<double>(a / 10000 % 100 - 10) / kHalfDegreesPerRadian;
    return static_cast<int>(a / 1000000);
}

int DecodeDrag(AirframeDesc& airframe) {
    const std::int32_t a = airframe.DragInfo;
    airframe.LandingGear = a % 10 - 1;
    airframe.SurfaceFinish = a / 10 % 10 - 1;
    airframe.Protrusions = a / 100 % 10 - 1;
    airframe.Fuselage = a / 1000 % 10 - 1;
    return a / 10000;
}

std::int32_t EncodeAirfoil(const AirframeDesc& airframe) {
    const long thickness = DigitsOf(airframe.Thickness * 200 - 2, 0, 99);
    const long camber = DigitsOf(airframe.Camber * 200, 0, 99);
    const long angle = DigitsOf(airframe.AngleOfAttack * kDegreesPerRadian * 2 + 10, 0, 99);
    const auto code = static_cast<std::int32_t>(thickness + camber * 100 + angle * 10000 + 1000000);
    return airframe.FlatPlate ? -code : code;
}

std::int32_t EncodeDrag(const AirframeDesc& airframe) {
    const auto digit = [](std::int32_t dragClass) { return std::clamp(dragClass, -1, 8); };
    return digit(airframe.LandingGear) + 10 * digit(airframe.SurfaceFinish) +
           100 * digit(airframe.Protrusions) + 1000 * digit(airframe.Fuselage) + 1111;
}

double AspectRatioOf(double span, double area, bool metric) {
    if (!(span > 0) || !(area > 0)) return kDefaultAspectRatio;
    const double ratio = metric ? span * span / (area * 100) : span * span / area;
    return SafeAspectRatio(ratio);
}

void AirframeCoefficients(AirframeDesc& airframe) {
    const double alpha = airframe.AngleOfAttack;
    const double t = airframe.Thickness;
    const double c = airframe.Camber;
    const double A = SafeAspectRatio(airframe.AspectRatio);

    airframe.ClMax = 0.613 * std::exp(3.11 * t) + 8.85 * c;
    double cl = alpha * kDegreesPerRadian / 10 * 0.22 / (0.59 / A + 0.22) + 10 * c;
    airframe.Stalled = cl > airframe.ClMax;
    // Past the stall the lift falls back as far as it rose beyond ClMax, but never below half of it.
    if (airframe.Stalled) cl = std::max(airframe.ClMax - (cl - airframe.ClMax), airframe.ClMax / 2);
    airframe.Cl = cl;

    const double e = std::sin(alpha) * kDegreesPerRadian / 10;
    airframe.CdProfile = (5 * e * e * e * e + 1) * (0.05 * c + 0.0095);
    if (airframe.FlatPlate) airframe.CdProfile += 0.128 * t;
    airframe.CdInduced = cl * cl / (std::numbers::pi * A);
    const auto square = [](std::int32_t v) { return static_cast<double>(v) * v; };
    airframe.CdParasitic = 0.021 + 0.0025 * (square(airframe.LandingGear) + std::abs(airframe.SurfaceFinish) +
                                             square(airframe.Protrusions) + std::abs(airframe.Fuselage));
    airframe.Cd = airframe.CdProfile + airframe.CdInduced + airframe.CdParasitic;
}

void BestLiftToDrag(AirframeDesc& airframe) {
    AirframeDesc probe = airframe;
    airframe.MaxLiftToDrag = 0;
    for (int halfDegree = kFirstScanHalfDegree; halfDegree <= kLastScanHalfDegree; ++halfDegree) {
        probe.AngleOfAttack = halfDegree / 2.0 / kDegreesPerRadian;
        AirframeCoefficients(probe);
        if (!(probe.Cd > 0)) continue;
        const double ratio = probe.Cl / probe.Cd;
        if (ratio > airframe.MaxLiftToDrag && std::isfinite(ratio)) {
            airframe.MaxLiftToDrag = ratio;
            airframe.ClOpt = probe.Cl;
        }
    }
}

void DeriveAirframe(AirframeDesc& airframe, bool metric) {
    if (airframe.AirfoilInfo == 0) {
        airframe.Thickness = kDefaultThickness;
        airframe.Camber = kDefaultCamber;
        airframe.AngleOfAttack = kDefaultAngleOfAttack;
        airframe.FlatPlate = false;
    } else {
        DecodeAirfoil(airframe);
    }
    DecodeDrag(airframe);
    airframe.MetricUnits = metric;
    airframe.AspectRatio = AspectRatioOf(airframe.WingSpan, airframe.WingArea, metric);
    AirframeCoefficients(airframe);
    BestLiftToDrag(airframe);
}

} // namespace ampvane
