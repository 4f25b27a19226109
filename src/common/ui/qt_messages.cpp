// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/qt_messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
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

constexpr QChar kWordJoiner(0x2060);

// Ctrl+C over a box copies its text as written; a selection in it is copied without the joiners, so a
// copied address works in a browser.
class PlainCopy final : public QObject {
public:
    PlainCopy(QString text, QObject* parent) : QObject(parent), text_(std::move(text)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy))
            return false;
        if (const auto* label = qobject_cast<QLabel*>(watched); label && label->hasSelectedText()) {
            QMetaObject::invokeMethod(this, [] {
                QClipboard* clipboard = QGuiApplication::clipboard();
                clipboard->setText(clipboard->text().remove(kWordJoiner));
            }, Qt::QueuedConnection);
            return false;
        }
        QGuiApplication::clipboard()->setText(text_);
        return true;
    }

private:
    QString text_;
};

} // namespace

QString AddressesKeptWhole(const QString& text) {
    QString out;
    out.reserve(text.size() + 32);
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype start = text.indexOf(QStringLiteral("://"), from);
        if (start < 0) break;
        qsizetype begin = start;
        while (begin > from && text[begin - 1].isLetter()) --begin;
        qsizetype end = start;
        while (end < text.size() && !text[end].isSpace()) ++end;
        out += text.mid(from, begin - from);
        // A joiner between every two characters: no line may end inside the address.
        for (qsizetype i = begin; i < end; ++i) {
            if (i > begin) out += kWordJoiner;
            out += text[i];
        }
        from = end;
    }
    out += text.mid(from);
    return out;
}

namespace {

Button Show(QWidget* parent, const Message& message) {
    // Word wrapping would break a web address after its "http://".
    QMessageBox box(IconOf(message.kind), QApplication::applicationDisplayName(),
                    AddressesKeptWhole(QString::fromStdString(message.text)), QMessageBox::NoButton, parent);
    auto* copy = new PlainCopy(QString::fromStdString(message.text), &box);
    box.installEventFilter(copy);
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) label->installEventFilter(copy);
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
    // The box belongs to its parent (the workbench), which the window manager raises with it; the window
    // the user was working in (a tool window) comes back in front once the box is answered.
    const QPointer<QWidget> working = QApplication::activeWindow();
    box.exec();
    if (working && working != parent && working->isVisible()) {
        working->raise();
        working->activateWindow();
    }
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
