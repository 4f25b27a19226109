// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/options.h"

#include <gtest/gtest.h>

#include "support/recording_messages.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;

const std::string kFeetMessage = "Flying field elevation must be between -1000 and +36000 feet.";
const std::string kMetresMessage = "Flying field elevation must be between -304 and +10972 metres.";

// Settings in a mode with the labels the dialog shows for it.
Settings InMode(int mode) {
    Settings s;
    NullMessageSink quiet;
    SelectMeasurementMode(s, mode, NumberLocale{}, quiet);
    return s;
}

TEST(OptionsOk, EmptyFieldsTakeTheirDefaultsAndPass) {
    for (int mode : {AllImperial, ImperialMetricTempPress, MetricInchProps, AllMetric}) {
        RecordingMessages messages;
        EXPECT_TRUE(ValidateOptions(InMode(mode), NumberLocale{}, messages)) << mode;
    }
}

TEST(OptionsOk, ElevationLimitsFollowTheLabel) {
    Settings metric = InMode(AllMetric);
    metric.elevation = "11000";
    RecordingMessages messages;
    messages.Expect(kMetresMessage);
    EXPECT_FALSE(ValidateOptions(metric, NumberLocale{}, messages));
    EXPECT_EQ(messages.messages()[0].buttons, OkButton | HelpButton);
    EXPECT_EQ(messages.messages()[0].helpTopic, kFlyingFieldHelpTopic);

    Settings imperial = InMode(AllImperial);
    imperial.elevation = "36000";
    imperial.temperature = "-40"; // the standard day up there is colder than the accepted range
    EXPECT_TRUE(ValidateOptions(imperial, NumberLocale{}, messages));
    imperial.elevation = "-1001";
    messages.Expect(kFeetMessage);
    EXPECT_FALSE(ValidateOptions(imperial, NumberLocale{}, messages));
}

TEST(OptionsOk, FirstFailingFieldIsTheOnlyOneReported) {
    Settings s = InMode(ImperialMetricTempPress);
    s.elevation = "40000";
    s.pressure = "50";
    s.temperature = "99";
    RecordingMessages messages;
    messages.Expect(kFeetMessage);
    EXPECT_FALSE(ValidateOptions(s, NumberLocale{}, messages));

    s.elevation = "";
    messages.Expect("Sea level pressure must be between 94.8 and 108.3 kPa.");
    EXPECT_FALSE(ValidateOptions(s, NumberLocale{}, messages));

    s.pressure = "101.3";
    messages.Expect("Flying field temperature must be between -50 and +50\u00B0C.");
    EXPECT_FALSE(ValidateOptions(s, NumberLocale{}, messages));

    s.temperature = "";
    s.gearboxEfficiency = "49";
    messages.Expect("Default gearbox efficiency must be between 50 and 100%.");
    EXPECT_FALSE(ValidateOptions(s, NumberLocale{}, messages));
    EXPECT_EQ(messages.messages().back().helpTopic, kGearboxEfficiencyHelpTopic);
}

TEST(OptionsOk, ImperialMessagesAndStandardDayTemperature) {
    Settings s = InMode(AllImperial);
    s.pressure = "27.5";
    RecordingMessages messages;
    messages.Expect("Sea level pressure must be between 28 and 32 inHg.");
    EXPECT_FALSE(ValidateOptions(s, NumberLocale{}, messages));
    s.pressure = "";
    s.temperature = "123";
    messages.Expect("Flying field temperature must be between -58 and +122\u00B0F.");
    EXPECT_FALSE(ValidateOptions(s, NumberLocale{}, messages));

    s.temperature = "";
    s.elevation = "5000";
    EXPECT_TRUE(ValidateOptions(s, NumberLocale{}, messages));
    EXPECT_NEAR(TemperatureValue(s, NumberLocale{}, messages), 41.18, 0.01); // 5.1 °C
    s.measurementMode = AllMetric;
    s.elevation = "1524"; // 5000 ft
    EXPECT_NEAR(TemperatureValue(s, NumberLocale{}, messages), 5.1, 0.01);
}

TEST(OptionsOk, TextThatIsNoNumberCountsAsZeroAfterItsWarning) {
    Settings s = InMode(AllImperial);
    s.pressure = "high";
    RecordingMessages messages;
    messages.Expect("There is an invalid numeric value (high) in one of the fields. Using 0.0 instead.")
        .Expect("Sea level pressure must be between 28 and 32 inHg.");
    EXPECT_FALSE(ValidateOptions(s, NumberLocale{}, messages));
}

TEST(OptionsFields, OutOfRangeUsesTheLabelsUnitAndNeverFlagsAnEmptyField) {
    RecordingMessages messages;
    Settings s = InMode(AllMetric);
    s.elevation = "11000";
    EXPECT_TRUE(FieldOutOfRange(s, OptionsField::Elevation, NumberLocale{}, messages));
    s.elevation = "10972";
    EXPECT_FALSE(FieldOutOfRange(s, OptionsField::Elevation, NumberLocale{}, messages));
    s.pressure = "94.5";
    EXPECT_TRUE(FieldOutOfRange(s, OptionsField::Pressure, NumberLocale{}, messages));
    s.temperature = "50.2";
    EXPECT_TRUE(FieldOutOfRange(s, OptionsField::Temperature, NumberLocale{}, messages));
    s.gearboxEfficiency = "100.5";
    EXPECT_TRUE(FieldOutOfRange(s, OptionsField::GearboxEfficiency, NumberLocale{}, messages));

    const Settings empty = InMode(AllImperial);
    for (OptionsField f : {OptionsField::Elevation, OptionsField::Pressure, OptionsField::Temperature,
                           OptionsField::GearboxEfficiency})
        EXPECT_FALSE(FieldOutOfRange(empty, f, NumberLocale{}, messages));
}

TEST(OptionsFields, EmptyGearboxEfficiencyIsNinetyFive) {
    RecordingMessages messages;
    Settings s;
    EXPECT_DOUBLE_EQ(GearboxEfficiencyValue(s, NumberLocale{}, messages), 95);
    s.gearboxEfficiency = "92,5";
    EXPECT_DOUBLE_EQ(GearboxEfficiencyValue(s, NumberLocale{}, messages), 92.5);
}

TEST(FlyingFieldSetters, OutOfRangeLeavesTheFieldAlone) {
    Settings s = InMode(AllImperial);
    s.temperature = "70";
    EXPECT_FALSE(SetTemperature(s, 130, NumberLocale{}));
    EXPECT_EQ(s.temperature, "70");
    EXPECT_TRUE(SetTemperature(s, 122.1, NumberLocale{}));
    EXPECT_EQ(s.temperature, "122.1");
    EXPECT_TRUE(SetPressure(s, 29.9, NumberLocale{}));
    EXPECT_EQ(s.pressure, "29.90");
    EXPECT_FALSE(SetElevation(s, 40000, NumberLocale{}));
    EXPECT_TRUE(SetElevation(s, 1500.34, NumberLocale{','}));
    EXPECT_EQ(s.elevation, "1500,3");

    Settings metric = InMode(AllMetric);
    EXPECT_FALSE(SetElevation(metric, 11000, NumberLocale{}));
    EXPECT_TRUE(SetPressure(metric, 101.3, NumberLocale{}));
    EXPECT_EQ(metric.pressure, "101.3");
    EXPECT_FALSE(SetPressure(metric, 29.92, NumberLocale{}));
}

TEST(OptionsButtons, FillTheValueForTheUnitShown) {
    Settings s = InMode(AllImperial);
    StdPressureButtonClick(s, NumberLocale{','});
    RoomTemperatureButtonClick(s);
    SeaLevelButtonClick(s);
    TypicalGearboxEfficiencyButtonClick(s);
    EXPECT_EQ(s.pressure, "29,92");
    EXPECT_EQ(s.temperature, "68");
    EXPECT_EQ(s.elevation, "0");
    EXPECT_EQ(s.gearboxEfficiency, "92");

    Settings metric = InMode(ImperialMetricTempPress);
    StdPressureButtonClick(metric, NumberLocale{});
    RoomTemperatureButtonClick(metric);
    EXPECT_EQ(metric.pressure, "101.3");
    EXPECT_EQ(metric.temperature, "20");
}

// What the empty flying-field fields show greyed: what the computation takes for them.
TEST(OptionsFields, EmptyFlyingFieldsShowWhatTheyStandFor) {
    struct Case {
        int mode;
        const char* elevation;
        const char* pressure;
        const char* temperature;
    };
    for (const Case& c : {Case{AllImperial, "", "29.92", "59"}, Case{ImperialMetricTempPress, "", "101.3", "15"},
                          Case{AllMetric, "1000", "101.3", "8.5"}, Case{AllImperial, "5000", "29.92", "41.2"}}) {
        Settings s = InMode(c.mode);
        s.elevation = c.elevation;
        const FlyingFieldTexts texts = EmptyFlyingFieldMeaning(s, NumberLocale{});
        EXPECT_EQ(texts.elevation, "0");
        EXPECT_EQ(texts.pressure, c.pressure) << c.mode;
        EXPECT_EQ(texts.temperature, c.temperature) << c.mode << " " << c.elevation;
    }
    EXPECT_EQ(EmptyFlyingFieldMeaning(InMode(AllImperial), NumberLocale{','}).pressure, "29,92");
}

TEST(ColumnBoxes, LastRequiredColumnCannotBeHidden) {
    Settings s;
    RecordingMessages messages;
    for (const ReportColumnSwitchInfo& info : ReportColumnSwitches())
        if (!info.required) {
            EXPECT_FALSE(ColumnBoxClick(s, info.column, false, messages)) << info.key;
        }
    std::vector<ReportColumnSwitch> required;
    for (const ReportColumnSwitchInfo& info : ReportColumnSwitches())
        if (info.required) required.push_back(info.column);
    for (std::size_t i = 0; i + 1 < required.size(); ++i) EXPECT_FALSE(ColumnBoxClick(s, required[i], false, messages));

    messages.Expect(std::string(kRequiredColumnsMessage));
    EXPECT_TRUE(ColumnBoxClick(s, required.back(), false, messages));
    EXPECT_TRUE(ColumnShown(s, required.back()));
    EXPECT_EQ(messages.messages().back().helpTopic, kOptionsHelpTopic);

    AllColumnsButtonClick(s);
    for (const ReportColumnSwitchInfo& info : ReportColumnSwitches()) EXPECT_TRUE(ColumnShown(s, info.column));
}

TEST(AdvancedOptions, ProxyPortIsCheckedOnlyWithAHost) {
    Settings s;
    RecordingMessages messages;
    EXPECT_TRUE(AcceptProxySettings(s, "  ", "not a number", messages));
    EXPECT_EQ(s.proxyHost, "");
    EXPECT_EQ(s.proxyPort, "not a number");

    for (std::string_view port : {"70000", "", "-1", "80a"}) {
        messages.Expect(std::string(kProxyPortMessage));
        EXPECT_FALSE(AcceptProxySettings(s, "cache.local", port, messages)) << port;
        EXPECT_EQ(s.proxyHost, "") << "nothing is stored on refusal";
    }
    EXPECT_EQ(messages.messages().back().helpTopic, kAdvancedOptionsHelpTopic);

    EXPECT_TRUE(AcceptProxySettings(s, " cache.local ", " 3128 ", messages));
    EXPECT_EQ(s.proxyHost, "cache.local");
    EXPECT_EQ(s.proxyPort, "3128");
    EXPECT_EQ(EffectiveProxy(s), (ProxySetting{"cache.local", 3128}));
}

TEST(NewtonsTexts, YesOrNo) {
    Settings s;
    EXPECT_EQ(NewtonsText(s), "N");
    SetNewtonsFromText(s, "Y");
    EXPECT_TRUE(s.forceInNewtons);
    EXPECT_EQ(NewtonsText(s), "Y");
    SetNewtonsFromText(s, "yes");
    EXPECT_FALSE(s.forceInNewtons);
}

} // namespace
} // namespace ampvane
