// SPDX-License-Identifier: GPL-3.0-or-later
// The exchange server's checks of hostile requests and the escaping of what it serves.

#include <gtest/gtest.h>

#include "server/exchange_protocol.h"
#include "server/exchange_service.h"

namespace ampvane::server {
namespace {

std::string WithChecksum(QueryPairs pairs, std::string& query) {
    long long sum = 0;
    for (const auto& [n, v] : pairs)
        for (unsigned char c : n + v) sum += c;
    pairs.emplace_back("crc", std::to_string(sum));
    pairs.emplace_back("ver", "809");
    query.clear();
    for (const auto& [n, v] : pairs) query += (query.empty() ? "" : "&") + n + "=" + v;
    return query;
}

SubmitCheck Check(QueryPairs pairs) {
    std::string query;
    WithChecksum(std::move(pairs), query);
    return CheckSubmission(*DecodeQuery(query));
}

TEST(SubmitChecks, AcceptedLineHasEveryColumnOfTheTable) {
    const SubmitCheck ok = Check({{"base", "100"}, {"name", "Jo"}, {"p101", "1000"}, {"p100", "Test 1"}, {"p105", "Yes"}});
    ASSERT_TRUE(ok.contribution) << ok.reason;
    EXPECT_EQ(ok.contribution->line, "Test 1\t1000\t\t\t\tYes\t");
    EXPECT_EQ(ok.contribution->kind, 1);
    EXPECT_EQ(HeaderLine(1), "MOTORNAME\tMOTORSTANT\tIDLECRRENT\tARMATTANCE\tWEIGHT\tBRUSHLESS\tOUTRUNNER");
}

TEST(SubmitChecks, HostileSubmissionsAreRefused) {
    const std::string longName(41, 'a');
    const std::vector<std::pair<QueryPairs, std::string>> cases = {
        {{{"base", "900"}, {"name", "Jo"}, {"p900", "x"}}, "names no component table"},
        {{{"base", "100"}, {"name", " "}, {"p100", "x"}}, "contributor's name is empty"},
        {{{"base", "100"}, {"name", "Jo"}, {"p101", "12"}}, "has no name"},
        {{{"base", "100"}, {"name", "Jo"}, {"p100", longName}}, "too long"},
        {{{"base", "100"}, {"name", "Jo"}, {"p100", "a\tb"}}, "cannot be stored"},
        {{{"base", "100"}, {"name", "Jo"}, {"p100", "a"}, {"p101", "1e"}}, "not a number"},
        {{{"base", "100"}, {"name", "Jo"}, {"p100", "a"}, {"p105", "No"}}, "must be Yes"},
        {{{"base", "100"}, {"name", "Jo"}, {"p100", "a"}, {"p201", "1"}}, "does not belong"},
        {{{"base", "100"}, {"name", "Jo"}, {"p100", "a"}, {"p199", "1"}}, "unknown"},
        {{{"base", "100"}, {"name", "Jo"}, {"p100", "a"}, {"p100", "b"}}, "sent twice"},
        {{{"name", "Jo"}, {"base", "100"}, {"p100", "a"}}, "does not start"},
        {{{"base", "100"}, {"name", "Jo"}, {"p100", "\xC3("}}, "cannot be stored"},
    };
    for (const auto& [pairs, reason] : cases) {
        const SubmitCheck check = Check(pairs);
        EXPECT_FALSE(check.contribution) << reason;
        EXPECT_NE(check.reason.find(reason), std::string::npos) << check.reason;
    }
    EXPECT_EQ(CheckSubmission(*DecodeQuery("base=100&name=Jo&p100=a&crc=1&ver=809")).reason,
              "The checksum does not match the data.");
    EXPECT_EQ(CheckSubmission(*DecodeQuery("base=100&name=Jo&p100=a")).reason, "The request has no checksum.");
    for (const char* bad : {"a=%", "a=%4", "a=%G1", "novalue", "a=1&&b=2"}) EXPECT_FALSE(DecodeQuery(bad)) << bad;
    EXPECT_EQ((*DecodeQuery("a=%41+b"))[0].second, "A+b");
}

TEST(ServedText, MetacharactersAreEscapedInPagesAndCannotEndTheComment) {
    const std::vector<std::string> lines = {"<script>alert(1)</script>\t1", "Evil -->\t2", "O'Brien \"&\" Co\t3"};
    const std::string page = HtmlTablePage(1, "MOTORNAME\tMOTORSTANT", lines);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;"), std::string::npos);
    EXPECT_NE(page.find("O'Brien &quot;&amp;&quot; Co"), std::string::npos);
    // The only "-->" is the one closing the importable block.
    EXPECT_EQ(page.find("-->"), page.rfind("-->"));
    EXPECT_NE(page.find("\r\nO'Brien \"&\" Co\t3\r\n"), std::string::npos); // importable as stored
}

TEST(ServedText, ListsSupportBodiesAndCatalogues) {
    const StoredContribution row{"Name\t1", "2026-02-03", "Jo", 42};
    EXPECT_EQ(ContributedList(1, std::span(&row, 1)),
              "F\t" + HeaderLine(1) + "\r\nN\tName\t1\t2026-02-03\tJo\t42\r\n");

    std::string reason;
    const auto message = ParseSupportBody("e=me&s=Hi&m=Test%0D%0A&p=x\r\n", reason);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->message, "Test\r\n");
    EXPECT_FALSE(ParseSupportBody("e=me&s=Hi&m=%00", reason));
    EXPECT_FALSE(ParseSupportBody(std::string(kMaxSupportBytes + 1, 'a'), reason));

    std::string error;
    const auto blocks = ReadCatalogueText("note\nBegin Ampvane8 Cell Table\r\nCELLNAME\tCAPACITY\r\nA\t1\r\n\t2\r\n"
                                          "End Ampvane8 Cell Table\r\nBegin Ampvane8 Nothing Table\r\n",
                                          error);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].kind, 2);
    EXPECT_EQ(blocks[0].lines, std::vector<std::string>{"A\t1"});
    EXPECT_TRUE(ReadCatalogueText("Begin Ampvane8 Cell Table\nno tabs\n", error).empty());
    EXPECT_NE(error.find("tab delimited"), std::string::npos);
}

TEST(SubmitChecks, ValuesTheProgramsTablesWouldRefuseAreRefused) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"p101", "-99999999999999999999"}, // wider than the column
        {"p101", "1e308"},
        {"p100", "\xED\xA0\x80"},          // a surrogate
        {"p100", "\xF4\x90\x80\x80"},      // above U+10FFFF
        {"p100", "\xE0\x80\xAF"},          // an overlong "/"
        {"p100", "\xC0\xAF"},
    };
    for (const auto& [field, value] : cases) {
        QueryPairs pairs = {{"base", "100"}, {"name", "Jo"}, {"p100", "Motor"}};
        if (field == "p100") pairs[2].second = value;
        else pairs.emplace_back(field, value);
        EXPECT_FALSE(Check(pairs).contribution) << field << "=" << value;
    }
    const SubmitCheck fits = Check({{"base", "100"}, {"name", "Jo"}, {"p100", "Motor \xF0\x9F\x9A\x80"}, {"p101", "1e3"}});
    EXPECT_TRUE(fits.contribution) << fits.reason;

    std::string error;
    EXPECT_TRUE(ReadCatalogueText("Begin Ampvane8 Motor Table\nMOTORNAME\tMOTORSTANT\nA\t1\nB\t1e308\n", error).empty());
    EXPECT_NE(error.find("Line 4"), std::string::npos) << error;
    error.clear();
    EXPECT_EQ(ReadCatalogueText("Begin Ampvane8 Motor Table\nMOTORNAME\tMOTORSTANT\nA\t1,5\n", error).size(), 1u) << error;
}

TEST(ServedText, TheImportableBlockKeepsEveryRowThatCannotEndItsComment) {
    const std::vector<std::string> lines = {"Speed 400 -- geared\t1", "Kv > 1000\t2", "Evil --!> x\t3", "A <b>bold</b>\t4"};
    const std::string page = HtmlTablePage(1, "MOTORNAME\tMOTORSTANT", lines);
    const std::string block = page.substr(page.find("Begin Ampvane8"), page.find("-->") - page.find("Begin Ampvane8"));
    EXPECT_NE(block.find("\r\nSpeed 400 -- geared\t1\r\n"), std::string::npos);
    EXPECT_NE(block.find("\r\nKv > 1000\t2\r\n"), std::string::npos);
    EXPECT_EQ(block.find("Evil"), std::string::npos);
    EXPECT_EQ(block.find("<b>"), std::string::npos);
    EXPECT_NE(page.find("<p>2 components hold text"), std::string::npos); // said, not silent
}

TEST(RateLimit, BoundsWritesPerAddressPerMinute) {
    RateLimiter limiter(2);
    const auto now = std::chrono::steady_clock::now();
    EXPECT_TRUE(limiter.Allow("a", now));
    EXPECT_TRUE(limiter.Allow("a", now));
    EXPECT_FALSE(limiter.Allow("a", now));
    EXPECT_TRUE(limiter.Allow("b", now));
    EXPECT_TRUE(limiter.Allow("a", now + std::chrono::seconds(61)));
    RateLimiter unbounded(0);
    for (int i = 0; i < 100; ++i) EXPECT_TRUE(unbounded.Allow("a", now));
}

} // namespace
} // namespace ampvane::server
