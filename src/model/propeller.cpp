// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/propeller.h"

#include "model/drive_heating.h"
#include "model/electric_chain.h"
#include "model/model_numbers.h"
#include "model/relaxation_lanes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ampvane {

using model_detail::FiniteOr;
using model_detail::kFloorRpm;
using model_detail::kLoadFactorRounds;
using model_detail::kLoadFactorTolerance;
using model_detail::kPitchSpeedFactor;
using model_detail::kRelaxationLanes;
using model_detail::LaneRoundEnds;
using model_detail::RelaxationLanes;

namespace {

constexpr double kPowerConstant = 5.33e-15;       // W per (in⁵ × rpm³)
constexpr double kThrustPerWatt = 8.0645;         // oz per W at 1 mph
constexpr double kStaticAirspeed = 0.001;         // mph used for a static thrust
constexpr double kSmallestSizeFactorDiameter = 8; // in
constexpr int kBisectionRounds = 60;
constexpr double kBisectionTolerance = 1e-12; // relative to the load factor
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The parts of the load factor that depend only on the pitch to diameter ratio r; a solve computes
// them once instead of in every round. The derived terms are the subexpressions of LoadFactorOf,
// computed in the same order, so the factor has the same bits either way.
struct LoadShape {
    double h = 0;     // peak factor, reached at advance gPeak
    double gPeak = 0; // advance of the peak
    double f = 0;     // factor at advance l
    double l = 0;
    double rise = 0;         // h - 1
    double twoG = 0;         // 2 g
    double fallFH = 0;       // f - h
    double fallHF = 0;       // h - f
    double peakTerm = 0;     // h l (l - 2 g)
    double floorTerm = 0;    // f g g
    double spanSquared = 0;  // (g - l)²
};

LoadShape ShapeOf(double P, double D) {
    const double r = P / D;
    LoadShape shape;
    shape.h = 1 + r * r * r * r / 10;
    shape.gPeak = r / 2;
    shape.f = 1 - 0.15 * std::sqrt(std::sqrt(r));
    shape.l = r / 1.1;
    const double h = shape.h, g = shape.gPeak, f = shape.f, l = shape.l;
    shape.rise = h - 1;
    shape.twoG = 2 * g;
    shape.fallFH = f - h;
    shape.fallHF = h - f;
    shape.peakTerm = h * l * (l - 2 * g);
    shape.floorTerm = f * g * g;
    shape.spanSquared = (g - l) * (g - l);
    return shape;
}

// NaN where the advance or the curve has no value.
double LoadFactorOf(const LoadShape& shape, double Va, double N, double P) {
    const double s = Va / (P * N * kPitchSpeedFactor);
    const double g = shape.gPeak, f = shape.f, l = shape.l;
    double j = 0;
    if (s < g) {
        const double x = s / g;
        j = 1 + shape.rise * (3 * x * x - 2 * x * x * x);
    } else if (s < l) {
        j = ((s * s - shape.twoG * s) * shape.fallFH + shape.peakTerm + shape.floorTerm) / shape.spanSquared;
    } else {
        j = f + (s - l) * 2 * shape.fallHF * (g - s) / shape.spanSquared;
        if (j < 0) j = 0;
    }
    return std::isfinite(j) ? j : kNaN;
}

// The balance of delivered and absorbed power, A × N² + B × N − C = 0, with everything that does not
// depend on the effective constant computed once: the load-factor relaxation solves it many times
// at one winding resistance, and only the terms with the resistance change between heating passes.
// RpmAt evaluates A in the same order as the whole formula, and the kept terms are the whole
// formula's leading subexpressions, so every caller gets the same bits.
class DriveBalance {
public:
    DriveBalance(int Sc, int Pc, int Ne, double sigma, int Nbl, int Np, int Pm, int Sm, double P, double D,
                 double gearboxEfficiency, double G, double Re, double Rc, double V, double R, double Io, double Kv)
        : Pc_(Pc), Ne_(Ne), Sm_(Sm),
          wiring_(Pm * Rc * Sc * Ne),
          battery_(Pm * Re * Pc),
          supply_(V * Sc * Pc * Ne),
          Io_(Io),
          drivePrefix_(Kv * G * gearboxEfficiency * Sm * Pm),
          loadPrefix_(kPowerConstant * (D * D * D * D) * EffectivePitch(P, Nbl) * Nbl * sigma),
          Np_(Np),
          Kv2_(Kv * Kv),
          B_(G * G * gearboxEfficiency * Sm * Sm * Pm * Pc * Ne), B2_(B_ * B_) {
        SetResistance(R);
    }

    // The winding resistance of the next heating pass.
    void SetResistance(double R) {
        Rt_ = Pc_ * R * Ne_ * Sm_ + wiring_ + battery_;
        C_ = drivePrefix_ * (supply_ - Io_ * Rt_);
    }

    // Never below kFloorRpm, which also stands for "no solution".
    double RpmAt(double KpG) const {
        const double A = loadPrefix_ * KpG * Np_ * Kv2_ * Rt_ / 2;
        const double discriminant = B2_ + 4 * A * C_;
        if (A == 0 || !(discriminant >= 0)) return kFloorRpm;
        // The positive root, written so that it keeps its precision when 4AC is small beside B²
        // (the textbook form loses the digits of N there).
        const double denominator = B_ + std::sqrt(discriminant);
        if (denominator == 0) return kFloorRpm;
        const double N = 2 * C_ / denominator;
        if (!std::isfinite(N) || N < kFloorRpm) return kFloorRpm;
        return N;
    }

    void ToLane(RelaxationLanes& lanes, int k) const {
        ResistanceToLane(lanes, k);
        lanes.loadPrefix[k] = loadPrefix_;
        lanes.Np[k] = Np_;
        lanes.Kv2[k] = Kv2_;
        lanes.B[k] = B_;
        lanes.B2[k] = B2_;
    }

    // Only the terms SetResistance changes.
    void ResistanceToLane(RelaxationLanes& lanes, int k) const {
        lanes.Rt[k] = Rt_;
        lanes.C[k] = C_;
    }

private:
    int Pc_, Ne_, Sm_;
    double wiring_, battery_, supply_, Io_, drivePrefix_;
    double Rt_ = 0, loadPrefix_, Np_, Kv2_, B_, C_ = 0, B2_;
};

// Near its pitch speed a propeller's load factor changes so steeply with its speed that the relaxation
// can circle a fixed point without reaching it; the last round of the circle is an arbitrary point
// on it. The load factor never exceeds max(h, 1) and is never negative, so the fixed point g =
// j(N(g)) lies in (0, max(h, 1)], where bisection finds it. rpmAt(g) is the speed at constant Kp × g.
// False (the solution untouched) where the factor has no value somewhere on the way.
template <class RpmAt>
bool SettleLoadFactor(const LoadShape& shape, double Kp, double Va, double P, RpmAt rpmAt,
                      PropRpmSolution& solution) {
    double low = 0, high = std::max(shape.h, 1.0);
    const auto excess = [&](double g) { return LoadFactorOf(shape, Va, rpmAt(g), P) - g; };
    if (!(excess(high) <= 0)) return false;
    for (int round = 0; round < kBisectionRounds && high - low > kBisectionTolerance * high; ++round) {
        const double middle = 0.5 * (low + high);
        const double e = excess(middle);
        if (std::isnan(e)) return false;
        (e > 0 ? low : high) = middle;
    }
    solution.EffectiveConstant = Kp * high;
    solution.Rpm = rpmAt(high);
    return true;
}

// The lanes' rounds on every processor: SSE2 is part of every x86-64 processor, and elsewhere the
// compiler makes the pairs of its own.
struct PlainIsa {
#if defined(__SSE2__)
    using Pack = __m128d;
#else
    using Pack = double __attribute__((vector_size(2 * sizeof(double))));
#endif
    static constexpr int kWidth = 2;

    static Pack SquareRoots(Pack x) {
#if defined(__SSE2__)
        return _mm_sqrt_pd(x);
#else
        for (int k = 0; k < kWidth; ++k) x[k] = std::sqrt(x[k]);
        return x;
#endif
    }

    template <class Mask>
    static unsigned Bits(Mask mask) {
#if defined(__SSE2__)
        return static_cast<unsigned>(_mm_movemask_pd(std::bit_cast<__m128d>(mask)));
#else
        return (mask[0] ? 1u : 0u) | (mask[1] ? 2u : 0u);
#endif
    }
};

LaneRoundEnds PlainRounds(RelaxationLanes& lanes) {
    return model_detail::OrdinaryRounds<PlainIsa>(lanes);
}

using LaneRounds = LaneRoundEnds (*)(RelaxationLanes&);

// The widest rounds this processor runs.
LaneRounds WidestRounds() {
#if defined(AMPVANE_AVX2_LANES)
    if (__builtin_cpu_supports("avx2")) return model_detail::OrdinaryRoundsAvx2;
#endif
    return PlainRounds;
}

// The load-factor relaxation at one winding resistance, advanced one round at a time so that
// several independent solves can be interleaved. g starts at 1 and moves a tenth of the way to the
// factor at the speed it gives, at most kLoadFactorRounds times, until it moves by less than
// kLoadFactorTolerance. A contracting relaxation takes ever shorter steps; the first step that is no
// shorter than the one before means it circles the fixed point instead, and where it would stop
// on that circle depends on the last bits of the arithmetic, so the fixed point is settled by
// bisection at once.
class LoadFactorRelaxation {
public:
    LoadFactorRelaxation(const LoadShape& shape, double Kp, double Va, double P, const DriveBalance& balance)
        : shape_(shape), balance_(balance), Kp_(Kp), Va_(Va), P_(P) {}

    // A new relaxation from g = 1 at another winding resistance (the next heating pass).
    void Restart(double R) {
        balance_.SetResistance(R);
        g_ = 1.0;
        round_ = 0;
        lastStep_ = kNoStepYet;
        settleTried_ = false;
        solution_ = PropRpmSolution{};
    }

    // One round; true when the relaxation has ended.
    bool Step() {
        if (!(g_ > 0)) return Fail();
        solution_.EffectiveConstant = Kp_ * g_;
        solution_.Rpm = balance_.RpmAt(Kp_ * g_);
        const double previous = g_;
        const double j = LoadFactorOf(shape_, Va_, solution_.Rpm, P_);
        if (std::isnan(j)) return Fail();
        g_ = (j + 9 * previous) * 0.1;
        const double step = std::fabs(g_ - previous);
        if (step < kLoadFactorTolerance) return true;
        if (step >= lastStep_ && !settleTried_ && Settle()) return true;
        lastStep_ = step;
        if (++round_ < kLoadFactorRounds) return false;
        if (!settleTried_) Settle();
        return true;
    }

    // Puts the whole relaxation into lane k, or takes the lane's rounds back.
    void ToLane(RelaxationLanes& lanes, int k) const {
        StateToLane(lanes, k);
        lanes.Kp[k] = Kp_;
        lanes.Va[k] = Va_;
        lanes.P[k] = P_;
        lanes.gPeak[k] = shape_.gPeak;
        lanes.f[k] = shape_.f;
        lanes.l[k] = shape_.l;
        lanes.rise[k] = shape_.rise;
        lanes.twoG[k] = shape_.twoG;
        lanes.fallFH[k] = shape_.fallFH;
        lanes.fallHF[k] = shape_.fallHF;
        lanes.peakTerm[k] = shape_.peakTerm;
        lanes.floorTerm[k] = shape_.floorTerm;
        lanes.spanSquared[k] = shape_.spanSquared;
        balance_.ToLane(lanes, k);
    }

    // Puts back what scalar rounds or a restart change, into the lane that already holds the rest
    // of this relaxation.
    void StateToLane(RelaxationLanes& lanes, int k) const {
        lanes.g[k] = g_;
        lanes.lastStep[k] = lastStep_;
        lanes.round[k] = round_;
        lanes.effectiveConstant[k] = solution_.EffectiveConstant;
        lanes.rpm[k] = solution_.Rpm;
        lanes.settleTried[k] = settleTried_ ? 1 : 0;
        balance_.ResistanceToLane(lanes, k);
    }

    void FromLane(const RelaxationLanes& lanes, int k) {
        g_ = lanes.g[k];
        lastStep_ = lanes.lastStep[k];
        round_ = static_cast<int>(lanes.round[k]);
        solution_.EffectiveConstant = lanes.effectiveConstant[k];
        solution_.Rpm = lanes.rpm[k];
    }

    PropRpmSolution Solution() const {
        PropRpmSolution solution = solution_;
        if (!std::isfinite(solution.EffectiveConstant)) {
            solution.EffectiveConstant = 0;
            solution.Failed = true;
        }
        return solution;
    }

private:
    static constexpr double kNoStepYet = std::numeric_limits<double>::infinity();

    bool Fail() {
        solution_.Failed = true;
        return true;
    }

    // Tried once: where the factor has no value on the way the relaxation goes on as it was.
    bool Settle() {
        settleTried_ = true;
        const DriveBalance& balance = balance_;
        const double Kp = Kp_;
        return SettleLoadFactor(shape_, Kp, Va_, P_, [&](double g) { return balance.RpmAt(Kp * g); }, solution_);
    }

    LoadShape shape_;
    DriveBalance balance_;
    double Kp_, Va_, P_;
    double g_ = 1.0;
    int round_ = 0;
    double lastStep_ = kNoStepYet;
    bool settleTried_ = false;
    PropRpmSolution solution_;
};

DriveBalance BalanceOf(const PropDriveProblem& p, double R) {
    return DriveBalance(p.Sc, p.Pc, p.Ne, p.sigma, p.Nbl, p.Np, p.Pm, p.Sm, p.P, p.D, p.gearboxEfficiency, p.G, p.Re,
                        p.Rc, p.V, R, p.Io, p.Kv);
}

// A propeller drive solve: a load-factor relaxation at each resistance of the heating loop.
class PropDriveSolve {
public:
    explicit PropDriveSolve(const PropDriveProblem& p)
        : PropDriveSolve(p, model_detail::HeatingLoop::StartOf(p.heating, p.Ta, p.K, p.Wm, p.Rm)) {}

    PropDriveSolve(const PropDriveProblem& p, model_detail::HeatingLoop::Start start)
        : p_(p), heating_(p.heating, p.Ta, p.Rm, p.Io, start),
          relaxation_(ShapeOf(p.P, p.D), p.Kp, p.Va, p.P, BalanceOf(p, heating_.Resistance())) {}

    // One relaxation round; true when the whole solve has ended.
    bool Step() { return relaxation_.Step() && RelaxationEnded(); }

    // Takes the ended relaxation's speed into the heating loop; true when the whole solve has ended.
    bool RelaxationEnded() {
        const PropRpmSolution rpm = relaxation_.Solution();
        if (rpm.Failed) {
            failed_ = true;
            return true;
        }
        KpG_ = rpm.EffectiveConstant;
        const double R = heating_.Resistance();
        const PropDriveProblem& p = p_;
        const MotorInCircuit motor =
            MotorCurrentAndVoltageInCircuit(p.Sc, p.Pc, p.Ne, p.Pm, p.Sm, p.G, rpm.Rpm, p.Re, p.Rc, p.V, R, p.Kv);
        const model_detail::DrivePass pass{rpm.Rpm, motor.Current, motor.Voltage};
        if (heating_.Take(pass)) return true;
        relaxation_.Restart(heating_.Resistance());
        return false;
    }

    LoadFactorRelaxation& Relaxation() { return relaxation_; }

    PropDriveSolution Solution() const {
        PropDriveSolution solution = model_detail::SolutionFromTotals<PropDriveSolution>(
            failed_ ? std::nullopt : heating_.Totals(p_.Pm, p_.Sm, p_.gearboxEfficiency));
        if (!solution.Failed) solution.EffectiveConstant = KpG_;
        return solution;
    }

private:
    PropDriveProblem p_;
    model_detail::HeatingLoop heating_;
    LoadFactorRelaxation relaxation_;
    double KpG_ = 0;
    bool failed_ = false;
};

} // namespace

double EffectivePitch(double P, int Nbl) {
    return P * (1 - 0.01 * (Nbl - 2));
}

double PitchSpeed(double P, double N) {
    return FiniteOr(P * N * kPitchSpeedFactor, 0);
}

double PropPower(double sigma, double Kp, double N, double P, double D) {
    return FiniteOr(kPowerConstant * sigma * Kp * N * N * N * P * (D * D * D * D), 0);
}

double PropDriveRpm(int Sc, int Pc, int Ne, double sigma, double KpG, int Nbl, int Np, int Pm, int Sm,
                    double P, double D, double gearboxEfficiency, double G, double Re, double Rc, double V,
                    double R, double Io, double Kv) {
    return DriveBalance(Sc, Pc, Ne, sigma, Nbl, Np, Pm, Sm, P, D, gearboxEfficiency, G, Re, Rc, V, R, Io, Kv)
        .RpmAt(KpG);
}

double PropLoadFactor(double Va, double N, double P, double D) {
    return FiniteOr(LoadFactorOf(ShapeOf(P, D), Va, N, P), 0);
}

PropRpmSolution SolvePropRpm(int Sc, int Pc, int Ne, double sigma, double Kp, int Nbl, int Np, int Pm, int Sm,
                             double P, double D, double gearboxEfficiency, double G, double Re, double Rc,
                             double V, double R, double Io, double Kv, double Va) {
    LoadFactorRelaxation relaxation(
        ShapeOf(P, D), Kp, Va, P,
        DriveBalance(Sc, Pc, Ne, sigma, Nbl, Np, Pm, Sm, P, D, gearboxEfficiency, G, Re, Rc, V, R, Io, Kv));
    while (!relaxation.Step()) {
    }
    return relaxation.Solution();
}

PropDriveSolution SolvePropDrive(int Sc, int Pc, int Ne, bool heating, double Ta, double K, double sigma,
                                 double Tc, double Kp, int Nbl, int Np, int Pm, int Sm, double Va, double P,
                                 double D, double gearboxEfficiency, double G, double Re, double Rc, double V,
                                 double Wm, double Rm, double Io, double Kv) {
    return SolvePropDrive(PropDriveProblem{Sc, Pc, Ne, heating, Ta, K, sigma, Tc, Kp, Nbl, Np, Pm, Sm, Va, P, D,
                                           gearboxEfficiency, G, Re, Rc, V, Wm, Rm, Io, Kv});
}

PropDriveSolution SolvePropDrive(const PropDriveProblem& problem) {
    PropDriveSolve solve(problem);
    while (!solve.Step()) {
    }
    return solve.Solution();
}

namespace {

// The bits of a few numbers, for exact memos: equal keys give equal results.
template <std::size_t N>
using BitsKey = std::array<std::uint64_t, N>;

template <class... Numbers>
BitsKey<sizeof...(Numbers)> KeyOf(Numbers... numbers) {
    return {std::bit_cast<std::uint64_t>(static_cast<double>(numbers))...};
}

// The heating start of the last problem: the problems of one report share the motor and the air,
// so its power and exponential are computed once, not for every solve.
class HeatingStarts {
public:
    model_detail::HeatingLoop::Start For(const PropDriveProblem& p) {
        const auto key = KeyOf(p.heating, p.Ta, p.K, p.Wm, p.Rm);
        if (!known_ || key != key_) {
            start_ = model_detail::HeatingLoop::StartOf(p.heating, p.Ta, p.K, p.Wm, p.Rm);
            key_ = key;
            known_ = true;
        }
        return start_;
    }

private:
    bool known_ = false;
    BitsKey<5> key_{};
    model_detail::HeatingLoop::Start start_;
};

void SolvePropDrivesWith(LaneRounds rounds, std::span<const PropDriveProblem> problems,
                         std::span<PropDriveSolution> solutions) {
    HeatingStarts heatingStarts;
    std::optional<PropDriveSolve> solves[kRelaxationLanes];
    std::size_t owner[kRelaxationLanes] = {};
    RelaxationLanes lanes{};
    unsigned active = 0; // a bit for each lane with a solve
    std::size_t next = 0;
    // The next problem into lane k, or the lane left idle (it goes on computing, unheeded).
    const auto start = [&](int k) {
        if (next == problems.size()) {
            solves[k].reset();
            active &= ~(1u << k);
            return;
        }
        owner[k] = next;
        solves[k].emplace(problems[next], heatingStarts.For(problems[next]));
        ++next;
        solves[k]->Relaxation().ToLane(lanes, k);
        active |= 1u << k;
    };
    for (int k = 0; k < kRelaxationLanes; ++k) start(k);
    while (active != 0) {
        const LaneRoundEnds ends = rounds(lanes);
        const unsigned converged = ends.Converged & active, ended = (ends.Converged | ends.Other) & active;
        for (int k = 0; ended >> k != 0; ++k) {
            const unsigned bit = 1u << k;
            if (!(ended & bit)) continue;
            PropDriveSolve& solve = *solves[k];
            solve.Relaxation().FromLane(lanes, k);
            if (!((converged & bit) ? solve.RelaxationEnded() : solve.Step())) {
                solve.Relaxation().StateToLane(lanes, k);
                continue;
            }
            solutions[owner[k]] = solve.Solution();
            start(k);
        }
    }
}

} // namespace

void SolvePropDrives(std::span<const PropDriveProblem> problems, std::span<PropDriveSolution> solutions) {
    static const LaneRounds widest = WidestRounds();
    SolvePropDrivesWith(widest, problems, solutions);
}

namespace model_detail {

void SolvePropDrivesPlain(std::span<const PropDriveProblem> problems, std::span<PropDriveSolution> solutions) {
    SolvePropDrivesWith(PlainRounds, problems, solutions);
}

} // namespace model_detail

namespace {

// The shape efficiency's factor of the pitch to diameter ratio alone.
double ShapePeak(double P, double D) {
    return 0.7676481759 * std::pow(std::atan(3.485277243 * std::pow(P / D, 2.023196483)), 0.3522331876);
}

double ShapeEfficiencyWith(double s, double peak) {
    const double phi = s <= 1 ? s * (2 - s) : s * (13 - 6.5 * s) - 5.5;
    return FiniteOr(peak * phi, 0);
}

// The thrust's factors of the propeller alone. A sweep asks for the same few hundred propellers over
// and over (the pitch changes from row to row), so each thread keeps those it met in a small table,
// each under the exact bits of its inputs.
struct PropellerFactors {
    double size = 0; // the size factor z
    double peak = 0; // ShapePeak
};

PropellerFactors PropellerFactorsOf(double Tc, double P, double D) {
    struct Entry {
        BitsKey<3> key{};
        bool known = false;
        PropellerFactors factors;
    };
    constexpr int kTableBits = 11;
    thread_local std::vector<Entry> table;
    if (table.empty()) table.resize(std::size_t{1} << kTableBits);
    const BitsKey<3> key = KeyOf(Tc, P, D);
    const std::uint64_t hash =
        (key[0] ^ key[1] * 0x9E3779B97F4A7C15u ^ key[2] * 0xC2B2AE3D27D4EB4Fu) * 0x94D049BB133111EBu;
    Entry& entry = table[hash >> (64 - kTableBits)];
    if (!entry.known || entry.key != key) {
        entry.factors.size = 1 - std::pow(0.8195 / Tc, std::max(D, kSmallestSizeFactorDiameter));
        entry.factors.peak = ShapePeak(P, D);
        entry.key = key;
        entry.known = true;
    }
    return entry.factors;
}

} // namespace

double PropShapeEfficiency(double s, double P, double D) {
    return ShapeEfficiencyWith(s, ShapePeak(P, D));
}

PropThrustResult PropThrust(double Tc, double /*Kp*/, double Pout, double Va, double /*sigma*/, double N,
                            double P, double D) {
    const double airspeed = Va < kStaticAirspeed ? kStaticAirspeed : Va;
    const double s = airspeed / (P * N * kPitchSpeedFactor);
    const PropellerFactors factors = PropellerFactorsOf(Tc, P, D);
    const double z = factors.size;
    double efficiency = z * ShapeEfficiencyWith(s, factors.peak);
    if (!(efficiency > 0) || !std::isfinite(efficiency)) efficiency = 0;
    PropThrustResult result;
    result.Efficiency = efficiency;
    result.Thrust = FiniteOr(Pout * efficiency / airspeed * kThrustPerWatt, 0);
    return result;
}

std::optional<double> ThrustConstantFromMeasurement(double thrust, double /*Kp*/, double power, double Va,
                                                    double /*sigma*/, double N, double P, double D) {
    const double airspeed = Va < kStaticAirspeed ? kStaticAirspeed : Va;
    const double s = airspeed / (P * N * kPitchSpeedFactor);
    const double sizeDiameter = std::max(D, kSmallestSizeFactorDiameter);
    if (power == 0) return std::nullopt;
    const double efficiency = thrust * airspeed / (kThrustPerWatt * power);
    const double shape = PropShapeEfficiency(s, P, D);
    if (shape == 0) return std::nullopt;
    const double base = 1 - efficiency / shape;
    if (!(base > 0)) return std::nullopt;
    const double Tc = 0.8195 / std::pow(base, 1 / sizeDiameter);
    if (!std::isfinite(Tc) || !(Tc > 0)) return std::nullopt;
    return Tc;
}

} // namespace ampvane
