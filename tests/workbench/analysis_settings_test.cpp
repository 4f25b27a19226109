// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/analysis_settings.h"

#include "common/messages.h"
#include "workbench/configuration.h"

#include <gtest/gtest.h>
#include <set>

namespace ampvane {
namespace {

TEST(ReportSettings, EverySwitchControlsItsOwnReportColumn) {
    std::set<ReportColumn> seen;
    for (const ReportColumnSwitchInfo& info : ReportColumnSwitches()) {
        const ReportColumn quantity = ReportQuantityOf(info.column);
        EXPECT_EQ(ReportColumnOptionName(quantity), info.caption);
        EXPECT_TRUE(seen.insert(quantity).second) << info.caption;
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kReportQuantityCount));
}

TEST(ReportSettings, HiddenSwitchesHideTheirColumnsOnly) {
    Settings s;
    SetColumnShown(s, ReportColumnSwitch::Time, false);
    SetColumnShown(s, ReportColumnSwitch::PropellerRpm, false);
    const ReportColumnsShown shown = ReportColumnsShownFrom(s);
    for (int q = 0; q < kReportQuantityCount; ++q) {
        const auto quantity = static_cast<ReportColumn>(q);
        EXPECT_EQ(shown[q], quantity != ReportColumn::RunTime && quantity != ReportColumn::DriveRpm)
            << ReportColumnOptionName(quantity);
    }
}

TEST(AnalysisSettings, SettingsReadFromAFileReachTheAnalysisSnapshot) {
    Settings s;
    NullMessageSink quiet;
    ApplyConfigurationText("metric\r\nnewtons\r\nprintcolour\r\nelevation 1524\r\ntemperature 15\r\n"
                           "pressure 101.3\r\nnousetemp\r\nprecision\r\ngeareffic 90\r\n",
                           "Ampvane.ini", s, NumberLocale{}, quiet);
    const AnalysisOptionsInput input = AnalysisOptionsInputFrom(s);
    EXPECT_EQ(input.measurementMode, AllMetric);
    EXPECT_TRUE(input.newtons);
    EXPECT_TRUE(input.printColours);
    EXPECT_FALSE(input.accountForHeating);
    EXPECT_TRUE(input.extraPrecision);
    EXPECT_EQ(input.gearboxEfficiency, "90");

    const std::optional<AnalysisOptions> options = SnapshotAnalysisOptions(input, NumberLocale{}, quiet);
    ASSERT_TRUE(options.has_value());
    EXPECT_NEAR(options->DensityRatio, 0.8168, 0.001); // 5000 ft, standard pressure, 15 °C
    EXPECT_EQ(options->Metric, 1);
    EXPECT_EQ(options->MetricPropSizes, 1);
    EXPECT_EQ(options->AccountForHeating, 0);
}

} // namespace
} // namespace ampvane
