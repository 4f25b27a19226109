// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace ampvane::testing {

// What a command run from the shell left behind. With `Streams::Merged`, `out` holds standard output
// and standard error interleaved as a user sees them and `err` stays empty.
struct CommandRun {
    int status = -1; // exit status; -1 when the command did not exit normally
    std::string out;
    std::string err;
};

enum class Streams { Separate, Merged };

// The text quoted for /bin/sh, whatever it holds.
std::string ShellQuote(const std::string& text);

// Each argument quoted and joined by spaces.
std::string ShellArguments(const std::vector<std::string>& args);

// Runs a shell command line with standard input from /dev/null and its output captured.
CommandRun RunCommand(const std::string& commandLine, Streams streams = Streams::Separate);

// `program` (quoted) with the already-quoted `arguments`, its data folder set when one is given.
std::string ProgramLine(const std::string& program, const std::string& arguments, const std::string& dataFolder = "");

// Whether LibreOffice can be started headless (an independent reader of our CSV and RTF files).
bool HaveOffice();

// Converts `files` of `folder` with LibreOffice to `target` (e.g. "ods"), the results beside them. Each call
// uses a profile of its own inside `folder`, so conversions of tests running at once do not collide.
CommandRun ConvertWithOffice(const std::string& folder, const std::string& target,
                             const std::vector<std::string>& files);

} // namespace ampvane::testing
