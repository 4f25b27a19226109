// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/tips.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ampvane {
namespace {

// Opens the tip window `times` times from `last`, returning the texts shown and the final stored number.
std::vector<std::string> Openings(std::string_view file, int& last, int times) {
    std::vector<std::string> shown;
    for (int i = 0; i < times; ++i) {
        const TipStep step = NextTip(file, last);
        shown.push_back(step.text);
        last = step.lastTip;
    }
    return shown;
}

TEST(TipOfDay, FileOrderWrapsRoundAndSkipsEmptyLines) {
    const std::string file = "One\r\n\r\nTwo\n   \nThree\n\n";
    int last = 0;
    std::vector<int> stored;
    for (int i = 0; i < 4; ++i) {
        const TipStep step = NextTip(file, last);
        last = step.lastTip;
        stored.push_back(last);
    }
    EXPECT_EQ(stored, (std::vector<int>{1, 2, 0, 1}));
    last = 0;
    EXPECT_EQ(Openings(file, last, 4), (std::vector<std::string>{"One", "Two", "Three", "One"}));
    // A file whose last line has no line end behaves the same.
    last = 0;
    EXPECT_EQ(Openings("One\nTwo\nThree", last, 4), (std::vector<std::string>{"One", "Two", "Three", "One"}));
}

TEST(TipOfDay, StoredNumberBeyondTheTipsShowsTheLastAndStartsAgain) {
    int last = 7;
    EXPECT_EQ(Openings("One\nTwo\n", last, 2), (std::vector<std::string>{"Two", "One"}));
    last = -3; // damaged settings: from the start
    EXPECT_EQ(Openings("One\nTwo\n", last, 1), (std::vector<std::string>{"One"}));
}

TEST(TipOfDay, MissingOrEmptyFileKeepsTheStoredNumber) {
    TipStep step = NextTip(std::nullopt, 2);
    EXPECT_FALSE(step.found);
    EXPECT_EQ(step.text, "The \"Tip of the Day\" file could not be found.");
    EXPECT_EQ(step.lastTip, 2);
    for (const char* empty : {"", "\r\n\n  \n"}) {
        step = NextTip(empty, 2);
        EXPECT_FALSE(step.found);
        EXPECT_EQ(step.text, "The \"Tip of the Day\" file does not contain any tips.");
        EXPECT_EQ(step.lastTip, 2);
    }
    EXPECT_FALSE(NextTipFromFile("/nonexistent/Tips.lst", 0).found);
}

TEST(TipOfDay, TopicPrefixGivesTellMeMore) {
    struct Case {
        const char* line;
        std::optional<int> topic;
        const char* text;
    } cases[] = {
        {"57|Ask for support from the Help menu.", 57, "Ask for support from the Help menu."},
        {"No topic here.", std::nullopt, "No topic here."},
        {"12|Splits at the first | only", 12, "Splits at the first | only"},
        {"abc|Not a number before the bar", std::nullopt, "abc|Not a number before the bar"},
        {"|Empty number", std::nullopt, "|Empty number"},
        {"Power && weight", std::nullopt, "Power && weight"},
    };
    for (const Case& c : cases) {
        const TipStep step = NextTip(c.line, 0);
        EXPECT_TRUE(step.found) << c.line;
        EXPECT_EQ(step.topic, c.topic) << c.line;
        EXPECT_EQ(step.text, c.text) << c.line;
    }
    EXPECT_EQ(PrintedTipText("Power && weight &&& more"), "Power & weight && more");
}

} // namespace
} // namespace ampvane
