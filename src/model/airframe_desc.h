// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace ampvane {

// The airframe of a power system. Span, area and weight are in the units typed (cm, dm², g when
// MetricUnits) until the report converts its copy to internal units (in, sq.in, oz).
struct AirframeDesc {
    std::string AirframeName;
    double WingSpan = 0;    // in (cm while MetricUnits)
    double WingArea = 0;    // sq.in (dm² while MetricUnits)
    double EmptyWeight = 0; // oz (g in metric display units until converted)
    std::uint8_t MetricUnits = 0;
    double AspectRatio = 0;
    std::int32_t AirfoilInfo = 0;
    std::int32_t DragInfo = 0;
    // Decoded airfoil and drag fields.
    double Thickness = 0;     // fraction
    double Camber = 0;        // fraction
    double AngleOfAttack = 0; // radians
    std::int32_t LandingGear = 0;
    std::int32_t SurfaceFinish = 0;
    std::int32_t Protrusions = 0;
    std::int32_t Fuselage = 0;
    std::uint8_t FlatPlate = 0;
    // Derived coefficients.
    double Cd = 0;
    double CdProfile = 0;
    double CdInduced = 0;
    double CdParasitic = 0;
    double Cl = 0;
    double ClMax = 0;
    std::uint8_t Stalled = 0;
    double MaxLiftToDrag = 0;
    double ClOpt = 0;
};

// A wing is present when it has an area; every flight quantity depends on that.
inline bool HasWing(const AirframeDesc& airframe) {
    return airframe.WingArea > 0;
}

} // namespace ampvane
