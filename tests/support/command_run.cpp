// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/command_run.h"

#include <sys/wait.h>

#include <cstdlib>

#include "common/file_write.h"
#include "support/test_paths.h"

namespace ampvane::testing {

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ShellArguments(const std::vector<std::string>& args) {
    std::string joined;
    for (const std::string& arg : args) joined += (joined.empty() ? "" : " ") + ShellQuote(arg);
    return joined;
}

CommandRun RunCommand(const std::string& commandLine, Streams streams) {
    // Files rather than a pipe: a test may run a command whose output is larger than a pipe holds.
    TempDir dir;
    const std::string out = dir.file("out"), err = dir.file("err");
    const std::string redirect = streams == Streams::Merged ? " > " + ShellQuote(out) + " 2>&1"
                                                            : " > " + ShellQuote(out) + " 2> " + ShellQuote(err);
    const int raw = std::system(("{ " + commandLine + "; }" + redirect + " < /dev/null").c_str());
    CommandRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    ReadWholeFile(out, run.out);
    if (streams == Streams::Separate) ReadWholeFile(err, run.err);
    return run;
}

std::string ProgramLine(const std::string& program, const std::string& arguments, const std::string& dataFolder) {
    const std::string environment = dataFolder.empty() ? "" : "AMPVANE_DATA_DIR=" + ShellQuote(dataFolder) + " ";
    return environment + ShellQuote(program) + (arguments.empty() ? "" : " " + arguments);
}

bool HaveOffice() { return RunCommand("command -v soffice").status == 0; }

CommandRun ConvertWithOffice(const std::string& folder, const std::string& target,
                             const std::vector<std::string>& files) {
    const std::string profile = "file://" + folder + "/office-profile";
    return RunCommand("cd " + ShellQuote(folder) + " && soffice " + ShellQuote("-env:UserInstallation=" + profile) +
                          " --headless --convert-to " + ShellQuote(target) + " " + ShellArguments(files),
                      Streams::Merged);
}

} // namespace ampvane::testing
