// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "common/file_write.h"
#include "support/command_run.h"
#include "support/test_paths.h"

// ampvane-cli table, run as a user would run it, on a data folder of its own (the shipped tables are
// copied into it on the first run).

namespace {


class CliTable : public ::testing::Test {
protected:
    ampvane::testing::CommandRun Cli(const std::string& arguments) {
        using namespace ampvane::testing;
        return RunCommand(ProgramLine(AMPVANE_CLI, arguments, dir.file("data")), Streams::Merged);
    }
    ampvane::testing::TempDir dir;
};

TEST_F(CliTable, ListExportAndImportAgain) {
    const ampvane::testing::CommandRun list = Cli("table list speed --find ASTRO");
    ASSERT_EQ(list.status, 0) << list.out;
    EXPECT_NE(list.out.find("Astro 210\n"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find("Jeti"), std::string::npos);

    const std::string file = dir.file("motors.htm");
    ASSERT_EQ(Cli("table export '" + file + "' --table motor").status, 0);
    std::string contents;
    ASSERT_TRUE(ampvane::ReadWholeFile(file, contents));
    EXPECT_EQ(contents.rfind("<html><head>\r\n", 0), 0u);
    const ampvane::testing::CommandRun again = Cli("table import '" + file + "' --table motor");
    EXPECT_EQ(again.status, 0) << again.out;
    EXPECT_NE(again.out.find("There was no new data to revise or add to the Ampvane database."), std::string::npos);

    ASSERT_EQ(Cli("table export '" + dir.file("all.txt") + "'").status, 0);
    ASSERT_TRUE(ampvane::ReadWholeFile(dir.file("all.txt"), contents));
    EXPECT_NE(contents.find("\r\nEnd Ampvane8 Project Table\r\n"), std::string::npos);
}

TEST_F(CliTable, ImportErrorsAndUsage) {
    ASSERT_EQ(ampvane::WriteFileAtomically(dir.file("bad.txt"), "Begin Ampvane8 Cell Table\nCELLNAME CAPACITY\n"), "");
    const ampvane::testing::CommandRun bad = Cli("table import '" + dir.file("bad.txt") + "'");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("The columns in the import file are not tab delimited"), std::string::npos) << bad.out;
    const ampvane::testing::CommandRun none = Cli("table import '" + dir.file("bad.txt") + "' --table motor");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.out.find("No Ampvane Motor data was found in the import file. No Motors were imported."),
              std::string::npos);
    EXPECT_EQ(Cli("table list rotor").status, 2);
    EXPECT_EQ(Cli("table sort motor").status, 2);
    EXPECT_EQ(Cli("table export x.csv").status, 2);
}

} // namespace
