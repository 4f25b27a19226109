// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/window_placement.h"

#include <gtest/gtest.h>

#include "support/recording_messages.h"
#include "workbench/configuration.h"

namespace ampvane {
namespace {

TEST(WindowPlacement, KeptOnTheScreenItOverlapsMostElseThePrimary) {
    const WindowRect screens[] = {{0, 0, 1920, 1050}, {1920, 0, 1280, 1000}};
    const WindowRect cases[][2] = {
        {{100, 100, 800, 600}, {100, 100, 800, 600}},   // already on the primary
        {{2000, 50, 800, 600}, {2000, 50, 800, 600}},   // on the second screen, where it was
        {{2900, 50, 800, 600}, {2400, 50, 800, 600}},   // hanging off the second screen's edge
        {{-5000, -5000, 800, 600}, {0, 0, 800, 600}},   // on no screen there is now
        {{100, 900, 800, 600}, {100, 450, 800, 600}},   // below the bottom edge
        {{50, 50, 4000, 3000}, {0, 0, 1920, 1050}},     // larger than any screen
        {{1500, 100, 600, 400}, {1320, 100, 600, 400}}, // more on the primary than the right one
        {{1700, 100, 600, 400}, {1920, 100, 600, 400}}, // more on the right one
    };
    for (const auto& [stored, placed] : cases)
        EXPECT_EQ(PlaceOnScreens(stored, screens), placed) << WindowRectText(stored);
    EXPECT_EQ(PlaceOnScreens({5, 5, 10, 10}, {}), (WindowRect{5, 5, 10, 10}));
}

// Places and column widths go through Ampvane.ini unchanged; damaged ones are dropped as they are read.
TEST(WindowPlacement, StoredWithTheOtherSettingsAndDamagedLinesDropped) {
    Settings settings;
    settings.windowPlacements["workbench"] = "-20 35 800 600";
    settings.columnWidths["inflight"] = "0:80 7:64 999:9999";
    std::string text = ConfigurationText(settings, "8.09");
    for (const char* place : {"", "1 2 3", "1 2 3 4 5", "a b c d", "1 2 0 4", "1 2 3 -4", "1 2 99999999999 4"})
        text += std::string("window broken ") + place + "\r\n";
    for (const char* widths : {"3", "3:", ":60", "3:60x", "3:60,4:70", "-1:60", "1000:60", "3:0", "3:10000", "3:60 4"})
        text += std::string("columns broken ") + widths + "\r\n";
    Settings read;
    testing::RecordingMessages messages;
    ApplyConfigurationText(text + "columns report  3:60   5:1 \r\n", "Ampvane.ini", read, NumberLocale{}, messages);
    EXPECT_EQ(read.windowPlacements, settings.windowPlacements);
    settings.columnWidths["report"] = "3:60 5:1";
    EXPECT_EQ(read.columnWidths, settings.columnWidths);
    EXPECT_EQ(ConfigurationText(Settings{}, "8.09").find("window"), std::string::npos);
}

} // namespace
} // namespace ampvane
