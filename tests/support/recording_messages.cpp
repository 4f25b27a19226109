// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/recording_messages.h"

#include <gtest/gtest.h>

namespace ampvane::testing {

RecordingMessages::~RecordingMessages() {
    for (const Expected& e : expected_) ADD_FAILURE() << "Expected message never came: " << e.text;
}

RecordingMessages& RecordingMessages::Expect(std::string text) {
    expected_.push_back({std::move(text), false, OkButton});
    return *this;
}

RecordingMessages& RecordingMessages::ExpectQuestion(std::string text, Button answer) {
    expected_.push_back({std::move(text), true, answer});
    return *this;
}

RecordingMessages& RecordingMessages::AllowAny() {
    allowAny_ = true;
    return *this;
}

void RecordingMessages::Check(const Message& message, bool question, Button* answer) {
    messages_.push_back(message);
    if (!expected_.empty() && expected_.front().text == message.text) {
        if (expected_.front().question != question)
            ADD_FAILURE() << (question ? "Asked where a message was expected: " : "Told where a question was expected: ")
                          << message.text;
        if (answer) *answer = expected_.front().answer;
        expected_.pop_front();
        return;
    }
    if (answer) *answer = DefaultPrompter::DefaultAnswer(message.buttons);
    if (allowAny_) return;
    ADD_FAILURE() << "Unexpected " << MessageKindName(message.kind) << (question ? " question: " : " message: ")
                  << message.text
                  << (expected_.empty() ? std::string() : "\n  expected: " + expected_.front().text);
}

void RecordingMessages::Report(const Message& message) { Check(message, false, nullptr); }

Button RecordingMessages::Ask(const Message& message) {
    Button answer = OkButton;
    Check(message, true, &answer);
    return answer;
}

std::vector<std::string> RecordingMessages::texts() const {
    std::vector<std::string> out;
    for (const Message& m : messages_) out.push_back(m.text);
    return out;
}

} // namespace ampvane::testing
