// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "common/window_placement.h"
#include "support/recording_messages.h"
#include "workbench/configuration.h"

namespace ampvane {
namespace {

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
