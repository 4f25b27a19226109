// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>

#include "wizard/wizard_accept.h"
#include "wizard/wizard_results.h"

namespace ampvane {
namespace {

TResultObject Result(std::string motor, double rating, int series = 10, double gear = 1, double d = 10, double p = 6,
                     int wiring = 1, std::string shortName = "2200/25C") {
    TResultObject r;
    r.motorName = std::move(motor);
    r.rating = rating;
    r.series = series;
    r.gearRatio = gear;
    r.diameter = d;
    r.pitch = p;
    r.wiring = wiring;
    r.battery.shortName = std::move(shortName);
    r.battery.name = "Cell";
    return r;
}

TEST(WizardRanking, SimilarResultsOfOneMotorKeepTheBetter) {
    const TResultObject base = Result("M", 1.0);
    EXPECT_EQ(DifferenceScore(base, Result("M", 0.9, 10, 1, 10, 7)), 2);             // pitch
    EXPECT_EQ(DifferenceScore(base, Result("M", 0.9, 11, 1, 10, 6, 2)), 3);          // series, wiring
    EXPECT_EQ(DifferenceScore(base, Result("M", 0.9, 11, 2.5)), 4);                  // series, gear, direct
    EXPECT_EQ(DifferenceScore(base, Result("M", 0.9, 10, 1, 10, 6, 1, "2200/40C")), 2);

    WizardSearchControl control;
    auto ranked = RankResults({Result("M", 0.8, 10, 1, 10, 7), Result("M", 0.9), Result("M", 0.7, 11, 2.5),
                               Result("A", 0.5)},
                              control);
    ASSERT_TRUE(ranked);
    ASSERT_EQ(ranked->size(), 3u);
    EXPECT_EQ((*ranked)[0].rating, 0.9);
    EXPECT_EQ((*ranked)[1].rating, 0.7);
    EXPECT_EQ((*ranked)[2].motorName, "A");
    EXPECT_EQ(control.Stages().front(), "Sorting Candidates...");
    EXPECT_EQ(control.Stages().back(), "Filtering Candidates");
}

// The ranking order is a stable sort by (name, rating): runs of a name that come back later in the list,
// names that are prefixes of others, ties of rating within and across runs, empty and one-result lists.
TEST(WizardRanking, OrderIsTheStableSortByNameAndRating) {
    const std::vector<std::string> names = {"M", "M2", "m", "Motor", "", "M "};
    std::mt19937 rng(35);
    for (int round = 0; round < 400; ++round) {
        std::vector<TResultObject> list;
        const int runs = static_cast<int>(rng() % 12);
        for (int r = 0; r < runs; ++r) {
            const std::string& name = names[rng() % names.size()];
            for (int k = 1 + static_cast<int>(rng() % 30); k > 0; --k)
                list.push_back(Result(name, 0.1 * static_cast<double>(rng() % 5)));
        }
        std::vector<std::uint32_t> expected(list.size());
        std::iota(expected.begin(), expected.end(), 0u);
        std::stable_sort(expected.begin(), expected.end(), [&](std::uint32_t x, std::uint32_t y) {
            if (const int c = list[x].motorName.compare(list[y].motorName); c != 0) return c < 0;
            return list[x].rating > list[y].rating;
        });
        ASSERT_EQ(RankingOrder(list), expected) << round;
    }
}

TEST(WizardRanking, LongListsAreCappedPerMotor) {
    // 25 motors with six distinct results each: 150 entries, more than 100 kept.
    std::vector<TResultObject> list;
    for (int m = 0; m < 25; ++m)
        for (int k = 0; k < 6; ++k)
            list.push_back(Result("Motor " + std::to_string(100 + m), 1.0 - 0.1 * k, 6 + k, 1 + k, 10 + k));
    // One motor whose second-best result is a near duplicate of its best.
    list.push_back(Result("Motor 999", 1.0));
    list.push_back(Result("Motor 999", 0.95, 10, 1, 10, 7));
    list.push_back(Result("Motor 999", 0.9, 20, 3));
    WizardSearchControl control;
    const auto ranked = RankResults(list, control);
    ASSERT_TRUE(ranked);
    std::map<std::string, int> perMotor;
    for (const auto& r : *ranked) ++perMotor[r.motorName];
    EXPECT_EQ(perMotor["Motor 999"], 1);
    EXPECT_EQ(perMotor["Motor 100"], 3); // 5 each is 126, 4 each is 101, 3 each is 76
    EXPECT_EQ(ranked->size(), 25u * 3 + 1);
    for (std::size_t i = 1; i < ranked->size(); ++i) EXPECT_GE((*ranked)[i - 1].rating, (*ranked)[i].rating);
}

TEST(WizardRanking, RowsAndTheirSorting) {
    const NumberLocale locale;
    EXPECT_EQ(RatingText(1.0, 1.0, locale), "1.000");
    EXPECT_EQ(RatingText(1.0 / 16, 1.0, locale), "0.500");
    EXPECT_EQ(GearText(1.0, locale), "");
    EXPECT_EQ(GearText(2.5, locale), "2.5:1");
    EXPECT_EQ(GearText(3.0, locale), "3:1");
    EXPECT_EQ(GroupedCount(1234567, locale), "1,234,567");
    EXPECT_EQ(GroupedCount(999, {',', ':'}), "999");

    std::vector<TResultObject> ranked = {Result("Alpha", 1.0, 10, 1, 10, 6, 2, "1950Li 3P"),
                                         Result("Beta", 0.5, 3, 2.5, 9, 4.5, 1), Result("Gamma", 0.25, 12, 3, 11, 7, 3)};
    auto rows = ResultRows(ranked, 2, true, 1.0, locale);
    EXPECT_EQ(ResultsHeader(2)[0], "Motors (2)");
    EXPECT_EQ(ResultsHeader(1)[0], "Motor");
    EXPECT_EQ(rows[0].cells[0], "P - Alpha");
    EXPECT_EQ(rows[0].cells[1], "10x1950Li 3P");
    EXPECT_EQ(rows[0].cells[3], "25.4x15.2");
    EXPECT_DOUBLE_EQ(rows[0].result.diameter, 25.4);
    EXPECT_EQ(rows[1].cells[0], "S - Beta");
    EXPECT_EQ(rows[2].cells[0], "X - Gamma");

    SortResultRows(rows, 1, false, '.'); // battery: 3x, 10x, 12x by number
    EXPECT_EQ(rows[0].cells[0], "S - Beta");
    EXPECT_EQ(rows[2].cells[0], "X - Gamma");
    SortResultRows(rows, 2, true, '.'); // gear descending, the empty gear last
    EXPECT_EQ(rows[0].cells[2], "3:1");
    EXPECT_EQ(rows[2].cells[2], "");
    SortResultRows(rows, 0, false, '.');
    EXPECT_EQ(rows[0].cells[0], "P - Alpha");
}

TEST(WizardRanking, MessagesWhenNothingWasFound) {
    WizardSearchSettings s;
    s.restrictionText = " (using your motor restrictions)";
    s.levelText = "Trainer";
    WizardSearchResult search;
    search.lastPassHadCandidates = true;
    search.counters.analysed = 1;
    search.counters.tooHeavy = 1;
    EXPECT_EQ(WizardFailureMessage(s, search, {}),
              "The AmpvaneWizard has analysed 1 power system combination (using your motor restrictions), and found "
              "that it was not suitable (see below). Please try again with a different performance level or shorter "
              "desired flying time.\r\n\r\n1 was too heavy for the desired flying characteristics.");
    search.counters = {};
    search.counters.analysed = 2500;
    search.counters.tooInefficient = 2;
    search.counters.tooHot = 1;
    search.counters.notComputed = 1200;
    EXPECT_EQ(WizardFailureMessage(s, search, {}),
              "The AmpvaneWizard has analysed 2,500 power system combinations (using your motor restrictions), and was "
              "unable to find any that were suitable (see below). Please try again with a different performance level "
              "or shorter desired flying time.\r\n\r\n2 were too inefficient, not making effective use of the motor."
              "\r\n1 ran too hot, risking damage to the motor.\r\n1,200 could not be computed (for reasons that could "
              "not be determined).");
    search.lastPassHadCandidates = false;
    s.specificBattery = true;
    s.specificCellName = "Sanyo 1700SCR";
    EXPECT_EQ(WizardFailureMessage(s, search, {}),
              "The AmpvaneWizard was unable to construct a battery using Sanyo 1700SCR cells with a sufficiently high "
              "power-to-weight ratio to provide the desired level of performance for the specified length of time. It "
              "may be that the model is simply too heavy to fly slowly enough to be a trainer. Please try again with a "
              "different performance level or shorter desired flying time. Also ensure that you specified the weight of "
              "the model WITHOUT motor, battery, and speed control.\r\n");
    EXPECT_EQ(WizardSummary(12345, "", 7, {}),
              "The AmpvaneWizard has analysed 12,345 power system combinations, and has found that the following 7 will "
              "provide the desired level of performance:");
}

TEST(WizardWriters, TextsFromTheTablesAreEscapedAndGearsWrittenForSpreadsheets) {
    WizardAnswers a;
    a.planeName = "<b>Cub & \"Co\"</b>";
    a.wingSpan = "60";
    std::vector<TResultObject> ranked = {Result("Motor <i>&", 1.0, 10, 3)};
    const auto rows = ResultRows(ranked, 1, false, 1.0, {});
    const std::string html = WriteWizardResults(WizardOutputStyle::Html, a, 1, rows, "1/2/2026 10:00", {});
    EXPECT_NE(html.find("<title>AmpvaneWizard Results - &lt;b&gt;Cub &amp; &quot;Co&quot;&lt;/b&gt;</title>"),
              std::string::npos);
    EXPECT_NE(html.find("<td bgcolor=white>Motor &lt;i&gt;&amp;</td>"), std::string::npos);
    EXPECT_EQ(html.find("<i>"), std::string::npos);
    EXPECT_NE(html.find("<b>Wing Span:</b> 60 in<br>"), std::string::npos);

    const std::string csv = WriteWizardResults(WizardOutputStyle::Csv, a, 1, rows, "now", {});
    EXPECT_NE(csv.find("\"10x2200/25C\",\"3.0:1\",\"10x6\",\"1.000\""), std::string::npos);

    const std::string text = WriteWizardResults(WizardOutputStyle::Text, a, 1, rows, "now", {});
    EXPECT_EQ(text.rfind("AmpvaneWizard Results - <b>Cub & \"Co\"</b>\r\nDesired Full-throttle Performance: Trainer\r\n", 0), 0u);
    EXPECT_NE(text.find("Motor <i>&"), std::string::npos);
    EXPECT_NE(text.find("Generated by Ampvane 8.09, now."), std::string::npos);
    EXPECT_EQ(ChooseWizardOutputStyle("a.HTM", 1), WizardOutputStyle::Html);
    EXPECT_EQ(ChooseWizardOutputStyle("a.txt", 3), WizardOutputStyle::Csv);
    EXPECT_EQ(ChooseWizardOutputStyle("a", 1), WizardOutputStyle::Text);
}

TEST(WizardAccept, PackNamesDriveAndSpeedControl) {
    EXPECT_EQ(SplitPackName("Halden LiPo 2200/25C 3-parallel").cellName, "Halden LiPo 2200/25C");
    EXPECT_EQ(SplitPackName("Halden LiPo 2200/25C 3-parallel").parallel, 3);
    EXPECT_EQ(SplitPackName("Big 12-parallel").parallel, 12); // the whole count
    EXPECT_EQ(SplitPackName("Big 12-parallel").cellName, "Big");
    EXPECT_EQ(SplitPackName("Odd-parallel").parallel, 0);
    EXPECT_EQ(SplitPackName("Sanyo 1700SCR").cellName, "Sanyo 1700SCR");

    using C = WorkbenchControl;
    std::vector<std::string> calls;
    WizardAcceptServices services{
        [](ComponentTableKind, std::string_view) { return false; },
        [&](ComponentTableKind kind, std::string_view name) {
            calls.push_back(std::to_string(static_cast<int>(kind)) + ":" + std::string(name));
            return true;
        },
        [&](ComponentTableKind kind) { calls.push_back("new " + std::to_string(static_cast<int>(kind))); },
    };
    WizardAnswers answers;
    WizardSearchSettings settings;
    settings.motors = 2;
    TResultObject result = Result("Orvix 2212", 1.0, 3, 2.5, 10, 6, 2);
    result.battery.name = "Halden LiPo 2200/25C 2-parallel";
    result.brushless = true;
    result.current = 12;
    WorkbenchFields fields;
    NullMessageSink quiet;
    AcceptWizardResult(fields, result, answers, settings, false, {}, {}, services, quiet);
    EXPECT_EQ(calls, (std::vector<std::string>{"1:Orvix 2212", "2:Halden LiPo 2200/25C", "new 3", "new 4", "new 6"}));
    EXPECT_EQ(fields.Text(C::ParallelCellsFromEdit), "2");
    EXPECT_EQ(fields.Text(C::NumberOfCellsToEdit), "3");
    EXPECT_EQ(fields.Text(C::DriveSystemNameEdit), "Generic 10x6in Prop w/2.5:1 Gearbox");
    EXPECT_EQ(fields.Text(C::GearRatioFromEdit), "2.5");
    EXPECT_EQ(fields.Text(C::PropConstantEdit), "1.31");
    EXPECT_EQ(fields.Text(C::ThrustConstantEdit), "0.950");
    EXPECT_EQ(fields.Text(C::ParallelMotorsEdit), "2");
    EXPECT_EQ(fields.Text(C::ESCNameEdit), "Generic Brushless ESC");
    EXPECT_EQ(fields.Text(C::MultipleESCsEdit), "2");
    EXPECT_EQ(fields.Text(C::WizardInfoEdit), SaveWizardInfo(answers));

    // A speed control that can carry the current, suits the motor and loses little is kept.
    WorkbenchFields keep;
    keep.SetText(C::ESCNameEdit, "Big ESC");
    keep.SetText(C::ESCMaxCurrentEdit, "12");
    keep.SetText(C::ESCResistanceEdit, "0.0045");
    keep.SetChecked(C::ESCBrushlessCheckBox, true);
    AcceptWizardResult(keep, result, answers, settings, false, {}, {}, services, quiet);
    EXPECT_EQ(keep.Text(C::ESCNameEdit), "Big ESC");
    EXPECT_EQ(keep.Text(C::MultipleESCsEdit), "");
}

} // namespace
} // namespace ampvane
