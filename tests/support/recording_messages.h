// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/messages.h"

namespace ampvane::testing {

// Records every message and question. Expected messages are declared up front with Expect(); any
// message not expected fails the running test. Questions take their scripted answers in order.
class RecordingMessages final : public MessageSink, public Prompter {
public:
    RecordingMessages() = default;
    ~RecordingMessages() override; // fails the test when an expected message never came
    RecordingMessages(const RecordingMessages&) = delete;
    RecordingMessages& operator=(const RecordingMessages&) = delete;

    // Declares the next message (in order) by its exact text.
    RecordingMessages& Expect(std::string text);
    // Declares the next question and the answer to give it.
    RecordingMessages& ExpectQuestion(std::string text, Button answer);
    // Accepts any messages without failing; they are still recorded.
    RecordingMessages& AllowAny();

    void Report(const Message& message) override;
    Button Ask(const Message& message) override;

    const std::vector<Message>& messages() const { return messages_; }
    std::vector<std::string> texts() const;
    bool empty() const { return messages_.empty(); }

private:
    struct Expected {
        std::string text;
        bool question = false;
        Button answer = OkButton;
    };
    void Check(const Message& message, bool question, Button* answer);

    std::deque<Expected> expected_;
    std::vector<Message> messages_;
    bool allowAny_ = false;
};

} // namespace ampvane::testing
