// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program's entry: the application object around the program and its event loop.

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>

#include "desktop_program.h"
#include "help/ui/help_viewer.h"
#include "workbench/startup.h"

namespace {

std::filesystem::path DocumentsFolder() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    return std::filesystem::path(documents.toStdString());
}

} // namespace

int main(int argc, char** argv) {
    using namespace ampvane;
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
