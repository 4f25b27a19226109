// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <span>

// The propeller drive: the battery, speed controls, motors and gearbox of electric_chain.h driving
// Np identical propellers of diameter D and pitch P (in), Nbl blades, at airspeed Va (mph) in air of
// density ratio σ. Kp is the power constant as stored (the user's value divided by 1.31), Tc the
// thrust constant. V is the cell voltage already multiplied by the throttle fraction.

namespace ampvane {

// Each blade beyond two lowers the effective pitch by 1 %; a single blade raises it by 1 %.
double EffectivePitch(double P, int Nbl);

// Pitch speed P × N × 9.47e-4 mph.
double PitchSpeed(double P, double N);

// Power absorbed by one two-bladed propeller at load factor 1 (W).
double PropPower(double sigma, double Kp, double N, double P, double D);

// Propeller speed (rpm) at which the motors' delivered power equals the power the propellers absorb
// with the effective constant KpG. Never below 0.1 rpm, which also stands for "no solution".
double PropDriveRpm(int Sc, int Pc, int Ne, double sigma, double KpG, int Nbl, int Np, int Pm, int Sm,
                    double P, double D, double gearboxEfficiency, double G, double Re, double Rc, double V,
                    double R, double Io, double Kv);

// Empirical factor on the absorbed power as the airspeed approaches the pitch speed at N (≥ 0;
// 1 at rest; 0 where the advance has no value).
double PropLoadFactor(double Va, double N, double P, double D);

struct PropRpmSolution {
    double Rpm = 0;
    double EffectiveConstant = 0; // Kp × load factor of the last round
    bool Failed = false;
};

// The propeller speed with the load factor relaxed to its fixed point (at most 200 rounds, until the
// factor moves by less than 1e-4). Where the relaxation stops contracting (a step no shorter than the
// one before: a propeller near its pitch speed, whose load factor is steep), the fixed point is found
// by bisection at once instead of answering with an arbitrary point of the circle. Fails when the
// factor has no value.
PropRpmSolution SolvePropRpm(int Sc, int Pc, int Ne, double sigma, double Kp, int Nbl, int Np, int Pm, int Sm,
                             double P, double D, double gearboxEfficiency, double G, double Re, double Rc,
                             double V, double R, double Io, double Kv, double Va);

struct PropDriveSolution {
    bool Failed = false;
    double MotorTemperature = 0;  // °C, of the last pass
    double EffectiveConstant = 0; // Kp × load factor, of the last pass
    double OutputPower = 0;       // W after the gearbox, all motors
    double MotorVoltage = 0;      // V across one series branch
    double MotorCurrent = 0;      // A drawn by all motors together
    double Rpm = 0;               // propeller speed
};

// The operating point of a propeller drive, correcting the winding resistance for the motor's own
// temperature when heating is on (at most 10 passes; a temperature above 1000 °C stops the
// correction). Fails when the load factor collapses, or when the point is no operating point at all
// (a negative motor current at the 0.1 rpm floor). Tc is accepted for symmetry and not used.
PropDriveSolution SolvePropDrive(int Sc, int Pc, int Ne, bool heating, double Ta, double K, double sigma,
                                 double Tc, double Kp, int Nbl, int Np, int Pm, int Sm, double Va, double P,
                                 double D, double gearboxEfficiency, double G, double Re, double Rc, double V,
                                 double Wm, double Rm, double Io, double Kv);

// The arguments of SolvePropDrive as one record, for solving many drives at once.
struct PropDriveProblem {
    int Sc = 0, Pc = 0, Ne = 0;
    bool heating = false;
    double Ta = 0, K = 0, sigma = 0, Tc = 0, Kp = 0;
    int Nbl = 0, Np = 0, Pm = 0, Sm = 0;
    double Va = 0, P = 0, D = 0, gearboxEfficiency = 0, G = 0, Re = 0, Rc = 0, V = 0, Wm = 0, Rm = 0, Io = 0,
           Kv = 0;
};

PropDriveSolution SolvePropDrive(const PropDriveProblem& problem);

// Independent drive solves advanced together, a relaxation round each, one solve in each lane of a
// few vector registers: every solution is the one SolvePropDrive gives for its problem, bit for
// bit. solutions must be as long as problems.
void SolvePropDrives(std::span<const PropDriveProblem> problems, std::span<PropDriveSolution> solutions);

namespace model_detail {
// SolvePropDrives with the vector instructions every processor has, where SolvePropDrives takes
// the widest this one has: the solutions are the same.
void SolvePropDrivesPlain(std::span<const PropDriveProblem> problems, std::span<PropDriveSolution> solutions);
} // namespace model_detail

// Efficiency factor of the propeller's shape at advance s (0 where it has no value).
double PropShapeEfficiency(double s, double P, double D);

struct PropThrustResult {
    double Thrust = 0;     // oz, all propellers
    double Efficiency = 0; // fraction, ≥ 0
};

// Thrust from the delivered power Pout. A static point is taken at 0.001 mph. Kp and σ are accepted
// for symmetry and not used.
PropThrustResult PropThrust(double Tc, double Kp, double Pout, double Va, double sigma, double N, double P,
                            double D);

// The thrust constant that makes PropThrust give the measured thrust at this power; empty when no
// constant does (for example an efficiency beyond what the shape allows).
std::optional<double> ThrustConstantFromMeasurement(double thrust, double Kp, double power, double Va,
                                                    double sigma, double N, double P, double D);

} // namespace ampvane
