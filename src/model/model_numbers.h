// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <initializer_list>

namespace ampvane::model_detail {

// The model never lets NaN or infinity out: an undefined result takes a documented fallback.
inline double FiniteOr(double value, double fallback) {
    return std::isfinite(value) ? value : fallback;
}

// Half-to-even rounding that does not depend on the floating-point rounding mode.
inline double RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5) return lower;
    if (fraction > 0.5) return lower + 1;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

inline bool AllFinite(std::initializer_list<double> values) {
    for (const double value : values)
        if (!std::isfinite(value)) return false;
    return true;
}

} // namespace ampvane::model_detail
