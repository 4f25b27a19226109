// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/numeric_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace ampvane {

namespace {

// Bounds that keep every conversion inside fixed buffers; far beyond what a display needs.
constexpr int kMaxDecimals = 40;
constexpr int kMaxPrecision = 40;
constexpr int kDefaultPrecision = 20;
constexpr int kTrustedDigits = 15;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Correctly rounded fixed-point text with "." as separator; exact binary ties go to even.
std::string FixedText(double value, int decimals) {
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

std::string ScientificText(double value, int significantDigits) {
    char buffer[128];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                      significantDigits - 1);
    return std::string(buffer, result.ptr);
}

// One unit less in the last digit of a mantissa that is not all zeros ("1.30" → "1.29").
void DecrementLastDigit(std::string& mantissa) {
    for (auto it = mantissa.rbegin(); it != mantissa.rend(); ++it) {
        if (!IsDigit(*it)) continue;
        if (*it != '0') {
            --*it;
            return;
        }
        *it = '9';
    }
}

struct NumberText {
    std::string text; // "." as separator
    bool scientific = false;
};

// A "-" in front of nothing but zeros would show "-0.0" for a value that rounds to zero.
void DropNegativeZero(std::string& text) {
    if (text.empty() || text[0] != '-') return;
    if (std::all_of(text.begin() + 1, text.end(), [](char c) { return c == '0' || c == '.'; }))
        text.erase(0, 1);
}

// Fixed-point with `decimals` decimals but never more than `precision` significant digits (the
// digits beyond them are written as zeros); scientific when the integer part alone needs more.
// A double carries about 15 trustworthy digits, so no more are ever shown after the first one.
NumberText FormatWithPrecision(int precision, int decimals, double value) {
    if (std::isnan(value)) return {"NAN", true};
    if (std::isinf(value)) return {value < 0 ? "-INF" : "INF", true};
    const int significant = std::min(precision, kTrustedDigits);
    int exponent = 0;
    std::string scientific;
    if (value != 0) {
        scientific = ScientificText(value, significant);
        const auto e = scientific.find('e');
        std::from_chars(scientific.data() + e + 1 + (scientific[e + 1] == '+'), scientific.data() + scientific.size(),
                        exponent);
    }
    if (exponent + 1 > precision) {
        // Mantissa without trailing zeros, exponent with a sign and at least two digits.
        const auto e = scientific.find('e');
        std::string mantissa = scientific.substr(0, e);
        // Rounded to the digits shown, the largest doubles would read back as beyond any double:
        // those are cut instead of rounded, so that the text always reads back.
        if (std::abs(exponent) > 300) {
            double check = 0;
            if (std::from_chars(scientific.data(), scientific.data() + scientific.size(), check).ec ==
                std::errc::result_out_of_range)
                DecrementLastDigit(mantissa);
        }
        if (mantissa.find('.') != std::string::npos) {
            while (mantissa.back() == '0') mantissa.pop_back();
            if (mantissa.back() == '.') mantissa.pop_back();
        }
        std::string digits = std::to_string(exponent);
        if (digits.size() < 2) digits.insert(0, "0");
        return {mantissa + "E+" + digits, true};
    }
    const int allowed = std::clamp(significant - 1 - exponent, 0, decimals);
    std::string text = FixedText(value, allowed);
    if (allowed < decimals) {
        if (allowed == 0) text += '.';
        text.append(static_cast<std::size_t>(decimals - allowed), '0');
    }
    DropNegativeZero(text);
    return {text, false};
}

int IntegerDigits(const std::string& text) {
    auto begin = text.begin();
    if (begin != text.end() && *begin == '-') ++begin;
    const auto end = std::find(begin, text.end(), '.');
    const int count = static_cast<int>(end - begin);
    return (count == 1 && *begin == '0') ? 0 : count;
}

std::size_t Utf8Length(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Decimal order of magnitude of a mantissa and exponent; used only to tell overflow from underflow.
long OrderOfMagnitude(std::string_view mantissa, long exponent) {
    long integerDigits = 0;
    bool seenNonZero = false;
    long leadingZerosAfterPoint = 0;
    bool afterPoint = false;
    for (const char c : mantissa) {
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (!afterPoint) {
            if (c != '0' || seenNonZero) {
                seenNonZero = true;
                ++integerDigits;
            }
        } else if (!seenNonZero) {
            if (c == '0') ++leadingZerosAfterPoint;
            else seenNonZero = true;
        }
    }
    return integerDigits > 0 ? integerDigits - 1 + exponent : exponent - leadingZerosAfterPoint - 1;
}

} // namespace

std::string_view TrimText(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string FormatNumber(int width, int decimals, int minDigits, double value, const NumberLocale& locale) {
    const bool trim = decimals < 0;
    int d = std::min(decimals < 0 ? -decimals : decimals, kMaxDecimals);
    const int precision = width > 0 ? std::min(width, kMaxPrecision) : kDefaultPrecision;
    minDigits = std::clamp(minDigits, 0, kMaxDecimals);
    if (minDigits > 0) {
        const NumberText probe = FormatWithPrecision(precision, std::min(d + minDigits, kMaxDecimals), value);
        if (!probe.scientific) {
            const int shown = IntegerDigits(probe.text) + d;
            if (shown < minDigits) d = std::min(d + minDigits - shown, kMaxDecimals);
        }
    }
    NumberText number = FormatWithPrecision(precision, d, value);
    // The mantissa of a scientific number takes the locale's separator too, so the text reads back.
    std::replace(number.text.begin(), number.text.end(), '.', locale.decimal);
    std::string text = PadLeft(number.text, width);
    if (trim && !number.scientific && text.find(locale.decimal) != std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == locale.decimal) text.pop_back();
    }
    return text;
}

std::string FormatReal(int width, int decimals, double value, const NumberLocale& locale) {
    return FormatNumber(width, decimals, 0, value, locale);
}

std::string PadLeft(std::string_view text, int width) {
    const std::size_t length = Utf8Length(text);
    std::string result;
    if (width > 0 && length < static_cast<std::size_t>(width))
        result.assign(static_cast<std::size_t>(width) - length, ' ');
    result += text;
    return result;
}

std::string FormatInt(std::int64_t n, int width) { return PadLeft(std::to_string(n), width); }

std::string NormaliseDecimal(std::string_view text, const NumberLocale& locale) {
    std::string result(text);
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    std::size_t separator = std::string::npos;
    bool anyDigit = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            anyDigit = true;
        } else if ((text[i] == '.' || text[i] == ',') && separator == std::string::npos) {
            separator = i;
        } else {
            return result;
        }
    }
    if (anyDigit && separator != std::string::npos) result[separator] = locale.decimal;
    return result;
}

std::optional<double> ParseLocaleReal(std::string_view text, const NumberLocale& locale) {
    text = TrimText(text);
    std::string plain; // the same number with "." as separator and no "+"
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int digits = 0;
    bool separator = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            ++digits;
            plain += c;
        } else if (c == locale.decimal && !separator) {
            separator = true;
            plain += '.';
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;
    const std::string mantissa = plain;
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            plain += text[i++];
        }
        int exponentDigits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits) {
            plain += text[i];
            exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000L);
        }
        if (exponentDigits == 0) return std::nullopt;
        if (negativeExponent) exponent = -exponent;
    }
    if (i != text.size()) return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small to represent reads as zero; too large to represent is no number at all.
        if (OrderOfMagnitude(mantissa, exponent) > 0) return std::nullopt;
        return 0.0;
    }
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    if (value == 0) return 0.0; // "-0" is zero, not a negative zero that would print as "-0"
    return negative ? -value : value;
}

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    text = TrimText(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    std::int32_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

double LenientReal(std::string_view text, const NumberLocale& locale, MessageSink& sink) {
    const std::string_view trimmed = TrimText(text);
    if (trimmed.empty() || trimmed == "-") return 0;
    if (const auto value = ParseLocaleReal(NormaliseDecimal(trimmed, locale), locale)) return *value;
    sink.Report(WarningMessage("There is an invalid numeric value (" + std::string(trimmed) +
                               ") in one of the fields. Using 0" + locale.decimal + "0 instead."));
    return 0;
}

std::int32_t LenientInt(std::string_view text, MessageSink& sink) {
    const std::string_view trimmed = TrimText(text);
    if (trimmed.empty() || trimmed == "-") return 0;
    if (const auto value = ParseInteger(trimmed)) return *value;
    sink.Report(WarningMessage("There is an invalid numeric value (" + std::string(trimmed) +
                               ") in one of the fields. Using 0 instead."));
    return 0;
}

std::string FormatMinSec(std::int64_t seconds, const NumberLocale& locale) {
    const bool negative = seconds < 0;
    // Negating the most negative value would overflow; no run time is anywhere near it.
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(seconds + 1)) + 1 : static_cast<std::uint64_t>(seconds);
    const std::uint64_t secs = magnitude % 60;
    std::string minutes = (negative ? "-" : "") + std::to_string(magnitude / 60);
    std::string text = PadLeft(minutes, 3);
    text += locale.timeSeparator;
    if (secs < 10) text += '0';
    text += std::to_string(secs);
    return text;
}

} // namespace ampvane
