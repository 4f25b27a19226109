// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The electric side of a power system: Pc parallel strings of Sc cells feed Ne speed controls in
// parallel, which feed Pm parallel branches of Sm motors in series; all motors turn at G × N rpm.
// Units: V, A, Ohm, W, rpm, oz, °C. Every function is pure and returns a finite number; where a
// formula has no value (a zero denominator, a root of a negative number) the documented fallback
// is returned instead.

namespace ampvane {

// Combined resistance term of the circuit, with R the winding resistance of one motor:
// Pc × R × Ne × Sm + Pm × Rc × Sc × Ne + Pm × Re × Pc.
double CircuitResistance(int Sc, int Pc, int Ne, int Pm, int Sm, double Re, double Rc, double R);

// Current through one motor (A) at load speed N. 0 when Rt × Kv is 0. The gearbox efficiency is
// accepted for symmetry with the drive solvers and does not enter the formula.
double MotorCurrentInCircuit(int Sc, int Pc, int Ne, int Pm, int Sm, double G, double N, double Re, double Rc,
                             double V, double R, double Kv, double gearboxEfficiency);

// Terminal voltage of one motor (V) at load speed N. 0 when Rt × Kv is 0.
double MotorVoltageInCircuit(int Sc, int Pc, int Ne, int Pm, int Sm, double G, double N, double Re, double Rc,
                             double V, double R, double Kv, double gearboxEfficiency);

// Both at once, for the drive solves' heating passes: the same values with one circuit sum.
struct MotorInCircuit {
    double Current = 0;
    double Voltage = 0;
};
MotorInCircuit MotorCurrentAndVoltageInCircuit(int Sc, int Pc, int Ne, int Pm, int Sm, double G, double N, double Re,
                                               double Rc, double V, double R, double Kv);

// Single-motor characteristics: V terminal voltage, I current, R winding resistance.
double MotorOutputPower(double V, double I, double R, double Io);
// 0 when V × I is 0.
double MotorEfficiency(double V, double I, double R, double Io);
double MotorRpm(double V, double I, double R, double Kv);
// 0 when R is not positive or Io × V / R is negative.
double MaxEfficiencyCurrent(double V, double R, double Io);
double MaxEfficiency(double V, double R, double Io);
// 0 when R is 0.
double MaxPowerCurrent(double V, double R, double Io);

// Thermal resistance of a motor (°C per W of loss): K / Wm^0.66667, 0 for a weight that is not
// positive (no heating term).
double MotorThermalResistance(double K, double Wm);

double MotorTemperature(double Ta, double V, double I, double Wm, double R, double Io, double Kv, double K);

// Winding resistance at T °C of a copper winding that has Rm at 20 °C.
double ResistanceAt(double Rm, double T);

// Winding resistance at the motor's own temperature for a given current and voltage (at most 10
// temperature evaluations; a temperature above 1000 °C stops the correction).
double HotResistance(double Ta, double V, double I, double Wm, double Rm, double Io, double Kv, double K);

// Temperature of one series string of cells (weight Wp oz, resistance Rp) carrying I.
double PackTemperature(double Ta, double Wp, double Rp, double I);

// Current drawn from the battery: a high-rate speed control draws the motor current times the
// throttle fraction, any other the motor current itself.
double BatteryCurrent(double motorCurrent, double throttle, bool highRate);

// Run time in seconds, Pc × capacity (mAh) × 3.6 / Ibat, rounded half to even. A battery current
// that is not positive never empties the pack: the result is then the largest int32.
std::int32_t RunTimeSeconds(int Pc, double capacity, double batteryCurrent);

} // namespace ampvane
