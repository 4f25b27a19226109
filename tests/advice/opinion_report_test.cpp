// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/opinion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "analysis/report_fixtures.h"
#include "model/measured_propeller.h"
#include "support/recording_messages.h"

// The opinion read from real reports: a static report's row opened in flight, then explained.

namespace ampvane {
namespace {

using testing::RecordingMessages;

Report InFlightOfFirstRow(const PlaneDesc& plane, const AnalysisOptions& options) {
    RecordingMessages messages;
    Report report;
    const ReportOutcome outcome = BuildReport(report, ReportRequest{}, options, plane, messages, messages);
    EXPECT_NE(outcome, ReportOutcome::Closed);
    std::optional<Report> inFlight = OpenInFlightReport(report, 0, true, messages, messages);
    EXPECT_TRUE(inFlight.has_value());
    return inFlight ? *inFlight : Report{};
}

TEST(OpinionFromReport, ReadsTheInFlightReportsPointsAndTexts) {
    PlaneDesc plane = testing::GearedPropellerPlane();
    testing::AddGlider(plane);
    const Report inFlight = InFlightOfFirstRow(plane, testing::SeaLevelOptions(true));
    ASSERT_TRUE(inFlight.InFlight());
    const OpinionInput in = OpinionInputFromReport(inFlight);

    EXPECT_EQ(in.Plane.Cell.SeriesCellsFrom, inFlight.Plane.Cell.SeriesCellsFrom);
    EXPECT_TRUE(in.HasWing && in.HasDrag && in.HasWeight && in.HasStall);
    EXPECT_GT(in.StallSpeed, 0);
    EXPECT_GT(in.MaxLevelSpeed, 0);
    EXPECT_DOUBLE_EQ(in.TotalWeight, inFlight.Grid.MaxTotalWeight);
    for (int m = 0; m < 3; ++m) {
        EXPECT_EQ(in.Markers[m].Enabled, inFlight.Grid.Markers[m].Enabled);
        EXPECT_DOUBLE_EQ(in.Markers[m].RowMotorCurrent, inFlight.Grid.Markers[m].RowMotorCurrent);
    }
    EXPECT_GT(in.Markers[kZeroAirspeedMarker].RowPitchSpeed, 0); // the static pitch speed
    EXPECT_EQ(in.ConditionLine, inFlight.Grid.ConditionLine);

    const OpinionDocument document = ExplainReport(inFlight);
    EXPECT_EQ(document.Title, "AmpvaneOpinion - Untitled");
    ASSERT_GT(document.Paragraphs.size(), 4u);
    EXPECT_EQ(document.Paragraphs[1].Text(), inFlight.Grid.ConditionLine);
    EXPECT_EQ(document.Paragraphs[3].Style, ParagraphStyle::Labelled);
    EXPECT_EQ(document.Paragraphs[3].Runs[0].Text, "Motor:");
    EXPECT_EQ(document.Paragraphs.back().Runs[0].Text.rfind("These calculations are based", 0), 0u);
}

// A measured propeller's opinion says where its figures come from, as a general note (a bullet, not
// a labelled line, whatever the name), for measured and for a maker's computed data; the two-constant
// drive's opinion says nothing of it.
TEST(OpinionFromReport, SaysWhenThePropellerIsMeasured) {
    PlaneDesc plane = testing::GearedPropellerPlane();
    testing::AddGlider(plane);
    const AnalysisOptions options = testing::SeaLevelOptions(true);
    const std::string sentence = "The propeller's thrust, power, rpm and efficiency come from ";
    EXPECT_EQ(BuildOpinionText(OpinionInputFromReport(InFlightOfFirstRow(plane, options))).find(sentence),
              std::string::npos);
    const double rpms[] = {2000, 30000}, js[] = {0, 0.2, 0.4, 0.6, 0.8, 1.0};
    const DriveSystemDesc& d = plane.Drive;
    MeasuredPropeller table = TabulateTwoConstantModel(d.DiameterFrom(), d.PitchFrom(), d.Blades, d.PropConstant(),
                                                       d.ThrustConstant(), rpms, js);
    table.Name = "Bench: 10x6";
    for (const PropellerDataKind kind : {PropellerDataKind::Measured, PropellerDataKind::Computed}) {
        table.Kind = kind;
        plane.Drive.Measured = std::make_shared<const MeasuredCurves>(table);
        const OpinionDocument document = ExplainReport(InFlightOfFirstRow(plane, options));
        const auto note = std::find_if(document.Paragraphs.begin(), document.Paragraphs.end(),
                                       [&](const auto& p) { return p.Text().rfind(sentence, 0) == 0; });
        ASSERT_NE(note, document.Paragraphs.end());
        EXPECT_EQ(note->Style, ParagraphStyle::Bullet);
        EXPECT_EQ(note->Text(), sentence +
                                    (kind == PropellerDataKind::Measured
                                         ? "the measured thrust and power coefficients of the propeller \"Bench: 10x6\""
                                         : "the thrust and power coefficients that the maker computed for the propeller "
                                           "\"Bench: 10x6\" (blade-element tables, not measurements)") +
                                    ", not from the propeller and thrust constants.");
    }
}

TEST(OpinionFromReport, FanReportWithoutWingSkipsTheWingRules) {
    const Report inFlight = InFlightOfFirstRow(testing::DuctedFanPlane(), testing::SeaLevelOptions());
    const OpinionInput in = OpinionInputFromReport(inFlight);
    EXPECT_FALSE(in.HasWing || in.HasStall);
    const OpinionFindings findings = EvaluateOpinion(in);
    EXPECT_EQ(findings.Fallback, CruiseFallback::ZeroAirspeedFull);
    const std::string text = BuildOpinionText(in);
    EXPECT_EQ(text.find("stall speed"), std::string::npos);
    EXPECT_EQ(text.find("wing loading"), std::string::npos);
    EXPECT_EQ(text.find("to pitch"), std::string::npos);
    EXPECT_NE(text.find("General Notes:"), std::string::npos);
}

TEST(OpinionFromReport, WingAreaJustAboveZeroWritesNoInfiniteLoading) {
    PlaneDesc plane = testing::GearedPropellerPlane();
    testing::AddGlider(plane, 1e-306);
    for (const bool metric : {false, true}) {
        AnalysisOptions options = testing::SeaLevelOptions();
        options.Metric = metric;
        const std::string text = BuildOpinionText(OpinionInputFromReport(InFlightOfFirstRow(plane, options)));
        EXPECT_NE(text.find("General Notes:"), std::string::npos);
        EXPECT_EQ(text.find("wing loading"), std::string::npos) << text;
        for (const char* bad : {"nan", "NAN", "inf", "INF"}) EXPECT_EQ(text.find(bad), std::string::npos) << text;
    }
}

} // namespace
} // namespace ampvane
