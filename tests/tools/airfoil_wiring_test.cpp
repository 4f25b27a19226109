// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "model/airframe.h"
#include "support/recording_messages.h"
#include "tools/airfoil_estimator.h"
#include "tools/wiring.h"

namespace ampvane {
namespace {

using testing::RecordingMessages;
using C = WorkbenchControl;

// Every code the estimator can write, from every slider and class position, decodes to the positions
// it came from.
TEST(AirfoilEstimator, EveryWrittenCodeDecodesToItsControls) {
    for (int t = kThicknessMin; t <= kThicknessMax; ++t)
        for (int c = kCamberMin; c <= kCamberMax; ++c)
            for (int a = kAngleMin; a <= kAngleMax; ++a)
                for (bool plate : {false, true}) {
                    AirfoilControls controls;
                    controls.thickness = t;
                    controls.camber = c;
                    controls.angle = a;
                    controls.flatPlate = plate;
                    controls.dragClass = {(t + a + 10) % 4, c % 3, (t + c) % 3, (a + 10) % 3};
                    AirframeDesc written;
                    DeriveAirframe(written, false);
                    ApplyControls(controls, written);
                    AirframeDesc read;
                    read.AirfoilInfo = EncodeAirfoil(written);
                    read.DragInfo = EncodeDrag(written);
                    DecodeAirfoil(read);
                    DecodeDrag(read);
                    ASSERT_EQ(ControlsFromAirframe(read), controls) << read.AirfoilInfo << " " << read.DragInfo;
                }
    for (int g = 0; g < 4; ++g)
        for (int f = 0; f < 3; ++f)
            for (int p = 0; p < 3; ++p)
                for (int u = 0; u < 3; ++u) {
                    AirframeDesc written;
                    written.LandingGear = g, written.SurfaceFinish = f, written.Protrusions = p, written.Fuselage = u;
                    AirframeDesc read;
                    read.DragInfo = EncodeDrag(written);
                    DecodeDrag(read);
                    EXPECT_EQ(ControlsFromAirframe(read).dragClass, (std::array<int, 4>{g, f, p, u}));
                }
}

TEST(AirfoilEstimator, WorkbenchDefaultsAndApply) {
    WorkbenchFields fields;
    AirframeDesc airframe = WorkbenchAirframe(fields, false, {});
    AirfoilControls controls = ControlsFromAirframe(airframe);
    EXPECT_EQ(controls.thickness, 24);
    EXPECT_EQ(controls.camber, 8);
    EXPECT_EQ(controls.angle, 2);
    EXPECT_EQ(controls.dragClass, (std::array<int, 4>{-1, -1, -1, -1})); // drag code 0: no selections
    EXPECT_EQ(ThicknessIndicator(controls.thickness, {}), "12.0%");
    EXPECT_EQ(AngleIndicator(controls.angle, {}), "1.0\u00B0");
    ApplyAirframeCodes(airframe, fields);
    EXPECT_EQ(fields.Text(C::AirfoilInfoEdit), "1120822");

    controls.dragClass = {0, 0, 0, 0};
    ApplyControls(controls, airframe);
    ApplyAirframeCodes(airframe, fields);
    EXPECT_EQ(fields.Text(C::DragInfoEdit), "1111");
    EXPECT_TRUE(fields.GroupModified(ComponentGroup::Airframe));
}

TEST(AirfoilEstimator, OutlineColourFollowsTheStall) {
    AirframeDesc airframe;
    DeriveAirframe(airframe, false);
    AirfoilControls controls = ControlsFromAirframe(airframe);
    std::vector<OutlineColour> seen;
    for (int a = kAngleMin; a <= kAngleMax; ++a) {
        controls.angle = a;
        ApplyControls(controls, airframe);
        RecomputeAirfoil(airframe);
        const OutlineColour colour = OutlineColourOf(airframe);
        if (seen.empty() || seen.back() != colour) seen.push_back(colour);
        if (airframe.Stalled) {
            EXPECT_EQ(colour, OutlineColour::Red);
        } else if (airframe.Cl > 0.9 * airframe.ClMax) {
            EXPECT_EQ(colour, OutlineColour::Olive);
        }
    }
    EXPECT_EQ(seen, (std::vector{OutlineColour::Blue, OutlineColour::Olive, OutlineColour::Red}));
}

TEST(AirfoilEstimator, SectionOutline) {
    AirframeDesc airframe;
    DeriveAirframe(airframe, false); // 12 % thick, 4 % camber
    const auto outline = SectionOutline(airframe);
    ASSERT_EQ(outline.size(), 45u);
    EXPECT_NEAR(outline[14].x, 40, 1e-12);
    EXPECT_NEAR(outline[14].y, 4 + 1.2 * 4.837, 1e-9); // mean line 4 % plus half of 12 %
    airframe.FlatPlate = 1;
    EXPECT_NEAR(SectionOutline(airframe)[0].y - SectionOutline(airframe)[43].y, 12, 1e-9);
    const ChordPoint nose = RotateAboutMidChord({0, 0}, 0.1);
    EXPECT_GT(nose.y, 0); // a positive angle lifts the leading edge
    const auto texts = AirfoilCoefficientTexts(airframe, {});
    EXPECT_EQ(texts.topLeft[0].substr(0, 3), "Cl=");
    EXPECT_EQ(texts.topRight[3].substr(0, 5), "  Cd=");
}

TEST(AirfoilEstimator, ListEntriesAndMeasurements) {
    RecordingMessages messages;
    messages.AllowAny();
    std::vector<ValueListEntry> raw;
    for (const char* line : {"Plate|-3|0", "Clark Y|11.7|3.4", "Bad|x|y", "Extra|12|2|7"})
        if (auto e = ParseValueListLine(line, {}, messages)) raw.push_back(*e);
    const auto entries = AirfoilListEntries(raw);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_TRUE(entries[0].FlatPlate());
    AirframeDesc airframe;
    DeriveAirframe(airframe, false);
    const double angle = airframe.AngleOfAttack;
    TakeListEntry(airframe, entries[0].FlatPlate(), entries[0].camber, entries[0].thickness);
    const auto controls = ControlsFromAirframe(airframe);
    EXPECT_EQ(controls.thickness, 6);
    EXPECT_TRUE(controls.flatPlate);
    EXPECT_EQ(airframe.AngleOfAttack, angle);

    RecordingMessages quiet;
    auto m = ComputeWingMeasurements({"1.0", "0.5", "10", "1.6", "0.4", "0.75"}, {}, quiet);
    EXPECT_EQ(m.thicknessText, "12");
    EXPECT_EQ(m.camberText, "2.5");
    EXPECT_EQ(m.angleText, "3");
    EXPECT_TRUE(AcceptWingMeasurements(m, quiet));
    EXPECT_FALSE(ComputeWingMeasurements({"1.0", "0.5", "0", "1.6", "0.4", "0.75"}, {}, quiet).thickness);
    m = ComputeWingMeasurements({"1.0", "0.5", "10", "2.9", "0.4", "0.75"}, {}, quiet);
    EXPECT_EQ(m.thicknessText, "25");
    EXPECT_FALSE(m.thicknessInRange);
    RecordingMessages errors;
    errors.Expect(std::string(kThicknessRangeMessage));
    EXPECT_FALSE(AcceptWingMeasurements(m, errors));
    EXPECT_EQ(errors.messages()[0].helpTopic, kWingMeasurementsHelpTopic);
    for (const char* hostile : {"", "abc", "1e400", "-1", "0"}) {
        RecordingMessages any;
        any.AllowAny();
        m = ComputeWingMeasurements({"1.0", "0.5", hostile, "1.6", "0.4", "0.75"}, {}, any);
        for (const std::string& text : {m.thicknessText, m.camberText, m.angleText})
            EXPECT_EQ(text.find_first_of("ni"), std::string::npos) << text;
    }
}

WorkbenchFields Counts(const char* parallelCells, const char* escs, const char* parallelMotors,
                       const char* seriesMotors, const char* cells = "8") {
    WorkbenchFields fields;
    fields.SetText(C::ParallelCellsFromEdit, parallelCells);
    fields.SetText(C::MultipleESCsEdit, escs);
    fields.SetText(C::ParallelMotorsEdit, parallelMotors);
    fields.SetText(C::SeriesMotorsEdit, seriesMotors);
    fields.SetText(C::NumberOfCellsToEdit, cells);
    return fields;
}

TEST(WiringWizard, OpenCheckAndApply) {
    WorkbenchFields fields = Counts("2", "", "2", "2");
    WiringState s = WiringFromWorkbench(fields);
    EXPECT_EQ(s, (WiringState{2, 1, 2, 2, false, true, true, false}));
    EXPECT_TRUE(WiringViewOf(s).possible);
    ASSERT_TRUE(ApplyWiring(s, fields));
    EXPECT_EQ(fields.Text(C::ParallelCellsFromEdit), "2");
    EXPECT_EQ(fields.Text(C::ParallelCellsToEdit), "2");
    EXPECT_EQ(fields.Text(C::MultipleESCsEdit), "");
    EXPECT_EQ(fields.Text(C::ParallelMotorsEdit), "2");
    EXPECT_EQ(fields.Text(C::SeriesMotorsEdit), "2");
    EXPECT_EQ(fields.Text(C::WireWizInfoEdit), "-1;3;2;");

    EXPECT_EQ(WiringFromWorkbench(Counts("8", "abc", "-", "99", "12")), (WiringState{6, 1, 1, 6, false, false}));

    const WorkbenchFields before = fields;
    WiringState impossible{1, 2, 1, 3};
    EXPECT_FALSE(WiringViewOf(impossible).possible);
    EXPECT_FALSE(ApplyWiring(impossible, fields));
    EXPECT_EQ(fields, before);
}

TEST(WiringWizard, EnabledStates) {
    struct Case {
        WiringState s;
        bool possible, alwaysParallel, arrangement;
    };
    const Case cases[] = {
        {{1, 2, 1, 2, false, false, true, true}, true, false, false},  // brushless, one motor a controller
        {{1, 2, 2, 2, false, false, true, true}, false, false, false}, // brushless with two columns
        {{2, 3, 1, 3}, true, false, false},                             // 2 packs, 3 controllers
        {{4, 2, 1, 2}, true, true, false},
        {{1, 1, 2, 2}, true, false, true},
        {{1, 2, 2, 2}, true, false, false}, // R div E = 1
        {{1, 1, 1, 4}, true, false, false}, // P = 1
    };
    for (const Case& c : cases) {
        const WiringView view = WiringViewOf(c.s);
        EXPECT_EQ(view.possible, c.possible) << c.s.batteries << c.s.speedControls << c.s.motorRows;
        EXPECT_EQ(view.alwaysParallelEnabled, c.alwaysParallel) << c.s.batteries << c.s.speedControls;
        EXPECT_EQ(view.arrangementEnabled, c.arrangement) << c.s.parallelMotors << c.s.motorRows;
    }
}

TEST(WiringWizard, WireInfoTexts) {
    const char* texts[] = {"-1;3;-2;", "-1;3;2;", "1;3;-2;", "1;3;2;", "-1;4;-2;", "-1;4;2;", "1;4;-2;", "1;4;2;"};
    int i = 0;
    for (bool parallelSeries : {false, true})
        for (bool all : {false, true})
            for (bool bec : {false, true}) {
                WiringState s;
                s.alwaysParallel = all;
                s.seriesParallel = !parallelSeries;
                s.usingBec = bec;
                EXPECT_EQ(SaveWireInfo(s), texts[i]);
                WiringState back;
                back.usingBec = !bec;
                back.alwaysParallel = !all;
                RestoreWireInfo(back, texts[i]);
                EXPECT_EQ(back, s);
                ++i;
            }
    WiringState s;
    s.usingBec = true;
    RestoreWireInfo(s, "1;4;-2;");
    EXPECT_TRUE(s.alwaysParallel);
    EXPECT_FALSE(s.seriesParallel);
    EXPECT_FALSE(s.usingBec);
    // Reading stops at what it does not understand and keeps what came before.
    WiringState partial;
    RestoreWireInfo(partial, "1;x;4;");
    EXPECT_TRUE(partial.alwaysParallel);
    EXPECT_TRUE(partial.seriesParallel);
    for (const char* junk : {"", "-", ";;;", "99999999999999999999;", "7;1;", "4", "-4;"}) RestoreWireInfo(s, junk);
}

TEST(WiringWizard, DiagramGroupsPacksAndControllers) {
    // B = 4, E = 2: two pairs of packs, one per controller; the second and fourth packs join the
    // pack above (a vertical wire), the first and third run to the panel edge.
    const WiringDrawing d = DrawWiring(WiringState{4, 2, 1, 2});
    ASSERT_EQ(d.width, 541);
    ASSERT_EQ(d.height, 281);
    const auto rgb = RasterizeWiring(d);
    const auto pixel = [&](int x, int y) {
        const std::size_t at = (static_cast<std::size_t>(y) * d.width + x) * 3;
        return (rgb[at] << 16) | (rgb[at + 1] << 8) | rgb[at + 2];
    };
    int edgeLeads = 0;
    for (int y = 0; y < d.height; ++y)
        if (pixel(119, y) == 0xCC0000) ++edgeLeads;
    EXPECT_EQ(edgeLeads, 2);
    // Not possible: no motor wiring at all, only boxes.
    const auto lone = RasterizeWiring(DrawWiring(WiringState{1, 2, 1, 3}));
    for (int y = 0; y < d.height; ++y) EXPECT_EQ(lone[(static_cast<std::size_t>(y) * d.width + 240) * 3], 0xFF);
}

} // namespace
} // namespace ampvane
