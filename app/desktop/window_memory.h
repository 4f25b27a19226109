// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <string>

#include "workbench/configuration.h"
#include "workbench/settings.h"

class QWidget;

namespace ampvane {

// Keeps the places of the program's windows in the settings: each kind of window under its own name
// ("workbench", "report", "inflight", "opinion", "browser", "wizard", the tool windows by theirs). A
// window of a kind comes back where the last one was, kept on a screen there is now; while another
// window of its kind is open, only the size is taken, so windows that cascade keep stepping. Places
// are taken when a window hides or closes; StoreOpenWindows takes those still open before the
// settings are written. A report's grid also keeps the column widths dragged in it, per report kind.
class WindowPlaces final : public QObject {
public:
    // Watches every window of the application; lives as long as its parent.
    WindowPlaces(Settings& settings, QObject* parent);
    ~WindowPlaces() override;
    void StoreOpenWindows();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Settings& settings_;
};

// The name a window's place is kept under, empty for windows not remembered (message boxes, menus).
std::string RememberedWindowName(const QWidget& window);

void StoreWindowPlace(const QWidget& window, Settings& settings, const std::string& name);

// False when nothing usable was stored; the window then keeps its own place.
bool RestoreWindowPlace(QWidget& window, const Settings& settings, const std::string& name, bool sizeOnly = false);

// The remembered places of the configuration file, read before the first window shows (the rest of the
// settings are read later, by the start-up sequence). Unreadable files leave the settings as they are.
void ReadWindowPlaces(const ConfigurationFiles& files, Settings& settings);

} // namespace ampvane
