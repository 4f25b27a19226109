// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "advice/opinion_fixtures.h"
#include "advice/opinion_rules.h"
#include "advice/opinion_writers.h"
#include "common/file_write.h"
#include "support/command_run.h"
#include "support/test_paths.h"

// Whole opinions of four contrasting systems against committed files. Set AMPVANE_REGENERATE_GOLDEN=1
// to rewrite the files after an intended change, and review the difference before committing it.

namespace ampvane {
namespace {

constexpr const char* kGeneratedAt = "2024-05-17 14:30";

struct GoldenCase {
    const char* name;
    std::function<OpinionInput()> input;
};

const GoldenCase kCases[] = {
    {"overloaded_motor", testing::OverloadedMotor},
    {"underpowered_glider", testing::UnderpoweredGlider},
    {"fan_jet", testing::FanJet},
    {"no_wing", testing::NoWing},
};

void CheckGolden(const std::string& fileName, const std::string& actual) {
    const auto path = (testing::TestDataDir() / "opinion" / fileName).string();
    if (std::getenv("AMPVANE_REGENERATE_GOLDEN")) {
        ASSERT_EQ(WriteFileAtomically(path, actual), "") << path;
        return;
    }
    std::string expected;
    ASSERT_TRUE(ReadWholeFile(path, expected)) << "missing golden file " << path;
    EXPECT_EQ(actual, expected) << "output differs from " << path;
}

void PrintTo(const GoldenCase& c, std::ostream* out) { *out << c.name; }

class OpinionGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(OpinionGolden, TextHtmlAndRtfMatchTheCommittedFiles) {
    const GoldenCase& c = GetParam();
    const OpinionDocument document = FormatOpinionText(BuildOpinionText(c.input()));
    CheckGolden(std::string(c.name) + ".txt", OpinionPlainText(document));
    CheckGolden(std::string(c.name) + ".html", OpinionHtml(document, kGeneratedAt));
    CheckGolden(std::string(c.name) + ".rtf", OpinionRtf(document));
}

INSTANTIATE_TEST_SUITE_P(Systems, OpinionGolden, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Whitespace-separated words, without list bullets: what a reader of any of the formats sees.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    // A word processor keeps a run of spaces with narrow spaces (U+2006) between them.
    std::string spaced = text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
    for (std::size_t at = 0; (at = spaced.find("\xE2\x80\x86", at)) != std::string::npos;) spaced.replace(at, 3, " ");
    std::istringstream in(spaced);
    for (std::string word; in >> word;)
        if (word != "\xE2\x80\xA2") words.push_back(word);
    return words;
}

// An independent reader: where LibreOffice is installed, each committed RTF opens as a document holding
// the text version's words in the same order.
TEST(OpinionGoldenRtf, OpensInAWordProcessorWithTheTextVersionsWords) {
    if (!testing::HaveOffice()) GTEST_SKIP() << "no LibreOffice";
    testing::TempDir dir;
    std::vector<std::string> files;
    for (const GoldenCase& c : kCases) {
        files.push_back(std::string(c.name) + ".rtf");
        std::filesystem::copy_file(testing::TestDataDir() / "opinion" / files.back(), dir.path() / files.back());
    }
    const auto converted = testing::ConvertWithOffice(dir.path().string(), "txt:Text (encoded):UTF8", files);
    ASSERT_EQ(converted.status, 0) << converted.out;
    for (const GoldenCase& c : kCases) {
        std::string opened, expected;
        ASSERT_TRUE(ReadWholeFile(dir.file(std::string(c.name) + ".txt"), opened)) << c.name;
        ASSERT_TRUE(ReadWholeFile((testing::TestDataDir() / "opinion" / (std::string(c.name) + ".txt")).string(),
                                  expected));
        EXPECT_EQ(Words(opened), Words(expected)) << c.name;
    }
}

// What makes each system worth keeping: the findings the golden files are meant to show.
TEST(OpinionGoldenSystems, EachShowsWhatItIsFor) {
    const OpinionFindings overloaded = EvaluateOpinion(testing::OverloadedMotor());
    EXPECT_TRUE(overloaded.LessCurrentSuggested);
    EXPECT_EQ(overloaded.Fallback, CruiseFallback::BestLiftToDrag);
    EXPECT_FALSE(overloaded.PowerProblems.empty());

    const OpinionFindings glider = EvaluateOpinion(testing::UnderpoweredGlider());
    EXPECT_TRUE(glider.AeroProblemReported);
    EXPECT_EQ(glider.Fallback, CruiseFallback::None);

    const OpinionInput fan = testing::FanJet();
    EXPECT_EQ(BuildOpinionText(fan).find("diameter ("), std::string::npos);
    EXPECT_NE(BuildOpinionText(fan).find("fan efflux velocity"), std::string::npos);

    const OpinionFindings noWing = EvaluateOpinion(testing::NoWing());
    EXPECT_EQ(noWing.Fallback, CruiseFallback::ZeroAirspeedFull);
    EXPECT_FALSE(noWing.AeroProblemReported);
}

} // namespace
} // namespace ampvane
