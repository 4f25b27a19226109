#include "workbench/report_settings.h"

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

} // namespace
} // namespace ampvane
