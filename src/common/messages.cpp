// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/messages.h"

namespace ampvane {

Message InformationMessage(std::string text) { return {MessageKind::Information, std::move(text), OkButton, 0}; }
Message WarningMessage(std::string text) { return {MessageKind::Warning, std::move(text), OkButton, 0}; }
Message ErrorMessage(std::string text) { return {MessageKind::Error, std::move(text), OkButton, 0}; }

std::string_view MessageKindName(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information: return "information";
    case MessageKind::Warning: return "warning";
    case MessageKind::Error: return "error";
    case MessageKind::Confirmation: return "confirmation";
    }
    return "message";
}

StreamMessageSink::StreamMessageSink(std::FILE* stream) : stream_(stream ? stream : stderr) {}

void StreamMessageSink::Report(const Message& message) {
    std::fprintf(stream_, "%.*s: %s\n", static_cast<int>(MessageKindName(message.kind).size()),
                 MessageKindName(message.kind).data(), message.text.c_str());
}

Button DefaultPrompter::DefaultAnswer(unsigned buttons) {
    for (Button b : {OkButton, YesButton, NoButtonAnswer, CancelButton, HelpButton})
        if (buttons & b) return b;
    return OkButton;
}

Button DefaultPrompter::Ask(const Message& message) {
    if (echo_) echo_->Report(message);
    return DefaultAnswer(message.buttons);
}

} // namespace ampvane
