// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

#include "common/held_messages.h"
#include "common/numeric_text.h"

class QLineEdit;

namespace ampvane {

// Windows that recompute on every keystroke: the messages of a recomputation the user's typing caused
// (the lenient-read warning above all) are held while the user types and shown when the field is left
// or the value is used, so that the keyboard is never taken away mid-word. Meanwhile a field whose text
// the lenient read would warn about carries a warning mark.
class TypingMessages final : public QObject {
public:
    TypingMessages(MessageSink& shown, const NumberLocale& locale, QObject* parent);

    // Where a recomputation reports: held while typing, else shown at once.
    MessageSink& Sink();
    // Runs the recomputation an edit's change caused with its messages held, and marks the edit. Its
    // messages show when the edit is left (or Release is called).
    void Typed(QLineEdit* edit, const std::function<void()>& recompute);
    // Shows the held messages: the value is about to be used (Apply, OK).
    void Release();
    // The mark on an edit whose text is no number.
    static bool Marked(const QLineEdit* edit);

private:
    void Mark(QLineEdit* edit);

    MessageSink& shown_;
    NumberLocale locale_;
    HeldMessages held_;
    bool typing_ = false;
};

} // namespace ampvane
