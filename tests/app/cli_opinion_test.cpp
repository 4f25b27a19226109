// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "common/file_write.h"
#include "support/command_run.h"
#include "support/test_paths.h"

// ampvane-cli opinion, run as a user would run it.

namespace {


using ampvane::testing::CommandRun;

// Standard output and error together, as a user sees them.
CommandRun Cli(const std::string& arguments) {
    using namespace ampvane::testing;
    return RunCommand(ProgramLine(AMPVANE_CLI, arguments), Streams::Merged);
}

const std::string kSample = std::string("'") + AMPVANE_SOURCE_DIR + "/app/cli/sample_project.txt'";

TEST(CliOpinion, TextOnStandardOutput) {
    const CommandRun run = Cli("opinion " + kSample + " --row 1");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.rfind("AmpvaneOpinion - Untitled\n", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\nMotor: "), std::string::npos);
    EXPECT_NE(run.out.find("\nGeneral Notes:\n"), std::string::npos);
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
}

TEST(CliOpinion, FormatFromTheOutputNameOrTheOption) {
    ampvane::testing::TempDir dir;
    std::string contents;
    ASSERT_EQ(Cli("opinion " + kSample + " --row 2 -o '" + dir.file("a.RTF") + "'").status, 0);
    ASSERT_TRUE(ampvane::ReadWholeFile(dir.file("a.RTF"), contents));
    EXPECT_EQ(contents.rfind("{\\rtf1", 0), 0u);
    ASSERT_EQ(Cli("opinion " + kSample + " --row 2 -o '" + dir.file("a.htm") + "'").status, 0);
    ASSERT_TRUE(ampvane::ReadWholeFile(dir.file("a.htm"), contents));
    EXPECT_EQ(contents.rfind("<html><head>\r\n", 0), 0u);
    EXPECT_NE(contents.find("</body></html>"), std::string::npos);
    const CommandRun html = Cli("opinion " + kSample + " --row 2 --format html");
    EXPECT_EQ(html.status, 0);
    EXPECT_EQ(html.out.rfind("<html>", 0), 0u);
    ASSERT_EQ(Cli("opinion " + kSample + " --row 2 --format text -o '" + dir.file("b.rtf") + "'").status, 0);
    ASSERT_TRUE(ampvane::ReadWholeFile(dir.file("b.rtf"), contents));
    EXPECT_EQ(contents.rfind("AmpvaneOpinion - ", 0), 0u);
}

TEST(CliOpinion, UsageErrorsAndRejectedInput) {
    EXPECT_EQ(Cli("opinion " + kSample).status, 2);
    EXPECT_EQ(Cli("opinion --row 1").status, 2);
    EXPECT_EQ(Cli("opinion " + kSample + " --row 0").status, 2);
    EXPECT_EQ(Cli("opinion " + kSample + " --row x").status, 2);
    EXPECT_EQ(Cli("opinion " + kSample + " --row 1 --format pdf").status, 2);
    EXPECT_EQ(Cli("opinion " + kSample + " --row 1 --throttle 50").status, 2);

    const CommandRun beyond = Cli("opinion " + kSample + " --row 9999");
    EXPECT_EQ(beyond.status, 1);
    EXPECT_NE(beyond.out.find("there is no row 9999"), std::string::npos) << beyond.out;
    const CommandRun missing = Cli("opinion /no/such/project.txt --row 1");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("cannot read the project file"), std::string::npos);

    ampvane::testing::TempDir dir;
    const std::string target = dir.file("none/opinion.txt");
    const CommandRun unwritable = Cli("opinion " + kSample + " --row 1 -o '" + target + "'");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.out.find("could not be opened for writing"), std::string::npos) << unwritable.out;
}

} // namespace
