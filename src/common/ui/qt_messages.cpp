// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/qt_messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace ampvane {

namespace {

std::function<void(int)>& MessageHelp() {
    static std::function<void(int)> showTopic;
    return showTopic;
}

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information: return QMessageBox::Information;
    case MessageKind::Warning: return QMessageBox::Warning;
    case MessageKind::Error: return QMessageBox::Critical;
    case MessageKind::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

struct ButtonPair {
    Button core;
    QMessageBox::StandardButton qt;
};
constexpr ButtonPair kButtons[] = {
    {OkButton, QMessageBox::Ok},          {CancelButton, QMessageBox::Cancel}, {YesButton, QMessageBox::Yes},
    {NoButtonAnswer, QMessageBox::No},    {HelpButton, QMessageBox::Help},
};

Button Show(QWidget* parent, const Message& message) {
    QMessageBox box(IconOf(message.kind), QApplication::applicationDisplayName(),
                    QString::fromStdString(message.text), QMessageBox::NoButton, parent);
    unsigned buttons = message.buttons == NoButton ? OkButton : message.buttons;
    for (const ButtonPair& pair : kButtons)
        if (buttons & pair.core) box.addButton(pair.qt);
    if (buttons & OkButton) box.setDefaultButton(QMessageBox::Ok);
    if (QAbstractButton* help = box.button(QMessageBox::Help)) {
        // Help opens the message's page and leaves the box open for its answer: the button is cut from
        // the box's own handling, which would close it.
        help->disconnect();
        const int topic = message.helpTopic;
        QObject::connect(help, &QAbstractButton::clicked, &box, [topic] {
            if (MessageHelp()) MessageHelp()(topic);
        });
    }
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    // Help never answers: a box closed by other means takes the cautious answer below.
    for (const ButtonPair& pair : kButtons)
        if (pair.qt == clicked) return pair.core;
    // The box closed without a button (Escape or the close box): the cautious answer.
    if (buttons & CancelButton) return CancelButton;
    if (buttons & NoButtonAnswer) return NoButtonAnswer;
    return OkButton;
}

} // namespace

void SetMessageHelp(std::function<void(int topic)> showTopic) { MessageHelp() = std::move(showTopic); }

bool HelpInstalled() { return static_cast<bool>(MessageHelp()); }

bool ShowInstalledHelp(int topic) {
    if (!MessageHelp()) return false;
    MessageHelp()(topic);
    return true;
}

void QtMessages::Report(const Message& message) { Show(parent_, message); }

Button QtMessages::Ask(const Message& message) { return Show(parent_, message); }

} // namespace ampvane
