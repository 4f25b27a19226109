// SPDX-License-Identifier: GPL-3.0-or-later
// ampvane-cli's online commands against a running ampvane-server.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/file_write.h"
#include "data/table_test_support.h"
#include "online/test_servers.h"
#include "support/command_run.h"
#include "support/test_paths.h"

extern char** environ;

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

// Ctrl-C (or a TERM from the system) in the middle of a transfer: the command ends by that signal,
// its transfer folder is gone and the data folder is as it was.
TEST(CliOnline, InterruptedTransfersLeaveNothingBehind) {
    testing::HostileServer hostile;
    for (const char* path : {"/data/send.cgi", "/data/dump.cgi", "/support.cgi"}) hostile.Answer(path, "/trickle");
    const std::string address = hostile.Address();
    struct Case {
        std::vector<std::string> args;
        int signal;
    };
    const Case cases[] = {
        {{"update", "motor", "--server", address}, SIGINT},
        {{"contributed", "motor", "--import", "--server", address}, SIGTERM},
        {{"support", "--from", "me@example.org", "--subject", "Hi", "--message", "Stuck", "--server", address}, SIGINT},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        const std::string data = dir.file("data");
        const std::string tmp = dir.file("tmp");
        testing::MakeEmptyTables(data);
        std::filesystem::create_directories(tmp);
        const auto before = testing::FolderContents(data);
        std::vector<std::string> arguments = {AMPVANE_CLI};
        arguments.insert(arguments.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        std::vector<std::string> variables = {"AMPVANE_DATA_DIR=" + data, "TMPDIR=" + tmp};
        for (char** e = environ; *e; ++e)
            if (!std::string_view(*e).starts_with("AMPVANE_DATA_DIR=") && !std::string_view(*e).starts_with("TMPDIR="))
                variables.emplace_back(*e);
        std::vector<char*> envp;
        for (std::string& variable : variables) envp.push_back(variable.data());
        envp.push_back(nullptr);
        const int requests = hostile.Requests();
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, AMPVANE_CLI, nullptr, nullptr, argv.data(), envp.data()), 0);
        hostile.AwaitRequests(requests + 1); // the transfer is under way
        ::kill(pid, c.signal);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.args[0] << " status " << status;
        EXPECT_TRUE(std::filesystem::is_empty(tmp)) << c.args[0];
        EXPECT_EQ(testing::FolderContents(data), before) << c.args[0];
    }
}

} // namespace
} // namespace ampvane
