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

// The sample project with its flying conditions replaced.
std::string SampleWith(const ampvane::testing::TempDir& dir, const std::string& conditions) {
    std::string text;
    EXPECT_TRUE(ampvane::ReadWholeFile(std::string(AMPVANE_SOURCE_DIR) + "/app/cli/sample_project.txt", text));
    for (const char* key : {"Elevation=", "Pressure=", "Temperature="}) {
        const auto at = text.find(std::string("\n") + key);
        if (at != std::string::npos) text.erase(at + 1, text.find('\n', at + 1) - at);
    }
    text.insert(text.find("MetricMode="), conditions);
    const std::string file = dir.file("conditions.txt");
    EXPECT_TRUE(ampvane::WriteFileAtomically(file, text).empty());
    return "'" + file + "'";
}

// Flying conditions the options refuse are left out with a warning and the search goes on at the
// elevation it then uses; --advanced, or a settings file's advwizard line, brings the pressure and
// temperature checks of the search.
TEST(CliWizard, FlyingConditions) {
    ampvane::testing::TempDir dir;
    ASSERT_TRUE(ampvane::WriteFileAtomically(dir.file("advanced.ini"), "version 8.09\r\nadvwizard\r\n").empty());
    ASSERT_TRUE(ampvane::WriteFileAtomically(dir.file("plain.ini"), "version 8.09\r\nmetric\r\n").empty());
    const std::string advanced = " --settings '" + dir.file("advanced.ini") + "'";
    const std::string plain = " --settings '" + dir.file("plain.ini") + "'";
    struct Case {
        const char* conditions;
        std::string options;
        int status;
        const char* expected;
    };
    const Case cases[] = {
        {"Elevation=40000\n", "", 0,
         "The Elevation (40000) in the project text is outside the range the options accept and is not used."},
        {"Elevation=40000\n", "", 0, "Elevation: 0 ft"},
        {"Elevation=1500\n", "", 0, "Elevation: 1500 ft"},
        {"Pressure=27.95\n", "", 0, "Sea-level Pressure: 27.95 inHg"},
        {"Pressure=27.95\n", " --advanced", 1,
         "The sea level pressure, if specified, must be between 28 and 32 inHg (94.8 and 108.3 kPa)."},
        {"Pressure=29.5\nTemperature=70\n", " --advanced", 0, "Air Temperature: 70°F"},
        {"Pressure=27.95\n", advanced, 1,
         "The sea level pressure, if specified, must be between 28 and 32 inHg (94.8 and 108.3 kPa)."},
        // The file's units are not the project's: the pressure stays in inHg, and unchecked.
        {"Pressure=27.95\n", plain, 0, "Sea-level Pressure: 27.95 inHg"},
    };
    for (const Case& c : cases) {
        const CommandRun run = Cli(dir, "wizard " + SampleWith(dir, c.conditions) + c.options);
        EXPECT_EQ(run.status, c.status) << c.conditions << c.options << "\n" << run.out;
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << c.conditions << c.options << "\n" << run.out;
    }
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
