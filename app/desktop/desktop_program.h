// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/messages.h"

namespace ampvane {

class TParameterInputForm;

struct DesktopOptions {
    // The user's documents folder; the working folder "Ampvane" is made in it.
    std::filesystem::path documents;
    // The shipped first-run files; empty: those installed with the program.
    std::string initialFolder;
    // The program's parameters without the program name.
    std::vector<std::string> arguments;
    // Where messages and questions go; null: message boxes over the workbench.
    MessageSink* messages = nullptr;
    Prompter* prompter = nullptr;
};

// The desktop program between the application object and its event loop: the banner, the
// workbench, the tables, the options dialog and the other windows, the start-up sequence on the
// workbench's first activation, and the settings written when it closes. The tables are packed when
// the program object goes.
class DesktopProgram {
public:
    explicit DesktopProgram(DesktopOptions options);
    ~DesktopProgram();
    DesktopProgram(const DesktopProgram&) = delete;
    DesktopProgram& operator=(const DesktopProgram&) = delete;

    // Shows the workbench; the start-up sequence follows once the event loop runs. The event loop
    // is told to quit when the workbench has closed.
    void Start();
    TParameterInputForm& Workbench();
    // The start-up sequence has run to its end.
    bool StartupDone() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace ampvane
