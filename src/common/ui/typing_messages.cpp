// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/typing_messages.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QStyle>

#include "common/ui/qt_text.h"

namespace ampvane {

namespace {
constexpr const char* kMarkName = "ampvaneNotANumberMark";
constexpr const char* kWatchedProperty = "ampvaneTypingWatched";
} // namespace

TypingMessages::TypingMessages(MessageSink& shown, const NumberLocale& locale, QObject* parent)
    : QObject(parent), shown_(shown), locale_(locale) {}

MessageSink& TypingMessages::Sink() { return typing_ ? static_cast<MessageSink&>(held_) : shown_; }

void TypingMessages::Typed(QLineEdit* edit, const std::function<void()>& recompute) {
    if (!edit->property(kWatchedProperty).toBool()) {
        edit->setProperty(kWatchedProperty, true);
        connect(edit, &QLineEdit::editingFinished, this, &TypingMessages::Release);
    }
    // Only what the text as it is now brings: the messages of earlier keystrokes are out of date.
    held_.Clear();
    const bool was = typing_;
    typing_ = true;
    recompute();
    typing_ = was;
    Mark(edit);
    // Typed in a field that does not have the keyboard (a test, a paste by program): nothing to wait for.
    if (!edit->hasFocus()) Release();
}

void TypingMessages::Release() {
    if (!typing_) held_.Release(shown_);
}

bool TypingMessages::Marked(const QLineEdit* edit) {
    for (const QAction* action : edit->actions())
        if (action->objectName() == QLatin1String(kMarkName)) return action->isVisible();
    return false;
}

void TypingMessages::Mark(QLineEdit* edit) {
    QAction* mark = nullptr;
    for (QAction* action : edit->actions())
        if (action->objectName() == QLatin1String(kMarkName)) mark = action;
    // The mark's tip is the warning the lenient read gives the text, if any.
    struct Text final : MessageSink {
        QString text;
        void Report(const Message& message) override { text = Q(message.text); }
    } tip;
    LenientReal(S(edit->text()), locale_, tip);
    if (!mark) {
        if (tip.text.isEmpty()) return;
        mark = edit->addAction(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning),
                               QLineEdit::TrailingPosition);
        mark->setObjectName(QLatin1String(kMarkName));
    }
    mark->setToolTip(tip.text);
    mark->setVisible(!tip.text.isEmpty());
}

} // namespace ampvane
