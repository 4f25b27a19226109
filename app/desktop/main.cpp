// The desktop program: opens the component tables (copying the shipped files on a first start), reads
// the configuration, shows the workbench with the sample project and writes the configuration when
// the workbench closes.

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLocale>
#include <QStandardPaths>
#include <QTimer>

#include <filesystem>
#include <memory>

#include "analysis/project_text.h"
#include "analysis/ui/qt_messages.h"
#include "data/table_text.h"
#include "data/comp_data_module.h"
#include "data/data_folder.h"
#include "workbench/component_fill.h"
#include "tools/ui/tool_windows.h"
#include "workbench/configuration.h"
#include "help/ui/help_viewer.h"
#include "help/ui/splash_screen.h"
#include "online/ui/carry_over_form.h"
#include "workbench/ui/parameter_input_form.h"
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

// The folder "Ampvane" in the user's documents folder; the previous version's settings sit beside it.
std::filesystem::path WorkingFolder() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    return std::filesystem::path(documents.toStdString()) / "Ampvane";
}

// The sample project's fields in the user's display units, its components taken from the tables.
WorkbenchFields StartupFields(TCompDataModule& tables, const WorkbenchUnits& units, const NumberLocale& locale,
                              MessageSink& messages) {
    WorkbenchFields sample = EmptyWorkbenchFields();
    AnalysisOptionsInput sampleOptions;
    ReadProjectText(kSampleProjectText, sample, sampleOptions, locale, messages);
    ConvertWorkbenchUnits(sample, WorkbenchUnitsForMode(sampleOptions.measurementMode, sampleOptions.newtons), units,
                          locale, messages);
    WorkbenchFields fields;
    LoadSampleProject(fields, sample, tables, units, locale, messages);
    return fields;
}

// The major number of a stored version text: the integer before its first ".", 0 without one.
int MajorVersion(const std::string& version) {
    const auto dot = version.find('.');
    if (dot == std::string::npos || dot == 0) return 0;
    int major = 0;
    for (std::size_t i = 0; i < dot; ++i) {
        if (version[i] < '0' || version[i] > '9' || major > 100000) return 0;
        major = major * 10 + (version[i] - '0');
    }
    return major;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ampvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ampvane"));
    QApplication::setApplicationVersion(QStringLiteral(AMPVANE_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ampvane.svg")));
    QApplication::setDesktopFileName(QStringLiteral("ampvane"));

    // The banner shows while the rest comes up.
    auto banner = std::make_unique<TSplashScreen>();
    banner->show();
    QApplication::processEvents();

    const NumberLocale locale = UserNumberLocale();
    QtMessages boxes;
    const std::string dataFolder = DataFolder();
    TCompDataModule tables({dataFolder, InitialFolder()}, boxes);
    tables.OpenComponentTables();

    Settings settings;
    const ConfigurationFiles files = ConfigurationFilesFor(dataFolder, WorkingFolder());
    const int storedMajor = MajorVersion(ReadConfiguration(files, settings, locale, boxes));
    if (storedMajor < 8) {
        // A previous version's settings were found: its own components come over once.
        if (storedMajor > 0) {
            banner.reset();
            TUpdateForm carryOver(WorkingFolder().parent_path() / kPreviousVersionFolder, tables);
            carryOver.exec();
        }
        WriteConfiguration(files.current, settings, kConfigurationVersion, boxes);
    }

    WorkbenchEnvironment env;
    env.settings = &settings;
    env.dataFolder = dataFolder;
    env.locale = locale;
    env.importTableText = [&tables, &boxes, locale](const std::string& file, std::optional<int> table, int helpTopic) {
        TableImportOptions options;
        if (table) options.table = static_cast<ComponentTableKind>(*table);
        options.alwaysReport = true;
        options.helpTopic = helpTopic;
        options.locale = locale;
        ImportTableText(tables, file, options, boxes);
    };
    TParameterInputForm workbench(env);
    boxes.SetParent(&workbench);
    new TToolWindows(workbench, &tables); // owned by the workbench
    workbench.SetFields(StartupFields(tables, workbench.Units(), locale, boxes));

    QObject::connect(&workbench, &TParameterInputForm::Closing, [&] {
        settings.defaultProject = workbench.Fields().ProjectName();
        WriteConfiguration(files.current, settings, kConfigurationVersion, boxes);
        // Closing the workbench ends the program; its report windows go with it.
        QCoreApplication::quit();
    });
    workbench.show();
    banner.reset();
    QTimer::singleShot(0, &workbench, [&] {
        if (settings.tipAtStartup) ShowTipOfTheDay(&workbench, settings, dataFolder);
    });
    const int result = QApplication::exec();
    CloseHelpWindows();
    return result;
}
