// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/text_escape.h"
#include "common/text_helpers.h"
#include "common/unit_conversion.h"

#include <gtest/gtest.h>

#include "support/recording_messages.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;

TEST(FormatWordList, JoinsForASentence) {
    EXPECT_EQ(FormatWordList("", "or", "none"), "none");
    EXPECT_EQ(FormatWordList("   ", "or", "none"), "none");
    EXPECT_EQ(FormatWordList(" 1 ", "or", ""), "1");
    EXPECT_EQ(FormatWordList(" 1 2 ", "or", ""), "1 or 2");
    EXPECT_EQ(FormatWordList("1 2 4", "or", ""), "1, 2, or 4");
    EXPECT_EQ(FormatWordList("1  2   3 6", "and", ""), "1, 2, 3, and 6");
}

TEST(Escaping, HtmlAndAmpersands) {
    EXPECT_EQ(HtmlEscape("a<b> & \"c\" 'd'"), "a&lt;b&gt; &amp; &quot;c&quot; 'd'");
    EXPECT_EQ(HtmlEscape("&amp;"), "&amp;amp;");
    EXPECT_EQ(DoubleAmpersands("R&D && co"), "R&&D &&&& co");
    EXPECT_EQ(UndoubleAmpersands("R&&D &&&& co &"), "R&D && co &");
    EXPECT_EQ(UndoubleAmpersands(DoubleAmpersands("&&&x&")), "&&&x&");
}

TEST(Escaping, NonBreakingSpaces) {
    EXPECT_EQ(NonBreakingSpaces(" a b", '\0'), "&nbsp;a&nbsp;b");
    EXPECT_EQ(NonBreakingSpaces("a, b  c", ','), "a, b&nbsp;&nbsp;c");
    EXPECT_EQ(NonBreakingSpaces(" x", ' '), "&nbsp;x"); // the first position is always replaced
    EXPECT_EQ(NonBreakingSpaces("x  y", ' '), "x&nbsp; y");
}

TEST(Escaping, UrlEncodeEveryOtherByte) {
    EXPECT_EQ(UrlEncode("Az09-._"), "Az09-._");
    EXPECT_EQ(UrlEncode("a b&c=d/e+"), "a%20b%26c%3Dd%2Fe%2B");
    EXPECT_EQ(UrlEncode("\xC3\xA9\n"), "%C3%A9%0A");
    EXPECT_EQ(UrlEncode(std::string("\0", 1)), "%00");
}

TEST(Escaping, CsvQuote) {
    EXPECT_EQ(CsvQuote("say \"hi\"", true, 2), "\"say 'hi'\",\"\",\"\"");
    EXPECT_EQ(CsvQuote("a,b", true, 0), "\"a,b\"");
    EXPECT_EQ(CsvQuote("say \"hi\"", false, 2), "say \"hi\"");
}

TEST(Escaping, ColorToHtml) {
    EXPECT_EQ(ColorToHtml({0, 102, 0}), "#006600");
    EXPECT_EQ(ColorToHtml({255, 171, 16}), "#FFAB10");
}

TEST(ReplaceAll, RescansSoRunsCollapse) {
    EXPECT_EQ(ReplaceAll("a    b", "  ", " "), "a b");
    EXPECT_EQ(ReplaceAll("xxy", "xy", "y"), "y"); // the new occurrence starts before the old one
    EXPECT_EQ(ReplaceAll("R&&&&D", "&&", "&"), "R&D");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("abc", "d", "x"), "abc");
}

// No length of input stops a transformation half-way: a quoted CSV field never keeps a raw quote.
TEST(ReplaceAll, HoldsForAnyLength) {
    const std::string quotes(1000001, '"');
    const std::string quoted = CsvQuote(quotes, true, 0);
    EXPECT_EQ(quoted, "\"" + std::string(1000001, '\'') + "\"");
    EXPECT_EQ(ReplaceAll(std::string(1000001, 'x') + "y", "xy", "y"), "y");
    EXPECT_EQ(ReplaceAll(std::string(2000003, '&'), "&&", "&"), "&");
}

TEST(ReplaceAll, ReplacementContainingTheSearchTextEnds) {
    EXPECT_EQ(ReplaceAll("a-a", "a", "aa"), "aa-aa");
    EXPECT_EQ(ReplaceAll("&", "&", "&amp;"), "&amp;");
}

TEST(SmallTextHelpers, BlanksChoicesAndPrefixes) {
    EXPECT_EQ(BlankIfZero("0"), "");
    EXPECT_EQ(BlankIfZero("0.0"), "0.0");
    EXPECT_EQ(BlankIfOne("1"), "");
    EXPECT_EQ(BlankIfOne(" 1"), " 1");
    EXPECT_EQ(IfElseText(true, "a", "b"), "a");
    EXPECT_EQ(IfElseText(false, "a", "b"), "b");
    EXPECT_EQ(Plural(1, "cell", "cells"), "cell");
    EXPECT_EQ(Plural(0, "cell", "cells"), "cells");
    EXPECT_TRUE(StartsWithText("", "abc"));
    EXPECT_TRUE(StartsWithText("AB", "abc"));
    EXPECT_FALSE(StartsWithText("abcd", "abc"));
    EXPECT_FALSE(StartsWithText("b", "abc"));
}

TEST(WrapText, BreaksAtTheLastSpaceOrAtTheLimit) {
    EXPECT_EQ(WrapText("one two three", 7), "one two\rthree");
    EXPECT_EQ(WrapText("one two three", 8), "one two\rthree");
    EXPECT_EQ(WrapText("abcdefghij", 4), "abcd\refgh\rij");
    EXPECT_EQ(WrapText("short", 10), "short");
    EXPECT_EQ(WrapText("ab\ncdef gh", 4), "ab\ncdef\rgh");
    EXPECT_EQ(WrapText("\xC3\xA9\xC3\xA9\xC3\xA9", 2), "\xC3\xA9\xC3\xA9\r\xC3\xA9"); // never splits a character
    EXPECT_EQ(WrapText("abc", 0), "abc");
}

TEST(WrapText, WrappedLinesArePaddedAndTellWhetherMoreFollows) {
    bool more = false;
    EXPECT_EQ(WrappedLine("one two three", 7, 1, more), "one two");
    EXPECT_TRUE(more);
    EXPECT_EQ(WrappedLine("one two three", 7, 2, more), "three  ");
    EXPECT_FALSE(more);
    EXPECT_EQ(WrappedLine("one two three", 7, 3, more), "       ");
    EXPECT_FALSE(more);
    EXPECT_EQ(WrappedLine("", 3, 1, more), "   ");
    EXPECT_FALSE(more);
}

TEST(ConvertEditValue, RoundsToTheResolutionAndTrims) {
    RecordingMessages messages;
    const NumberLocale dot;
    EXPECT_EQ(ConvertEditValue(" 28.35 ", 0, 0.1, 1, dot, messages), "28.4");
    EXPECT_EQ(ConvertEditValue("10", 0, 1, 28.3, dot, messages), "283");
    EXPECT_EQ(ConvertEditValue("283", 0, 0.1, 0.03534, dot, messages), "10");
    EXPECT_EQ(ConvertEditValue("1.89", 0, 0.1, 28.3, dot, messages), "53.5");
    EXPECT_EQ(ConvertEditValue("10", 0, 0.25, 2.54, dot, messages), "25.5");
    EXPECT_EQ(ConvertEditValue("2.5", 0, 1, 1, dot, messages), "2"); // half to even
    EXPECT_EQ(ConvertEditValue("3.5", 0, 1, 1, dot, messages), "4");
    EXPECT_EQ(ConvertEditValue("68", -17.77778, 0.1, 0.55556, dot, messages), "20"); // °F to °C;
    EXPECT_EQ(ConvertEditValue("1234", 0, 100, 1, dot, messages), "1200");
    EXPECT_EQ(ConvertEditValue("1,5", 0, 0.01, 1, {',', ':'}, messages), "1,5");
    EXPECT_EQ(ConvertEditValue("   ", 0, 0.1, 1, dot, messages), "");
}

TEST(ConvertEditValue, FaultsKeepTheText) {
    RecordingMessages messages;
    EXPECT_EQ(ConvertEditValue(" 5 ", 0, 0, 1, {}, messages), "5");
    EXPECT_EQ(ConvertEditValue("5", 0, -1, 1, {}, messages), "5");
    EXPECT_EQ(ConvertEditValue("1e300", 0, 1e-10, 1e10, {}, messages), "1e300");
    messages.Expect("There is an invalid numeric value (abc) in one of the fields. Using 0.0 instead.");
    EXPECT_EQ(ConvertEditValue("abc", 0, 0.1, 28.3, {}, messages), "0");
    std::string edit = "10";
    ConvertEdit(edit, 1, 28.3, {}, messages);
    EXPECT_EQ(edit, "283");
    ConvertEditWithOffset(edit, 1, 0.5, 1, {}, messages);
    EXPECT_EQ(edit, "284");
}

} // namespace
} // namespace ampvane
