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

TEST(CliGraph, WritesEveryFormatAtItsSizeWithTheReportsCaptionAsTitle) {
    ampvane::testing::TempDir dir;
    const bool tools = std::system("command -v identify >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1") == 0;
    const struct {
        const char* file;
        const char* arguments;
        const char* identify;
    } cases[] = {
        {"g.png", " --x 'Motor Amps' --y 'Prop RPM' --y2 motor_gearbox_efficiency", "PNG 640x480 8"},
        {"g.jpg", " --size 800x600 --scale 2", "JPEG 1600x1200 8"},
        {"g.bmp", " --inflight 2 --x airspeed --y thrust --size 200x150", "BMP3 200x150 8"},
    };
    for (const auto& c : cases) {
        const CommandRun made = Cli("graph " + kSample + c.arguments + " -o '" + dir.file(c.file) + "'");
        ASSERT_EQ(made.status, 0) << c.file << "\n" << made.out;
        if (tools) {
            EXPECT_EQ(Shell("identify -format '%m %wx%h %z' '" + dir.file(c.file) + "'").out, c.identify);
        }
    }

    // The vector formats carry the title for readers: the SVG's title element, the PDF's text.
    const std::string svg = dir.file("g.svg"), pdf = dir.file("g.pdf");
    const CommandRun flight = Cli("graph " + kSample + " --inflight 2 --x airspeed --y thrust --y2 drag --no-lines -o '" + svg + "'");
    ASSERT_EQ(flight.status, 0) << flight.out;
    std::string contents;
    ASSERT_TRUE(ampvane::ReadWholeFile(svg, contents));
    EXPECT_EQ(contents.rfind("<?xml", 0), 0u);
    EXPECT_NE(contents.find("<title>In-flight Analysis - Untitled</title>"), std::string::npos);
    ASSERT_EQ(Cli("graph " + kSample + " --inflight 2 --x airspeed --y thrust --y2 drag -o '" + pdf + "'").status, 0);
    if (tools) {
        const std::string text = Shell("pdftotext '" + pdf + "' -").out;
        for (const char* words : {"In-flight Analysis - Untitled", "Thrust (oz) (left axis)", "Drag (oz) (right axis)"})
            EXPECT_NE(text.find(words), std::string::npos) << words << "\n" << text;
    }
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
        {axes + " --inflight 0 -o '" + out + "'", 2},
        {axes + " --inflight 99999 -o '" + out + "'", 1},
        {axes + " -o '" + dir.file("missing/g.png") + "'", 1},
        {axes + " -o '" + dir.file("missing/g.svg") + "'", 1},
        {axes + " -o '" + dir.file("missing/g.pdf") + "'", 1},
        {axes + " --size 100x100 -o '" + out + "'", 2},
        {axes + " --size 640 -o '" + out + "'", 2},
        {axes + " --scale 5 -o '" + out + "'", 2},
        {axes + " --size 4096x4096 --scale 2 -o '" + out + "'", 2},
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
