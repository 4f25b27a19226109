// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/command_run.h"
#include "support/test_paths.h"

// The estimator commands of ampvane-cli, run as a user would run them.

namespace {


using ampvane::testing::CommandRun;

// Standard output and error together, as a user sees them.
CommandRun Cli(const std::string& arguments) {
    using namespace ampvane::testing;
    return RunCommand(ProgramLine(AMPVANE_CLI, arguments), Streams::Merged);
}

TEST(CliTools, ResultsAndRefusals) {
    struct Case {
        const char* arguments;
        int status;
        const char* expected; // a line or fragment of the output
    };
    const Case cases[] = {
        {"motor from-tests 7.2 1.5 16000 6.0 12 11000", 0,
         "Motor Constant: 2267 rpm/V\nNo-load Current: 1.500 A\nResistance: 0.096 ohm\n"},
        {"motor from-tests 7.2 1.5 16000 6.0 12 11000 --best-efficiency --format json", 0,
         "\"noLoadCurrent\": \"0.030\""},
        {"motor from-tests 7.2 1.5 11000 7.2 12 16000", 1, "Error! Inconsistent Input Data"},
        {"motor from-tests 7.2 abc 16000 6.0 12 11000", 1, "There is an invalid numeric value (abc)"},
        {"motor from-tests 7.2 1001 16000 6.0 12 11000", 1,
         "The value in the Free Running Current field is too large. It must be at most 1000."},
        {"motor from-tests 7.2 1.5", 2, "needs V1 I1 RPM1 V2 I2 RPM2"},
        {"motor from-catalog --voltage 7.2 --rpm 14000 --stall-current 60 --max-efficiency-current 12", 0,
         "Motor Constant: 2029 rpm/V\nNo-load Current: 2.40 A\nResistance: 0.125 ohm\n"},
        {"motor from-catalog --voltage 7.2 --rpm 14000 --stall-current 60 --max-efficiency-current 50", 1,
         "Error! Inconsistent Input Data"},
        {"motor rewind --kv 1000 --no-load-current 1.5 --resistance 0.1 --turns 10 --gauge 20 --new-turns 8", 0,
         "Motor Constant: 1286 rpm/V\nNo-load Current: 2.04 A\nResistance: 0.064 ohm\nSuggested Wire Gauge: 19.0"},
        {"motor rewind --kv 1000 --turns 10 --new-turns 0", 1,
         "The value in the New Motor Windings field is too small. It must be at least 1."},
        {"prop-constants --kv 1000 --no-load-current 1 --resistance 0.1 --voltage 10 --current 10 --diameter 10 "
         "--pitch 6 --rpm 8000 --thrust 15 --density-ratio 1",
         0, "Power Const: 0.58\nThrust Const: "},
        {"prop-constants --kv 1000 --no-load-current 1 --resistance 0.1 --voltage 10 --current 10 --diameter 10 "
         "--pitch 6 --gear-ratio 0",
         1, "The value in the Gear Ratio field is too small. It must be at least 0.01."},
        {"prop-constants --kv 1000 --no-load-current 1 --resistance 0.1 --voltage 10 --current 10 --diameter 10 "
         "--pitch 6 --gear-ratio 2 --gearbox-efficiency 150",
         1, "The value in the Gearbox Efficiency field is too large. It must be at most 100."},
        {"prop-constants --kv 1000 --no-load-current 0 --resistance 0.1 --voltage 10 --current 10 --diameter 10 "
         "--pitch 6 --rpm 8000 --thrust 15",
         1, "Motor's No-load Current is 0!"},
        {"fan-coefficients --kv 3000 --no-load-current 3 --current 30 --fan-diameter 3.5 --hub-diameter 1.5 "
         "--rpm 30000 --thrust 32 --efflux 100 --density-ratio 1",
         0, "Fan Pitch: 3.52 in\nThrust Coeff: 0.679\nPower Coeff: 0.462\n"},
        {"fan-coefficients --kv 3000 --no-load-current 3 --current 30 --fan-diameter -3.5 --hub-diameter 1.5 "
         "--rpm 30000 --thrust 32 --efflux 100",
         1, "The value in the Fan Diameter field is too small. It must be at least 0.1."},
        {"fan-pitch --diameter 2.5 --angle 30", 0, "Pitch: 4.53\n"},
        {"fan-pitch --diameter 2.5 --angle 89", 1, "Not enough information was provided"},
        {"airfoil", 0, "Airfoil code: 1120822\nDrag code: 0\nThickness: 12.0%\n"},
        {"airfoil --code -1161622 --gear 0 --finish 0 --protrusions 0 --fuselage 0 --format json", 0,
         "\"airfoilCode\": \"-1161622\",\n  \"dragCode\": \"1111\""},
        {"airfoil --thickness 25", 2, "--thickness must be 1 to 20 in steps of 0.5"},
        // JSON keeps the shown texts and adds the unrounded numbers; a refusal says why in JSON mode too.
        {"motor from-tests 7.2 1.5 16000 6.0 12 11000 --format json", 0,
         "\"resistance\": \"0.096\",\n  \"values\": {\n    \"motorConstant\": 2267.44186046511"},
        {"fan-pitch --diameter 2.5 --angle 30 --format json", 0, "\"pitch\": \"4.53\",\n  \"values\": {\n    \"pitch\": 4.534"},
        {"motor from-tests 7.2 1.5 11000 7.2 12 16000 --format json", 1,
         "ampvane-cli: the figures give no complete result: no motorConstant, noLoadCurrent, resistance (Error! "
         "Inconsistent Input Data)"},
        {"fan-pitch --format json", 1, "\"pitch\": null\n  },"},
        {"fan-pitch --format json", 1, "no complete result: no pitch; not given: --diameter"},
        {"airfoil --code -1161622 --format json", 0, "\"values\": {\n    \"airfoilCode\": -1161622,"},
    };
    for (const Case& c : cases) {
        const CommandRun run = Cli(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.out;
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << c.arguments << "\n" << run.out;
        for (const char* bad : {"nan", "inf\n", "inf ", "inf\""})
            EXPECT_EQ(run.out.find(bad), std::string::npos) << run.out;
    }
}

} // namespace

namespace {

// Every arrangement the wizard allows comes out as a picture that an independent reader accepts, of
// the diagram's size; an impossible arrangement is refused with "Not Possible!".
TEST(CliTools, WiringDiagramsReadBack) {
    ampvane::testing::TempDir dir;
    struct Case {
        const char* options;
        const char* file;
        const char* type;
    };
    const Case cases[] = {
        {"--batteries 2 --parallel-motors 2 --motor-rows 2", "series_parallel.png", "PNG"},
        {"--batteries 4 --speed-controls 2 --motor-rows 4 --parallel-motors 3", "pairs.jpeg", "JPEG"},
        {"--batteries 2 --speed-controls 3 --motor-rows 3", "one_bus.bmp", "BMP3"},
        {"--speed-controls 2 --motor-rows 2 --brushless", "brushless.PNG", "PNG"},
        {"--batteries 6 --speed-controls 6 --motor-rows 6 --parallel-motors 4", "largest.gif", "BMP3"},
    };
    for (const Case& c : cases) {
        const std::string file = dir.file(c.file);
        const CommandRun run = Cli(std::string("wiring ") + c.options + " -o '" + file + "' -- '1;4;-2;'");
        ASSERT_EQ(run.status, 0) << c.options << "\n" << run.out;
        const CommandRun identify = ampvane::testing::RunCommand(
            "identify -format '%m %w %h' " + ampvane::testing::ShellQuote(file), ampvane::testing::Streams::Merged);
        EXPECT_EQ(identify.out, std::string(c.type) + " 541 281") << c.file;
    }
    const CommandRun refused = Cli("wiring --speed-controls 2 --motor-rows 3 -o '" + dir.file("no.png") + "' -- '-1;3;2;'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("Not Possible!"), std::string::npos) << refused.out;
    EXPECT_FALSE(std::ifstream(dir.file("no.png")).good());
}

} // namespace
