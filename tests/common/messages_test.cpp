// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/held_messages.h"

namespace ampvane {
namespace {

TEST(DefaultPrompter, PrefersOkThenYes) {
    EXPECT_EQ(DefaultPrompter::DefaultAnswer(OkButton | CancelButton | HelpButton), OkButton);
    EXPECT_EQ(DefaultPrompter::DefaultAnswer(YesButton | NoButtonAnswer), YesButton);
    EXPECT_EQ(DefaultPrompter::DefaultAnswer(NoButtonAnswer | CancelButton), NoButtonAnswer);
}

// What a recomputation reports while the user types waits: each text once, in order, until released.
TEST(HeldMessages, PassedOnOnceWhenReleased) {
    struct Shown final : MessageSink {
        std::vector<std::string> texts;
        void Report(const Message& message) override { texts.push_back(message.text); }
    } shown;
    HeldMessages held;
    for (const char* text : {"first", "second", "first"}) held.Report(WarningMessage(text));
    EXPECT_TRUE(shown.texts.empty());
    held.Release(shown);
    EXPECT_EQ(shown.texts, (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(held.Empty());
    held.Report(WarningMessage("third"));
    held.Clear();
    held.Release(shown);
    EXPECT_EQ(shown.texts.size(), 2u);
}

} // namespace
} // namespace ampvane
