// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/numeric_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/recording_messages.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;

const NumberLocale kComma{',', '.'};

TEST(FormatNumber, MinimumDigitsAddDecimals) {
    EXPECT_EQ(FormatNumber(5, 1, 3, 5.0), " 5.00");
    EXPECT_EQ(FormatNumber(5, 1, 3, 0.5), "0.500");
    EXPECT_EQ(FormatNumber(5, 1, 3, 12.3), " 12.3");
    EXPECT_EQ(FormatNumber(6, 0, 3, 1234.0), "  1234");
    EXPECT_EQ(FormatNumber(6, 0, 3, 7.0), "  7.00");
    EXPECT_EQ(FormatNumber(6, 1, 0, 5.0), "   5.0");
}

TEST(FormatNumber, NegativeDecimalsTrimTrailingZeros) {
    EXPECT_EQ(FormatNumber(0, -2, 0, 2.50), "2.5");
    EXPECT_EQ(FormatNumber(0, -2, 0, 3.00), "3");
    EXPECT_EQ(FormatNumber(0, -2, 0, 100.0), "100"); // zeros before the separator stay
    EXPECT_EQ(FormatNumber(0, -5, 0, 0.027762), "0.02776");
    EXPECT_EQ(FormatNumber(0, -5, 0, 28300), "28300");
}

TEST(FormatNumber, RoundsExactTiesToEven) {
    EXPECT_EQ(FormatNumber(0, 0, 0, 2.5), "2");
    EXPECT_EQ(FormatNumber(0, 0, 0, 3.5), "4");
    EXPECT_EQ(FormatNumber(0, 2, 0, 0.125), "0.12");
    EXPECT_EQ(FormatNumber(0, 2, 0, 0.375), "0.38");
    // 0.15 is stored just below the tie, so it goes down whatever the rule.
    EXPECT_EQ(FormatNumber(0, 1, 0, 0.15), "0.1");
}

TEST(FormatNumber, UsesTheGivenSeparatorNotTheProcessLocale) {
    EXPECT_EQ(FormatNumber(5, 1, 3, 5.0, kComma), " 5,00");
    EXPECT_EQ(FormatReal(0, -2, 2.5, kComma), "2,5");
    EXPECT_EQ(FormatReal(0, -2, 3.0, kComma), "3");
}

TEST(FormatNumber, WidthLimitsSignificantDigits) {
    // A width of 5 keeps five significant digits; the decimals beyond them are zeros.
    EXPECT_EQ(FormatNumber(5, 3, 0, 123.456), "123.460");
    EXPECT_EQ(FormatNumber(5, 1, 0, 12345.0), "12345.0");
    // More integer digits than the width: scientific notation.
    EXPECT_EQ(FormatNumber(5, 1, 0, 123456.0), "1.2346E+05");
    EXPECT_EQ(FormatNumber(3, 0, 0, 1000.0), "1E+03");
    EXPECT_EQ(FormatNumber(0, 2, 0, 1e25), "1E+25");
    EXPECT_EQ(FormatNumber(0, -2, 0, 1e20), "1E+20"); // trimming leaves the exponent alone
}

TEST(FormatNumber, NoNegativeZeroAndNonFiniteNamed) {
    EXPECT_EQ(FormatNumber(0, 1, 0, -0.0), "0.0");
    EXPECT_EQ(FormatNumber(0, 1, 0, -0.04), "0.0");
    EXPECT_EQ(FormatNumber(0, 1, 0, -0.06), "-0.1");
    EXPECT_EQ(FormatNumber(5, 1, 0, -2.0), " -2.0");
    EXPECT_EQ(FormatNumber(5, 1, 3, std::numeric_limits<double>::quiet_NaN()), "  NAN");
    EXPECT_EQ(FormatNumber(0, 1, 0, -std::numeric_limits<double>::infinity()), "-INF");
}

TEST(FormatNumber, ExtremeArgumentsStayBounded) {
    EXPECT_EQ(FormatNumber(0, 1000, 0, 1.0).size(), 42u);
    // No more than 15 significant digits: no binary noise in long outputs.
    EXPECT_EQ(FormatNumber(0, 20, 0, 0.1), "0.10000000000000000000");
    EXPECT_EQ(FormatNumber(0, -20, 0, 0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatNumber(-3, 1, 0, 1.0), "1.0");
    EXPECT_EQ(FormatNumber(0, 0, 0, 1e308).substr(0, 5), "1E+30");
    EXPECT_EQ(FormatNumber(0, 2, 0, 5e-324), "0.00");
}

TEST(PadLeft, CountsCharactersNotBytes) {
    EXPECT_EQ(PadLeft("ab", 4), "  ab");
    EXPECT_EQ(PadLeft("abcdef", 4), "abcdef");
    EXPECT_EQ(PadLeft("°C", 3), " °C");
    EXPECT_EQ(FormatInt(-42, 5), "  -42");
    EXPECT_EQ(FormatInt(7, 0), "7");
}

TEST(NormaliseDecimal, OnlyPlainDecimalsChange) {
    EXPECT_EQ(NormaliseDecimal("1,5", {}), "1.5");
    EXPECT_EQ(NormaliseDecimal("-1.5", kComma), "-1,5");
    EXPECT_EQ(NormaliseDecimal(",5", {}), ".5");
    EXPECT_EQ(NormaliseDecimal("1.5.2", {}), "1.5.2");
    EXPECT_EQ(NormaliseDecimal("1,5e3", {}), "1,5e3");
    EXPECT_EQ(NormaliseDecimal(",", {}), ",");
    EXPECT_EQ(NormaliseDecimal("", {}), "");
    EXPECT_EQ(NormaliseDecimal("abc", kComma), "abc");
}

TEST(ParseLocaleReal, AcceptsOnlyWholeNumbers) {
    EXPECT_EQ(ParseLocaleReal(" 1.5 ", {}), 1.5);
    EXPECT_EQ(ParseLocaleReal("+2", {}), 2.0);
    EXPECT_EQ(ParseLocaleReal("-.5", {}), -0.5);
    EXPECT_EQ(ParseLocaleReal("5.", {}), 5.0);
    EXPECT_EQ(ParseLocaleReal("1.5e3", {}), 1500.0);
    EXPECT_EQ(ParseLocaleReal("2E-2", {}), 0.02);
    EXPECT_EQ(ParseLocaleReal("1,5", kComma), 1.5);
    for (const char* bad : {"", "-", ".", "1.5.2", "1,5", "1e", "1e+", "e5", "nan", "inf", "-inf", "0x10", "1 2",
                            "1.5x", "--1", "+-1", "1e400", "-1e400", "1\xC3\xA9"})
        EXPECT_FALSE(ParseLocaleReal(bad, {})) << bad;
}

TEST(ParseLocaleReal, TinyValuesReadAsZeroAndZeroHasNoSign) {
    EXPECT_EQ(ParseLocaleReal("1e-400", {}), 0.0);
    EXPECT_EQ(ParseLocaleReal("0.0000001e-330", {}), 0.0);
    EXPECT_FALSE(ParseLocaleReal("100000000000e300", {}));
    EXPECT_EQ(ParseLocaleReal("0.00000001e310", {}), 1e302);
    const auto zero = ParseLocaleReal("-0", {});
    ASSERT_TRUE(zero);
    EXPECT_FALSE(std::signbit(*zero));
    EXPECT_EQ(ParseLocaleReal("0e999999999999999999", {}), 0.0);
}

TEST(ParseInteger, Int32WholeNumbersOnly) {
    EXPECT_EQ(ParseInteger(" 12 "), 12);
    EXPECT_EQ(ParseInteger("-7"), -7);
    EXPECT_EQ(ParseInteger("+7"), 7);
    EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
    for (const char* bad : {"", "-", "+", "1.0", "1e3", "2147483648", "99999999999999999999", "+-1", "1 2", "x"})
        EXPECT_FALSE(ParseInteger(bad)) << bad;
}

TEST(LenientReal, EmptyAndDashAreZeroSilently) {
    RecordingMessages messages;
    EXPECT_EQ(LenientReal("", {}, messages), 0.0);
    EXPECT_EQ(LenientReal("  - ", {}, messages), 0.0);
    EXPECT_EQ(LenientReal(" 1,5 ", {}, messages), 1.5);
    EXPECT_EQ(LenientReal("2.25", kComma, messages), 2.25);
}

TEST(LenientReal, InvalidTextWarnsWithTheLocaleSeparator) {
    RecordingMessages messages;
    messages.Expect("There is an invalid numeric value (abc) in one of the fields. Using 0.0 instead.");
    messages.Expect("There is an invalid numeric value (1e400) in one of the fields. Using 0,0 instead.");
    EXPECT_EQ(LenientReal(" abc", {}, messages), 0.0);
    EXPECT_EQ(LenientReal("1e400", kComma, messages), 0.0);
    EXPECT_EQ(messages.messages()[0].kind, MessageKind::Warning);
    EXPECT_EQ(messages.messages()[0].buttons, OkButton);
}

TEST(LenientInt, InvalidTextWarnsAndReadsZero) {
    RecordingMessages messages;
    messages.Expect("There is an invalid numeric value (1.5) in one of the fields. Using 0 instead.");
    EXPECT_EQ(LenientInt("-", messages), 0);
    EXPECT_EQ(LenientInt(" 12", messages), 12);
    EXPECT_EQ(LenientInt("1.5", messages), 0);
}

TEST(FormatMinSec, MinutesRightAlignedSecondsTwoDigits) {
    EXPECT_EQ(FormatMinSec(59), "  0:59");
    EXPECT_EQ(FormatMinSec(600), " 10:00");
    EXPECT_EQ(FormatMinSec(61, kComma), "  1.01");
    EXPECT_EQ(FormatMinSec(6000), "100:00");
    EXPECT_EQ(FormatMinSec(60000), "1000:00");
    EXPECT_EQ(FormatMinSec(-61), " -1:01");
    EXPECT_EQ(FormatMinSec(std::numeric_limits<std::int64_t>::min()).substr(0, 4), "-153");
}

} // namespace
} // namespace ampvane

namespace ampvane {
namespace {

// Half a unit of the last digit a number text shows.
double ShownHalfUnit(std::string_view text, char decimal) {
    const std::size_t exponentAt = text.find('E');
    const std::string_view mantissa = text.substr(0, exponentAt);
    const std::size_t point = mantissa.find(decimal);
    const int decimals = point == std::string_view::npos ? 0 : static_cast<int>(mantissa.size() - point - 1);
    const int exponent = exponentAt == std::string_view::npos ? 0 : std::stoi(std::string(text.substr(exponentAt + 1)));
    return 0.5 * std::pow(10.0, exponent - decimals);
}

// What the program writes, it reads back: to the value at the precision shown, in either locale.
TEST(FormatNumber, EveryTextReadsBackAtItsShownPrecision) {
    std::mt19937_64 random(20261209);
    std::vector<double> values = {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::denorm_min(), 1e300, 9.99999999999999e307, 0.0};
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = random();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) values.push_back(value);
        const double mantissa = static_cast<double>(random() % 100000) - 50000;
        values.push_back(std::ldexp(mantissa, static_cast<int>(random() % 140) - 70));
    }
    EXPECT_EQ(FormatNumber(0, 0, 0, std::numeric_limits<double>::max()), "1.79769313486231E+308");
    EXPECT_EQ(FormatNumber(0, 2, 0, 1.5e25, NumberLocale{',', ':'}), "1,5E+25");
    for (const double value : values) {
        for (const char decimal : {'.', ','}) {
            const NumberLocale locale{decimal, ':'};
            const int width = static_cast<int>(random() % 24);
            const int decimals = static_cast<int>(random() % 32) - 16;
            const int minDigits = static_cast<int>(random() % 8);
            const std::string text = FormatNumber(width, decimals, minDigits, value, locale);
            const auto read = ParseLocaleReal(text, locale);
            ASSERT_TRUE(read) << text;
            // Rounded to the last digit shown and to the significant digits the width allows (at most
            // 15); digits beyond those are written as zeros.
            const int significant = std::min(width > 0 ? width : 20, 15);
            const double allowed = ShownHalfUnit(TrimText(text), decimal) * (1 + 1e-9) +
                                   std::fabs(value) * (0.5 * std::pow(10.0, 1 - significant) + 1e-14);
            ASSERT_LE(std::fabs(*read - value), allowed) << text << " for " << value;
        }
    }
}

} // namespace
} // namespace ampvane
