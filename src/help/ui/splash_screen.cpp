// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/ui/splash_screen.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>

#include "common/licence.h"

namespace ampvane {

TSplashScreen::TSplashScreen(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog) {
    setObjectName(QStringLiteral("SplashScreen"));
    setFixedSize(408, 425);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TSplashScreen::OfferOkButton() {
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    ok->resize(ok->sizeHint());
    ok->move(width() - ok->width() - 10, 10); // over the open sky, clear of the picture and the texts
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString TSplashScreen::DesktopLine() {
    QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':')).value(0).trimmed();
    if (desktop.isEmpty()) desktop = qEnvironmentVariable("DESKTOP_SESSION").trimmed();
    const QString platform = QGuiApplication::platformName();
    if (desktop.isEmpty()) {
        if (platform == QLatin1String("wayland")) desktop = QStringLiteral("Wayland");
        else if (platform == QLatin1String("xcb")) desktop = QStringLiteral("X11");
        else desktop = platform.isEmpty() ? QStringLiteral("Linux") : platform;
        return QStringLiteral("for the %1 desktop on Linux").arg(desktop);
    }
    return QStringLiteral("for %1 on Linux").arg(desktop);
}

void TSplashScreen::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(0x0d, 0x1b, 0x2a));
    sky.setColorAt(1, QColor(0x1b, 0x26, 0x3b));
    p.fillRect(r, sky);

    // The picture: a model aircraft seen from the front, its propeller disc blurred in motion, over
    // the arc of a rising flight path.
    const QPointF hub(r.center().x(), 150);
    p.setPen(QPen(QColor(0xf4, 0xa2, 0x61, 160), 3, Qt::DashLine));
    QPainterPath path;
    path.moveTo(30, 300);
    path.cubicTo(140, 290, 260, 230, 380, 90);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe0, 0xe1, 0xdd));
    p.drawRoundedRect(QRectF(hub.x() - 150, hub.y() - 7, 300, 14), 7, 7);                  // wing
    p.drawRoundedRect(QRectF(hub.x() - 48, hub.y() - 70, 96, 10), 5, 5);                   // tailplane
    p.drawRoundedRect(QRectF(hub.x() - 5, hub.y() - 95, 10, 40), 4, 4);                    // fin
    p.setBrush(QColor(0xc9, 0xd6, 0xdf));
    p.drawEllipse(hub, 26, 26);                                                            // fuselage
    QRadialGradient disc(hub, 70);
    disc.setColorAt(0, QColor(255, 255, 255, 20));
    disc.setColorAt(0.85, QColor(255, 255, 255, 70));
    disc.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(disc);
    p.drawEllipse(hub, 70, 70);                                                            // propeller disc
    p.setBrush(QColor(0xf4, 0xa2, 0x61));
    p.drawEllipse(hub, 9, 9);                                                              // spinner
    // A lightning mark for the electric drive.
    QPainterPath bolt;
    bolt.moveTo(hub.x() + 4, hub.y() + 40);
    bolt.lineTo(hub.x() - 10, hub.y() + 66);
    bolt.lineTo(hub.x() + 1, hub.y() + 66);
    bolt.lineTo(hub.x() - 6, hub.y() + 90);
    bolt.lineTo(hub.x() + 12, hub.y() + 60);
    bolt.lineTo(hub.x() + 1, hub.y() + 60);
    bolt.closeSubpath();
    p.setBrush(QColor(0xff, 0xd1, 0x66));
    p.drawPath(bolt);

    p.setPen(Qt::white);
    QFont name = font();
    name.setPixelSize(34);
    name.setBold(true);
    p.setFont(name);
    p.drawText(QRectF(0, 240, r.width(), 44), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Ampvane"));

    QFont version = font();
    version.setPixelSize(13);
    version.setBold(true);
    p.setFont(version);
    p.drawText(QRectF(0, 284, r.width(), 20), Qt::AlignHCenter, VersionText());
    QFont small = font();
    small.setPixelSize(12);
    p.setFont(small);
    p.setPen(QColor(0xe0, 0xe1, 0xdd));
    p.drawText(QRectF(0, 303, r.width(), 18), Qt::AlignHCenter, DesktopLine());
    p.drawText(QRectF(20, 326, r.width() - 40, 48), Qt::AlignHCenter | Qt::TextWordWrap,
               tr("Electric flight calculator for model aircraft.\nPredictions are estimates: check every "
                  "component's limits with its maker."));
    QFont notice = font();
    notice.setPixelSize(11);
    p.setFont(notice);
    p.setPen(QColor(0xa8, 0xb2, 0xbd));
    p.drawText(QRectF(20, 377, r.width() - 40, 46), Qt::AlignHCenter | Qt::TextWordWrap, LicenceText());
}

QString TSplashScreen::LicenceText() {
    QString copyright = QString::fromUtf8(kCopyrightLine.data(), kCopyrightLine.size());
    copyright.replace(QStringLiteral("(C)"), QStringLiteral("\u00a9"));
    return copyright + QLatin1Char('\n') + QString::fromUtf8(kLicenceNotice.data(), kLicenceNotice.size());
}

void TSplashScreen::mouseReleaseEvent(QMouseEvent* event) {
    QDialog::mouseReleaseEvent(event);
    done(QDialog::Accepted);
}

} // namespace ampvane
