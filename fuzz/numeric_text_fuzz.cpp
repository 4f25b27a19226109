// SPDX-License-Identifier: GPL-3.0-or-later
// The number routines: any text through the strict and lenient reads, and any double through
// FormatNumber, whose text ParseLocaleReal must read back to the same value at the shown precision.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "common/messages.h"
#include "common/numeric_text.h"

namespace {

using namespace ampvane;

// Half a unit of the last digit shown, read from the text itself.
double ShownHalfUnit(std::string_view text, char decimal) {
    const std::size_t exponentAt = text.find('E');
    const std::string_view mantissa = text.substr(0, exponentAt);
    const std::size_t point = mantissa.find(decimal);
    const int decimals = point == std::string_view::npos ? 0 : static_cast<int>(mantissa.size() - point - 1);
    int exponent = 0;
    if (exponentAt != std::string_view::npos) exponent = std::atoi(std::string(text.substr(exponentAt + 1)).c_str());
    return 0.5 * std::pow(10.0, exponent - decimals);
}

void CheckRoundTrip(int width, int decimals, int minDigits, double value, const NumberLocale& locale) {
    const std::string text = FormatNumber(width, decimals, minDigits, value, locale);
    const auto read = ParseLocaleReal(text, locale);
    if (!read) std::abort();
    // The text rounds the value to its last digit, and to the significant digits the width allows (at
    // most 15, the digits a double carries); digits beyond those are written as zeros.
    const int significant = std::min(width > 0 ? width : 20, 15);
    const double allowed = ShownHalfUnit(TrimText(text), locale.decimal) * (1 + 1e-9) +
                           std::fabs(value) * (0.5 * std::pow(10.0, 1 - significant) + 1e-14);
    if (!(std::fabs(*read - value) <= allowed)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NullMessageSink messages;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char decimal : {'.', ','}) {
        const NumberLocale locale{decimal, ':'};
        (void)ParseLocaleReal(text, locale);
        (void)LenientReal(text, locale, messages);
        const std::string normalised = NormaliseDecimal(text, locale);
        if (const auto value = ParseLocaleReal(normalised, locale); value && !std::isfinite(*value)) std::abort();
    }
    (void)ParseInteger(text);
    (void)LenientInt(text, messages);

    // Bytes 0-2: width, decimals and minimum digits as the program uses them; 3-10: the value.
    if (size < 11) return 0;
    const int width = data[0] % 24;
    const int decimals = static_cast<int>(data[1] % 32) - 16;
    const int minDigits = data[2] % 8;
    double value = 0;
    std::memcpy(&value, data + 3, sizeof value);
    if (!std::isfinite(value)) return 0;
    for (const char decimal : {'.', ','})
        CheckRoundTrip(width, decimals, minDigits, value, NumberLocale{decimal, ':'});
    if (std::fabs(value) < 9e18) (void)FormatMinSec(static_cast<std::int64_t>(value), NumberLocale{});
    return 0;
}
