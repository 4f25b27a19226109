// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QPointer>
#include <QWidget>

#include "common/messages.h"

namespace ampvane {

// Messages and questions of the core shown as modal message boxes over a window.
// Where a message box's Help button sends the message's help topic (0 when it names none); the help
// viewer installs itself here when the program starts. The box stays open for its answer.
void SetMessageHelp(std::function<void(int topic)> showTopic);
// Shows a help topic through what SetMessageHelp installed (the Help buttons of windows below the help
// viewer's layer); false, showing nothing, when nothing is installed.
bool ShowInstalledHelp(int topic);
bool HelpInstalled();
// The text with every web address ("http://...", up to the next blank) joined so that word wrapping
// cannot break it; what it shows is the same text.
QString AddressesKeptWhole(const QString& text);

class QtMessages final : public MessageSink, public Prompter {
public:
    explicit QtMessages(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void Report(const Message& message) override;
    Button Ask(const Message& message) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace ampvane
