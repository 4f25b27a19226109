// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/tool_fields.h"

#include <cctype>
#include <cmath>

#include "common/field_validation.h"

namespace ampvane {

double ReadMeasuredField(std::string_view text, std::string_view label, double minimum, double maximum,
                         const NumberLocale& locale, MessageSink& messages) {
    const double value = LenientReal(text, locale, messages);
    if (value == 0) return 0;
    double checked = 0;
    if (!ValidateReal(text, label, checked, minimum, maximum, kNoDefault, locale, messages)) return 0;
    return checked;
}

double ReadOptionalField(std::string_view text, std::string_view label, double minimum, double maximum,
                         const NumberLocale& locale, MessageSink& messages) {
    double value = 0;
    if (!ValidateReal(text, label, value, minimum, maximum, 0, locale, messages)) return 0;
    return value;
}

std::string ResultText(double value, int decimals, const NumberLocale& locale) {
    if (!std::isfinite(value)) return {};
    return FormatReal(0, decimals, value, locale);
}

bool IsListSafeName(std::string_view name) {
    for (char c : name)
        if (c == '|' || c == '\n' || c == '\r') return false;
    return true;
}

std::string ListEntryName(std::string_view name) {
    std::string result(name);
    if (!result.empty()) result[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(result[0])));
    return result;
}

std::string ListValueText(std::string_view text, const NumberLocale& locale) {
    std::string result(text);
    if (const auto at = result.find(locale.decimal); at != std::string::npos) result[at] = '.';
    return result;
}

} // namespace ampvane
