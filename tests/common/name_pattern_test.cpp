// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <bitset>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/name_pattern.h"

namespace ampvane {
namespace {

struct PatternCase {
    const char* text;
    const char* pattern;
    std::optional<std::string> extracted; // nullopt: no match
};

TEST(NamePattern, TableOfCases) {
    const PatternCase cases[] = {
        {"Halden 2400mAh 30C", "[0-9][0-9/]*", "2400"},
        {"Cell 1/2AA 600", "[0-9][0-9/]*", "1/2"},
        {"Maker AB-1700 cell", "[A-Z]*-*[0-9][0-9/]*", "AB-1700"},
        {"Outrunner 12T 1200kv", R"(\<[1-9][0-9]*[Tt]\>)", "12T"},
        {"Outrunner 112Turbo", R"(\<[1-9][0-9]*[Tt]\>)", std::nullopt},
        {"12T", R"(\<[1-9][0-9]*[Tt]\>)", "12T"},
        {"x at start", "^x", "x"},
        {"a x not at start", "^x", std::nullopt},
        {"ends in a", "a$", "a"},
        {"a is not last", "a$", std::nullopt},
        {"1a^b2", "a^b", "a^b"},
        {"x$y", "$y", "$y"},
        {"baaac", "a**", ""},   // leftmost: empty at position 1
        {"aaac", "a**c", "aaac"},
        {"aaa", "*a", std::nullopt},
        {"aaa", "+a", std::nullopt},
        {"anything", "", std::nullopt},
        {"", "^", ""},
        {"", "^$", ""},
        {"", "a*", std::nullopt}, // no position to try in an empty text
        {"abcabc", R"(\(abc\)\1)", "abcabc"},
        {"abcabd", R"(\(abc\)\1)", std::nullopt},
        {"xyx-xyx", R"(\(x.x\)-\1)", "xyx-xyx"},
        {"xyx-xzx", R"(\(x.x\)-\1)", std::nullopt},
        {"the cat", R"(\(c\)at)", "cat"},
        {"a-b", "[-a]*", "a-"},
        {"]]x", "[]]*", "]]"},
        {"a]x", "[^]]", "a"},
        {"q-z", R"([\-]...)", std::nullopt},
        {"a.b", R"(a\.b)", "a.b"},
        {"axb", R"(a\.b)", std::nullopt},
        {"abc", "[a-", std::nullopt}, // unclosed set
        {"abc", R"(\(a)", std::nullopt},
        {"abc", R"(a\))", std::nullopt},
        {"abc", R"(\(\))", std::nullopt},
        {"aa", R"(\(a\1\))", std::nullopt}, // refers to the open group
        {"aa", R"(\1\(a\))", std::nullopt}, // group not yet opened
        {"abc", R"(\<*)", std::nullopt},
        {"abc", "^*a", std::nullopt},
        {"aaa", "a+*", "aaa"},
        {"aaa", "a*+", std::nullopt},
        {"x", "\\", std::nullopt},
        {"a\\b", "a\\", "a\\"},
        {"4 cells", "[0-9]+ cell", "4 cell"},
        {" cells", "[0-9]+ cell", std::nullopt},
        {"word end", R"(d\>)", "d"},
        {"wordy", R"(d\>)", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\" pattern \"" + c.pattern + "\"");
        EXPECT_EQ(PatternExtract(c.text, c.pattern), c.extracted);
        EXPECT_EQ(PatternMatches(c.text, c.pattern), c.extracted.has_value());
    }
    EXPECT_EQ(PatternExtract(std::string(1, '\xE9') + "t\xE9", "[\xE0-\xEF]t"), "\xE9t");
}

TEST(NamePattern, ProgramBytesAndGroupLimits) {
    NamePattern plus("ab+");
    ASSERT_TRUE(plus.Valid());
    EXPECT_EQ(plus.Program(), (std::vector<std::uint8_t>{1, 'a', 1, 'b', 12, 1, 'b', 0, 0}));
    NamePattern star("^.*$");
    EXPECT_EQ(star.Program(), (std::vector<std::uint8_t>{5, 12, 2, 0, 6, 0}));
    EXPECT_TRUE(NamePattern(R"(\(a\)\(b\)\(c\)\(d\)\(e\)\(f\)\(g\)\(h\)\(i\))").Valid());
    EXPECT_FALSE(NamePattern(R"(\(a\)\(b\)\(c\)\(d\)\(e\)\(f\)\(g\)\(h\)\(i\)\(j\))").Valid());
    EXPECT_TRUE(NamePattern(R"(\(a\(b\)\2\))").Valid()); // the inner group is closed before it
}

TEST(NamePattern, SubstituteFromTheLastSearch) {
    NamePattern pattern(R"(\([0-9]+\)x\([0-9]+\))");
    EXPECT_FALSE(pattern.Substitute("&").has_value());
    ASSERT_TRUE(pattern.Search("Prop 10x6 wide"));
    EXPECT_EQ(pattern.Substitute(R"(& is \2 by \1, \5 none, \& \x and \)"),
              "10x6 is 6 by 10,  none, & x and \\");
    EXPECT_EQ(PatternSubstitute(pattern, "\\0"), "10x6");
    EXPECT_FALSE(pattern.Search("nothing"));
    EXPECT_FALSE(pattern.Substitute("&").has_value());
}

TEST(NamePattern, PathologicalSearchGivesUp) {
    NamePattern pattern("a*a*a*a*a*a*a*a*a*a*a*a*b");
    EXPECT_FALSE(pattern.Search(std::string(200, 'a')));
    EXPECT_TRUE(pattern.BudgetExceeded());
}

// ---- property test against a straightforward matcher over the pattern's structure ----

struct Token {
    enum Kind { Lit, Any, Set, Start, End, Open, Close, WordStart, WordEnd, Back } kind = Lit;
    char c = 0;
    std::bitset<256> set;
    bool negated = false;
    int repeat = 0; // 0 once, 1 "*", 2 "+", 3 "**"
    int group = 0;
};

Token Make(Token::Kind kind, char c = 0) {
    Token t;
    t.kind = kind;
    t.c = c;
    return t;
}

bool Word(char c) { return IsPatternWordChar(static_cast<unsigned char>(c)); }

struct Reference {
    const std::vector<Token>& tokens;
    const std::string& text;
    std::vector<int> gs = std::vector<int>(10, -1), ge = std::vector<int>(10, -1);
    int end = -1;

    bool One(const Token& t, std::size_t pos) const {
        if (pos >= text.size()) return false;
        const auto u = static_cast<unsigned char>(text[pos]);
        if (t.kind == Token::Lit) return text[pos] == t.c;
        if (t.kind == Token::Any) return true;
        return t.set[u] != t.negated;
    }
    bool Match(std::size_t i, std::size_t pos) {
        if (i == tokens.size()) { end = static_cast<int>(pos); return true; }
        const Token& t = tokens[i];
        switch (t.kind) {
        case Token::Start: return pos == 0 && Match(i + 1, pos);
        case Token::End: return pos == text.size() && Match(i + 1, pos);
        case Token::Open: gs[t.group] = static_cast<int>(pos); return Match(i + 1, pos);
        case Token::Close: ge[t.group] = static_cast<int>(pos); return Match(i + 1, pos);
        case Token::WordStart:
            if (pos > 0 && pos < text.size() && Word(text[pos - 1]) && Word(text[pos])) return false;
            return Match(i + 1, pos);
        case Token::WordEnd:
            if (pos == 0 || !Word(text[pos - 1]) || (pos < text.size() && Word(text[pos]))) return false;
            return Match(i + 1, pos);
        case Token::Back: {
            const std::string g = text.substr(gs[t.group], ge[t.group] - gs[t.group]);
            return text.compare(pos, g.size(), g) == 0 && pos + g.size() <= text.size() && Match(i + 1, pos + g.size());
        }
        default: break;
        }
        const std::size_t least = (t.repeat == 0 || t.repeat == 2) ? 1 : 0;
        std::size_t most = 0;
        while ((t.repeat != 0 || most < 1) && One(t, pos + most)) ++most;
        if (most < least) return false;
        for (std::size_t k = most + 1; k-- > least;)
            if (Match(i + 1, pos + k)) return true;
        return false;
    }
};

std::string Render(const std::vector<Token>& tokens) {
    std::string out;
    for (const Token& t : tokens) {
        switch (t.kind) {
        case Token::Lit:
            if (std::string_view(".[*+\\^$").find(t.c) != std::string_view::npos) out += '\\';
            out += t.c;
            break;
        case Token::Any: out += '.'; break;
        case Token::Set: {
            out += t.negated ? "[^" : "[";
            std::string members;
            for (int c = 0; c < 256; ++c)
                if (t.set[c]) {
                    if (c == ']' || c == '\\' || c == '-' || c == '^') members += '\\';
                    members += static_cast<char>(c);
                }
            out += members + "]";
            break;
        }
        case Token::Start: out += '^'; break;
        case Token::End: out += '$'; break;
        case Token::Open: out += "\\("; break;
        case Token::Close: out += "\\)"; break;
        case Token::WordStart: out += "\\<"; break;
        case Token::WordEnd: out += "\\>"; break;
        case Token::Back: out += "\\" + std::to_string(t.group); break;
        }
        static const char* const kRepeat[] = {"", "*", "+", "**"};
        if (t.kind == Token::Lit || t.kind == Token::Any || t.kind == Token::Set) out += kRepeat[t.repeat];
    }
    return out;
}

TEST(NamePattern, AgreesWithAStraightforwardMatcher) {
    std::mt19937 rng(20261209);
    const std::string alphabet = "ab _.*x";
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    int matches = 0;
    for (int round = 0; round < 20000; ++round) {
        std::vector<Token> tokens;
        std::vector<int> open, closed;
        int groups = 0;
        if (pick(5) == 0) tokens.push_back(Make(Token::Start));
        const int length = 1 + pick(6);
        for (int k = 0; k < length; ++k) {
            Token t;
            const int choice = pick(14);
            if (choice < 5) { t.kind = Token::Lit; t.c = alphabet[pick(static_cast<int>(alphabet.size()))]; }
            else if (choice == 5) t.kind = Token::Any;
            else if (choice == 6) {
                t.kind = Token::Set;
                t.negated = pick(3) == 0;
                for (int m = 0; m <= pick(3); ++m) t.set.set(static_cast<unsigned char>(alphabet[pick(static_cast<int>(alphabet.size()))]));
            } else if (choice == 7 && groups < 9) { t.kind = Token::Open; t.group = ++groups; open.push_back(groups); }
            else if (choice == 8 && !open.empty() && tokens.back().kind != Token::Open) {
                t.kind = Token::Close; t.group = open.back(); open.pop_back(); closed.push_back(t.group);
            } else if (choice == 9 && !closed.empty()) { t.kind = Token::Back; t.group = closed[pick(static_cast<int>(closed.size()))]; }
            else if (choice == 10) t.kind = Token::WordStart;
            else if (choice == 11) t.kind = Token::WordEnd;
            else { t.kind = Token::Lit; t.c = alphabet[pick(3)]; }
            if (t.kind == Token::Lit || t.kind == Token::Any || t.kind == Token::Set) t.repeat = pick(2) ? 0 : pick(4);
            tokens.push_back(t);
        }
        while (!open.empty()) {
            if (tokens.back().kind == Token::Open) tokens.push_back(Make(Token::Lit, 'a'));
            Token close = Make(Token::Close);
            close.group = open.back();
            open.pop_back();
            tokens.push_back(close);
        }
        if (pick(5) == 0) tokens.push_back(Make(Token::End));

        std::string text;
        for (int k = pick(10); k > 0; --k) text += "ab _x.*"[pick(7)];
        const std::string pattern = Render(tokens);
        SCOPED_TRACE("text \"" + text + "\" pattern \"" + pattern + "\"");

        std::optional<std::string> expected;
        std::vector<std::optional<std::string>> expectedGroups(10);
        auto tryAt = [&](std::size_t pos) {
            Reference ref{tokens, text};
            if (!ref.Match(0, pos)) return false;
            expected = text.substr(pos, ref.end - pos);
            for (int g = 1; g <= groups; ++g) expectedGroups[g] = text.substr(ref.gs[g], ref.ge[g] - ref.gs[g]);
            return true;
        };
        if (tokens.front().kind == Token::Start) tryAt(0);
        else if (tokens.front().kind == Token::End) tryAt(text.size());
        else for (std::size_t pos = 0; pos < text.size() && !tryAt(pos); ++pos) {}

        NamePattern compiled(pattern);
        ASSERT_TRUE(compiled.Valid()) << compiled.Error();
        ASSERT_EQ(compiled.Search(text), expected.has_value());
        if (!expected) continue;
        ++matches;
        ASSERT_EQ(compiled.Match(), *expected);
        for (int g = 1; g <= groups; ++g) ASSERT_EQ(compiled.Group(g), expectedGroups[g]) << "group " << g;
    }
    EXPECT_GT(matches, 3000); // the generator must give both outcomes often
}

} // namespace
} // namespace ampvane
