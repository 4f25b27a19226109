// SPDX-License-Identifier: GPL-3.0-or-later
// Requests built by the client: contribution pairs, checksums, unit conversions, support bodies,
// server addresses and proxies, and the contributed-data lists with their ticks.

#include <gtest/gtest.h>

#include "online/contribution.h"
#include "online/exchange_server.h"
#include "online/support_request.h"
#include "support/recording_messages.h"

namespace ampvane {
namespace {

using W = WorkbenchControl;

TEST(ContributionRequest, MotorExampleByteForByte) {
    WorkbenchFields fields;
    fields.SetText(W::MotorNameEdit, "Test 1");
    fields.SetText(W::MotorConstantEdit, "1000");
    fields.SetChecked(W::MotorBrushlessCheckBox, true);
    const RequestPairs pairs = ContributionPairs(fields, 100, " Jo Flyer ", "", {});
    long long crc = 0;
    for (const auto& [n, v] : pairs)
        for (unsigned char c : n + v) crc += c;
    EXPECT_EQ(ContributionTarget(pairs), "/data/submit.cgi?base=100&name=Jo%20Flyer&p101=1000&p100=Test%201&p105=Yes&crc=" +
                                             std::to_string(crc) + "&ver=809");
    EXPECT_EQ(ContributionChecksum(pairs), crc);
}

TEST(ContributionRequest, ConversionsAndSeparators) {
    struct Case {
        W control;
        std::string typed;
        int base;
        ContributionUnits units;
        std::string pair;
    };
    const ContributionUnits metric{true, true, false, NumberLocale{'.'}};
    const ContributionUnits metricInchProps{true, false, false, NumberLocale{'.'}};
    const ContributionUnits comma{false, false, false, NumberLocale{','}};
    const Case cases[] = {
        {W::MotorWeightEdit, "100", 100, metric, "p104=3.5"},
        {W::PropellerDiameterFromEdit, "25.4", 400, metric, "p405=10"},
        {W::PropellerDiameterFromEdit, "25.4", 400, metricInchProps, "p405=25.4"},
        {W::MotorConstantEdit, "1,5", 100, comma, "p101=1.5"},
        {W::CellWeightEdit, "100", 200, metric, "p204=3.53"},
        {W::WingAreaEdit, "20", 700, metric, "p702=310"},
        {W::MinSpeedEdit, "10", 300, metric, "p307=22"},
        {W::MinThrustEdit, "10", 300, ContributionUnits{true, true, true, NumberLocale{'.'}}, "p306=36"},
        {W::IntakeDiameterEdit, "5.5", 700, metric, "p706=5.5"}, // sent as typed, also under metric settings
        {W::CellTypeComboBox, "Li,Po", 200, comma, "p206=Li%2CPo"},
    };
    for (const Case& c : cases) {
        WorkbenchFields fields;
        fields.SetText(c.control, c.typed);
        const std::string target = ContributionTarget(ContributionPairs(fields, c.base, "N", "", c.units));
        EXPECT_NE(target.find("&" + c.pair + "&"), std::string::npos) << target;
    }
}

TEST(ContributionRequest, FanDriveSendsTheDriveNameAsItsOwnAndEmailWhenGiven) {
    WorkbenchFields fields;
    fields.SetText(W::DriveSystemNameEdit, "Fan A");
    fields.SetText(W::FanDiameterEdit, "2.5");
    fields.SetText(W::GearRatioFromEdit, "3");
    const RequestPairs fan = ContributionPairs(fields, 500, "N", " me@x ", {});
    ASSERT_EQ(fan.size(), 5u);
    EXPECT_EQ(fan[2], (std::pair<std::string, std::string>{"email", "me@x"}));
    EXPECT_EQ(fan[3].first, "p501");
    EXPECT_EQ(fan[4], (std::pair<std::string, std::string>{"p500", "Fan A"}));
    EXPECT_EQ(ContributionKinds(kDuctedFanPage)[3].base, 500);
    EXPECT_EQ(ContributionKinds(kPropellerPage)[3].kindName, "Drive System (Prop)");
}

TEST(SupportRequest, BodyAndAnswers) {
    SupportRequest request{"me", "Hi", "Test", false, "ignored", {5, 1, 2600}};
    const std::string body = SupportRequestBody(request);
    EXPECT_EQ(body, "e=me&s=Hi&m=Test%0D%0A%0D%0AVer%208.09%0D%0AWin%205.1.2600\r\n");
    EXPECT_EQ(body.size(), 60u);
    request.attachProject = true;
    request.projectText = "a b";
    EXPECT_TRUE(SupportRequestBody(request).ends_with("&p=a%20b\r\n"));
    EXPECT_FALSE(SupportRequestComplete("me", "Hi", "   "));
    EXPECT_TRUE(SupportRequestComplete(" me", "Hi", "x"));
    for (const char* refused : {"Error", "an error", "no errors", "Errors found"}) EXPECT_FALSE(SupportAnswerAccepted(refused));
    for (const char* accepted : {"Thanks", "ERROR", "eRROR"}) EXPECT_TRUE(SupportAnswerAccepted(accepted));
}

TEST(SupportRequest, OnlyAnAddressSupportCanAnswerIsSent) {
    for (const char* address : {"me@example.org", " jo.smith@mail.example.co.uk ", "a+b@x.io"})
        EXPECT_TRUE(PlausibleEmailAddress(address)) << address;
    for (const char* address : {"not-an-email", "me", "@example.org", "me@", "me@example", "me@.org", "me@example.",
                                "me@@example.org", "me@exa mple.org", "a@b@c.org", "me@example..org", ""})
        EXPECT_FALSE(PlausibleEmailAddress(address)) << address;
    // Refused before anything is written or sent; the message names what was typed.
    testing::RecordingMessages messages;
    messages.Expect(NoEmailAddressMessage("not-an-email"));
    OnlineContext context;
    context.messages = &messages;
    EXPECT_EQ(SendSupportRequest(context, {"not-an-email", "Hi", "Test", false, {}, {}}), SupportOutcome::NotSent);
    EXPECT_EQ(NoEmailAddressMessage(" x "), "\"x\" is not an e-mail address. Please type the address technical "
                                            "support should answer, such as name@example.com.");
}

TEST(ExchangeServerSetting, AddressesAndProxies) {
    EXPECT_EQ(ParseServerAddress("")->host, kDefaultServer);
    EXPECT_EQ(ParseServerAddress(" club.example:8080 ")->port, 8080);
    EXPECT_EQ(ParseServerAddress("club.example")->Authority(), "club.example");
    EXPECT_EQ(ParseServerAddress("[::1]:81")->Authority(), "[::1]:81");
    for (const char* bad : {"a b", "host:", "host:0", "host:65536", "host:x", "http://host", "a/b", "[::1", "h: 1"})
        EXPECT_FALSE(ParseServerAddress(bad)) << bad;
    EXPECT_EQ(ServerOf({"bad host", "", ""}).host, kDefaultServer);

    EXPECT_FALSE(EffectiveProxy({"", "proxy", "abc"}));
    EXPECT_FALSE(EffectiveProxy({"", "proxy", "70000"}));
    EXPECT_FALSE(EffectiveProxy({"", "", "8080"}));
    EXPECT_EQ(EffectiveProxy({"", "proxy", " 8080 "})->port, 8080);
}

TEST(ContributedData, EntriesTicksSortingAndImport) {
    const std::vector<std::string> lines = {
        "F\tMOTORNAME\tMOTORSTANT",
        "N\tZeta\t900\t2026-01-02\tAnn\t7",
        "Y\tbroken line without enough tabs",
        "N\tAlpha\t1000\t2026-01-05\tA very long contributor name indeed\t9",
        "garbage",
        "Y\tMid\t10\t2026-01-01\tBob\t3",
    };
    std::vector<ContributedEntry> entries = ContributedEntries(lines);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].text.size(), 84u);
    EXPECT_EQ(entries[0].text.substr(0, 4), "Zeta");
    EXPECT_EQ(entries[0].text.substr(41, 10), "2026-01-02");
    EXPECT_EQ(entries[1].contributor, "A very long contributor");
    EXPECT_EQ(entries[1].text.substr(75), "        1");
    EXPECT_TRUE(entries[2].ticked);

    SortContributedEntries(entries, ContributedSort::Description);
    EXPECT_EQ(entries[0].name, "Alpha");
    entries[0].ticked = true; // Alpha
    entries[2].ticked = true; // Zeta
    SortContributedEntries(entries, ContributedSort::Date);
    const std::vector<std::string> ticked = ApplyTicks(lines, entries);
    // The skipped line keeps its own mark; the ticks land on exactly the lines their entries came from.
    EXPECT_EQ(ticked[1][0], 'Y');
    EXPECT_EQ(ticked[2][0], 'Y');
    EXPECT_EQ(ticked[3][0], 'Y');
    EXPECT_EQ(ticked[5][0], 'Y');
    entries[2].ticked = false;
    EXPECT_EQ(ApplyTicks(lines, entries)[5][0], 'N');

    // Only ticked lines the list shows are imported: the broken one was never shown, so never chosen.
    EXPECT_EQ(ContributedImportSection("Motor", ticked),
              "Begin Ampvane8 Motor Table\r\nMOTORNAME\tMOTORSTANT\r\nZeta\t900\t2026-01-02\tAnn\t7\r\n"
              "Alpha\t1000\t2026-01-05\tA very long contributor name indeed\t9\r\n"
              "Mid\t10\t2026-01-01\tBob\t3\r\nEnd Ampvane8 Motor Table\r\n");
    EXPECT_EQ(SplitContributedLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
}

} // namespace
} // namespace ampvane
