// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include "common/messages.h"

namespace ampvane {

// Messages and questions of the core shown as modal message boxes over a window.
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
