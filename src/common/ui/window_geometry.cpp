// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/window_geometry.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
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

namespace {

void MoveBeside(QWidget& window, const QWidget& owner) {
    const FrameMargins margins = MarginsToUse(MarginsOf(window), ShownMargins());
    const WindowRect own = InsideOf(window), other = InsideOf(owner);
    const bool covers = own.x - margins.left < other.x + other.width + margins.right &&
                        other.x - margins.left < own.x + own.width + margins.right &&
                        own.y - margins.top < other.y + other.height + margins.bottom &&
                        other.y - margins.top < own.y + own.height + margins.bottom;
    if (covers) window.setGeometry(ToQt(BesideOwner(other, own.width, own.height, kOwnerStep, margins, AvailableScreens())));
}

// A window manager places a newly shown window itself once it frames it; the window is moved beside its
// owner again then.
class BesideOnceFramed final : public QObject {
public:
    BesideOnceFramed(QWidget& window, const QWidget& owner) : QObject(&window), owner_(&owner) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::WindowActivate) return false;
        auto* window = static_cast<QWidget*>(watched);
        if (!MarginsOf(*window).Known()) return false;
        if (owner_) MoveBeside(*window, *owner_);
        deleteLater();
        window->removeEventFilter(this);
        return false;
    }

private:
    QPointer<const QWidget> owner_;
};

} // namespace

void PlaceBesideOwner(QWidget& window, const QWidget& owner) {
    if (!MarginsOf(window).Known()) new BesideOnceFramed(window, owner);
    MoveBeside(window, owner);
}

void FitSizeToScreen(QWidget& window) { FitWindowToScreens(window, InsideOf(window)); }

} // namespace ampvane
