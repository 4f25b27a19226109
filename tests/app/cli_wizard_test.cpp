// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "common/file_write.h"
#include "support/command_run.h"
#include "support/test_paths.h"

// ampvane-cli wizard, run as a user would run it, over a fresh data folder.

namespace {


using ampvane::testing::CommandRun;

// Standard output and error together, with a data folder of the test's own.
CommandRun Cli(const ampvane::testing::TempDir& data, const std::string& arguments) {
    using namespace ampvane::testing;
    return RunCommand(ProgramLine(AMPVANE_CLI, arguments, data.file("data")), Streams::Merged);
}

const std::string kSample = std::string("'") + AMPVANE_SOURCE_DIR + "/app/cli/sample_project.txt'";

TEST(CliWizard, SearchApplyAndReport) {
    ampvane::testing::TempDir dir;
    const CommandRun json = Cli(dir, "wizard " + kSample + " --format json");
    ASSERT_EQ(json.status, 0) << json.out;
    EXPECT_NE(json.out.find("\"results\": ["), std::string::npos);
    EXPECT_NE(json.out.find("\"rating_text\": \"1.000\""), std::string::npos);
    EXPECT_NE(json.out.find("\"too_heavy\": "), std::string::npos);

    const CommandRun text = Cli(dir, "wizard " + kSample);
    ASSERT_EQ(text.status, 0) << text.out;
    EXPECT_EQ(text.out.rfind("The AmpvaneWizard has analysed ", 0), 0u) << text.out;

    // The project of result 1 is one the report command computes.
    const std::string project = dir.file("applied.txt");
    ASSERT_EQ(Cli(dir, "wizard " + kSample + " --apply 1 -o '" + project + "'").status, 0);
    std::string contents;
    ASSERT_TRUE(ampvane::ReadWholeFile(project, contents));
    EXPECT_NE(contents.find("Generic "), std::string::npos);
    const CommandRun report = Cli(dir, "report '" + project + "'");
    EXPECT_EQ(report.status, 0) << report.out;

    // A bare stored text searches on the sample project's plane.
    const std::string bare = dir.file("answers.txt");
    ASSERT_TRUE(ampvane::WriteFileAtomically(bare, "3;10;17\"Any Manufacturer\"20;24;28;18!0!34;\n").empty());
    EXPECT_EQ(Cli(dir, "wizard '" + bare + "' --format csv").status, 0);
}

TEST(CliWizard, RefusedInput) {
    ampvane::testing::TempDir dir;
    EXPECT_EQ(Cli(dir, "wizard").status, 2);
    EXPECT_EQ(Cli(dir, "wizard " + kSample + " --format pdf").status, 2);
    EXPECT_EQ(Cli(dir, "wizard " + kSample + " --apply 0").status, 2);
    EXPECT_EQ(Cli(dir, "wizard '" + dir.file("missing.txt") + "'").status, 1);
    const CommandRun many = Cli(dir, "wizard " + kSample + " --apply 99999");
    EXPECT_EQ(many.status, 1);
    EXPECT_NE(many.out.find("--apply 99999: the search found "), std::string::npos) << many.out;
}

} // namespace
