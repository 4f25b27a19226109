// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/unit_conversion.h"

#include <cmath>

namespace ampvane {

std::string ConvertEditValue(std::string_view text, double offset, double resolution, double factor,
                             const NumberLocale& locale, MessageSink& sink) {
    const std::string_view trimmed = TrimText(text);
    if (trimmed.empty()) return {};
    const double value = LenientReal(trimmed, locale, sink);
    if (!(resolution > 0) || !std::isfinite(resolution)) return std::string(trimmed);
    const double decimalsReal = std::trunc(1.9999 - std::log10(resolution));
    const double steps = std::nearbyint((value * factor + offset) / resolution);
    const double result = steps * resolution;
    if (!std::isfinite(decimalsReal) || !std::isfinite(result) || std::fabs(decimalsReal) > 30)
        return std::string(trimmed);
    const int decimals = static_cast<int>(decimalsReal);
    // Trimming is asked for by a negative count; a whole-number resolution keeps its plain form.
    return FormatReal(0, decimals > 0 ? -decimals : decimals, result, locale);
}

void ConvertEdit(std::string& editText, double resolution, double factor, const NumberLocale& locale,
                 MessageSink& sink) {
    editText = ConvertEditValue(editText, 0, resolution, factor, locale, sink);
}

void ConvertEditWithOffset(std::string& editText, double offset, double resolution, double factor,
                           const NumberLocale& locale, MessageSink& sink) {
    editText = ConvertEditValue(editText, offset, resolution, factor, locale, sink);
}

} // namespace ampvane
