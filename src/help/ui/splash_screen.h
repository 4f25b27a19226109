// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

namespace ampvane {

// The banner: the program's picture, its version, the desktop it runs on and the licence. Shown without waiting at
// start-up and modally from About; a click anywhere closes it with OK.
class TSplashScreen final : public QDialog {
    Q_OBJECT
public:
    explicit TSplashScreen(QWidget* parent = nullptr);
    // Shown as the About box: an OK button in the top right corner closes it (as does a click anywhere).
    void OfferOkButton();

    // "for " + the desktop's name, from the session's desktop or the window system.
    static QString DesktopLine();
    QString VersionText() const { return QStringLiteral("Version 8.09"); }
    // The copyright line and the licence notice, on two lines.
    static QString LicenceText();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace ampvane
