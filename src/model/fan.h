// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/flight.h"

// The ducted fan drive: one fan per motor (Sm × Pm fans, no gearbox) of diameter Df, pitch Pf and hub
// diameter Dh (in), with thrust and power coefficients Ct and Cp, and intake and exhaust ducts of
// diameter Di, De and length Li, Le (in). Battery, speed control and motor symbols as in
// electric_chain.h; V is the cell voltage already multiplied by the throttle fraction.

namespace ampvane {

// Shaft power one motor delivers at fan speed N (W), from the same circuit as MotorCurrentInCircuit:
// (I − Io) × N / Kv. 0 where it has no value (Kv or the circuit resistance 0).
double FanMotorPower(int Ne, int Sm, int Pm, double Re, double Rc, double V, int Pc, int Sc, double Rm,
                     double Io, double Kv, double N);

// Power absorbed by one fan at N (W); negative when the airspeed exceeds the fan's pitch speed.
// 0 at a pitch speed of 0 (its limit).
double FanAbsorbedPower(double sigma, double Cp, double Va, double Pf, double Dh, double Df, double N);

struct FanRpmSolution {
    double Rpm = 0;
    bool Failed = false;
};

// Fan speed where motor and fan power balance: doubling from 0.5 rpm to bracket it (at most 64
// doublings), then false position to 0.01 rpm (at most 200 rounds). Fails when a limit is reached,
// a value has no finite result, or the airspeed exceeds the pitch speed at the solution.
FanRpmSolution SolveFanRpm(int Ne, int Sm, int Pm, double Re, double Rc, double V, int Pc, int Sc, double Rm,
                           double Io, double Kv, double sigma, double Cp, double Va, double Pf, double Dh,
                           double Df);

// Current through and voltage across one motor at fan speed N (gear ratio 1, efficiency 1).
double FanMotorCurrent(int Sc, int Pc, int Ne, int Pm, int Sm, double N, double Re, double Rc, double V,
                       double R, double Kv);
double FanMotorVoltage(int Sc, int Pc, int Ne, int Pm, int Sm, double N, double Re, double Rc, double V,
                       double R, double Kv);

struct FanDriveSolution {
    bool Failed = false;
    double MotorTemperature = 0; // °C, of the last pass
    double OutputPower = 0;      // W, all motors
    double MotorVoltage = 0;     // V across one series branch
    double MotorCurrent = 0;     // A drawn by all motors together
    double Rpm = 0;              // fan speed
};

// The operating point of a fan drive, with the heating correction of SolvePropDrive.
FanDriveSolution SolveFanDrive(int Sc, int Pc, int Ne, bool heating, double Ta, double K, double sigma,
                               double Cp, int Pm, int Sm, double Va, double Pf, double Dh, double Df,
                               double Re, double Rc, double V, double Wm, double Rm, double Io, double Kv);

struct FanThrustResult {
    double Thrust = 0;     // oz, all fans
    double Efficiency = 0; // the thrust coefficient, which serves as the fan's efficiency
};

// Thrust of all fans with the duct losses. Di is accepted for symmetry and not used. 0 where it has
// no value (a fan diameter or speed of 0).
FanThrustResult FanThrust(double Ct, double Va, double sigma, double N, int Pm, int Sm, double Pf, double Li,
                          double Di, double Le, double De, double Df);

// Efflux figure (mph): the pitch-speed margin scaled by the swept annulus over the exhaust area.
// 0 for an exhaust diameter of 0.
double FanEfflux(double Va, double N, double Pf, double De, double Dh, double Df);

// Rate of climb with a fan drive at the level-flight speed of Cl (the arguments of SolveFanDrive
// without the airspeed, the thrust coefficient and ducts of FanThrust, then the airframe figures).
ClimbResult SolveFanClimb(int Sc, int Pc, int Ne, bool heating, double Ta, double K, double sigma, double Cp,
                          int Pm, int Sm, double Pf, double Dh, double Df, double Re, double Rc, double V,
                          double Wm, double Rm, double Io, double Kv, double Ct, double Li, double Di,
                          double Le, double De, double S, double W, double Cl, double LiftToDrag);

} // namespace ampvane
