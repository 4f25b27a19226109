// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/field_validation.h"

namespace ampvane {

std::string InvalidFieldText(std::string_view label) {
    return "The value in the " + std::string(label) + " field is invalid.";
}

std::string TooSmallFieldText(std::string_view label, std::string_view limit) {
    return "The value in the " + std::string(label) + " field is too small. It must be at least " +
           std::string(limit) + ".";
}

std::string TooLargeFieldText(std::string_view label, std::string_view limit) {
    return "The value in the " + std::string(label) + " field is too large. It must be at most " +
           std::string(limit) + ".";
}

void ShowFieldError(std::string message, MessageSink& sink) { sink.Report(ErrorMessage(std::move(message))); }

bool ValidateReal(std::string_view text, std::string_view label, double& value, double minimum, double maximum,
                  double emptyDefault, const NumberLocale& locale, MessageSink& sink) {
    const std::string_view trimmed = TrimText(text);
    if (trimmed.empty() && emptyDefault > kNoDefault) {
        value = emptyDefault;
        return true;
    }
    const auto parsed = ParseLocaleReal(NormaliseDecimal(trimmed, locale), locale);
    if (!parsed) {
        ShowFieldError(InvalidFieldText(label), sink);
        return false;
    }
    value = *parsed;
    if (value < minimum) {
        ShowFieldError(TooSmallFieldText(label, FormatReal(0, -5, minimum, locale)), sink);
        return false;
    }
    if (value > maximum) {
        ShowFieldError(TooLargeFieldText(label, FormatReal(0, -5, maximum, locale)), sink);
        return false;
    }
    return true;
}

bool ValidateInteger(std::string_view text, std::string_view label, std::int32_t minimum, std::int32_t emptyDefault,
                     std::int32_t& value, std::int32_t maximum, MessageSink& sink) {
    const std::string_view trimmed = TrimText(text);
    if (trimmed.empty() && emptyDefault > kNoIntegerDefault) {
        value = emptyDefault;
        return true;
    }
    const auto parsed = ParseInteger(trimmed);
    if (!parsed) {
        ShowFieldError(InvalidFieldText(label), sink);
        return false;
    }
    value = *parsed;
    if (value < minimum) {
        ShowFieldError(TooSmallFieldText(label, std::to_string(minimum)), sink);
        return false;
    }
    if (value > maximum) {
        ShowFieldError(TooLargeFieldText(label, std::to_string(maximum)), sink);
        return false;
    }
    return true;
}

} // namespace ampvane
