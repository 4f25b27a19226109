// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/unit_conversion.h"
#include "model/flight.h"
#include "model/propeller.h"

// A propeller described by measured thrust and power coefficients instead of two constants.
//
// Coefficients are the usual dimensionless ones: CT = T / (ρ n² D⁴), CP = P / (ρ n³ D⁵) and the
// advance ratio J = V / (n D), with n in revolutions per second, D in metres, V in m/s and ρ the air
// density. ρ is 1.29225 kg/m³ times the density ratio σ (σ = 1 is dry air at 0 °C on a standard
// sea-level day). Newtons become ounces with the factor the two-constant model's thrust per watt
// implies (8.0645 oz per W at 1 mph = 3.60515 oz per N), so both models agree on what a watt pushes.
//
// Interpolation, for a propeller speed N (rpm) and advance ratio J:
// - within one run (a series of points at one rpm) CT and CP are monotone cubic in J (shape
//   preserving, no overshoot between points);
// - at J = 0 the static curve is used, monotone cubic in rpm and held at its ends; between J = 0 and
//   the first measured J of the runs the value goes linearly from the static curve to the runs' first
//   points (held at the first points when the data has no static point);
// - otherwise the runs whose own J range covers J are interpolated linearly in rpm between the
//   nearest covering run below N and the nearest above; outside them the nearest covering run is
//   held. A run is never extended past its own J range to interpolate in rpm;
// - beyond the last J of every run the run that reaches furthest continues in a straight line: CT
//   with the slope of its last segment (or, where the data ends still rising, falling to zero at
//   1.25 times its last J), on through the windmill point (CT = 0) into negative thrust; CP with the
//   slope of its last segment when that falls, else held.

namespace ampvane {

// Measured in a wind tunnel or on a bench, or computed by a maker (blade-element tables).
enum class PropellerDataKind { Measured, Computed };

struct StaticPoint {
    double Rpm = 0, CT = 0, CP = 0;
};

struct AdvancePoint {
    double J = 0, CT = 0, CP = 0;
};

// Points at one rpm, J strictly ascending.
struct PropellerRun {
    double Rpm = 0;
    std::vector<AdvancePoint> Points;
};

struct MeasuredPropeller {
    std::string Name;
    double Diameter = 0; // in
    double Pitch = 0;    // in
    int Blades = 2;
    PropellerDataKind Kind = PropellerDataKind::Measured;
    std::string Source;              // where the data came from (file names, a maker's heading)
    std::vector<StaticPoint> Static; // rpm strictly ascending
    std::vector<PropellerRun> Runs;  // rpm ascending
};

struct PropellerCoefficients {
    double CT = 0, CP = 0;
};

inline constexpr double kReferenceAirDensity = 1.29225; // kg/m³ at σ = 1
inline constexpr double kThrustOuncesPerNewton = 8.0645 * kMetresPerSecondPerMphExactly;

// J of a propeller of diameter D (in) at N rpm and airspeed Va (mph); 0 when it does not turn.
double AdvanceRatio(double Va, double N, double D);

// The measured propeller made ready for interpolation (slopes computed once). Cheap to share:
// evaluation does not change it.
class MeasuredCurves {
public:
    explicit MeasuredCurves(MeasuredPropeller propeller);

    const MeasuredPropeller& Propeller() const { return propeller_; }
    PropellerCoefficients At(double J, double rpm) const;
    PropellerCoefficients Static(double rpm) const;

    // Power absorbed by one propeller (W) and its thrust (oz) at N rpm, airspeed Va (mph), density
    // ratio σ.
    double Power(double Va, double N, double sigma) const;
    PropThrustResult Thrust(double Va, double N, double sigma, int Np) const;

private:
    struct Curve {
        std::vector<double> x, ct, cp, dct, dcp;
        double Rpm = 0;
    };
    static Curve Prepare(std::vector<double> x, std::vector<double> ct, std::vector<double> cp, double rpm);
    static PropellerCoefficients Evaluate(const Curve& curve, double x);
    PropellerCoefficients Continued(const Curve& run, double J) const;
    template <class Take>
    bool Between(double rpm, Take take, double (&out)[3]) const;

    MeasuredPropeller propeller_;
    Curve static_;
    std::vector<Curve> runs_;
    std::size_t furthest_ = 0; // the run with the largest last J
};

// The operating point of a propeller drive with measured curves: the motors' delivered power
// balanced against the power the Np propellers absorb, found at each winding resistance of the
// heating loop by a bracketed root finder (it always ends, within 100 rounds). The problem's Kp, Tc,
// P, D and blade count are not used: the curves carry the propeller. Fails where no operating point
// exists (the propeller would be driven by the air even at the motor's free speed).
PropDriveSolution SolveMeasuredPropDrive(const PropDriveProblem& problem, const MeasuredCurves& curves);

// Rate of climb at the level-flight speed of Cl, as SolveClimb does for the two-constant model.
ClimbResult SolveMeasuredClimb(const PropDriveProblem& drive, const MeasuredCurves& curves, double S, double W,
                               double Cl, double LiftToDrag);

// The two-constant model written as coefficients (Kp as stored, Tc): a static point at each rpm and
// a run at each rpm over the advance ratios js (ascending, from 0). Compares the two models in
// the same terms, and gives measured-looking data whose right answer is known.
MeasuredPropeller TabulateTwoConstantModel(double D, double P, int Nbl, double Kp, double Tc,
                                           std::span<const double> rpms, std::span<const double> js);

// The two constants of the two-constant model that best reproduce the static points (least squares
// of the relative power and thrust errors over every static point); the user's power constant
// (stored value × 1.31) and the thrust constant. Empty when the data has no usable static point.
struct FittedConstants {
    double PropConstant = 0;   // the user's value
    double ThrustConstant = 0;
    double PowerRmsError = 0;  // relative, over the static points
    double ThrustRmsError = 0; // relative
    int Points = 0;
};
std::optional<FittedConstants> FitTwoConstants(const MeasuredCurves& curves);

} // namespace ampvane
