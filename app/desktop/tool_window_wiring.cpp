// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool_window_wiring.h"

#include <QLineEdit>

#include "data/comp_data_module.h"
#include "data/ui/table_browser.h"
#include "tools/ui/tool_windows.h"
#include "workbench/ui/parameter_input_form.h"

namespace ampvane {

TToolWindows& InstallToolWindows(TParameterInputForm& workbench, TCompDataModule* tables, MessageSink& messages,
                                 Prompter& prompter) {
    ToolEnvironment env;
    env.session = &workbench.Session();
    env.dataFolder = workbench.Environment().dataFolder;
    env.showOptions = workbench.Environment().showOptions;
    env.moreThan256Colours = workbench.Environment().moreThan256Colours;
    if (tables)
        env.browseMotor = [tables, session = env.session, &messages, &prompter](QLineEdit* nameEdit) {
            TTableBrowser browser(nameEdit->window());
            const Settings& options = session->Options();
            const BrowserUnits units{options.measurementMode, options.forceInNewtons, session->Locale()};
            return browser.BrowseTable(*tables, ComponentTableKind::Motor, nameEdit, 0, units, messages, prompter);
        };
    auto* tools = new TToolWindows(env, workbench, tables);
    using W = WorkbenchTool;
    const std::pair<W, void (TToolWindows::*)()> openers[] = {
        {W::TestData, &TToolWindows::TestDataInputButtonClick},
        {W::CatalogData, &TToolWindows::CatalogDataInputButtonClick},
        {W::MotorDesigner, &TToolWindows::BuildMotorInputButtonClick},
        {W::PropConstant, &TToolWindows::PropConstButtonClick},
        {W::FanCoefficient, &TToolWindows::FanCoeffButtonClick},
        {W::FanPitch, &TToolWindows::PitchButtonClick},
        {W::LiftCoefficient, &TToolWindows::CLButtonClick},
        {W::WiringWizard, &TToolWindows::WiringWizard1Click},
    };
    for (auto [tool, open] : openers) workbench.SetToolCommand(tool, [tools, open] { (tools->*open)(); });
    return *tools;
}

} // namespace ampvane
