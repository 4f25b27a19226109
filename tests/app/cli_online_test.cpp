// SPDX-License-Identifier: GPL-3.0-or-later
// ampvane-cli's online commands against a running ampvane-server.
#include <gtest/gtest.h>


#include <cstdlib>
#include <string>
#include <vector>

#include "common/file_write.h"
#include "data/table_test_support.h"
#include "online/test_servers.h"
#include "support/command_run.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {


testing::CommandRun Cli(const std::string& dataFolder, const std::vector<std::string>& args) {
    return testing::RunCommand(testing::ProgramLine(AMPVANE_CLI, testing::ShellArguments(args), dataFolder));
}

TEST(CliOnline, UpdateContributeBrowseAndSupport) {
    testing::TempDir dir;
    const std::string catalogue = dir.file("catalogue.txt");
    WriteFileAtomically(catalogue, "Begin Ampvane8 Motor Table\r\nMOTORNAME\tMOTORSTANT\r\nSpeedy 400\t1500\r\n"
                                   "End Ampvane8 Motor Table\r\n");
    testing::ExchangeServerProcess server(catalogue);
    const std::string data = dir.file("data");
    testing::MakeEmptyTables(data);
    const std::string address = server.Address();

    testing::CommandRun update = Cli(data, {"update", "motor", "--server", address});
    EXPECT_EQ(update.status, 0) << update.err;
    EXPECT_NE(update.err.find("Motors: 1 new, 0 revised."), std::string::npos) << update.err;

    const std::string project = (testing::TestDataDir() / "project" / "imperial.avp").string();
    testing::CommandRun contribute = Cli(data, {"contribute", project, "--name", "Jo", "motor", "--server", address});
    EXPECT_EQ(contribute.status, 0) << contribute.err;
    EXPECT_NE(contribute.err.find("Thank you for contributing the Motor"), std::string::npos) << contribute.err;

    testing::CommandRun list = Cli(data, {"contributed", "motor", "--recent", "--import", "--server", address});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_TRUE(list.out.starts_with("Astro Cobalt 05 7T#20 #605\t")) << list.out;
    EXPECT_NE(list.out.find("\tJo\n"), std::string::npos) << list.out;
    EXPECT_NE(list.err.find("Motors: 1 new, 0 revised."), std::string::npos) << list.err;

    testing::CommandRun support = Cli(data, {"support", "--from", "me@example.org", "--subject", "Hi", "--message", "It spins",
                             "--server", address});
    EXPECT_EQ(support.status, 0) << support.err;

    struct Refused {
        std::vector<std::string> args;
        int status;
        std::string says;
    };
    const Refused refused[] = {
        {{"update", "nonsense"}, 2, "unknown table \"nonsense\""},
        {{"update", "--server", "bad host"}, 2, "is not a valid host name"},
        {{"contribute", project, "motor"}, 2, "contribute needs --name NAME"},
        {{"contribute", project, "--name", "Jo", "rotor"}, 2, "unknown component \"rotor\""},
        {{"support", "--from", "a", "--subject", "s", "--message", " "}, 2, "must not be blank"},
        {{"update", "--server", "127.0.0.1:1"}, 1, "Ampvane was unable to download updated data from http://127.0.0.1:1."},
    };
    for (const Refused& r : refused) {
        const testing::CommandRun run = Cli(data, r.args);
        EXPECT_EQ(run.status, r.status) << r.args[0] << " " << run.err;
        EXPECT_NE(run.err.find(r.says), std::string::npos) << run.err;
    }
}

} // namespace
} // namespace ampvane
