// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/settings.h"

#include <gtest/gtest.h>
#include <set>

#include "common/messages.h"
#include "support/recording_messages.h"
#include "workbench/configuration.h"
#include "workbench/owner_name.h"

namespace ampvane {
namespace {

Settings WithProxy(std::string host, std::string port) {
    Settings s;
    s.proxyHost = std::move(host);
    s.proxyPort = std::move(port);
    return s;
}

TEST(ProxySettings, UsedOnlyWithHostAndPortInRange) {
    EXPECT_EQ(EffectiveProxy(WithProxy("cache.local", "8080")), (ProxySetting{"cache.local", 8080}));
    EXPECT_EQ(EffectiveProxy(WithProxy(" cache.local ", " 0 ")), (ProxySetting{"cache.local", 0}));
    EXPECT_EQ(EffectiveProxy(WithProxy("cache.local", "65535")), (ProxySetting{"cache.local", 65535}));
    for (const char* port : {"", "65536", "70000", "-1", "80x", "8 0", "1e3", "http", "99999999999999"})
        EXPECT_EQ(EffectiveProxy(WithProxy("cache.local", port)), ProxySetting{}) << port;
    EXPECT_EQ(EffectiveProxy(WithProxy("", "8080")), ProxySetting{});
    EXPECT_EQ(EffectiveProxy(WithProxy("  ", "not a number")), ProxySetting{});
}

TEST(ProxySettings, BadPortFromTheFileIsKeptButNotUsed) {
    Settings s;
    NullMessageSink quiet;
    ApplyConfigurationText("proxyhost cache.local\r\nproxyport 80 80\r\n", "Ampvane.ini", s, NumberLocale{}, quiet);
    EXPECT_EQ(s.proxyPort, "80 80"); // shown again in the advanced dialog for correction
    EXPECT_EQ(EffectiveProxy(s), ProxySetting{});
}

TEST(UnitFlags, FollowTheMeasurementMode) {
    struct Case {
        int mode;
        bool lengths, props, tempPress;
    };
    for (Case c : {Case{AllImperial, false, false, false}, Case{ImperialMetricTempPress, false, false, true},
                   Case{MetricInchProps, true, false, true}, Case{AllMetric, true, true, true}}) {
        Settings s;
        s.measurementMode = c.mode;
        EXPECT_EQ(MetricLengthsAndWeights(s), c.lengths) << c.mode;
        EXPECT_EQ(MetricPropellerSizes(s), c.props) << c.mode;
        EXPECT_EQ(MetricTemperatureAndPressure(s), c.tempPress) << c.mode;
        s.forceInNewtons = true;
        EXPECT_EQ(ThrustInNewtons(s), c.lengths) << c.mode;
    }
}

Settings ImperialField(std::string elevation, std::string pressure, std::string temperature, int mode) {
    Settings s;
    NullMessageSink quiet;
    SelectMeasurementMode(s, mode, NumberLocale{}, quiet); // sets the labels; nothing to convert yet
    s.elevation = std::move(elevation);
    s.pressure = std::move(pressure);
    s.temperature = std::move(temperature);
    return s;
}

TEST(MeasurementModes, AllImperialToAllMetricConvertsEveryFlyingFieldValue) {
    Settings s = ImperialField("1000", "29.92", "59", AllImperial);
    testing::RecordingMessages messages;
    SelectMeasurementMode(s, AllMetric, NumberLocale{}, messages);
    EXPECT_EQ(s.elevation, "304.8");
    EXPECT_EQ(s.pressure, "101.3");
    EXPECT_EQ(s.temperature, "15");
    EXPECT_EQ(s.unitLabels, (UnitLabels{"m", "\u00B0C", "kPa"}));

    SelectMeasurementMode(s, AllImperial, NumberLocale{}, messages);
    EXPECT_EQ(s.elevation, "1000");
    EXPECT_EQ(s.pressure, "29.92");
    EXPECT_EQ(s.temperature, "59");
    EXPECT_EQ(s.unitLabels, (UnitLabels{"ft", "\u00B0F", "inHg"}));
}

TEST(MeasurementModes, OnlyValuesWhoseUnitChangesAreConverted) {
    Settings s = ImperialField("1000", "101.3", "15", ImperialMetricTempPress);
    NullMessageSink quiet;
    SelectMeasurementMode(s, MetricInchProps, NumberLocale{}, quiet);
    EXPECT_EQ(s.elevation, "304.8");
    EXPECT_EQ(s.pressure, "101.3");
    EXPECT_EQ(s.temperature, "15");

    s = ImperialField("1000", "101.3", "15", ImperialMetricTempPress);
    SelectMeasurementMode(s, AllImperial, NumberLocale{}, quiet);
    EXPECT_EQ(s.elevation, "1000");
    EXPECT_EQ(s.pressure, "29.92");
    EXPECT_EQ(s.temperature, "59");
}

TEST(MeasurementModes, EmptyValuesStayEmptyAndUnsetLabelsConvertNothing) {
    Settings s;
    s.elevation = "1000";
    NullMessageSink quiet;
    SelectMeasurementMode(s, AllMetric, NumberLocale{}, quiet);
    EXPECT_EQ(s.elevation, "1000"); // its unit was not known: it is taken as written
    EXPECT_EQ(s.temperature, "");
    SelectMeasurementMode(s, AllImperial, NumberLocale{}, quiet);
    EXPECT_EQ(s.elevation, "3281");
    EXPECT_EQ(s.pressure, "");
}

TEST(MeasurementModes, ModeLineInTheFileConvertsValuesReadBeforeIt) {
    Settings s;
    NullMessageSink quiet;
    ApplyConfigurationText("imperial\r\nelevation 1000\r\nmetric\r\n", "Ampvane.ini", s, NumberLocale{}, quiet);
    EXPECT_EQ(s.elevation, "304.8");
    s = Settings{};
    ApplyConfigurationText("metric\r\nelevation 300\r\n", "Ampvane.ini", s, NumberLocale{}, quiet);
    EXPECT_EQ(s.elevation, "300");
}

TEST(MeasurementModes, TextThatIsNoNumberIsReportedAndConvertsAsZero) {
    Settings s = ImperialField("lots", "", "", AllImperial);
    testing::RecordingMessages messages;
    messages.Expect("There is an invalid numeric value (lots) in one of the fields. Using 0.0 instead.");
    SelectMeasurementMode(s, MetricInchProps, NumberLocale{}, messages);
    EXPECT_EQ(s.elevation, "0");
}

TEST(ReportColumnSwitchTable, KeysAndNamesAreUniqueAndTwelveAreRequired) {
    std::set<std::string_view> keys, captions, boxes;
    int required = 0;
    for (const ReportColumnSwitchInfo& info : ReportColumnSwitches()) {
        EXPECT_TRUE(keys.insert(info.key).second) << info.key;
        EXPECT_TRUE(captions.insert(info.caption).second) << info.caption;
        EXPECT_TRUE(boxes.insert(info.checkBoxName).second) << info.checkBoxName;
        EXPECT_TRUE(info.key.starts_with("no")) << info.key;
        required += info.required;
    }
    EXPECT_EQ(required, 12);
}

TEST(UserNames, StoredNameWinsOverTheAccountOwner) {
    Settings s;
    EXPECT_EQ(UserName(s, "  Jane Owner \t"), "Jane Owner");
    s.userName = "Contributor";
    EXPECT_EQ(UserName(s, "Jane Owner"), "Contributor");
}

TEST(UserNames, OwnerNameIsTheFirstAccountFieldCutBetweenCharacters) {
    EXPECT_EQ(OwnerNameFromAccountField("Jane Doe,Room 12,555-1234,"), "Jane Doe");
    EXPECT_EQ(OwnerNameFromAccountField(",,,"), "");
    EXPECT_EQ(OwnerNameFromAccountField(""), "");
    EXPECT_EQ(OwnerNameFromAccountField(std::string(100, 'a')).size(), 79u);
    // 78 ASCII letters then a two-byte letter: the letter would be split at 79 bytes, so it goes whole.
    const std::string name = std::string(78, 'a') + "\xC3\xA9" + "b";
    EXPECT_EQ(OwnerNameFromAccountField(name), std::string(78, 'a'));
}

} // namespace
} // namespace ampvane
