// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/window_geometry.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ampvane {

namespace {

WindowRect FromQt(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
QRect ToQt(const WindowRect& r) { return {r.x, r.y, r.width, r.height}; }

// The step between a window and the next one of a cascade, or its owner: clear of the title bar.
constexpr int kOwnerStep = 40;

} // namespace

std::vector<WindowRect> AvailableScreens() {
    std::vector<WindowRect> screens;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) screens.push_back(FromQt(primary->availableGeometry()));
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != primary) screens.push_back(FromQt(screen->availableGeometry()));
    return screens;
}

FrameMargins MarginsOf(const QWidget& window) {
    const QRect frame = window.frameGeometry(), inside = window.geometry();
    return {inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
            frame.bottom() - inside.bottom()};
}

FrameMargins ShownMargins() {
    for (QWidget* other : QApplication::topLevelWidgets())
        if (other->isVisible())
            if (const FrameMargins margins = MarginsOf(*other); margins.Known()) return margins;
    return {};
}

WindowRect InsideOf(const QWidget& window) { return FromQt(window.geometry()); }

void FitWindowToScreens(QWidget& window, const WindowRect& inside) {
    const WindowRect placed =
        FitInsideOnScreens(inside, MarginsToUse(MarginsOf(window), ShownMargins()), AvailableScreens());
    // Given even when Qt believes the window is there already: a window shown again is otherwise put
    // back by its frame's corner at its inside's place, a title bar lower each time.
    window.setGeometry(ToQt(placed));
}

void CascadeWindow(QWidget& window, const WindowRect& previous, int step) {
    const FrameMargins margins = MarginsToUse(MarginsOf(window), ShownMargins());
    const WindowRect from{previous.x, previous.y, window.width(), window.height()};
    window.setGeometry(ToQt(NextInCascade(from, step, margins, AvailableScreens())));
}

void PlaceNearOwner(QWidget& window, const QWidget& owner) {
    const QSize size = window.sizeHint().expandedTo(window.minimumSizeHint());
    const FrameMargins margins = MarginsToUse(MarginsOf(window), ShownMargins());
    window.setGeometry(
        ToQt(NearOwner(InsideOf(owner), size.width(), size.height(), kOwnerStep, margins, AvailableScreens())));
}

void FitSizeToScreen(QWidget& window) { FitWindowToScreens(window, InsideOf(window)); }

} // namespace ampvane
