#include "analysis/ui/qt_messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace ampvane {

namespace {

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
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonPair& pair : kButtons)
        if (pair.qt == clicked) return pair.core;
    // The box closed without a button (Escape or the close box): the cautious answer.
    if (buttons & CancelButton) return CancelButton;
    if (buttons & NoButtonAnswer) return NoButtonAnswer;
    return OkButton;
}

} // namespace

void QtMessages::Report(const Message& message) { Show(parent_, message); }

Button QtMessages::Ask(const Message& message) { return Show(parent_, message); }

} // namespace ampvane
