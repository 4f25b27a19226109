// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace ampvane {

// The core never shows anything: it hands messages and questions to these interfaces. The desktop
// program shows them in message boxes, the CLI prints them, tests record them and script the answers.

enum class MessageKind { Information, Warning, Error, Confirmation };

// Buttons a message box offers; combined as a bit set.
enum Button : unsigned {
    NoButton = 0,
    OkButton = 1u << 0,
    CancelButton = 1u << 1,
    YesButton = 1u << 2,
    NoButtonAnswer = 1u << 3, // "No"; named so it does not clash with NoButton
    HelpButton = 1u << 4,
};

struct Message {
    MessageKind kind = MessageKind::Information;
    std::string text;
    unsigned buttons = OkButton;
    int helpTopic = 0; // 0: no help topic
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void Report(const Message& message) = 0;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    // Returns the button the user chose (one of message.buttons).
    virtual Button Ask(const Message& message) = 0;
};

// Shorthands for the common message forms.
Message InformationMessage(std::string text);
Message WarningMessage(std::string text);
Message ErrorMessage(std::string text);

std::string_view MessageKindName(MessageKind kind);

// For headless front ends: messages go to a stream (stderr by default) and questions take the default.
class StreamMessageSink final : public MessageSink {
public:
    explicit StreamMessageSink(std::FILE* stream = nullptr);
    void Report(const Message& message) override;

private:
    std::FILE* stream_;
};

// Answers every question with its default: OK when offered, else Yes, else the first button.
// The question text is printed so that a terminal user sees why something was or was not done.
class DefaultPrompter final : public Prompter {
public:
    explicit DefaultPrompter(MessageSink* echo = nullptr) : echo_(echo) {}
    Button Ask(const Message& message) override;
    static Button DefaultAnswer(unsigned buttons);

private:
    MessageSink* echo_;
};

// Discards messages; for callers that check a returned result instead.
class NullMessageSink final : public MessageSink {
public:
    void Report(const Message&) override {}
};

} // namespace ampvane
