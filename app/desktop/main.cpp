// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program's entry: the application object around the program and its event loop.

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>

#include <cstdio>
#include <string_view>

#include "common/licence.h"
#include "desktop_program.h"
#include "help/ui/help_viewer.h"
#include "workbench/startup.h"

namespace {

constexpr const char* kUsage =
    "Usage: ampvane [export FILE] [exit]\n"
    "Starts the Ampvane workbench. Its parameters are processed in order once it has started:\n"
    "  export FILE   write all eight component tables into FILE as table text\n"
    "  exit          end the program when its start-up is over\n"
    "  --help        show this text\n"
    "  --version     show the version and the licence\n"
    "The data folder is $AMPVANE_DATA_DIR, else \"Ampvane 8\" in $XDG_DATA_HOME (~/.local/share).\n";

std::filesystem::path DocumentsFolder() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    return std::filesystem::path(documents.toStdString());
}

} // namespace

int main(int argc, char** argv) {
    using namespace ampvane;
    // Answered before the window system is needed, so that they work on a terminal without a display.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::fputs(VersionText("ampvane", AMPVANE_VERSION).c_str(), stdout);
        return 0;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    QApplication app(argc, argv);
    // The title names the program itself, so no display name is appended to it.
    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle.data(), kApplicationTitle.size()));
    QApplication::setApplicationVersion(QStringLiteral(AMPVANE_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ampvane.svg")));
    QApplication::setDesktopFileName(QStringLiteral("ampvane"));

    DesktopOptions options;
    options.documents = DocumentsFolder();
    const QStringList parameters = QCoreApplication::arguments();
    for (qsizetype i = 1; i < parameters.size(); ++i) options.arguments.push_back(parameters[i].toStdString());
    int result = 0;
    {
        DesktopProgram program(std::move(options));
        program.Start();
        result = QApplication::exec();
    }
    CloseHelpWindows();
    return result;
}
