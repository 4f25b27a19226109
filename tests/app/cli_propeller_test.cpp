// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "support/command_run.h"
#include "support/test_paths.h"

// The propeller commands of ampvane-cli and a project that names a measured propeller, run as a
// user would run them, each on a data folder of its own.

namespace {

using ampvane::testing::CommandRun;
using ampvane::testing::TempDir;

CommandRun Cli(const TempDir& data, const std::string& arguments) {
    using namespace ampvane::testing;
    return RunCommand(ProgramLine(AMPVANE_CLI, arguments, data.file("data")), Streams::Separate);
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

constexpr const char* kCsv = "rpm,J,CT,CP\n"
                             "3000,0,0.12,0.052\n3000,0.2,0.105,0.05\n3000,0.4,0.08,0.045\n3000,0.6,0.045,0.035\n"
                             "3000,0.8,0.0,0.02\n"
                             "9000,0,0.118,0.05\n9000,0.2,0.103,0.048\n9000,0.4,0.078,0.043\n9000,0.6,0.043,0.033\n"
                             "9000,0.8,-0.005,0.018\n";

TEST(CliPropeller, ImportListShowFitRenameDeleteExport) {
    TempDir dir;
    const std::string csv = dir.file("wood.csv");
    Write(csv, kCsv);
    const auto q = [](const std::string& s) { return ampvane::testing::ShellQuote(s); };

    CommandRun run = Cli(dir, "propeller import " + q(csv) + " --name " + q("Wood 11x7") + " --diameter 11 --pitch 7");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Imported \"Wood 11x7\": 11 x 7 in, 2 blades, measured data, 2 static points, 2 runs of 10 points.\n");
    // The same name again is refused and the stored one stays.
    run = Cli(dir, "propeller import " + q(csv) + " --name " + q("Wood 11x7") + " --diameter 12 --pitch 7");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("is already stored"), std::string::npos);
    // A broken file names its line and stores nothing.
    Write(dir.file("bad.csv"), "rpm,J,CT,CP\n3000,0.2,x,0.05\n");
    run = Cli(dir, "propeller import " + q(dir.file("bad.csv")) + " --diameter 10 --pitch 6");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ampvane-cli: " + dir.file("bad.csv") + ", line 2: \"x\" is not a number.\n");

    EXPECT_EQ(Cli(dir, "propeller list").out, "Wood 11x7\n");

    run = Cli(dir, "propeller show " + q("Wood 11x7") + " --rpm 6000 --speed 20 --format json");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json shown = nlohmann::json::parse(run.out);
    for (const char* key : {"ct", "cp", "thrust_oz", "power_w", "torque_inoz", "efficiency", "rpm", "speed_mph"})
        EXPECT_TRUE(shown.contains(key) && shown[key].is_number()) << key;
    EXPECT_EQ(shown["rpm"], 6000);
    EXPECT_GT(shown["thrust_oz"].get<double>(), 0);
    // Power over angular speed is the torque: P / (2 pi n), N·m to in.oz.
    EXPECT_NEAR(shown["torque_inoz"].get<double>(),
                shown["power_w"].get<double>() / (2 * 3.14159265358979 * 100) * 141.6119, 1e-6);

    run = Cli(dir, "propeller fit " + q("Wood 11x7") + " --format json");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json fit = nlohmann::json::parse(run.out);
    EXPECT_GT(fit["prop_constant"].get<double>(), 0.5);
    EXPECT_EQ(fit["points"], 2);

    EXPECT_EQ(Cli(dir, "propeller rename " + q("Wood 11x7") + " " + q("Birch 11x7")).status, 0);
    EXPECT_EQ(Cli(dir, "propeller export " + q("Birch 11x7") + " " + q(dir.file("out.avprop"))).status, 0);
    EXPECT_EQ(Cli(dir, "propeller delete " + q("Birch 11x7")).status, 0);
    EXPECT_EQ(Cli(dir, "propeller list").out, "");
    run = Cli(dir, "propeller import " + q(dir.file("out.avprop")));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Cli(dir, "propeller list").out, "Birch 11x7\n");
    EXPECT_EQ(Cli(dir, "propeller show Nothing").status, 1);
    EXPECT_EQ(Cli(dir, "propeller frobnicate").status, 2);
}

// A project names the measured propeller by one line; the report says so, and the same project
// without the line gives the two-constant report.
TEST(CliPropeller, ProjectUsesTheMeasuredPropellerByName) {
    TempDir dir;
    const auto q = [](const std::string& s) { return ampvane::testing::ShellQuote(s); };
    Write(dir.file("wood.csv"), kCsv);
    ASSERT_EQ(Cli(dir, "propeller import " + q(dir.file("wood.csv")) + " --name Wood --diameter 11 --pitch 7").status, 0);

    std::ifstream sample(std::filesystem::path(AMPVANE_SOURCE_DIR) / "app/cli/sample_project.txt");
    std::string project((std::istreambuf_iterator<char>(sample)), {});
    const std::string driveLine = "DriveSystemNameEdit=";
    const auto at = project.find(driveLine);
    ASSERT_NE(at, std::string::npos);
    std::string measured = project;
    measured.insert(project.find('\n', at) + 1, "MeasuredPropeller=Wood\n");
    Write(dir.file("two.txt"), project);
    Write(dir.file("measured.txt"), measured);

    const CommandRun two = Cli(dir, "report " + q(dir.file("two.txt")) + " --format json");
    const CommandRun wood = Cli(dir, "report " + q(dir.file("measured.txt")) + " --format json");
    ASSERT_EQ(two.status, 0) << two.err;
    ASSERT_EQ(wood.status, 0) << wood.err;
    const nlohmann::json a = nlohmann::json::parse(two.out), b = nlohmann::json::parse(wood.out);
    EXPECT_EQ(a["caption"], "Static Analysis - Untitled");
    EXPECT_EQ(b["caption"], "Static Analysis - Untitled (measured propeller Wood)");
    bool described = false;
    for (const auto& line : b["description"]) described = described || line.get<std::string>().find("(measured: Wood)") != std::string::npos;
    EXPECT_TRUE(described);
    // One diameter and pitch: the propeller's own.
    for (const auto& row : b["rows"]) {
        EXPECT_EQ(row["values"]["diameter"]["value"], 11);
        EXPECT_EQ(row["values"]["pitch"]["value"], 7);
    }

    // The two models side by side: with fitted constants they agree at rest to within the fit.
    const CommandRun compared = Cli(dir, "propeller compare Wood " + q(dir.file("two.txt")) + " --format json");
    ASSERT_EQ(compared.status, 0) << compared.err;
    const nlohmann::json c = nlohmann::json::parse(compared.out);
    EXPECT_EQ(c["constants"], "fitted");
    ASSERT_GT(c["rows"].size(), 10u);
    const auto& rest = c["rows"][0];
    EXPECT_NEAR(rest["measured_thrust_oz"].get<double>() / rest["constants_thrust_oz"].get<double>(), 1, 0.05);
    EXPECT_NEAR(rest["measured_power_w"].get<double>() / rest["constants_power_w"].get<double>(), 1, 0.05);

    // The same comparison as a graph, and the same table printed; a file that is no picture is refused
    // before anything is computed or printed.
    const std::string svg = dir.file("compare.svg");
    const CommandRun graphed = Cli(dir, "propeller compare Wood " + q(dir.file("two.txt")) + " --graph " + q(svg));
    ASSERT_EQ(graphed.status, 0) << graphed.err;
    EXPECT_EQ(graphed.out, Cli(dir, "propeller compare Wood " + q(dir.file("two.txt"))).out);
    std::ifstream svgFile(svg);
    const std::string picture((std::istreambuf_iterator<char>(svgFile)), {});
    EXPECT_NE(picture.find("measured and with two constants, at 100% throttle</title>"), std::string::npos);
    const CommandRun refused = Cli(dir, "propeller compare Wood --graph " + q(dir.file("compare.txt")) + " --size 800x600");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("compare.txt")));
    EXPECT_EQ(Cli(dir, "propeller show Wood --graph " + q(svg)).status, 2);

    Write(dir.file("missing.txt"), std::string(measured).replace(measured.find("=Wood"), 5, "=Oak"));
    const CommandRun missing = Cli(dir, "report " + q(dir.file("missing.txt")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("There is no measured propeller named \"Oak\""), std::string::npos);

    // Stored in the project table, the project keeps its measured propeller.
    Write(dir.file("stored.txt"), std::string(measured).replace(measured.find("Untitled"), 8, "Stored"));
    const CommandRun saved = Cli(dir, "project save " + q(dir.file("stored.txt")));
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_NE(Cli(dir, "project text Stored").out.find("\nMeasuredPropeller=Wood\n"), std::string::npos);
    const CommandRun stored = Cli(dir, "report --project Stored --format json");
    ASSERT_EQ(stored.status, 0) << stored.err;
    EXPECT_EQ(nlohmann::json::parse(stored.out)["caption"], "Static Analysis - Stored (measured propeller Wood)");
}

} // namespace
