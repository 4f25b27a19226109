// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>

#include "support/qt_test_main.h"

// Offscreen, the workbench's tests run on two desktop-sized screens side by side, so windows fit and
// can be moved from one screen to the other.
int main(int argc, char** argv) {
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == QStringLiteral("offscreen")) {
        const QString file = QDir::temp().filePath(QStringLiteral("ampvane-test-screens-%1.json")
                                                       .arg(QCoreApplication::applicationPid()));
        QFile config(file);
        if (config.open(QIODevice::WriteOnly)) {
            config.write(R"({"windowFrameMargins": true, "screens": [
                {"name": "left", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "dpr": 1},
                {"name": "right", "x": 1920, "y": 0, "width": 1600, "height": 1200, "logicalDpi": 96, "dpr": 1}]})");
            config.close();
            qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + file).toLocal8Bit());
        }
        const int result = RunWindowTests(argc, argv);
        QFile::remove(file);
        return result;
    }
    return RunWindowTests(argc, argv);
}
