// SPDX-License-Identifier: GPL-3.0-or-later
// ampvane-cli: the headless front end over the same core as the desktop program.
#include "cli_command.h"

int main(int argc, char** argv) {
    using namespace ampvane::cli;
    CLI::App root("ampvane-cli", "ampvane-cli");
    CliRegistry registry(root);
    // In the order of the usage text.
    RegisterReportCommands(registry);
    RegisterOpinionCommand(registry);
    RegisterCompareCommand(registry);
    RegisterGraphCommand(registry);
    RegisterToolCommands(registry);
    RegisterWiringCommand(registry);
    RegisterOnlineCommands(registry);
    RegisterProjectCommands(registry);
    RegisterTableCommands(registry);
    RegisterPropellerCommands(registry);
    RegisterWizardCommand(registry);
    return registry.Main(argc, argv);
}
