// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

#include <gtest/gtest.h>

#include "wizard/wizard_answers.h"
#include "wizard/wizard_search.h"
#include "wizard_fixtures.h"

namespace ampvane {
namespace {

using wizard_testing::Shipped;
using wizard_testing::SportModel;

WizardSettingsResult Read(const WizardAnswers& a, const WizardDatabase& db = Shipped().db) {
    NullMessageSink quiet;
    return ReadSearchSettings(a, db, Shipped().cells, {}, quiet);
}

TEST(WizardSettings, EveryCheckStopsWithItsMessageAndFocus) {
    struct Case {
        std::function<void(WizardAnswers&)> change;
        const char* message; // nullptr: accepted
        const char* focus;
    };
    const Case cases[] = {
        {[](auto& a) { a.wingSpan = "300"; }, nullptr, ""},
        {[](auto& a) { a.wingSpan = ""; }, "The wing span must be specified, and can be at most 300 in (762 cm).", "WingSpanEdit"},
        {[](auto& a) { a.wingSpan = "25.1"; a.spanUnit = SpanUnit::Feet; }, "The wing span must be specified, and can be at most 300 in (762 cm).", "WingSpanEdit"},
        {[](auto& a) { a.wingArea = "10000"; }, nullptr, ""},
        {[](auto& a) { a.wingArea = "10000.1"; }, "The wing area must be specified, and can be at most 10000 sq.in (645.1 dm ²).", "WingAreaEdit"},
        // The limits the messages name pass their own checks.
        {[](auto& a) { a.wingArea = "645.1"; a.areaUnit = AreaUnit::SquareDecimetres; }, nullptr, ""},
        {[](auto& a) { a.emptyWeight = "28290"; a.weightUnit = WeightUnit::Grams; }, nullptr, ""},
        {[](auto& a) { a.emptyWeight = "1000.01"; }, "The empty weight must be specified, and can be at most 1000 oz (28290 g).", "EmptyWeightEdit"},
        {[](auto& a) { a.elevation = "36000"; }, nullptr, ""},
        {[](auto& a) { a.elevation = "10972"; a.elevationUnit = ElevationUnit::Metres; }, nullptr, ""},
        {[](auto& a) { a.elevation = "36000.2"; }, "The field elevation, if specified, must be between -1000 and +36000 ft (-304 and +10972 m).", "FieldElevationEdit"},
        {[](auto& a) { a.advancedShown = true; a.pressure = "32.001"; }, nullptr, ""},
        {[](auto& a) { a.advancedShown = true; a.pressure = "32.002"; }, "The sea level pressure, if specified, must be between 28 and 32 inHg (94.8 and 108.3 kPa).", "SeaLevelPressureEdit"},
        {[](auto& a) { a.pressure = "99"; a.temperature = "500"; }, nullptr, ""}, // hidden: ignored
        {[](auto& a) { a.advancedShown = true; a.temperature = "123"; }, "The temperature, if specified, must be between -58 and +122°F (-50 and +50°C).", "FieldTemperatureEdit"},
        {[](auto& a) { a.motorChoice = WizardMotorChoice::SpecificMotor; }, "No motor was specified for the Specific Motor option.", "LoadMotorButton"},
        {[](auto& a) { a.motorChoice = WizardMotorChoice::SpecificMotor; a.motorName = "Nope"; }, "The motor \"Nope\" could not be found in the database.", "LoadMotorButton"},
        {[](auto& a) { a.drive = WizardDriveChoice::SpecificGear; a.specificGear = "100.5"; }, "The Specific Gear Ratio must be between 0.01:1 and 100:1.", "SpecificGearEdit"},
        {[](auto& a) { a.size = WizardSizeChoice::SpecificSize; }, "At least one of the diameter and pitch must be specified for the Specific Propeller Size option.", "SpecificDiameterEdit"},
        {[](auto& a) { a.size = WizardSizeChoice::MaximumSize; a.diameter = "101"; }, "The Maximum Propeller Size Diameter, if specified, must be between 0.1 and 100 in (0.3 and 254 cm).", "SpecificDiameterEdit"},
        {[](auto& a) { a.size = WizardSizeChoice::SpecificSize; a.pitch = "0.05"; }, "The Specific Propeller Size Pitch, if specified, must be between 0.1 and 100 in (0.3 and 254 cm).", "SpecificPitchEdit"},
        {[](auto& a) { a.battery = WizardBatteryChoice::SpecificBattery; }, "No cell type was specified for the Specific Cell Type option.", "LoadCellButton"},
        {[](auto& a) { a.battery = WizardBatteryChoice::SpecificBattery; a.cellName = "Nope"; }, "The cell type \"Nope\" could not be found in the database.", "LoadCellButton"},
        {[](auto& a) { a.battery = WizardBatteryChoice::SpecificBattery; a.cellName = "Sanyo 1700SCR"; a.seriesCells = "100"; }, "The Specific Battery Series cell count, if specified, must be between 1 and 99.", "SeriesCellsEdit"},
        {[](auto& a) { a.battery = WizardBatteryChoice::SpecificBattery; a.cellName = "Sanyo 1700SCR"; a.parallelCells = "10"; }, "The Specific Battery Parallel cell count, if specified, must be between 1 and 9.", "ParallelCellsEdit"},
    };
    for (const Case& c : cases) {
        WizardAnswers a = SportModel();
        c.change(a);
        const auto result = Read(a);
        SCOPED_TRACE(c.message ? c.message : "accepted");
        if (!c.message) {
            EXPECT_TRUE(result.settings.has_value()) << result.failure.message;
            continue;
        }
        ASSERT_FALSE(result.settings.has_value());
        EXPECT_EQ(result.failure.message, c.message);
        EXPECT_EQ(result.failure.focus, c.focus);
    }
}

TEST(WizardSettings, DerivedFromTheAnswers) {
    struct Case {
        std::function<void(WizardAnswers&)> change;
        double minGear, maxGear;
        int gearCount;
        const char* restrictions;
    };
    const Case cases[] = {
        {[](auto& a) { a.level = WizardLevel::Race; }, 1, 3, 4, ""},
        // Aerobatic: the largest ratio is the aspect ratio, held to 2.5 .. 6.
        {[](auto& a) { a.level = WizardLevel::Aerobatic; a.wingSpan = "18"; a.wingArea = "180"; }, 1, 2.5, 3, ""},
        {[](auto& a) { a.level = WizardLevel::Aerobatic; a.wingSpan = "90"; a.wingArea = "900"; }, 1, 6, 9, ""},
        {[](auto& a) { a.level = WizardLevel::Race; a.drive = WizardDriveChoice::GearedOnly; a.wingSpan = "20"; }, 2, 3, 3,
         " (using your gearing restrictions)"},
        {[](auto& a) { a.level = WizardLevel::Aerobatic; a.wingSpan = "18"; a.wingArea = "180"; a.drive = WizardDriveChoice::GearedOnly; },
         2, 2.5, 2, " (using your gearing restrictions)"},
        {[](auto& a) { a.drive = WizardDriveChoice::DirectOnly; a.battery = WizardBatteryChoice::NiCdOnly; }, 1, 1, 1,
         " (using your gearing and battery restrictions)"},
        {[](auto& a) {
             a.drive = WizardDriveChoice::SpecificGear; a.specificGear = "3.2"; a.motorChoice = WizardMotorChoice::BrushlessOnly;
             a.size = WizardSizeChoice::MaximumSize; a.pitch = "6"; a.battery = WizardBatteryChoice::LiPolyOnly;
         },
         3.2, 3.2, 1, " (using your motor, gearing, propeller, and battery restrictions)"},
    };
    for (const Case& c : cases) {
        WizardAnswers a = SportModel();
        c.change(a);
        const auto result = Read(a);
        ASSERT_TRUE(result.settings) << result.failure.message;
        const auto& s = *result.settings;
        EXPECT_DOUBLE_EQ(s.minGear, c.minGear);
        EXPECT_NEAR(s.maxGear, c.maxGear, 1e-9);
        EXPECT_EQ(s.gearCount, c.gearCount);
        EXPECT_EQ(s.restrictionText, c.restrictions);
    }
    // 36,000 ft with the advanced settings hidden: the derived temperature is held to -50 °C.
    WizardAnswers high = SportModel();
    high.elevation = "36000";
    const auto highSettings = Read(high).settings;
    ASSERT_TRUE(highSettings);
    EXPECT_DOUBLE_EQ(highSettings->ambientTemperature, -50);
    EXPECT_GT(highSettings->airDensityRatio, 0);

    WizardAnswers nimh = SportModel();
    nimh.battery = WizardBatteryChoice::SpecificBattery;
    nimh.cellName = "Vanecell NiMH AA-2000/4C";
    nimh.seriesCells = "8";
    EXPECT_TRUE(Read(nimh).settings->batteryDetermined);
    WizardAnswers lipo = nimh;
    lipo.cellName = "Halden LiPo 2200/25C";
    EXPECT_FALSE(Read(lipo).settings->batteryDetermined);
    EXPECT_DOUBLE_EQ(Read(lipo).settings->ratioStep, 0.25);
}

TEST(WizardInfo, DefaultTextRoundTripsAndOlderTexts) {
    WizardAnswers a;
    EXPECT_EQ(SaveWizardInfo(a), "2;11;17\"Any Manufacturer\"20;24;28;18!0!30;");
    const std::vector<std::string> makers = {"Any Manufacturer", "Orvix", "Say \"Hi\""};

    // Every choice, Out-runner Only and Maximum Size among them, survives a save and restore.
    WizardAnswers b;
    b.level = WizardLevel::Hotliner;
    b.flyingTime = WizardFlyingTime::Min30;
    b.motorChoice = WizardMotorChoice::OutrunnerOnly;
    b.manufacturer = "Say \"Hi\"";
    b.drive = WizardDriveChoice::SpecificGear;
    b.size = WizardSizeChoice::MaximumSize;
    b.maxCellsIndex = 6;
    b.battery = WizardBatteryChoice::LiPolyOnly;
    const std::string text = SaveWizardInfo(b);
    EXPECT_EQ(text, "8;14;17#Say \"Hi\"#36;27;37;18!6!34;");
    WizardAnswers restored;
    RestoreWizardInfo(restored, text, makers);
    EXPECT_EQ(restored, b);

    // Stored texts of older projects: a shared tag reads as the first of its pair.
    WizardAnswers old;
    RestoreWizardInfo(old, "3;10;17\"Orvix\"22;29;31;", makers);
    EXPECT_EQ(old.level, WizardLevel::Sport);
    EXPECT_EQ(old.motorChoice, WizardMotorChoice::BrushlessOnly);
    EXPECT_EQ(old.manufacturer, "Orvix");
    EXPECT_EQ(old.size, WizardSizeChoice::SpecificSize);
    EXPECT_EQ(old.battery, WizardBatteryChoice::NiCdOnly);

    WizardAnswers unchanged;
    for (const char* hostile : {"99;3;", "x", "17\"Unknown maker", "18!42!", "-", "7", "3;;;"}) {
        WizardAnswers c;
        RestoreWizardInfo(c, hostile, makers);
        if (std::string(hostile) == "7") EXPECT_EQ(c.level, WizardLevel::Sailplane);
        else if (std::string(hostile) == "3;;;") EXPECT_EQ(c.level, WizardLevel::Sport);
        else EXPECT_EQ(c, unchanged) << hostile;
    }
}

TEST(WizardSearch, PropellerSizesRoundHalfToEven) {
    EXPECT_EQ(RoundPropSize(5.75, 5.75), 6);  // 11.5 half inches to the even 12
    EXPECT_EQ(RoundPropSize(5.76, 5.75), 6);
    EXPECT_EQ(RoundPropSize(5.25, 5.75), 5);  // 10.5 half inches to 10
    EXPECT_EQ(RoundPropSize(7.25, 7.75), 7);  // 14.5 half inches to 14
    EXPECT_EQ(RoundPropSize(7.8, 7.75), 8);
    EXPECT_EQ(RoundPropSize(8.5, 7.75), 8);
    EXPECT_EQ(RoundPropSize(9.5, 7.75), 10);

    // Maximum Size compares the computed size with the maximum, and holds a rounded size to it.
    struct Case {
        double computed, inchAbove, maximum;
        std::optional<double> size;
    };
    for (const Case& c : {Case{8.2, 5.75, 8, std::nullopt}, Case{7.9, 5.75, 8, 8}, Case{8, 5.75, 8, 8},
                          Case{5.78, 5.75, 5.8, 5.8}, Case{7.4, 5.75, 7.5, 7}, Case{0.22, 5.75, 0.2, std::nullopt},
                          Case{0.2, 5.75, 0.2, 0}, Case{8.3, 7.75, 8.25, std::nullopt}, Case{8.2, 7.75, 8.25, 8},
                          Case{30, 7.75, 0, 30}})
        EXPECT_EQ(SizeWithinMaximum(c.computed, c.inchAbove, c.maximum), c.size)
            << c.computed << " under " << c.maximum;
}

// A one-cell, one-motor database for the counting cases.
WizardDatabase TinyDatabase(WizardMotorRecord motor) {
    WizardDatabase db;
    db.motors.push_back(std::move(motor));
    db.cells.push_back({"Test LiPo 2200/25C", 2200, 3.7, 0.012, 1.9, "LiPo", 25});
    return db;
}

WizardSearchSettings TinySettings(const WizardDatabase& db, const std::function<void(WizardAnswers&)>& change) {
    WizardAnswers a = SportModel();
    change(a);
    NullMessageSink quiet;
    auto result = ReadSearchSettings(a, db, LoadWizardCells(db, {{"Test LiPo 2200/25C", 4, 2}}), {}, quiet);
    EXPECT_TRUE(result.settings) << result.failure.message;
    return *result.settings;
}

TEST(WizardSearch, DroppedArrangementsAreNeitherAnalysedNorTooHeavy) {
    for (int motors : {2, 4}) {
        // The motors fill the weight budget: every pack makes the model too heavy. Only arrangement 2
        // (motors in parallel) may count; series strings of brushless motors are left out uncounted.
        const WizardDatabase db = TinyDatabase({"Test Outrunner", 1000, 1, 0.05, 10.4 / motors, true, true});
        const WizardSearchSettings s = TinySettings(db, [&](WizardAnswers& a) {
            a.motors = motors;
            a.emptyWeight = "100";
        });
        WizardSearchControl control;
        const auto result = SearchPowerSystems(s, db, control, 1);
        std::int64_t combinations = 0; // over every relaxing pass
        for (double t = s.runTimeHours; !(t > 1.03); t *= 1.223)
            for (const auto& c : BuildBatteryCandidates(s, t)) combinations += c.maxSeries - c.minSeries + 1;
        ASSERT_GT(combinations, 0);
        EXPECT_TRUE(result.results.empty());
        EXPECT_EQ(result.counters.tooHeavy, combinations * s.gearCount) << motors << " motors";
        EXPECT_EQ(result.counters.analysed, result.counters.tooHeavy);
    }
}

TEST(WizardSearch, WhatCannotBeComputedIsCountedAndNeverRated) {
    // A motor constant of 0 passes every screen and leaves no propeller speed to size a propeller for.
    const WizardDatabase db = TinyDatabase({"Test Zero Kv", 0, 1, 0.05, 3, true, true});
    const WizardSearchSettings s = TinySettings(db, [](WizardAnswers&) {});
    WizardSearchControl control;
    const auto result = SearchPowerSystems(s, db, control, 1);
    EXPECT_TRUE(result.results.empty());
    EXPECT_GT(result.counters.notComputed, 0);
    EXPECT_EQ(result.outcome, WizardSearchOutcome::NothingFound);

    // A cell without a C rating and without a resistance has no maximum current.
    WizardDatabase cells;
    cells.cells.push_back({"Bare 1000", 1000, 1.2, 0, 1, "NiMH", 0});
    cells.cells.push_back({"Bare LiPo 1000", 1000, 3.7, 0, 1, "LiPo", 0});
    EXPECT_EQ(MakeCellEntry(cells, "Bare 1000", 0, 0).message,
              "The AmpvaneWizard cannot use the \"Bare 1000\" cell type because its maximum current is not known.");
    // A LiPo cell is held to 5 C anyway, which needs no resistance.
    EXPECT_DOUBLE_EQ(MakeCellEntry(cells, "Bare LiPo 1000", 0, 0).entry->maxCurrent, 5.0);
}

TEST(WizardSearch, PackDrawingExactlyItsRatedCurrentIsKept) {
    WizardDatabase db = TinyDatabase({"Test Outrunner", 1000, 0.5, 0.05, 2, true, true});
    db.cells[0] = {"Exact 2000/2C", 2000, 3.7, 0.01, 1.9, "LiPo", 2};
    WizardSearchSettings s = TinySettings(db, [](WizardAnswers&) {});
    s.cells = LoadWizardCells(db, {{"Exact 2000/2C", 4, 1}});
    s.runTimeHours = 0.5; // 2 Ah over half an hour: 4 A, exactly the 2 C rating
    const auto candidates = BuildBatteryCandidates(s, s.runTimeHours);
    ASSERT_FALSE(candidates.empty());
    EXPECT_EQ(candidates.front().cell.maxCurrent, 4.0);
    WizardSearchControl control;
    const auto result = SearchPowerSystems(s, db, control, 1);
    EXPECT_GT(result.counters.analysed, 0);
    EXPECT_EQ(result.counters.tooMuchCurrent, 0); // only a current above the rating is too much
}

TEST(WizardSearch, CandidateStoreGrowsAndPacksAreRewritten) {
    WizardSearchSettings s = TinySettings(Shipped().db, [](WizardAnswers&) {});
    std::vector<CellEntry> wide;
    for (const CellEntry& cell : Shipped().cells) {
        CellEntry copy = cell;
        copy.maxParallel = 9;
        wide.push_back(copy);
    }
    s.cells = wide;
    s.runTimeHours = 0.5;
    s.airframe.EmptyWeight = 1500;
    s.maxAllUpWeight = 3000;
    const auto candidates = BuildBatteryCandidates(s, s.runTimeHours);
    EXPECT_GT(candidates.size(), 96u);
    for (std::size_t i = 1; i < candidates.size(); ++i)
        EXPECT_GE(candidates[i - 1].cell.capacity, candidates[i].cell.capacity);
    const auto three = std::find_if(candidates.begin(), candidates.end(), [](const auto& c) { return c.parallel == 3; });
    ASSERT_NE(three, candidates.end());
    EXPECT_TRUE(three->cell.name.ends_with(" 3-parallel"));
    EXPECT_TRUE(three->cell.shortName.ends_with(" 3P"));
}

TEST(WizardSearch, RelaxingPassesNameTheirStages) {
    // A heavy 3D model with the longest flying time finds nothing at first.
    WizardAnswers a = SportModel();
    a.level = WizardLevel::Aero3D;
    a.flyingTime = WizardFlyingTime::Min30;
    const auto settings = Read(a).settings;
    ASSERT_TRUE(settings);
    WizardSearchControl control;
    const auto result = SearchPowerSystems(*settings, Shipped().db, control, 2);
    ASSERT_GT(result.passes, 2);
    const auto stages = control.Stages();
    ASSERT_GE(stages.size(), 3u);
    EXPECT_EQ(stages[0], "Examining Candidates");
    EXPECT_EQ(stages[1], "Examining Additional Candidates (1)");
    EXPECT_EQ(stages[2], "Examining Additional Candidates (2)");
}

TEST(WizardSearch, CancelledSearchLeavesNoResults) {
    const auto settings = Read(SportModel()).settings;
    WizardSearchControl control;
    control.Cancel();
    const auto result = SearchPowerSystems(*settings, Shipped().db, control, 2);
    EXPECT_EQ(result.outcome, WizardSearchOutcome::Interrupted);
    EXPECT_TRUE(result.results.empty());
}

TEST(WizardSearch, EveryThreadCountGivesTheOneThreadResultsOrderAndCounters) {
    WizardDatabase db;
    db.cells = Shipped().db.cells;
    for (std::size_t i = 0; i < Shipped().db.motors.size(); i += 3) db.motors.push_back(Shipped().db.motors[i]);
    std::mt19937 rng(1412);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    int found = 0;
    for (int round = 0; round < 200; ++round) {
        WizardAnswers a;
        a.motors = 1 + pick(4);
        a.level = static_cast<WizardLevel>(pick(8));
        a.flyingTime = static_cast<WizardFlyingTime>(pick(6));
        a.wingSpan = std::to_string(20 + pick(100));
        a.wingArea = std::to_string(100 + pick(1200));
        a.emptyWeight = std::to_string(4 + pick(120));
        a.airfoil = static_cast<WizardAirfoil>(pick(6));
        a.motorChoice = static_cast<WizardMotorChoice>(pick(4));
        a.drive = static_cast<WizardDriveChoice>(pick(3));
        a.size = static_cast<WizardSizeChoice>(pick(3));
        a.diameter = pick(2) ? std::to_string(6 + pick(10)) : "";
        a.pitch = a.diameter.empty() || pick(2) ? std::to_string(3 + pick(8)) : "";
        a.battery = static_cast<WizardBatteryChoice>(pick(5));
        a.maxCellsIndex = pick(8);
        const auto settings = Read(a, db).settings;
        ASSERT_TRUE(settings);
        WizardSearchControl one, many;
        const auto expected = SearchPowerSystems(*settings, db, one, 1);
        const auto actual = SearchPowerSystems(*settings, db, many, 3);
        ASSERT_EQ(actual.outcome, expected.outcome) << "round " << round;
        ASSERT_EQ(actual.counters, expected.counters) << "round " << round;
        ASSERT_EQ(actual.passes, expected.passes);
        ASSERT_EQ(actual.results, expected.results) << "round " << round;
        found += expected.outcome == WizardSearchOutcome::Found;
    }
    EXPECT_GT(found, 40);
    EXPECT_LT(found, 190);
}

// Searches of the shipped tables, pinned counter by counter: a change to any rule of the search shows
// here as a changed count.
TEST(WizardSearch, ShippedQuestionnairesCountAsPinned) {
    struct Case {
        const char* name;
        std::function<void(WizardAnswers&)> change;
        WizardCounters counters;
        std::size_t results;
        int passes;
    };
    const Case cases[] = {
        {"two brushless motors",
         [](WizardAnswers& a) {
             a.motors = 2;
             a.emptyWeight = "64";
             a.motorChoice = WizardMotorChoice::BrushlessOnly;
         },
         {21079, 805, 0, 2926, 1337, 1897, 2301, 4000, 0}, 7813, 1},
        // A maximum pitch of 0.2 in refuses every computed pitch above it, even one that rounds to 0
        // (which, kept, leaves a propeller that cannot be computed).
        {"sedate giant under a tiny maximum pitch",
         [](WizardAnswers& a) {
             a.level = WizardLevel::Sedate;
             a.airfoil = WizardAirfoil::Undercambered;
             a.wingSpan = "300";
             a.wingArea = "10000";
             a.emptyWeight = "5";
             a.size = WizardSizeChoice::MaximumSize;
             a.pitch = "0.2";
         },
         {28878, 0, 0, 14742, 720, 9270, 0, 0, 4146}, 0, 14},
    };
    for (const Case& c : cases) {
        WizardAnswers a = SportModel();
        c.change(a);
        const auto settings = Read(a).settings;
        ASSERT_TRUE(settings) << c.name;
        WizardSearchControl control;
        const auto result = SearchPowerSystems(*settings, Shipped().db, control);
        EXPECT_EQ(result.counters, c.counters) << c.name;
        EXPECT_EQ(result.results.size(), c.results) << c.name;
        EXPECT_EQ(result.passes, c.passes) << c.name;
        // Every analysed combination is either rejected for one reason or rated.
        std::int64_t rejected = 0;
        for (auto n : result.counters.Rejections()) rejected += n;
        EXPECT_EQ(result.counters.analysed, rejected + static_cast<std::int64_t>(result.results.size())) << c.name;
        for (const auto& r : result.results) {
            EXPECT_EQ(r.wiring, 2); // brushless motors only in parallel
            EXPECT_TRUE(std::isfinite(r.rating) && std::isfinite(r.diameter) && std::isfinite(r.current));
        }
    }
}

} // namespace
} // namespace ampvane

namespace ampvane {
namespace {

TEST(WizardCells, ShippedShortNamesSayCapacityAndRatingAndAreDistinct) {
    std::vector<std::string> names;
    for (const auto& cell : wizard_testing::Shipped().db.cells) names.push_back(CellShortName(cell.name));
    ASSERT_EQ(names.size(), 61u);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end()) << "two cells share a short name";
    EXPECT_EQ(CellShortName("Halden LiPo 2200/25C"), "2200/25C");
    EXPECT_EQ(CellShortName("Vanecell NiMH SC-3000/10C"), "SC-3000/10C");
    EXPECT_EQ(CellShortName("Sanyo 1700SCR"), "1700SCR");
    EXPECT_EQ(CellShortName("No digits"), "No digits");
    // The shipped list: 12 usable cells, each with its own short name.
    EXPECT_EQ(wizard_testing::Shipped().cells.size(), 12u);
}

TEST(WizardCells, ManufacturersListedOnceWhateverTheirCase) {
    std::vector<WizardMotorRecord> motors = {
        {"Orvix 2212", 1000, 0.5, 0.1, 2, true, true}, {"ORVIX 2216", 900, 0.5, 0.1, 2, true, true},
        {"orvix 2814", 800, 0.5, 0.1, 3, true, true},  {"Big Motor Co 5", 800, 0.5, 0.1, 3, true, true},
        {"Weightless 1", 1, 1, 1, 0, false, false},    {"540Can", 1, 1, 1, 1, false, false},
        {"Lonely", 1, 1, 1, 1, false, false},
    };
    EXPECT_EQ(WizardManufacturers(motors, {"Big Motor Co ", "Other"}),
              (std::vector<std::string>{"Any Manufacturer", "Orvix", "Big Motor Co", "Lonely"}));
}

} // namespace
} // namespace ampvane
