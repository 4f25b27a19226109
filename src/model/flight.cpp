#include "model/flight.h"

#include "model/air.h"
#include "model/model_numbers.h"
#include "model/propeller.h"

#include <cmath>
#include <numbers>

namespace ampvane {

using model_detail::FiniteOr;

double DragForce(double sigma, double V, double S, double Cd) {
    return FiniteOr(kAirForceConstant * sigma * V * V * S * Cd, 0);
}

double LiftForce(double sigma, double V, double S, double Cl) {
    return FiniteOr(kAirForceConstant * sigma * V * V * S * Cl, 0);
}

double LevelFlightSpeed(double sigma, double Cl, double S, double W) {
    const double denominator = sigma * kAirForceConstant * S * Cl;
    if (!(denominator > 0)) return 0;
    const double square = W / denominator;
    if (!(square >= 0)) return 0;
    return FiniteOr(std::sqrt(square), 0);
}

double ArcSin(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 1) return std::numbers::pi / 2;
    if (x <= -1) return -std::numbers::pi / 2;
    return std::atan(x / std::sqrt(1 - x * x));
}

ClimbResult SolveClimb(int Sc, int Pc, int Ne, bool heating, double Ta, double K, double sigma, double Tc,
                       double Kp, int Nbl, int Np, int Pm, int Sm, double P, double D,
                       double gearboxEfficiency, double G, double Re, double Rc, double V, double Wm,
                       double Rm, double Io, double Kv, double S, double W, double Cl, double LiftToDrag) {
    return model_detail::ClimbWith(sigma, S, W, Cl, LiftToDrag, [&](double airspeed) {
        if (!(V > 0)) return 0.0;
        const PropDriveSolution drive =
            SolvePropDrive(Sc, Pc, Ne, heating, Ta, K, sigma, Tc, Kp, Nbl, Np, Pm, Sm, airspeed, P, D,
                           gearboxEfficiency, G, Re, Rc, V, Wm, Rm, Io, Kv);
        if (drive.Failed) return 0.0;
        return PropThrust(Tc, Kp, drive.OutputPower, airspeed, sigma, drive.Rpm, P, D).Thrust;
    });
}

ClimbResult GlideSinkRate(double sigma, double S, double W, double Cl, double LiftToDrag) {
    return model_detail::ClimbWith(sigma, S, W, Cl, LiftToDrag, [](double) { return 0.0; });
}

} // namespace ampvane
