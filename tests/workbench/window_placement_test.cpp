#include "workbench/window_placement.h"

#include <gtest/gtest.h>

#include "support/recording_messages.h"
#include "workbench/configuration.h"

namespace ampvane {
namespace {

TEST(WindowPlacement, TextRoundTripAndDamagedTexts) {
    const WindowRect r{-20, 35, 800, 600};
    EXPECT_EQ(ParseWindowRect(WindowRectText(r)), r);
    for (const char* bad : {"", "1 2 3", "1 2 3 4 5", "a b c d", "1 2 0 4", "1 2 3 -4", "1 2 99999999999 4"})
        EXPECT_EQ(ParseWindowRect(bad), std::nullopt) << bad;
}

TEST(WindowPlacement, ColumnWidthsTextRoundTripAndDamagedTexts) {
    const ColumnWidths widths{{0, 60}, {12, 72}, {999, 9999}};
    EXPECT_EQ(ParseColumnWidths(ColumnWidthsText(widths)), widths);
    EXPECT_EQ(ParseColumnWidths(" 3:60   5:1 "), (ColumnWidths{{3, 60}, {5, 1}}));
    for (const char* bad : {"", " ", "3", "3:", ":60", "3:60x", "3:60,4:70", "-1:60", "1000:60", "3:0", "3:10000",
                            "3:60 4", "a:b"})
        EXPECT_EQ(ParseColumnWidths(bad), std::nullopt) << bad;
}

TEST(WindowPlacement, KeptOnTheScreenItOverlapsMostElseThePrimary) {
    const WindowRect primary{0, 0, 1920, 1050};
    const WindowRect right{1920, 0, 1280, 1000};
    const WindowRect screens[] = {primary, right};
    struct Case {
        WindowRect stored, placed;
    } cases[] = {
        {{100, 100, 800, 600}, {100, 100, 800, 600}},        // already on the primary
        {{2000, 50, 800, 600}, {2000, 50, 800, 600}},        // on the second screen, where it was
        {{2900, 50, 800, 600}, {2400, 50, 800, 600}},        // hanging off the second screen's edge
        {{-5000, -5000, 800, 600}, {0, 0, 800, 600}},        // on no screen there is now
        {{100, 900, 800, 600}, {100, 450, 800, 600}},        // below the bottom edge
        {{50, 50, 4000, 3000}, {0, 0, 1920, 1050}},          // larger than any screen
        {{1500, 100, 600, 400}, {1320, 100, 600, 400}},      // more on the primary than the right one
        {{1700, 100, 600, 400}, {1920, 100, 600, 400}},      // more on the right one than the primary
    };
    for (const Case& c : cases) EXPECT_EQ(PlaceOnScreens(c.stored, screens), c.placed) << WindowRectText(c.stored);
    EXPECT_EQ(PlaceOnScreens({5, 5, 10, 10}, {}), (WindowRect{5, 5, 10, 10}));
}

TEST(WindowPlacement, StoredWithTheOtherSettings) {
    Settings settings;
    settings.windowPlacements["workbench"] = "10 20 800 600";
    settings.columnWidths["inflight"] = "2:80 7:64";
    // A damaged place is dropped as it is read.
    const std::string text = ConfigurationText(settings, "8.09") + "window gone 1 2 3\r\nWindow Broken 1 2 0 4\r\n" +
                             "columns report 3:60,4:70\r\n";
    Settings read;
    testing::RecordingMessages messages;
    ApplyConfigurationText(text, "Ampvane.ini", read, NumberLocale{}, messages);
    EXPECT_EQ(read.windowPlacements, settings.windowPlacements);
    EXPECT_EQ(read.columnWidths, settings.columnWidths);
    EXPECT_EQ(ConfigurationText(Settings{}, "8.09").find("window"), std::string::npos);
}

} // namespace
} // namespace ampvane
