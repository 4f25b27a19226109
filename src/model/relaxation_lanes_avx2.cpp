// SPDX-License-Identifier: GPL-3.0-or-later
// The lanes' rounds for processors with AVX2, four lanes to a register. Only this file is compiled
// for them, and propeller.cpp calls it only where the processor has them.
#include "model/relaxation_lanes.h"

#if defined(__AVX2__)
#include <immintrin.h>

#include <bit>

namespace ampvane::model_detail {
namespace {

struct Avx2 {
    using Pack = __m256d;
    static constexpr int kWidth = 4;

    static Pack SquareRoots(Pack x) { return _mm256_sqrt_pd(x); }

    template <class Mask>
    static unsigned Bits(Mask mask) {
        return static_cast<unsigned>(_mm256_movemask_pd(std::bit_cast<__m256d>(mask)));
    }
};

} // namespace

LaneRoundEnds OrdinaryRoundsAvx2(RelaxationLanes& lanes) {
    return OrdinaryRounds<Avx2>(lanes);
}

} // namespace ampvane::model_detail
#endif
