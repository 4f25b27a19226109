// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "common/messages.h"

class QProgressDialog;
class QWidget;

namespace ampvane {

// The "Computing the report..." window of a sweep that takes a while, with its Cancel. It never covers a
// message or a question: those of the sweep go through this object, which takes the window away while
// one is open and starts it afresh afterwards, forgetting a Cancel pressed before the question (the
// answer decides). Modal, so that only Cancel answers while the sweep runs.
class SweepProgress final : public MessageSink, public Prompter {
public:
    SweepProgress(QWidget* owner, MessageSink& messages, Prompter& questions);
    ~SweepProgress() override;
    SweepProgress(const SweepProgress&) = delete;
    SweepProgress& operator=(const SweepProgress&) = delete;

    // The sweep's progress; false once Cancel was pressed.
    bool Step(std::uint64_t done, std::uint64_t total);
    void Report(const Message& message) override;
    Button Ask(const Message& message) override;
    void Close();

    QProgressDialog& Dialog() { return *dialog_; }

private:
    void Restart();

    QProgressDialog* dialog_;
    MessageSink& messages_;
    Prompter& questions_;
};

} // namespace ampvane
