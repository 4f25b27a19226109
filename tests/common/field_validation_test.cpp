// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/field_validation.h"

#include <gtest/gtest.h>

#include "support/recording_messages.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;

TEST(ValidateReal, AcceptsEitherSeparator) {
    RecordingMessages messages;
    double value = 0;
    EXPECT_TRUE(ValidateReal("1,5", "Cell Voltage", value, 1, 4.2, kNoDefault, {}, messages));
    EXPECT_EQ(value, 1.5);
    EXPECT_TRUE(ValidateReal(" 2.5 ", "Cell Voltage", value, 1, 4.2, kNoDefault, {',', ':'}, messages));
    EXPECT_EQ(value, 2.5);
}

TEST(ValidateReal, EmptyTakesTheDefaultWithoutRangeCheck) {
    RecordingMessages messages;
    double value = 7;
    EXPECT_TRUE(ValidateReal("   ", "Minimum Efficiency", value, 1, 99, 0, {}, messages));
    EXPECT_EQ(value, 0.0);
    EXPECT_TRUE(ValidateReal("", "Cell Capacity", value, 1, 100000, 2000, {}, messages));
    EXPECT_EQ(value, 2000.0);
    // Just above the no-default mark is still a default.
    EXPECT_TRUE(ValidateReal("", "X", value, 0, 1, -2047.5, {}, messages));
    EXPECT_EQ(value, -2047.5);
}

TEST(ValidateReal, RequiredFieldEmptyIsInvalid) {
    RecordingMessages messages;
    messages.Expect("The value in the Motor Constant field is invalid.");
    double value = 0;
    EXPECT_FALSE(ValidateReal("", "Motor Constant", value, 1, 100000, kNoDefault, {}, messages));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(messages.messages()[0].buttons, OkButton);
}

TEST(ValidateReal, InvalidTexts) {
    for (const char* bad : {"1.5.2", "abc", "nan", "inf", "1e400", "-1e400", "1 5", "--1", "1,5,"}) {
        RecordingMessages messages;
        messages.Expect("The value in the Wing Area field is invalid.");
        double value = 3;
        EXPECT_FALSE(ValidateReal(bad, "Wing Area", value, 0, 10000, 0, {}, messages)) << bad;
        EXPECT_EQ(value, 3.0) << bad; // an unreadable text stores nothing
    }
}

TEST(ValidateReal, LimitsInclusiveAndWrittenWithUpToFiveDecimals) {
    RecordingMessages messages;
    double value = 0;
    EXPECT_TRUE(ValidateReal("0.027762", "Minimum Thrust", value, 0.027762, 277.62, 0, {}, messages));
    EXPECT_TRUE(ValidateReal("277.62", "Minimum Thrust", value, 0.027762, 277.62, 0, {}, messages));

    messages.Expect("The value in the Minimum Thrust field is too small. It must be at least 0.02776.");
    EXPECT_FALSE(ValidateReal("0.02", "Minimum Thrust", value, 0.027762, 277.62, 0, {}, messages));
    EXPECT_EQ(value, 0.02); // the value is stored even when refused

    messages.Expect("The value in the Cell Voltage field is too large. It must be at most 4,2.");
    EXPECT_FALSE(ValidateReal("4,3", "Cell Voltage", value, 1, 4.2, 1.2, {',', ':'}, messages));

    messages.Expect("The value in the Minimum Efficiency field is too small. It must be at least 1.");
    EXPECT_FALSE(ValidateReal("0", "Minimum Efficiency", value, 1, 99, 0, {}, messages));

    messages.Expect("The value in the Armature Resistance field is too small. It must be at least 0.0001.");
    EXPECT_FALSE(ValidateReal("-0", "Armature Resistance", value, 0.0001, 100, kNoDefault, {}, messages));
}

TEST(ValidateInteger, WholeNumbersWithPlainLimits) {
    RecordingMessages messages;
    std::int32_t value = 0;
    EXPECT_TRUE(ValidateInteger("", "Number of Series Motors", 1, 1, value, 20, messages));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(ValidateInteger(" 20 ", "Number of Series Motors", 1, 1, value, 20, messages));
    EXPECT_EQ(value, 20);
    EXPECT_TRUE(ValidateInteger("", "X", 5, -2047, value, 9, messages));
    EXPECT_EQ(value, -2047);

    messages.Expect("The value in the Number of Series Motors field is too large. It must be at most 20.");
    EXPECT_FALSE(ValidateInteger("21", "Number of Series Motors", 1, 1, value, 20, messages));
    messages.Expect("The value in the Number of Propeller Blades field is too small. It must be at least 1.");
    EXPECT_FALSE(ValidateInteger("-3", "Number of Propeller Blades", 1, 2, value, 10, messages));
    messages.Expect("The value in the Number of Propeller Blades field is invalid.");
    EXPECT_FALSE(ValidateInteger("2.5", "Number of Propeller Blades", 1, 2, value, 10, messages));
    messages.Expect("The value in the Number of Propeller Blades field is invalid.");
    EXPECT_FALSE(ValidateInteger("", "Number of Propeller Blades", 1, kNoIntegerDefault, value, 10, messages));
    messages.Expect("The value in the Number of Propeller Blades field is invalid.");
    EXPECT_FALSE(ValidateInteger("99999999999", "Number of Propeller Blades", 1, 2, value, 10, messages));
}

} // namespace
} // namespace ampvane
