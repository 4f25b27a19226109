// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/measured_propeller.h"

#include "model/drive_heating.h"
#include "model/electric_chain.h"
#include "model/flight_climb.h"
#include "model/model_numbers.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ampvane {

namespace {

constexpr double kFloorRpm = 0.1; // as the two-constant solve: "does not turn"
constexpr int kRootRounds = 100;
constexpr double kRootTolerance = 1e-10; // relative to the bracket's top
// Where a run's data ends with CT still rising, CT is taken to reach zero at this multiple of its last J.
constexpr double kWindmillReach = 1.25;

// Shape-preserving slopes of a monotone cubic through (x, y).
std::vector<double> MonotoneSlopes(const std::vector<double>& x, const std::vector<double>& y) {
    const std::size_t n = x.size();
    std::vector<double> d(n, 0.0);
    if (n < 2) return d;
    std::vector<double> h(n - 1), delta(n - 1);
    for (std::size_t k = 0; k + 1 < n; ++k) {
        h[k] = x[k + 1] - x[k];
        delta[k] = (y[k + 1] - y[k]) / h[k];
    }
    if (n == 2) {
        d[0] = d[1] = delta[0];
        return d;
    }
    for (std::size_t k = 1; k + 1 < n; ++k) {
        if (delta[k - 1] * delta[k] <= 0) continue;
        const double w1 = 2 * h[k] + h[k - 1], w2 = h[k] + 2 * h[k - 1];
        d[k] = (w1 + w2) / (w1 / delta[k - 1] + w2 / delta[k]);
    }
    const auto end = [](double h0, double h1, double d0, double d1) {
        double slope = ((2 * h0 + h1) * d0 - h0 * d1) / (h0 + h1);
        if (slope * d0 <= 0) return 0.0;
        if (d0 * d1 < 0 && std::fabs(slope) > 3 * std::fabs(d0)) return 3 * d0;
        return slope;
    };
    d[0] = end(h[0], h[1], delta[0], delta[1]);
    d[n - 1] = end(h[n - 2], h[n - 3], delta[n - 2], delta[n - 3]);
    return d;
}

double Lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

} // namespace

double AdvanceRatio(double Va, double N, double D) {
    const double n = N / 60;
    const double nD = n * D * kMetresPerInch;
    if (!(nD > 0)) return 0;
    return model_detail::FiniteOr(Va * kMetresPerSecondPerMphExactly / nD, 0);
}

MeasuredCurves::Curve MeasuredCurves::Prepare(std::vector<double> x, std::vector<double> ct, std::vector<double> cp,
                                              double rpm) {
    Curve curve;
    curve.dct = MonotoneSlopes(x, ct);
    curve.dcp = MonotoneSlopes(x, cp);
    curve.x = std::move(x);
    curve.ct = std::move(ct);
    curve.cp = std::move(cp);
    curve.Rpm = rpm;
    return curve;
}

MeasuredCurves::MeasuredCurves(MeasuredPropeller propeller) : propeller_(std::move(propeller)) {
    std::vector<double> x, ct, cp;
    for (const StaticPoint& p : propeller_.Static) {
        x.push_back(p.Rpm);
        ct.push_back(p.CT);
        cp.push_back(p.CP);
    }
    static_ = Prepare(std::move(x), std::move(ct), std::move(cp), 0);
    for (const PropellerRun& run : propeller_.Runs) {
        if (run.Points.empty()) continue;
        std::vector<double> j, rct, rcp;
        for (const AdvancePoint& p : run.Points) {
            j.push_back(p.J);
            rct.push_back(p.CT);
            rcp.push_back(p.CP);
        }
        runs_.push_back(Prepare(std::move(j), std::move(rct), std::move(rcp), run.Rpm));
    }
    std::stable_sort(runs_.begin(), runs_.end(), [](const Curve& a, const Curve& b) { return a.Rpm < b.Rpm; });
    for (std::size_t i = 1; i < runs_.size(); ++i)
        if (runs_[i].x.back() > runs_[furthest_].x.back()) furthest_ = i;
}

PropellerCoefficients MeasuredCurves::Evaluate(const Curve& curve, double x) {
    const std::vector<double>& xs = curve.x;
    if (xs.empty()) return {};
    if (!(x > xs.front())) return {curve.ct.front(), curve.cp.front()};
    if (!(x < xs.back())) return {curve.ct.back(), curve.cp.back()};
    const std::size_t k = static_cast<std::size_t>(std::upper_bound(xs.begin(), xs.end(), x) - xs.begin()) - 1;
    const double h = xs[k + 1] - xs[k];
    const double t = (x - xs[k]) / h;
    const double t2 = t * t, t3 = t2 * t;
    const double h00 = 2 * t3 - 3 * t2 + 1, h10 = t3 - 2 * t2 + t, h01 = -2 * t3 + 3 * t2, h11 = t3 - t2;
    return {h00 * curve.ct[k] + h10 * h * curve.dct[k] + h01 * curve.ct[k + 1] + h11 * h * curve.dct[k + 1],
            h00 * curve.cp[k] + h10 * h * curve.dcp[k] + h01 * curve.cp[k + 1] + h11 * h * curve.dcp[k + 1]};
}

// Linear in rpm between the nearest runs below and above `rpm` for which take(run, values) gives
// values; held at the nearest one outside them. Values are CT, CP and one more number.
template <class Take>
bool MeasuredCurves::Between(double rpm, Take take, double (&out)[3]) const {
    const Curve* below = nullptr;
    const Curve* above = nullptr;
    double vb[3] = {}, va[3] = {};
    for (const Curve& run : runs_) {
        double v[3];
        if (!take(run, v)) continue;
        if (run.Rpm <= rpm) {
            below = &run;
            std::copy(v, v + 3, vb);
        } else {
            above = &run;
            std::copy(v, v + 3, va);
            break;
        }
    }
    if (!below && !above) return false;
    if (below && above) {
        const double t = (rpm - below->Rpm) / (above->Rpm - below->Rpm);
        for (int i = 0; i < 3; ++i) out[i] = Lerp(vb[i], va[i], t);
    } else {
        std::copy(below ? vb : va, (below ? vb : va) + 3, out);
    }
    return true;
}

PropellerCoefficients MeasuredCurves::Static(double rpm) const {
    if (!static_.x.empty()) return Evaluate(static_, rpm);
    double first[3] = {};
    Between(
        rpm,
        [](const Curve& run, double* v) {
            v[0] = run.ct.front();
            v[1] = run.cp.front();
            v[2] = 0;
            return true;
        },
        first);
    return {first[0], first[1]};
}

PropellerCoefficients MeasuredCurves::Continued(const Curve& run, double J) const {
    const std::size_t n = run.x.size();
    const double jLast = run.x[n - 1], ctLast = run.ct[n - 1], cpLast = run.cp[n - 1];
    double dct = 0, dcp = 0;
    if (n >= 2) {
        const double h = run.x[n - 1] - run.x[n - 2];
        dct = (ctLast - run.ct[n - 2]) / h;
        dcp = (cpLast - run.cp[n - 2]) / h;
    }
    if (!(dct < 0)) dct = ctLast > 0 ? -ctLast / ((kWindmillReach - 1) * std::max(jLast, 0.1)) : 0;
    dcp = std::min(dcp, 0.0);
    return {ctLast + dct * (J - jLast), cpLast + dcp * (J - jLast)};
}

PropellerCoefficients MeasuredCurves::At(double J, double rpm) const {
    if (!(J > 0) || runs_.empty()) return Static(rpm);
    double v[3];
    const auto covering = [J](const Curve& run, double* v) {
        if (J < run.x.front() || J > run.x.back()) return false;
        const PropellerCoefficients c = Evaluate(run, J);
        v[0] = c.CT;
        v[1] = c.CP;
        v[2] = 0;
        return true;
    };
    if (Between(rpm, covering, v)) return {v[0], v[1]};
    // Below the first measured J: from the static curve to the runs' first points.
    const auto firstPoints = [J](const Curve& run, double* v) {
        if (!(J < run.x.front())) return false;
        v[0] = run.ct.front();
        v[1] = run.cp.front();
        v[2] = run.x.front();
        return true;
    };
    if (Between(rpm, firstPoints, v)) {
        const double firstJ = v[2];
        if (static_.x.empty() || !(firstJ > 0)) return {v[0], v[1]};
        const PropellerCoefficients still = Evaluate(static_, rpm);
        const double t = J / firstJ;
        return {Lerp(still.CT, v[0], t), Lerp(still.CP, v[1], t)};
    }
    return Continued(runs_[furthest_], J);
}

double MeasuredCurves::Power(double Va, double N, double sigma) const {
    const double n = N / 60;
    if (!(n > 0)) return 0;
    const double D = propeller_.Diameter * kMetresPerInch;
    const double J = Va * kMetresPerSecondPerMphExactly / (n * D);
    const PropellerCoefficients c = At(J, N);
    return model_detail::FiniteOr(c.CP * kReferenceAirDensity * sigma * n * n * n * D * D * D * D * D, 0);
}

PropThrustResult MeasuredCurves::Thrust(double Va, double N, double sigma, int Np) const {
    PropThrustResult result;
    const double n = N / 60;
    if (!(n > 0)) return result;
    const double D = propeller_.Diameter * kMetresPerInch;
    const double J = Va * kMetresPerSecondPerMphExactly / (n * D);
    const PropellerCoefficients c = At(J, N);
    result.Thrust =
        model_detail::FiniteOr(Np * c.CT * kReferenceAirDensity * sigma * n * n * D * D * D * D * kThrustOuncesPerNewton, 0);
    const double efficiency = c.CP > 0 ? J * c.CT / c.CP : 0;
    result.Efficiency = efficiency > 0 && std::isfinite(efficiency) ? efficiency : 0;
    return result;
}

namespace {

// Brent's method on [a, b] where f(a) > 0 > f(b) (or the other way round): bisection steps whenever
// an interpolation step would not shrink the bracket enough, so it always ends.
template <class F>
double BracketedRoot(F f, double a, double b, double fa, double fb) {
    double c = a, fc = fa, d = b - a, e = d;
    const double tolerance = kRootTolerance * std::max(std::fabs(a), std::fabs(b));
    for (int round = 0; round < kRootRounds; ++round) {
        if ((fb > 0) == (fc > 0)) {
            c = a;
            fc = fa;
            d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double middle = 0.5 * (c - b);
        if (std::fabs(middle) <= tolerance || fb == 0) return b;
        if (std::fabs(e) >= tolerance && std::fabs(fa) > std::fabs(fb)) {
            double p, q;
            const double s = fb / fa;
            if (a == c) {
                p = 2 * middle * s;
                q = 1 - s;
            } else {
                const double qa = fa / fc, r = fb / fc;
                p = s * (2 * middle * qa * (qa - r) - (b - a) * (r - 1));
                q = (qa - 1) * (r - 1) * (s - 1);
            }
            if (p > 0) q = -q;
            p = std::fabs(p);
            if (2 * p < std::min(3 * middle * q - std::fabs(tolerance * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = middle;
                e = d;
            }
        } else {
            d = middle;
            e = d;
        }
        a = b;
        fa = fb;
        b += std::fabs(d) > tolerance ? d : (middle > 0 ? tolerance : -tolerance);
        fb = f(b);
        if (!std::isfinite(fb)) fb = 0; // a fault inside the curves ends the search where it stands
    }
    return b;
}

} // namespace

PropDriveSolution SolveMeasuredPropDrive(const PropDriveProblem& p, const MeasuredCurves& curves) {
    const auto solvePass = [&](double R) -> std::optional<model_detail::DrivePass> {
        const double Rt = p.Pc * R * p.Ne * p.Sm + p.Pm * p.Rc * p.Sc * p.Ne + p.Pm * p.Re * p.Pc;
        // Motor current falls linearly with the propeller speed; the shaft power of one motor is
        // (I − Io) × G × N / Kv, so the balance divided by N is delivered minus absorbed per rpm.
        const auto current = [&](double N) { return (p.Sc * p.V * p.Kv - N * p.G * p.Sm) * (p.Pc * p.Ne) / (Rt * p.Kv); };
        const double delivered = p.Pm * p.Sm * p.gearboxEfficiency * p.G / p.Kv;
        const auto excess = [&](double N) {
            return delivered * (current(N) - p.Io) - p.Np * curves.Power(p.Va, N, p.sigma) / N;
        };
        const double freeRpm = (p.Sc * p.V * p.Kv - p.Io * Rt * p.Kv / (p.Pc * p.Ne)) / (p.G * p.Sm);
        double N = kFloorRpm;
        if (std::isfinite(freeRpm) && freeRpm > kFloorRpm) {
            const double low = excess(kFloorRpm), high = excess(freeRpm);
            if (!std::isfinite(low) || !std::isfinite(high)) return std::nullopt;
            if (high > 0) return std::nullopt; // the air drives the propeller even at the free speed
            if (low > 0) N = BracketedRoot(excess, kFloorRpm, freeRpm, low, high);
        }
        const MotorInCircuit motor =
            MotorCurrentAndVoltageInCircuit(p.Sc, p.Pc, p.Ne, p.Pm, p.Sm, p.G, N, p.Re, p.Rc, p.V, R, p.Kv);
        return model_detail::DrivePass{N, motor.Current, motor.Voltage};
    };
    return model_detail::SolutionFromTotals<PropDriveSolution>(model_detail::SolveWithHeating(
        p.heating, p.Ta, p.K, p.Wm, p.Rm, p.Io, p.Pm, p.Sm, p.gearboxEfficiency, solvePass));
}

ClimbResult SolveMeasuredClimb(const PropDriveProblem& drive, const MeasuredCurves& curves, double S, double W,
                               double Cl, double LiftToDrag) {
    return model_detail::ClimbWith(drive.sigma, S, W, Cl, LiftToDrag, [&](double airspeed) {
        if (!(drive.V > 0)) return 0.0;
        PropDriveProblem atSpeed = drive;
        atSpeed.Va = airspeed;
        const PropDriveSolution solution = SolveMeasuredPropDrive(atSpeed, curves);
        if (solution.Failed) return 0.0;
        return curves.Thrust(airspeed, solution.Rpm, drive.sigma, drive.Np).Thrust;
    });
}

MeasuredPropeller TabulateTwoConstantModel(double D, double P, int Nbl, double Kp, double Tc,
                                           std::span<const double> rpms, std::span<const double> js) {
    MeasuredPropeller table;
    table.Name = "Two-constant model";
    table.Diameter = D;
    table.Pitch = P;
    table.Blades = Nbl;
    table.Kind = PropellerDataKind::Computed;
    const double Dm = D * kMetresPerInch;
    for (const double N : rpms) {
        const double n = N / 60;
        const double unitPower = PropPower(1, Kp, N, EffectivePitch(P, Nbl), D) * Nbl / 2;
        const auto at = [&](double J) {
            const double Va = J * n * Dm / kMetresPerSecondPerMphExactly;
            const double power = unitPower * (J > 0 ? PropLoadFactor(Va, N, P, D) : 1);
            const double thrust = PropThrust(Tc, Kp, power, Va, 1, N, P, D).Thrust;
            return AdvancePoint{J, thrust / kThrustOuncesPerNewton / (kReferenceAirDensity * n * n * std::pow(Dm, 4)),
                                power / (kReferenceAirDensity * n * n * n * std::pow(Dm, 5))};
        };
        const AdvancePoint still = at(0);
        table.Static.push_back({N, still.CT, still.CP});
        PropellerRun run{N, {}};
        for (const double J : js) run.Points.push_back(at(J));
        table.Runs.push_back(std::move(run));
    }
    return table;
}

std::optional<FittedConstants> FitTwoConstants(const MeasuredCurves& curves) {
    const MeasuredPropeller& prop = curves.Propeller();
    const double D = prop.Diameter, P = prop.Pitch;
    if (!(D > 0) || !(P > 0)) return std::nullopt;
    std::vector<StaticPoint> points = prop.Static;
    if (points.empty())
        for (const PropellerRun& run : prop.Runs)
            if (!run.Points.empty() && run.Points.front().J == 0)
                points.push_back({run.Rpm, run.Points.front().CT, run.Points.front().CP});
    // Power of a unit constant and thrust per unit size factor, each at one point, σ = 1.
    std::vector<double> unitPower, measuredPower, measuredThrust, rpm;
    for (const StaticPoint& s : points) {
        if (!(s.Rpm > 0) || !(s.CP > 0) || !(s.CT > 0)) continue;
        const double n = s.Rpm / 60, Dm = D * kMetresPerInch;
        rpm.push_back(s.Rpm);
        measuredPower.push_back(s.CP * kReferenceAirDensity * n * n * n * std::pow(Dm, 5));
        measuredThrust.push_back(s.CT * kReferenceAirDensity * n * n * std::pow(Dm, 4) * kThrustOuncesPerNewton);
        unitPower.push_back(PropPower(1, 1, s.Rpm, EffectivePitch(P, prop.Blades), D) * prop.Blades / 2);
    }
    if (rpm.empty()) return std::nullopt;
    const auto leastSquaresScale = [](const std::vector<double>& unit, const std::vector<double>& measured) {
        double sum = 0, sumSquares = 0;
        for (std::size_t i = 0; i < unit.size(); ++i) {
            const double r = unit[i] / measured[i];
            sum += r;
            sumSquares += r * r;
        }
        return sum / sumSquares;
    };
    const auto rmsError = [](const std::vector<double>& predicted, const std::vector<double>& measured) {
        double sum = 0;
        for (std::size_t i = 0; i < predicted.size(); ++i) sum += std::pow(predicted[i] / measured[i] - 1, 2);
        return std::sqrt(sum / static_cast<double>(predicted.size()));
    };
    FittedConstants fit;
    fit.Points = static_cast<int>(rpm.size());
    const double Kp = leastSquaresScale(unitPower, measuredPower);
    std::vector<double> power(rpm.size()), unitThrust(rpm.size());
    for (std::size_t i = 0; i < rpm.size(); ++i) {
        power[i] = Kp * unitPower[i];
        // Thrust at a size factor of 1: what PropThrust gives for this power at rest.
        unitThrust[i] = PropThrust(1e9, Kp, power[i], 0, 1, rpm[i], P, D).Thrust;
    }
    const double z = leastSquaresScale(unitThrust, measuredThrust);
    if (!(z > 0 && z < 1)) return std::nullopt;
    fit.PropConstant = Kp * 1.31;
    fit.ThrustConstant = 0.8195 / std::pow(1 - z, 1 / std::max(D, 8.0));
    std::vector<double> thrust(rpm.size());
    for (std::size_t i = 0; i < rpm.size(); ++i)
        thrust[i] = PropThrust(fit.ThrustConstant, Kp, power[i], 0, 1, rpm[i], P, D).Thrust;
    fit.PowerRmsError = rmsError(power, measuredPower);
    fit.ThrustRmsError = rmsError(thrust, measuredThrust);
    return fit;
}

} // namespace ampvane
