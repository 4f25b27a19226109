#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <ostream>

#include "advice/opinion_fixtures.h"
#include "advice/opinion_rules.h"
#include "advice/opinion_writers.h"
#include "common/file_write.h"
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
