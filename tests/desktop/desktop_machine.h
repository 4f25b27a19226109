// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QtGlobal>

#include <string>
#include <vector>

#include "desktop_program.h"
#include "support/test_paths.h"

namespace ampvane {

// A fresh data and documents folder for one in-process run of the desktop program.
struct Machine {
    testing::TempDir data;
    testing::TempDir documents;
    Machine() { qputenv("AMPVANE_DATA_DIR", QByteArray::fromStdString(data.path().string())); }
    ~Machine() { qunsetenv("AMPVANE_DATA_DIR"); }

    DesktopOptions Options(MessageSink& messages, Prompter& prompter, std::vector<std::string> arguments = {}) const {
        DesktopOptions options;
        options.documents = documents.path();
        options.initialFolder = std::string(AMPVANE_BINARY_DIR) + "/app/Initial";
        options.arguments = std::move(arguments);
        options.messages = &messages;
        options.prompter = &prompter;
        return options;
    }
};

inline void RunStartUp(DesktopProgram& program) {
    program.Start();
    // The sequence is queued for the event loop; its modal windows are closed by the caller's filter.
    while (!program.StartupDone()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace ampvane
