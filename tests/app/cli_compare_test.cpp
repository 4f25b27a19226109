// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "common/file_write.h"
#include "support/command_run.h"
#include "support/test_paths.h"

// ampvane-cli compare, run as a user would run it.

namespace {


using ampvane::testing::CommandRun;

// Standard output and error together, as a user sees them.
CommandRun Cli(const std::string& arguments) {
    using namespace ampvane::testing;
    return RunCommand(ProgramLine(AMPVANE_CLI, arguments), Streams::Merged);
}

const std::string kSample = std::string("'") + AMPVANE_SOURCE_DIR + "/app/cli/sample_project.txt'";

TEST(CliCompare, RowsSideBySideInEachFormat) {
    const CommandRun text = Cli("compare " + kSample + " --rows 1,2,3");
    ASSERT_EQ(text.status, 0) << text.out;
    EXPECT_EQ(text.out.rfind("Comparison - Untitled\n", 0), 0u) << text.out;
    EXPECT_NE(text.out.find("\nMotor "), std::string::npos);
    EXPECT_NE(text.out.find("\nNote: Motor performance calculations"), std::string::npos);

    ampvane::testing::TempDir dir;
    std::string contents;
    ASSERT_EQ(Cli("compare " + kSample + " --rows 2,1 -o '" + dir.file("c.csv") + "'").status, 0);
    ASSERT_TRUE(ampvane::ReadWholeFile(dir.file("c.csv"), contents));
    EXPECT_EQ(contents.rfind("\"Comparison - Untitled\",\"\",\"\"\n", 0), 0u) << contents;
    const CommandRun html = Cli("compare " + kSample + " --rows 4 --format html");
    ASSERT_EQ(html.status, 0) << html.out;
    EXPECT_EQ(html.out.rfind("<html><head>\n<title>Comparison - Untitled</title>", 0), 0u);
}

TEST(CliCompare, BadRowsAreRefusedWithAMessage) {
    const std::pair<const char*, int> cases[] = {
        {" --rows 0", 2},           {" --rows 1,,2", 2},      {" --rows x", 2},
        {" --rows 1,2,3,4,5,6,7,8,9,10,11", 2}, {" --rows 999999", 1}, {" --rows 1 --format rtf", 2},
        {"", 2},
    };
    for (const auto& [arguments, status] : cases) {
        const CommandRun run = Cli("compare " + kSample + arguments);
        EXPECT_EQ(run.status, status) << arguments << "\n" << run.out;
        EXPECT_FALSE(run.out.empty()) << arguments;
    }
    EXPECT_NE(Cli("compare " + kSample + " --rows 999999").out.find("there is no row 999999"), std::string::npos);
    const CommandRun full = Cli("compare " + kSample + " --rows 1 -o /dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.out.find("/dev/full"), std::string::npos) << full.out;
}

} // namespace
