// The desktop program: the working folder, the workbench, the component tables and the options
// dialog, then the start-up sequence on the workbench's first activation; at the end the settings are
// written and the tables packed.

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLocale>
#include <QStandardPaths>
#include <QTimer>

#include <filesystem>
#include <memory>

#include "analysis/ui/qt_messages.h"
#include "data/table_text.h"
#include "data/comp_data_module.h"
#include "data/data_folder.h"
#include "data/ui/table_browser.h"
#include "tools/ui/tool_windows.h"
#include "workbench/configuration.h"
#include "workbench/startup.h"
#include "workbench/ui/options_form.h"
#include "workbench/ui/parameter_input_form.h"
#include "wizard/generic_components.h"
#include "wizard/ui/ampvane_wizard_form.h"
#include "wizard/ui/component_browsing.h"
#include "help/ui/help_viewer.h"
#include "help/ui/splash_screen.h"
#include "online/ui/carry_over_form.h"
#include "workbench/ui/window_memory.h"
#include "workbench/ui/workbench_help.h"

namespace ampvane {
// The built-in sample project, compiled in from app/cli/sample_project.txt.
extern const char* const kSampleProjectText;
} // namespace ampvane

namespace {

using namespace ampvane;

NumberLocale UserNumberLocale() {
    NumberLocale locale;
    const QString decimal = QLocale().decimalPoint();
    if (decimal.size() == 1 && decimal.at(0).unicode() < 128) locale.decimal = static_cast<char>(decimal.at(0).unicode());
    return locale;
}

std::filesystem::path DocumentsFolder() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    return std::filesystem::path(documents.toStdString());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The title names the program itself, so no display name is appended to it.
    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle.data(), kApplicationTitle.size()));
    QApplication::setApplicationVersion(QStringLiteral(AMPVANE_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ampvane.svg")));
    QApplication::setDesktopFileName(QStringLiteral("ampvane"));

    // A folder that cannot be made or entered leaves the process where it was.
    const std::filesystem::path documents = DocumentsFolder();
    EnterWorkingFolder(documents);
    // The banner shows while the rest comes up.
    auto banner = std::make_unique<TSplashScreen>();
    banner->show();
    QApplication::processEvents();

    const NumberLocale locale = UserNumberLocale();
    QtMessages boxes;
    Settings settings;
    const std::string dataFolder = DataFolder();
    const ConfigurationFiles files = ConfigurationFilesFor(dataFolder, documents / "Ampvane");
    // The workbench shows before the start-up sequence reads the settings, so its place is read now.
    ReadWindowPlaces(files, settings);

    WorkbenchEnvironment env;
    env.settings = &settings;
    env.dataFolder = dataFolder;
    env.locale = locale;
    TCompDataModule tables({dataFolder, InitialFolder()}, boxes);
    env.tables = &tables;
    TOptionsForm* options = nullptr;
    TParameterInputForm* workbenchPointer = nullptr;
    env.showOptions = [&] {
        const WorkbenchUnits before = workbenchPointer->Units();
        options->Edit();
        if (workbenchPointer->Units() != before) workbenchPointer->UnitsChanged(before);
    };
    env.importTableText = [&tables, &boxes, locale](const std::string& file, std::optional<int> table, int helpTopic) {
        TableImportOptions options;
        if (table) options.table = static_cast<ComponentTableKind>(*table);
        options.alwaysReport = true;
        options.helpTopic = helpTopic;
        options.locale = locale;
        ImportTableText(tables, file, options, boxes);
    };
    env.browseProjects = [&](DbfTable&, const std::string& current) -> std::optional<std::string> {
        TTableBrowser browser(workbenchPointer);
        const BrowserUnits units{settings.measurementMode, settings.forceInNewtons, locale};
        if (!browser.BrowseTable(tables, ComponentTableKind::Project, QString::fromStdString(current),
                                 kBrowserDelete | kBrowserPrint, units, boxes, boxes))
            return std::nullopt;
        return tables.AmpvaneTable()->Name();
    };
    // A drive or speed control named as the search names its generic ones needs no table record.
    env.applyGeneric = [&settings, &boxes, locale](WorkbenchFields& fields, ComponentTableKind kind,
                                                   std::string_view name) {
        if (kind == ComponentTableKind::SpeedControl) return ApplyGenericSpeedControl(fields, name, locale);
        return ApplyGenericDrive(fields, name, MetricPropellerSizes(settings), locale, boxes);
    };
    TParameterInputForm workbench(env);
    workbenchPointer = &workbench;
    boxes.SetParent(&workbench);
    tables.OpenComponentTables();
    new TToolWindows(workbench, &tables); // owned by the workbench
    TOptionsForm optionsForm(settings, files, locale, boxes, &workbench);
    options = &optionsForm;

    WizardEnvironment wizardEnv;
    wizardEnv.tables = &tables;
    wizardEnv.settings = &settings;
    wizardEnv.dataFolder = dataFolder;
    wizardEnv.locale = locale;
    wizardEnv.workbenchFields = [&]() -> WorkbenchFields& { return workbench.EditFields(); };
    wizardEnv.showWorkbenchFields = [&] { workbench.ShowFields(); };
    wizardEnv.computeReport = [&](bool) { workbench.ComputeButtonClick(); };
    wizardEnv.browse = ComponentBrowsing(tables, [&] { return workbench.CurrentBrowserUnits(); }, boxes, boxes);
    TAmpvaneWizardForm wizard(wizardEnv, &workbench);
    workbench.SetWizardCommand([&] { wizard.exec(); });

    QObject::connect(&workbench, &TParameterInputForm::Closing, [&] {
        settings.defaultProject = workbench.Fields().ProjectName();
        WriteConfiguration(files.current, settings, kConfigurationVersion, boxes);
    });
    QObject::connect(&workbench, &TParameterInputForm::Closed, [] { QCoreApplication::quit(); });

    std::vector<std::string> arguments;
    const QStringList parameters = QCoreApplication::arguments();
    for (qsizetype i = 1; i < parameters.size(); ++i) arguments.push_back(parameters[i].toStdString());

    StartupHooks hooks;
    UseTableHooks(hooks, tables, locale, boxes);
    hooks.loadStartupProject = [&] { workbench.LoadStartupProjectCommand(); };
    hooks.startupProjectShown = [&] {
        banner.reset();
        workbench.Control(WorkbenchControl::MotorNameEdit)->setFocus();
    };
    hooks.carryOver = [&] {
        banner.reset();
        TUpdateForm carryOver(documents / kPreviousVersionFolder, tables);
        carryOver.exec();
    };
    hooks.updateAll = [&] { workbench.OnlineCommands()->UpdateAll1Click(); };
    hooks.showTip = [&] { ShowTipOfTheDay(&workbench, settings, dataFolder); };
    hooks.showWizard = [&] { wizard.exec(); };

    workbench.show();
    // The sequence runs once the workbench is up, as its first activation.
    QTimer::singleShot(0, &workbench, [&] {
        const StartupResult result =
            RunStartUpSequence(settings, files, dataFolder, arguments, locale, boxes, boxes, hooks);
        workbench.RenewUnitLabels();
        if (result.exitRequested) workbench.CloseWithoutQuestion();
    });
    const int result = QApplication::exec();
    CloseHelpWindows();
    return result;
}
