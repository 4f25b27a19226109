// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

#include <filesystem>
#include <functional>

#include "common/messages.h"
#include "workbench/settings.h"

class QMainWindow;
class QWidget;

namespace ampvane {

inline constexpr const char* kNoBrowserMessage =
    "No web browser could be started. To see the page, open this address in your web browser: ";

// Opens an address in the desktop's browser; when none can be started, says so and shows the address
// to copy. `open` is the desktop's opener (replaceable for tests).
bool OpenWebPage(const QUrl& address, MessageSink& messages,
                 const std::function<bool(const QUrl&)>& open = nullptr);

// The workbench's help: the Help menu's topics, web links, Tip of the Day and About, the help tool
// buttons and the Help button, and the F1 topics of its groups and fields. The tip window reads
// "Tips.lst" in the data folder and keeps its place in the settings. `site` gives the web site's
// address (ending in "/") when a link is chosen.
void ConnectWorkbenchHelp(QMainWindow& workbench, Settings& settings, const std::filesystem::path& dataFolder,
                          MessageSink& messages, std::function<QString()> site);

// The tip window over the data folder's tip file, modal; the settings keep its place and the
// show-at-start-up flag.
void ShowTipOfTheDay(QWidget* parent, Settings& settings, const std::filesystem::path& dataFolder);

} // namespace ampvane
