// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program: the working folder, the workbench, the component tables and the options
// dialog, then the start-up sequence on the workbench's first activation; at the end the settings are
// written and the tables packed.

#include "desktop_program.h"
#include "online_wiring.h"
#include "result_windows.h"
#include "tool_window_wiring.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>

#include "common/ui/qt_messages.h"
#include "data/comp_data_module.h"
#include "data/data_folder.h"
#include "data/table_text.h"
#include "data/ui/component_browsing.h"
#include "data/ui/table_browser.h"
#include "help/ui/help_viewer.h"
#include "help/ui/splash_screen.h"
#include "online/ui/carry_over_form.h"
#include "online/ui/online_commands.h"
#include "wizard/generic_components.h"
#include "wizard/ui/ampvane_wizard_form.h"
#include "workbench/configuration.h"
#include "workbench/propeller_choices.h"
#include "workbench/startup.h"
#include "workbench/ui/options_form.h"
#include "workbench/ui/parameter_input_form.h"
#include "window_memory.h"
#include "workbench/ui/workbench_help.h"

namespace ampvane {

namespace {

NumberLocale UserNumberLocale() {
    NumberLocale locale;
    const QString decimal = QLocale().decimalPoint();
    if (decimal.size() == 1 && decimal.at(0).unicode() < 128) locale.decimal = static_cast<char>(decimal.at(0).unicode());
    return locale;
}

} // namespace

// In the order they come up; they go in the reverse order, the tables (packed) after the windows.
struct DesktopProgram::Parts {
    explicit Parts(DesktopOptions o)
        : options(std::move(o)), banner(std::make_unique<TSplashScreen>()), messages(options.messages ? *options.messages : boxes),
          prompter(options.prompter ? *options.prompter : boxes), dataFolder(DataFolder()),
          files(ConfigurationFilesFor(dataFolder, options.documents / std::string(kApplicationTitle))),
          tables({dataFolder, options.initialFolder.empty() ? InitialFolder() : options.initialFolder}, messages) {}

    DesktopOptions options;
    // The banner shows while the rest comes up.
    std::unique_ptr<TSplashScreen> banner;
    NumberLocale locale = UserNumberLocale();
    QtMessages boxes;
    MessageSink& messages;
    Prompter& prompter;
    Settings settings;
    std::string dataFolder;
    ConfigurationFiles files;
    TCompDataModule tables;
    std::unique_ptr<TParameterInputForm> workbench;
    TOnlineCommands* online = nullptr; // owned by the workbench
    std::unique_ptr<TOptionsForm> optionsForm;
    std::unique_ptr<TAmpvaneWizardForm> wizard;
    StartupHooks hooks;
    bool startupDone = false;

    BrowserUnits CurrentBrowserUnits() const { return {settings.measurementMode, settings.forceInNewtons, locale}; }
    WorkbenchEnvironment WorkbenchEnv();
    WizardEnvironment WizardEnv();
    void ConnectHooks();
};

WorkbenchEnvironment DesktopProgram::Parts::WorkbenchEnv() {
    WorkbenchEnvironment env;
    env.settings = &settings;
    env.dataFolder = dataFolder;
    env.locale = locale;
    env.messages = options.messages;
    env.prompter = options.prompter;
    env.tables = &tables;
    env.showOptions = [this] {
        const WorkbenchUnits before = workbench->Units();
        optionsForm->Edit();
        if (workbench->Units() != before) workbench->UnitsChanged(before);
    };
    env.importTableText = [this](const std::string& file, const TableImportOptions& options) {
        TableImportOptions import = options;
        import.locale = locale;
        ImportTableText(tables, file, import, messages);
    };
    env.browseProjects = [this](DbfTable&, const std::string& current) -> std::optional<std::string> {
        TTableBrowser browser(workbench.get());
        if (!browser.BrowseTable(tables, ComponentTableKind::Project, QString::fromStdString(current),
                                 kBrowserDelete | kBrowserPrint, CurrentBrowserUnits(), messages, prompter))
            return std::nullopt;
        return tables.AmpvaneTable()->Name();
    };
    env.restoreWizardAnswers = [this](const std::string& wizardInfo) {
        if (wizard) wizard->RestoreAnswers(wizardInfo);
    };
    env.browseComponent = KeptComponentBrowsing(tables, [this] { return CurrentBrowserUnits(); }, messages, prompter);
    // A drive or speed control named as the search names its generic ones needs no table record.
    env.applyGeneric = [this](WorkbenchFields& fields, ComponentTableKind kind, std::string_view name) {
        if (kind == ComponentTableKind::SpeedControl) return ApplyGenericSpeedControl(fields, name, locale);
        return ApplyGenericDrive(fields, name, MetricPropellerSizes(settings), locale, messages);
    };
    return env;
}

WizardEnvironment DesktopProgram::Parts::WizardEnv() {
    WizardEnvironment env;
    env.tables = &tables;
    env.settings = &settings;
    env.dataFolder = dataFolder;
    env.locale = locale;
    env.messages = options.messages;
    env.prompter = options.prompter;
    env.session = &workbench->Session();
    env.computeReport = [this](bool opinion) { workbench->ComputeReportFor(opinion, wizard.get()); };
    env.browse = ComponentBrowsing(tables, [this] { return CurrentBrowserUnits(); }, messages, prompter);
    env.showHelp = [](int topic) { ShowHelpTopic(topic); };
    return env;
}

void DesktopProgram::Parts::ConnectHooks() {
    UseTableHooks(hooks, tables, locale, messages);
    hooks.loadStartupProject = [this] { workbench->LoadStartupProjectCommand(); };
    hooks.startupProjectShown = [this] {
        banner.reset();
        workbench->Control(WorkbenchControl::MotorNameEdit)->setFocus();
    };
    hooks.carryOver = [this] {
        banner.reset();
        TUpdateForm carryOver(options.documents / kPreviousVersionFolder, tables, workbench.get());
        carryOver.exec();
    };
    hooks.updateAll = [this] {
        online->UpdateAll1Click();
    };
    hooks.showTip = [this] { ShowTipOfTheDay(workbench.get(), settings, dataFolder); };
    hooks.showWizard = [this] { wizard->exec(); };
}

DesktopProgram::DesktopProgram(DesktopOptions options) {
    // A folder that cannot be made or entered leaves the process where it was.
    EnterWorkingFolder(options.documents);
    parts_ = std::make_unique<Parts>(std::move(options));
    Parts& p = *parts_;
    p.banner->show();
    QApplication::processEvents();
    // The workbench shows before the start-up sequence reads the settings, so its place is read now.
    ReadWindowPlaces(p.files, p.settings);

    p.workbench = std::make_unique<TParameterInputForm>(p.WorkbenchEnv());
    new WindowPlaces(p.settings, p.workbench.get());
    p.boxes.SetParent(p.workbench.get());
    new ResultWindows({&p.settings, p.locale, p.options.messages, p.options.prompter}, *p.workbench);
    p.online = ConnectOnlineCommands(*p.workbench, &p.settings, p.locale, p.workbench->Environment().importTableText,
                                     p.messages);
    p.tables.OpenComponentTables();
    InstallToolWindows(*p.workbench, &p.tables, p.messages, p.prompter);
    p.optionsForm = std::make_unique<TOptionsForm>(p.settings, p.files, p.locale, p.messages, p.workbench.get());
    p.wizard = std::make_unique<TAmpvaneWizardForm>(p.WizardEnv(), p.workbench.get());
    p.workbench->SetWizardCommand([&p] { p.wizard->exec(); });
    // Every browser's Update goes to the workbench's online commands.
    TTableBrowser::SetTableUpdate([&p](ComponentTableKind kind, int helpTopic) {
        p.online->UpdateFromServer(static_cast<int>(kind), helpTopic);
    });
    TTableBrowser::SetRecordDeleted([&p](ComponentTableKind kind, const std::string& name) {
        ForgetPropellerChoice(p.tables.dataFolder(), kind, name, p.messages);
    });
    p.ConnectHooks();

    QObject::connect(p.workbench.get(), &TParameterInputForm::Closing, [&p] {
        p.settings.defaultProject = p.workbench->Fields().ProjectName();
        WriteConfiguration(p.files.current, p.settings, kConfigurationVersion, p.messages);
    });
    QObject::connect(p.workbench.get(), &TParameterInputForm::Closed, [] { QCoreApplication::quit(); });
}

DesktopProgram::~DesktopProgram() {
    TTableBrowser::SetTableUpdate({});
    TTableBrowser::SetRecordDeleted({});
}

void DesktopProgram::Start() {
    Parts& p = *parts_;
    p.workbench->show();
    // The sequence runs once the workbench is up, as its first activation.
    QTimer::singleShot(0, p.workbench.get(), [&p] {
        const StartupResult result = RunStartUpSequence(p.settings, p.files, p.dataFolder, p.options.arguments, p.locale,
                                                        p.messages, p.prompter, p.hooks);
        p.workbench->RenewUnitLabels();
        p.startupDone = true;
        if (result.exitRequested) p.workbench->CloseWithoutQuestion();
    });
}

TParameterInputForm& DesktopProgram::Workbench() { return *parts_->workbench; }

bool DesktopProgram::StartupDone() const { return parts_->startupDone; }

} // namespace ampvane
