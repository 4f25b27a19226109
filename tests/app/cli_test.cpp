// SPDX-License-Identifier: GPL-3.0-or-later
// ampvane-cli as a user runs it: exit status, standard output and standard error.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "common/file_write.h"
#include "support/command_run.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

using CliRun = testing::CommandRun;

// Standard output (or the file it is sent to instead) and standard error apart.
CliRun Cli(const std::vector<std::string>& args, const std::string& stdoutTarget = "") {
    std::string line = testing::ProgramLine(AMPVANE_CLI, testing::ShellArguments(args));
    if (!stdoutTarget.empty()) line += " > " + testing::ShellQuote(stdoutTarget);
    return testing::RunCommand(line);
}

std::string ProjectFile(const std::string& name) {
    return (testing::TestDataDir() / "project" / name).string();
}

int CountLines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(CliUsage, HelpAndVersionSucceed) {
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: ampvane-cli COMMAND"), std::string::npos);
    EXPECT_NE(help.out.find("inflight PROJECT_FILE|--project NAME --row N"), std::string::npos);
    EXPECT_NE(help.out.find("project save FILE [--replace]"), std::string::npos);
    // One command's usage, asked either way.
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"help", "graph"}, {"graph", "--help"}}) {
        const CliRun one = Cli(arguments);
        EXPECT_EQ(one.status, 0);
        EXPECT_EQ(one.out.rfind("Usage:\n  graph PROJECT_FILE", 0), 0u) << one.out;
        EXPECT_EQ(one.out.find("report ["), std::string::npos) << one.out;
    }
    EXPECT_EQ(Cli({"help", "nosuch"}).status, 2);
}

// Each program names itself, its version and its licence, without needing a display or a data folder.
TEST(CliUsage, EveryProgramShowsItsVersionAndLicence) {
    std::vector<std::pair<std::string, std::string>> programs = {{"ampvane-cli", AMPVANE_CLI}};
#ifdef AMPVANE_SERVER
    programs.emplace_back("ampvane-server", AMPVANE_SERVER);
#endif
#ifdef AMPVANE_DESKTOP
    programs.emplace_back("ampvane", AMPVANE_DESKTOP);
#endif
    for (const auto& [name, path] : programs) {
        SCOPED_TRACE(name);
        const CliRun version =
            testing::RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY " + testing::ShellQuote(path) + " --version");
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out.substr(0, version.out.find('\n')), name + " 8.09");
        EXPECT_NE(version.out.find("\nCopyright (C) 2026 the Ampvane developers\n"), std::string::npos);
        EXPECT_NE(version.out.find("GNU GPL version 3 or later"), std::string::npos);
        EXPECT_NE(version.out.find("NO WARRANTY"), std::string::npos);
    }
}

TEST(CliUsage, UsageErrorsExitWithTwoAndSayWhy) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "Usage:"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"report", "--format", "xml"}, "unknown format \"xml\""},
        {{"report", "--format"}, "--format needs a value"},
        {{"report", "--bogus"}, "unknown option \"--bogus\""},
        {{"report", "a.avp", "b.avp"}, "unexpected argument \"b.avp\""},
        {{"report", "--row", "2"}, "unknown option \"--row\""},
        {{"inflight", ProjectFile("imperial.avp")}, "inflight needs --row N"},
        {{"inflight", "--row", "2"}, "inflight needs a project file"},
        {{"inflight", ProjectFile("imperial.avp"), "--row", "0"}, "--row needs a whole number"},
        {{"inflight", ProjectFile("imperial.avp"), "--row", "x"}, "--row needs a whole number"},
        {{"inflight", ProjectFile("imperial.avp"), "--row", "2", "--throttle", "150"}, "--throttle needs a whole"},
        {{"inflight", ProjectFile("imperial.avp"), "--row", "2", "--throttle", "-5"}, "--throttle needs a whole"},
    };
    for (const auto& c : cases) {
        const CliRun run = Cli(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST(CliReport, BuiltInSampleProject) {
    const CliRun run = Cli({"report"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Static Analysis - Untitled\nSea Level, 29.92inHg, 59\xC2\xB0" "F\n", 0), 0u);
    EXPECT_NE(run.out.find("Motor: Astro Cobalt 05 7T#20 #605;"), std::string::npos);
    EXPECT_NE(run.out.find("Speed Control: Astro 210;"), std::string::npos);
    EXPECT_NE(run.out.find("Airframe: Great Planes Spectra;"), std::string::npos);
    // Title, conditions, blank, five descriptions, blank, two headers, blank, 18 rows, blank, note, footer.
    EXPECT_EQ(CountLines(run.out), 2 + 1 + 5 + 1 + 2 + 1 + 18 + 1 + 2);
    EXPECT_EQ(run.err, "");
}

TEST(CliReport, BuiltInSampleFliesAtBothMarkers) {
    const std::string sample = std::string(AMPVANE_SOURCE_DIR) + "/app/cli/sample_project.txt";
    const CliRun run = Cli({"inflight", sample, "--row", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto stats = run.out.find("\nStats: ");
    ASSERT_NE(stats, std::string::npos);
    const std::string line = run.out.substr(stats, run.out.find('\n', stats + 1) - stats);
    // A throttle after each marker: level flight is reached at the best lift-to-drag and hands-off speeds.
    EXPECT_NE(line.find("mph opt @ "), std::string::npos) << line;
    EXPECT_NE(line.find("mph level @ "), std::string::npos) << line;
}

// The stored projects of a fresh data folder: listed, printed as project text, reported exactly as
// that text is, and stored again from a text.
TEST(CliProject, StoredProjectsListTextReportAndSave) {
    testing::TempDir data;
    setenv("AMPVANE_DATA_DIR", data.path().c_str(), 1);
    const CliRun list = Cli({"project", "list"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(CountLines(list.out), 6);
    std::size_t start = 0;
    while (start < list.out.size()) {
        const std::string name = list.out.substr(start, list.out.find('\n', start) - start);
        start += name.size() + 1;
        const std::string text = data.file("project.txt");
        ASSERT_EQ(Cli({"project", "text", name, "-o", text}).status, 0) << name;
        for (const char* command : {"report", "inflight", "opinion"}) {
            std::vector<std::string> stored{command, "--project", name}, fromText{command, text};
            if (std::string(command) != "report") {
                for (auto* args : {&stored, &fromText}) args->insert(args->end(), {"--row", "1"});
            }
            const CliRun a = Cli(stored), b = Cli(fromText);
            EXPECT_EQ(a.status, b.status) << name << " " << command;
            // The footer's time may tick between the runs.
            EXPECT_EQ(a.out.substr(0, a.out.rfind("Generated by")), b.out.substr(0, b.out.rfind("Generated by")))
                << name << " " << command;
        }
    }
    std::string text;
    ASSERT_TRUE(ReadWholeFile(data.file("project.txt"), text));
    EXPECT_EQ(Cli({"project", "save", data.file("project.txt")}).status, 1); // stored already
    EXPECT_EQ(Cli({"project", "save", data.file("project.txt"), "--replace"}).status, 0);
    EXPECT_EQ(Cli({"report", "--project", "No such project"}).status, 1);
    EXPECT_EQ(Cli({"report", data.file("project.txt"), "--project", "Twin Cargo on 3S"}).status, 2);
    EXPECT_EQ(Cli({"project", "frobnicate"}).status, 2);
    unsetenv("AMPVANE_DATA_DIR");
}

TEST(CliReport, FormatsByOptionAndByOutputExtension) {
    const CliRun json = Cli({"report", ProjectFile("imperial.avp"), "--format", "json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out.rfind("{\n  \"mode\": \"static\",", 0), 0u);
    EXPECT_NE(json.out.find("\"motor_current\": {\"value\": "), std::string::npos);

    testing::TempDir dir;
    const CliRun csv = Cli({"report", ProjectFile("imperial.avp"), "-o", dir.file("report.CSV")});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out, "");
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(dir.file("report.CSV"), contents));
    EXPECT_EQ(contents.rfind("\"Static Analysis - Imperial Spectra\",\"\"", 0), 0u);

    const CliRun html = Cli({"report", "-o", dir.file("report.htm")});
    ASSERT_EQ(html.status, 0);
    ASSERT_TRUE(ReadWholeFile(dir.file("report.htm"), contents));
    EXPECT_EQ(contents.rfind("<html><head>", 0), 0u);
    EXPECT_EQ(Cli({"report", "--format", "csv", "-o", "/dev/null"}).status, 0);
}

TEST(CliReport, RejectedInputExitsWithOneAndTheExactMessage) {
    testing::TempDir dir;
    std::string sample;
    ASSERT_TRUE(ReadWholeFile(ProjectFile("imperial.avp"), sample));
    const auto withLine = [&](const std::string& from, const std::string& to) {
        std::string text = sample;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {withLine("MotorConstantEdit=2350", "MotorConstantEdit=abc"),
         "The value in the Motor Constant field is invalid."},
        {withLine("CellVoltageEdit=1.2", "CellVoltageEdit=9"),
         "The value in the Cell Voltage field is too large. It must be at most 4.2."},
        {withLine("PropellerDiameterFromEdit=10", "PropellerDiameterFromEdit="),
         "The value in the Minimum Propeller Diameter field is invalid."},
        {"no project in here\n", "no project found"},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file("project.avp");
        ASSERT_EQ(WriteFileAtomically(path, c.text), "");
        const CliRun run = Cli({"report", path});
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const CliRun missing = Cli({"report", dir.file("missing.avp")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot read the project file"), std::string::npos);

    const CliRun unwritable = Cli({"report", "-o", dir.file("no folder/report.txt")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("No such file or directory"), std::string::npos) << unwritable.err;

    const CliRun full = Cli({"report"}, "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("cannot write the report"), std::string::npos);
}

// Each failure to read or write names its real cause; the output is checked before anything is
// computed, and a replaced output keeps its permission bits.
TEST(CliReport, InputAndOutputFailuresNameTheirCause) {
    testing::TempDir dir;
    const CliRun folder = Cli({"report", dir.path().string()});
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.err.find("cannot read the project file \"" + dir.path().string() + "\": Is a directory"),
              std::string::npos)
        << folder.err;
    const struct {
        std::string output;
        const char* cause;
    } outputs[] = {
        {dir.file("missing/report.csv"), "No such file or directory"},
        {dir.path().string(), "Is a directory"},
        {"/dev/full", "No space left on device"},
    };
    for (const auto& c : outputs) {
        // A project that would be refused: the output's failure comes first, before any computing.
        const std::string refused = dir.file("refused.avp");
        ASSERT_EQ(WriteFileAtomically(refused, "Begin Ampvane Project\nName\nMotorConstantEdit=abc\n"), "");
        const std::string project = c.output == "/dev/full" ? ProjectFile("imperial.avp") : refused;
        const CliRun run = Cli({"report", project, "-o", c.output});
        EXPECT_EQ(run.status, 1) << c.output;
        EXPECT_NE(run.err.find(c.cause), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("Motor Constant"), std::string::npos) << run.err;
    }
    const std::string kept = dir.file("kept.csv");
    ASSERT_EQ(WriteFileAtomically(kept, "old"), "");
    std::filesystem::permissions(kept, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(Cli({"report", "-o", kept}).status, 0);
    EXPECT_EQ(std::filesystem::status(kept).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(CliReport, ImperialAndMetricProjectsReportTheSameRows) {
    const CliRun imperial = Cli({"report", ProjectFile("imperial.avp"), "--format", "csv"});
    const CliRun metric = Cli({"report", ProjectFile("metric.avp"), "--format", "csv"});
    ASSERT_EQ(imperial.status, 0) << imperial.err;
    ASSERT_EQ(metric.status, 0) << metric.err;
    EXPECT_EQ(CountLines(imperial.out), CountLines(metric.out));
    EXPECT_NE(metric.out.find("\"Weight (g)\""), std::string::npos);
    // Current does not depend on the display units.
    const auto firstRowCurrent = [](const std::string& csv) {
        const auto header = csv.find("\"Cells \"");
        const auto row = csv.find('\n', header) + 1;
        std::vector<std::string> fields;
        std::string field;
        for (auto i = row; csv[i] != '\n'; ++i) {
            if (csv[i] == ',') {
                fields.push_back(field);
                field.clear();
            } else {
                field += csv[i];
            }
        }
        return fields.at(6); // Cells, Gear, Diam, Pitch, Weight, Batt, Motor Amps
    };
    EXPECT_EQ(firstRowCurrent(imperial.out), firstRowCurrent(metric.out));
}

TEST(CliInFlight, RowAndThrottle) {
    const CliRun run = Cli({"inflight", ProjectFile("imperial.avp"), "--row", "5", "--throttle", "50"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("In-flight Analysis - Imperial Spectra at 50% Throttle\n", 0), 0u);
    EXPECT_NE(run.out.find("11x7 (Pconst="), std::string::npos);
    EXPECT_NE(run.out.find("AirSpd"), std::string::npos);

    const CliRun json = Cli({"inflight", ProjectFile("metric.avp"), "--row", "1", "--format", "json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"mode\": \"inflight\""), std::string::npos);
    EXPECT_NE(json.out.find("\"stall_speed_mph\": 1"), std::string::npos);

    const CliRun beyond = Cli({"inflight", ProjectFile("imperial.avp"), "--row", "19"});
    EXPECT_EQ(beyond.status, 1);
    EXPECT_NE(beyond.err.find("there is no row 19: the report has 18 rows"), std::string::npos);
}

} // namespace
} // namespace ampvane
