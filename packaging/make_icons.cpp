// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the program's SVG icon to the PNG sizes of the hicolor icon theme, so the SVG stays the only
// drawing. Usage: make_icons ICON.svg OUTPUT_FOLDER SIZE...; writes OUTPUT_FOLDER/SIZExSIZE/ampvane.png.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("Usage: make_icons ICON.svg OUTPUT_FOLDER SIZE...\n", stderr);
        return 2;
    }
    // No display is needed: the icon's letter is drawn with the fonts the offscreen platform finds.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int appArgc = 1;
    QGuiApplication app(appArgc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "make_icons: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || size > 1024) {
            std::fprintf(stderr, "make_icons: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        if (!QDir().mkpath(folder) || !image.save(folder + QStringLiteral("/ampvane.png"), "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
