// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/held_messages.h"

namespace ampvane {

void HeldMessages::Report(const Message& message) {
    for (const Message& held : held_)
        if (held.text == message.text) return;
    held_.push_back(message);
}

void HeldMessages::Release(MessageSink& to) {
    std::vector<Message> messages;
    messages.swap(held_);
    for (const Message& message : messages) to.Report(message);
}

} // namespace ampvane
