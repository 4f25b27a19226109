// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/electric_chain.h"

#include "model/drive_heating.h"
#include "model/model_numbers.h"

#include <cmath>
#include <limits>

namespace ampvane {

using model_detail::FiniteOr;
using model_detail::kHeatingPasses;
using model_detail::kResistanceSettled;
using model_detail::kStopTemperature;
using model_detail::RoundHalfEven;

namespace {

constexpr double kWeightExponent = 0.66667;
// Copper gains 0.39 % of resistance per °C, compounded: Rm × 1.0039^(T − 20). Written as an
// exponential because the drive solves evaluate it on every heating pass.
const double kLogCopperCoefficient = std::log(1.0039);

} // namespace

double CircuitResistance(int Sc, int Pc, int Ne, int Pm, int Sm, double Re, double Rc, double R) {
    return FiniteOr(Pc * R * Ne * Sm + Pm * Rc * Sc * Ne + Pm * Re * Pc, 0);
}

MotorInCircuit MotorCurrentAndVoltageInCircuit(int Sc, int Pc, int Ne, int Pm, int Sm, double G, double N, double Re,
                                               double Rc, double V, double R, double Kv) {
    const double denominator = CircuitResistance(Sc, Pc, Ne, Pm, Sm, Re, Rc, R) * Kv;
    if (denominator == 0) return {};
    return {FiniteOr((Sc * V * Kv - N * G * Sm) * (Pc * Ne) / denominator, 0),
            FiniteOr((Sc * V * R * Kv * Pc * Ne + N * G * Pm * Rc * Sc * Ne + N * G * Pm * Re * Pc) / denominator, 0)};
}

double MotorCurrentInCircuit(int Sc, int Pc, int Ne, int Pm, int Sm, double G, double N, double Re, double Rc,
                             double V, double R, double Kv, double /*gearboxEfficiency*/) {
    return MotorCurrentAndVoltageInCircuit(Sc, Pc, Ne, Pm, Sm, G, N, Re, Rc, V, R, Kv).Current;
}

double MotorVoltageInCircuit(int Sc, int Pc, int Ne, int Pm, int Sm, double G, double N, double Re, double Rc,
                             double V, double R, double Kv, double /*gearboxEfficiency*/) {
    return MotorCurrentAndVoltageInCircuit(Sc, Pc, Ne, Pm, Sm, G, N, Re, Rc, V, R, Kv).Voltage;
}

double MotorOutputPower(double V, double I, double R, double Io) {
    return FiniteOr((I - Io) * (V - I * R), 0);
}

double MotorEfficiency(double V, double I, double R, double Io) {
    const double input = V * I;
    if (input == 0) return 0;
    return FiniteOr(MotorOutputPower(V, I, R, Io) / input, 0);
}

double MotorRpm(double V, double I, double R, double Kv) {
    return FiniteOr((V - I * R) * Kv, 0);
}

double MaxEfficiencyCurrent(double V, double R, double Io) {
    if (!(R > 0)) return 0;
    const double square = Io * V / R;
    if (!(square >= 0)) return 0;
    return FiniteOr(std::sqrt(square), 0);
}

double MaxEfficiency(double V, double R, double Io) {
    return MotorEfficiency(V, MaxEfficiencyCurrent(V, R, Io), R, Io);
}

double MaxPowerCurrent(double V, double R, double Io) {
    if (R == 0) return 0;
    return FiniteOr((Io * R + V) / (2 * R), 0);
}

double MotorThermalResistance(double K, double Wm) {
    if (!(Wm > 0)) return 0;
    return FiniteOr(K / std::pow(Wm, kWeightExponent), 0);
}

double MotorTemperature(double Ta, double V, double I, double Wm, double R, double Io, double /*Kv*/,
                        double K) {
    return FiniteOr(Ta + (V * I - MotorOutputPower(V, I, R, Io)) * MotorThermalResistance(K, Wm), Ta);
}

double ResistanceAt(double Rm, double T) {
    return FiniteOr(Rm * std::exp(kLogCopperCoefficient * (T - 20)), Rm);
}

double HotResistance(double Ta, double V, double I, double Wm, double Rm, double Io, double Kv, double K) {
    double R = ResistanceAt(Rm, Ta);
    double previous = R;
    for (int round = 0; round < kHeatingPasses; ++round) {
        const double T = MotorTemperature(Ta, V, I, Wm, R, Io, Kv, K);
        if (T > kStopTemperature) break;
        previous = R;
        R = ResistanceAt(Rm, T);
        // A zero resistance cannot change any more.
        if (previous == 0 || std::fabs(R - previous) / previous < kResistanceSettled) break;
    }
    return R;
}

double PackTemperature(double Ta, double Wp, double Rp, double I) {
    if (!(Wp > 0)) return Ta;
    return FiniteOr(Ta + I * I * Rp * 58 / std::pow(Wp, kWeightExponent), Ta);
}

double BatteryCurrent(double motorCurrent, double throttle, bool highRate) {
    return FiniteOr(highRate ? motorCurrent * throttle : motorCurrent, 0);
}

std::int32_t RunTimeSeconds(int Pc, double capacity, double batteryCurrent) {
    constexpr auto kLongest = std::numeric_limits<std::int32_t>::max();
    if (!(batteryCurrent > 0)) return kLongest;
    const double seconds = RoundHalfEven(Pc * capacity * 3.6 / batteryCurrent);
    if (!(seconds < static_cast<double>(kLongest))) return kLongest;
    if (seconds < 0) return 0;
    return static_cast<std::int32_t>(seconds);
}

} // namespace ampvane
