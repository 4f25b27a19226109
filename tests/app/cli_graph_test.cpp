// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>

#include "common/file_write.h"
#include "support/command_run.h"
#include "support/test_paths.h"

// ampvane-cli graph, run as a user would run it.

namespace {


using ampvane::testing::CommandRun;

// Standard output and error together, as a user sees them.
CommandRun Shell(const std::string& command) {
    return ampvane::testing::RunCommand(command, ampvane::testing::Streams::Merged);
}

CommandRun Cli(const std::string& arguments) { return Shell(ampvane::testing::ProgramLine(AMPVANE_CLI, arguments)); }

const std::string kSample = std::string("'") + AMPVANE_SOURCE_DIR + "/app/cli/sample_project.txt'";

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

TEST(CliGraph, WritesPngAndSvgOfStaticAndInFlightReports) {
    ampvane::testing::TempDir dir;
    const std::string png = dir.file("g.png"), svg = dir.file("g.svg");
    const CommandRun made = Cli("graph " + kSample + " --x 'Motor Amps' --y 'Prop RPM' --y2 motor_gearbox_efficiency -o '" +
                            png + "'");
    ASSERT_EQ(made.status, 0) << made.out;
    std::string contents;
    ASSERT_TRUE(ampvane::ReadWholeFile(png, contents));
    EXPECT_EQ(contents.rfind("\x89PNG", 0), 0u);
    if (std::system("command -v identify >/dev/null 2>&1") == 0) {
        const CommandRun identify = Shell("identify -format '%m %wx%h %z' '" + png + "'");
        EXPECT_EQ(identify.out, "PNG 640x480 8") << identify.out;
    }

    const CommandRun flight = Cli("graph " + kSample + " --inflight 2 --x airspeed --y thrust --no-lines -o '" + svg + "'");
    ASSERT_EQ(flight.status, 0) << flight.out;
    ASSERT_TRUE(ampvane::ReadWholeFile(svg, contents));
    EXPECT_EQ(contents.rfind("<?xml", 0), 0u);
    EXPECT_NE(contents.find("fill=\"#ff0000\""), std::string::npos);
    EXPECT_EQ(contents.find("<polyline"), std::string::npos);
    EXPECT_EQ(contents.substr(contents.size() - 7), "</svg>\n");
}

TEST(CliGraph, BadInputIsRefusedWithAMessageAndLeavesNoFile) {
    ampvane::testing::TempDir dir;
    const std::string out = dir.file("g.png");
    const std::string axes = " --x 'Motor Amps' --y 'Prop RPM'";
    const std::pair<std::string, int> cases[] = {
        {" --x 'Motor Amps' --y 'No Such Thing' -o '" + out + "'", 2},
        {" --x bogus_key --y thrust -o '" + out + "'", 2},
        {axes + " --y2 '' -o '" + out + "'", 2},
        {axes + " -o '" + dir.file("g.txt") + "'", 2},
        {axes, 2},
        {" --y 'Prop RPM' -o '" + out + "'", 2},
        {axes + " --inflight 0 -o '" + out + "'", 2},
        {axes + " --inflight 99999 -o '" + out + "'", 1},
        {axes + " -o '" + dir.file("missing/g.png") + "'", 1},
        {axes + " -o '" + dir.file("missing/g.svg") + "'", 1},
    };
    for (const auto& [arguments, status] : cases) {
        const CommandRun run = Cli("graph " + kSample + arguments);
        EXPECT_EQ(run.status, status) << arguments << "\n" << run.out;
        EXPECT_FALSE(run.out.empty()) << arguments;
        EXPECT_LT(run.out.size(), 3000u) << arguments;
    }
    EXPECT_NE(Cli("graph " + kSample + " --x 'Motor Amps' --y 'No Such Thing' -o '" + out + "'")
                  .out.find("\"No Such Thing\""),
              std::string::npos);
    EXPECT_NE(Cli("graph " + kSample + axes + " -o '" + dir.file("missing/g.png") + "'").out.find("missing/g.png"),
              std::string::npos);
    EXPECT_FALSE(Exists(out));
    EXPECT_FALSE(Exists(dir.file("missing")));
}

} // namespace
