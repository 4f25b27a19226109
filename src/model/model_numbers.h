#pragma once

#include <cmath>
#include <initializer_list>

namespace ampvane::model_detail {

// The model never lets NaN or infinity out: an undefined result takes a documented fallback.
inline double FiniteOr(double value, double fallback) {
    return std::isfinite(value) ? value : fallback;
}

inline bool AllFinite(std::initializer_list<double> values) {
    for (const double value : values)
        if (!std::isfinite(value)) return false;
    return true;
}

} // namespace ampvane::model_detail
