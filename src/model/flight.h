// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Flight formulas: the forces at an airspeed, the speed of level flight at a lift coefficient, the
// climb solver and the power-off glide. Weights and forces in oz, areas in sq.in, speeds in mph, σ
// the air density ratio.

#include <span>

#include "model/propeller.h"

namespace ampvane {

// Force (oz) on S sq.in at V mph with coefficient Cd or Cl.
double DragForce(double sigma, double V, double S, double Cd);
double LiftForce(double sigma, double V, double S, double Cl);

// The speed at which the lift at coefficient Cl carries W on S (at ClMax: the stall speed). 0 when
// no speed does (a coefficient, area or density that is not positive).
double LevelFlightSpeed(double sigma, double Cl, double S, double W);

// π/2 for x ≥ 1, −π/2 for x ≤ −1, else the arc sine; 0 for NaN.
double ArcSin(double x);

struct ClimbResult {
    double RateOfClimb = 0; // ft/min, negative when sinking
    double ClimbAngle = 0;  // degrees, negative when descending
    bool Valid = false;     // false when the airframe has no level-flight speed (then both are 0)
};

// Rate of climb at the level-flight speed of Cl with a propeller drive (the arguments of
// SolvePropDrive without the airspeed), at most 51 passes. With a cell voltage V that is not
// positive there is no thrust.
ClimbResult SolveClimb(int Sc, int Pc, int Ne, bool heating, double Ta, double K, double sigma, double Tc,
                       double Kp, int Nbl, int Np, int Pm, int Sm, double P, double D,
                       double gearboxEfficiency, double G, double Re, double Rc, double V, double Wm,
                       double Rm, double Io, double Kv, double S, double W, double Cl, double LiftToDrag);

// The arguments of SolveClimb as one record: the drive (its airspeed is not used) and the airframe.
struct ClimbProblem {
    PropDriveProblem Drive;
    double S = 0, W = 0, Cl = 0, LiftToDrag = 0;
};

// Independent climbs, their drive solves interleaved as by SolvePropDrives: every result is the one
// SolveClimb gives for its problem. results must be as long as problems.
void SolveClimbs(std::span<const ClimbProblem> problems, std::span<ClimbResult> results);

// Power-off sink rate (negative ft/min) and glide angle (negative degrees) at Cl and L/D.
ClimbResult GlideSinkRate(double sigma, double S, double W, double Cl, double LiftToDrag);

namespace model_detail {

// The climb iteration with the thrust the drive gives at airspeed V (thrustAt is called once: the
// drive does not depend on the climb angle).
template <class ThrustAt>
ClimbResult ClimbWith(double sigma, double S, double W, double Cl, double LiftToDrag, ThrustAt thrustAt);

} // namespace model_detail
} // namespace ampvane

#include "model/flight_climb.h"
