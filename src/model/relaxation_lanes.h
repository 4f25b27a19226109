// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The load-factor relaxation rounds of many independent propeller drive solves at once, one solve in
// each lane of a few vector registers. Every lane's arithmetic is the scalar round's operation for
// operation: the same correctly rounded operations in the same order, and no fused multiply-add
// (the files that compile these rounds forbid contracting), so a lane takes the very steps the
// scalar relaxation takes. Only ordinary rounds are taken in the lanes: the factor moved by less
// than the round before (or settled), at a speed above the floor. A lane whose round would do
// anything else is left untouched and the scalar relaxation plays that round itself.
//
// The rounds are compiled once per instruction set, in files built for different processors. So
// that no copy compiled for one processor can stand in for another's at link time, everything
// here except the plain data has internal linkage.

#include <cstring>
#include <limits>

namespace ampvane::model_detail {

inline constexpr double kPitchSpeedFactor = 9.47e-4; // inches per minute to mph
inline constexpr double kFloorRpm = 0.1;             // stands for "does not turn"
inline constexpr int kLoadFactorRounds = 200;
inline constexpr double kLoadFactorTolerance = 1e-4;

// Enough solves in flight to keep the dividers busy through a round's long chain of dependent
// arithmetic (two divisions and a square root among it).
inline constexpr int kRelaxationLanes = 16;

// The relaxations in the lanes: their state, the solution of their last round, and the terms of
// their load shape and drive balance, lane k of each in element k.
struct RelaxationLanes {
    alignas(64) double g[kRelaxationLanes], lastStep[kRelaxationLanes], round[kRelaxationLanes],
        effectiveConstant[kRelaxationLanes], rpm[kRelaxationLanes];
    alignas(64) double settleTried[kRelaxationLanes]; // 1 once tried, else 0
    alignas(64) double Kp[kRelaxationLanes], Va[kRelaxationLanes], P[kRelaxationLanes];
    alignas(64) double gPeak[kRelaxationLanes], f[kRelaxationLanes], l[kRelaxationLanes], rise[kRelaxationLanes],
        twoG[kRelaxationLanes], fallFH[kRelaxationLanes], fallHF[kRelaxationLanes], peakTerm[kRelaxationLanes],
        floorTerm[kRelaxationLanes], spanSquared[kRelaxationLanes];
    alignas(64) double Rt[kRelaxationLanes], loadPrefix[kRelaxationLanes], Np[kRelaxationLanes],
        Kv2[kRelaxationLanes], B[kRelaxationLanes], C[kRelaxationLanes], B2[kRelaxationLanes];
};

// What a round of the lanes leaves to the scalar relaxations, a bit for each lane.
struct LaneRoundEnds {
    unsigned Converged = 0; // the round was taken and ended the relaxation: the factor settled
    unsigned Other = 0;     // the round was not taken: the scalar relaxation is to play it
};

// The rounds built for processors with AVX2 (relaxation_lanes_avx2.cpp).
LaneRoundEnds OrdinaryRoundsAvx2(RelaxationLanes& lanes);

namespace {

// Isa names a vector type, Pack, of Isa::kWidth doubles, with Isa::SquareRoots(Pack) and
// Isa::Bits(mask of Pack), a bit for each set lane.
template <class Isa>
struct Lanes {
    using Pack = typename Isa::Pack;
    using PackMask = decltype(Pack{} < Pack{});
    static constexpr int kPacks = kRelaxationLanes / Isa::kWidth;
    static_assert(kPacks * Isa::kWidth == kRelaxationLanes);

    Pack packs[kPacks];

    // Each operation on Lanes is made on every pack before the next operation starts, so that the
    // processor has the chains of all packs in flight side by side.
    template <class Result, class Operation>
    static Result Each(Operation operation) {
        Result result;
#pragma GCC unroll 8
        for (int i = 0; i < kPacks; ++i) result.packs[i] = operation(i);
        return result;
    }

    static Lanes All(double value) {
        Pack pack;
        for (int k = 0; k < Isa::kWidth; ++k) pack[k] = value;
        return Each<Lanes>([&](int) { return pack; });
    }

    static Lanes Load(const double* from) {
        return Each<Lanes>([&](int i) {
            Pack pack;
            std::memcpy(&pack, from + i * Isa::kWidth, sizeof pack);
            return pack;
        });
    }

    void Store(double* to) const {
        for (int i = 0; i < kPacks; ++i) std::memcpy(to + i * Isa::kWidth, &packs[i], sizeof packs[i]);
    }
};

template <class Isa>
struct LaneMask {
    typename Lanes<Isa>::PackMask packs[Lanes<Isa>::kPacks];

    unsigned Bits() const {
        unsigned bits = 0;
        for (int i = 0; i < Lanes<Isa>::kPacks; ++i) bits |= Isa::Bits(packs[i]) << (i * Isa::kWidth);
        return bits;
    }
};

#define AMPVANE_LANE_OPERATOR(op, Result)                                                                  \
    template <class Isa>                                                                                   \
    Result operator op(const Lanes<Isa>& a, const Lanes<Isa>& b) {                                         \
        return Lanes<Isa>::template Each<Result>([&](int i) { return a.packs[i] op b.packs[i]; });         \
    }                                                                                                      \
    template <class Isa>                                                                                   \
    Result operator op(const Lanes<Isa>& a, double b) {                                                    \
        return Lanes<Isa>::template Each<Result>([&](int i) { return a.packs[i] op b; });                  \
    }                                                                                                      \
    template <class Isa>                                                                                   \
    Result operator op(double a, const Lanes<Isa>& b) {                                                    \
        return Lanes<Isa>::template Each<Result>([&](int i) { return a op b.packs[i]; });                  \
    }
AMPVANE_LANE_OPERATOR(+, Lanes<Isa>)
AMPVANE_LANE_OPERATOR(-, Lanes<Isa>)
AMPVANE_LANE_OPERATOR(*, Lanes<Isa>)
AMPVANE_LANE_OPERATOR(/, Lanes<Isa>)
AMPVANE_LANE_OPERATOR(<, LaneMask<Isa>)
AMPVANE_LANE_OPERATOR(>, LaneMask<Isa>)
AMPVANE_LANE_OPERATOR(>=, LaneMask<Isa>)
AMPVANE_LANE_OPERATOR(==, LaneMask<Isa>)
#undef AMPVANE_LANE_OPERATOR

template <class Isa>
LaneMask<Isa> operator|(const LaneMask<Isa>& a, const LaneMask<Isa>& b) {
    return Lanes<Isa>::template Each<LaneMask<Isa>>([&](int i) { return a.packs[i] | b.packs[i]; });
}

template <class Isa>
LaneMask<Isa> operator&(const LaneMask<Isa>& a, const LaneMask<Isa>& b) {
    return Lanes<Isa>::template Each<LaneMask<Isa>>([&](int i) { return a.packs[i] & b.packs[i]; });
}

template <class Isa>
LaneMask<Isa> operator~(const LaneMask<Isa>& a) {
    return Lanes<Isa>::template Each<LaneMask<Isa>>([&](int i) { return ~a.packs[i]; });
}

// where ? a : b, lane by lane.
template <class Isa>
Lanes<Isa> Select(const LaneMask<Isa>& where, const Lanes<Isa>& a, const Lanes<Isa>& b) {
    return Lanes<Isa>::template Each<Lanes<Isa>>([&](int i) { return where.packs[i] ? a.packs[i] : b.packs[i]; });
}

template <class Isa>
Lanes<Isa> SquareRoots(const Lanes<Isa>& x) {
    return Lanes<Isa>::template Each<Lanes<Isa>>([&](int i) { return Isa::SquareRoots(x.packs[i]); });
}

// One round in every lane, as DriveBalance::RpmAt, LoadFactorOf and LoadFactorRelaxation::Step
// (propeller.cpp) write it.
template <class Isa>
LaneRoundEnds OrdinaryRounds(RelaxationLanes& s) {
    using L = Lanes<Isa>;
    const L g0 = L::Load(s.g), lastStep = L::Load(s.lastStep), round = L::Load(s.round);
    const L gPeak = L::Load(s.gPeak), l = L::Load(s.l), C = L::Load(s.C);

    const L KpG = L::Load(s.Kp) * g0;
    const L A = L::Load(s.loadPrefix) * KpG * L::Load(s.Np) * L::Load(s.Kv2) * L::Load(s.Rt) / 2;
    const L discriminant = L::Load(s.B2) + 4 * A * C;
    // A negative discriminant or a zero denominator give no finite speed at or above the floor.
    const L N = 2 * C / (L::Load(s.B) + SquareRoots(discriminant));
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const LaneMask<Isa> floored = (A == 0) | ~((N >= kFloorRpm) & (N < kInfinity));

    const L advance = L::Load(s.Va) / (L::Load(s.P) * N * kPitchSpeedFactor);
    const LaneMask<Isa> rising = advance < gPeak;
    const LaneMask<Isa> middle = ~rising & (advance < l);
    const L middleTop = (advance * advance - L::Load(s.twoG) * advance) * L::Load(s.fallFH) + L::Load(s.peakTerm) +
                        L::Load(s.floorTerm);
    const L fallingTop = (advance - l) * 2 * L::Load(s.fallHF) * (gPeak - advance);
    const L q = Select(rising, advance, Select(middle, middleTop, fallingTop)) /
                Select(rising, gPeak, L::Load(s.spanSquared));
    const L risingJ = 1 + L::Load(s.rise) * (3 * q * q - 2 * q * q * q);
    const L fallingJ = L::Load(s.f) + q;
    const L j = Select(rising, risingJ, Select(middle, q, Select(fallingJ < 0, L::All(0), fallingJ)));

    const L g = (j + 9 * g0) * 0.1;
    const L difference = g - g0;
    const L step = Select(difference < 0, 0 - difference, difference);
    const LaneMask<Isa> converged = step < kLoadFactorTolerance;
    const LaneMask<Isa> circling = (step >= lastStep) & (L::Load(s.settleTried) == 0);
    const LaneMask<Isa> other = ~(g0 > 0) | floored | ~(j - j == 0) |
                                (~converged & (circling | ~(round + 1 < kLoadFactorRounds)));
    const LaneMask<Isa> goesOn = ~(other | converged);
    Select(other, L::Load(s.effectiveConstant), KpG).Store(s.effectiveConstant);
    Select(other, L::Load(s.rpm), N).Store(s.rpm);
    Select(other, g0, g).Store(s.g);
    Select(goesOn, step, lastStep).Store(s.lastStep);
    Select(goesOn, round + 1, round).Store(s.round);
    const unsigned others = other.Bits();
    return {converged.Bits() & ~others, others};
}

} // namespace
} // namespace ampvane::model_detail
