// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/opinion_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "advice/opinion_fixtures.h"
#include "model/electric_chain.h"

namespace ampvane {
namespace {

using testing::SportModel;

bool Has(const std::vector<std::string>& items, std::string_view needle) {
    for (const auto& item : items)
        if (item.find(needle) != std::string::npos) return true;
    return false;
}

int IndexOf(const std::vector<std::string>& items, std::string_view needle) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].find(needle) != std::string::npos) return static_cast<int>(i);
    return -1;
}

LevelFlightMarker& Best(OpinionInput& in) { return in.Markers[kBestLiftToDragMarker]; }
LevelFlightMarker& HandsOff(OpinionInput& in) { return in.Markers[kHandsOffMarker]; }
LevelFlightMarker& Zero(OpinionInput& in) { return in.Markers[kZeroAirspeedMarker]; }

// The sport model at V = 10 V: best-efficiency current √200 A, maximum-power current 51 A.
const double kIe = MaxEfficiencyCurrent(10, 0.1, 2);
const double kIp = MaxPowerCurrent(10, 0.1, 2);

TEST(OpinionBaseline, WellMatchedSystemHasOnlyNotes) {
    const OpinionFindings f = EvaluateOpinion(SportModel());
    EXPECT_TRUE(f.PowerProblems.empty()) << f.PowerProblems.front();
    EXPECT_TRUE(f.AeroProblems.empty()) << f.AeroProblems.front();
    EXPECT_EQ(f.Fallback, CruiseFallback::None);
    EXPECT_FALSE(f.MoreCurrentSuggested || f.LessCurrentSuggested || f.AeroProblemReported);
    ASSERT_EQ(f.PowerNotes.size(), 1u);
    EXPECT_EQ(f.PowerNotes[0],
              "The full-throttle motor current at the best lift-to-drag ratio airspeed (18A) falls approximately "
              "between the motor's maximum efficiency current (14.1A) and its current at theoretical maximum output "
              "(51A), thus making effective use of the motor.");
    ASSERT_EQ(f.AeroNotes.size(), 4u);
    EXPECT_EQ(f.AeroNotes[0], "The static pitch speed (40mph) is within the range of approximately 2.5 to 3 times "
                              "the model's stall speed (15mph), which is considered ideal for good performance.");
    EXPECT_EQ(f.AeroNotes[1], "With a wing loading of 14.4oz/sq.ft, a model of this size will have trainer-like "
                              "flying characteristics. It would make an ideal trainer, for use in calm to light wind "
                              "conditions.");
    EXPECT_EQ(f.AeroNotes[2], "The static thrust (30oz) to weight (40oz) ratio is 0.75:1, which will result in very "
                              "short take-off runs, no difficulty taking off from grass surfaces (assuming "
                              "sufficiently large wheels), and steep climb-outs.");
    EXPECT_EQ(f.AeroNotes[3], "At the best lift-to-drag ratio airspeed, the excess-thrust (10oz) to weight (40oz) "
                              "ratio is 0.25:1, which will give strong climbs and rapid acceleration. This model will "
                              "most likely readily loop from level flight, and have sufficient in-flight thrust for "
                              "many aerobatic maneuvers.");
}

// ----- Power system rule 1: motor current against the motor's efficient range.

TEST(OpinionMotorCurrent, BelowNinetyPercentOfBestEfficiencyCurrentAsksForMore) {
    OpinionInput in = SportModel();
    Best(in).RowMotorCurrent = 0.89 * kIe;
    const OpinionFindings f = EvaluateOpinion(in);
    ASSERT_FALSE(f.PowerProblems.empty());
    EXPECT_EQ(f.PowerProblems[0], "The full-throttle motor current at the best lift-to-drag ratio airspeed (12.6A) is "
                                  "lower than the motor's maximum efficiency current (14.1A). A higher current level "
                                  "would improve system efficiency.");
    EXPECT_TRUE(f.MoreCurrentSuggested);
    EXPECT_TRUE(Has(f.PowerProblems, "Current can be increased by using more cells, a larger diameter or higher "
                                     "pitched propeller, a lower gear ratio,"));
}

TEST(OpinionMotorCurrent, AtNinetyPercentWithGoodEfficiencyFallsBetween) {
    OpinionInput in = SportModel();
    Best(in).RowMotorCurrent = kIe * 0.9;
    ASSERT_GE(MotorEfficiency(10, kIe * 0.9, 0.1, 2), 0.85 * MaxEfficiency(10, 0.1, 2));
    const OpinionFindings f = EvaluateOpinion(in);
    EXPECT_TRUE(f.PowerProblems.empty());
    EXPECT_TRUE(Has(f.PowerNotes, "(12.7A) falls approximately between"));
    EXPECT_FALSE(f.MoreCurrentSuggested);
}

TEST(OpinionMotorCurrent, JustAboveMaximumPowerCurrentIsTooHighWhateverTheEfficiency) {
    OpinionInput in = SportModel();
    Best(in).RowMotorCurrent = kIp + 0.01;
    ASSERT_LT(MotorEfficiency(10, kIp, 0.1, 2), 0.85 * MaxEfficiency(10, 0.1, 2));
    const OpinionFindings f = EvaluateOpinion(in);
    ASSERT_FALSE(f.PowerProblems.empty());
    EXPECT_EQ(f.PowerProblems[0], "The full-throttle motor current at the best lift-to-drag ratio airspeed (51A) is "
                                  "higher than the motor's current at theoretical maximum output (51A). A lower "
                                  "current level would actually increase available output power.");
    EXPECT_FALSE(Has(f.PowerProblems, "efficiency, which"));
    EXPECT_FALSE(Has(f.PowerNotes, "efficiency, which"));
    EXPECT_TRUE(f.LessCurrentSuggested);
    // Exactly at the maximum-power current it is not "higher".
    Best(in).RowMotorCurrent = kIp;
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerProblems, "is higher than the motor's current"));
}

TEST(OpinionMotorCurrent, InRangeButInefficientIsANoteWithTheHighRateHint) {
    OpinionInput in = SportModel();
    Best(in).RowMotorCurrent = 40; // E = 6 × 38 / 400 = 57 %, below 85 % of the 74 % maximum
    OpinionFindings f = EvaluateOpinion(in);
    ASSERT_EQ(f.PowerNotes.size(), 1u);
    EXPECT_EQ(f.PowerNotes[0], "At full-throttle and the best lift-to-drag ratio airspeed, the motor is operating "
                               "approximately between its maximum efficiency current (14.1A) and its current at "
                               "theoretical maximum output (51A). However, it is operating at only 57% efficiency, "
                               "which is significantly less than its theoretical maximum efficiency (74%). Efficiency "
                               "may improve at reduced throttle settings.");
    EXPECT_FALSE(f.MoreCurrentSuggested || f.LessCurrentSuggested);
    in.Plane.ESC.HighRate = 0;
    f = EvaluateOpinion(in);
    EXPECT_TRUE(f.PowerNotes[0].ends_with("maximum efficiency (74%)."));
}

TEST(OpinionMotorCurrent, JustBelowBestEfficiencyAndHotIsAnEfficiencyProblem) {
    // A light, poorly cooled motor: the hot winding resistance pulls the efficiency far down.
    OpinionInput in = SportModel();
    in.Options.AccountForHeating = 1;
    in.Plane.Motor.Weight = 0.5;
    in.Plane.Motor.HeatingFactor = 10;
    const double I = 0.95 * kIe;
    Best(in).RowMotorCurrent = I;
    const double R = HotResistance(20, 10, I, 0.5, 0.1, 2, 1000, 10);
    ASSERT_LT(MotorEfficiency(10, I, R, 2), 0.85 * MaxEfficiency(10, 0.1, 2));
    const OpinionFindings f = EvaluateOpinion(in);
    ASSERT_FALSE(f.PowerProblems.empty());
    EXPECT_TRUE(f.PowerProblems[0].starts_with(
        "At full-throttle and the best lift-to-drag ratio airspeed, the motor is operating at only "));
    EXPECT_TRUE(f.PowerProblems[0].ends_with(
        "% efficiency, which is signficiantly less than its theoretical maximum efficiency (74%). A somewhat "
        "higher current would improve system efficiency."));
    EXPECT_TRUE(f.MoreCurrentSuggested);
}

TEST(OpinionMotorCurrent, UsesZeroAirspeedWhenBestLiftToDragWasNeverReachedAndOneMotorsShare) {
    OpinionInput in = SportModel();
    Best(in).Captured = false;
    in.Plane.ParallelMotors = 2;
    in.Plane.SeriesMotors = 2;
    Zero(in).RowMotorCurrent = 40; // 20 A a motor
    Zero(in).RowMotorVoltage = 20; // 10 V a motor
    const OpinionFindings f = EvaluateOpinion(in);
    EXPECT_TRUE(Has(f.PowerNotes, "The full-throttle motor current at zero airspeed (20A) falls approximately"));
}

// ----- Power system rule 2: motor weight and temperature.

TEST(OpinionMotorTemperature, CruiseTemperatureThresholds) {
    OpinionInput in = SportModel();
    in.Options.AccountForHeating = 1;
    const auto problems = [&](double temperature) {
        HandsOff(in).MotorTemperature = temperature;
        return EvaluateOpinion(in).PowerProblems;
    };
    EXPECT_FALSE(Has(problems(125), "motor temperature"));
    const auto veryHigh = problems(150);
    ASSERT_TRUE(Has(veryHigh, "is very high"));
    EXPECT_EQ(veryHigh[IndexOf(veryHigh, "is very high")],
              "The steady-state still-air motor temperature at the hands-off cruise airspeed and throttle setting "
              "(302°F) is very high, which will significantly affect efficiency and motor longevity unless adequate "
              "cooling airflow is provided, and/or run times are kept short, and/or flying is primarily done at "
              "lower throttle settings.");
    const auto extreme = problems(150.1);
    EXPECT_FALSE(Has(extreme, "is very high"));
    EXPECT_TRUE(Has(extreme, "(302°F) is extremely high, which will significantly affect efficiency and possibly "
                             "damage the motor unless very good cooling airflow is provided, and/or run times are kept "
                             "very short, and/or flying is primarily done at lower throttle settings."));
    EXPECT_TRUE(Has(extreme, "Current can be decreased by using fewer cells"));
    in.Options.MetricTempPress = 1;
    EXPECT_TRUE(Has(problems(150), "(150°C) is very high"));
}

TEST(OpinionMotorTemperature, UnknownCruiseTemperatureIsComputed) {
    OpinionInput in = SportModel();
    in.Options.AccountForHeating = 1;
    HandsOff(in).MotorCurrent = 40;
    HandsOff(in).MotorVoltage = 9;
    HandsOff(in).MotorTemperature = -100; // not known: worked out from the cruise current (over 200 °C)
    EXPECT_TRUE(Has(EvaluateOpinion(in).PowerProblems, "is extremely high"));
    HandsOff(in).MotorTemperature = -99; // a known (if odd) temperature is taken as it is
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerProblems, "motor temperature"));
}

TEST(OpinionMotorTemperature, FullThrottleTemperatureOnlyWhenStaticCurrentExceedsCruise) {
    OpinionInput in = SportModel();
    in.Options.AccountForHeating = 1;
    in.Plane.ESC.MaxCurrent = 0;
    in.Plane.Cell.CRating = 0;
    Zero(in).RowMotorCurrent = 45;
    OpinionFindings f = EvaluateOpinion(in);
    const int index = IndexOf(f.PowerProblems, "The full-throttle steady-state motor temperature (");
    ASSERT_GE(index, 0);
    EXPECT_TRUE(f.PowerProblems[index].ends_with(
        ") is extremely high, which will likely damage the motor unless full-throttle is used sparingly and cooling "
        "is good  (even then, damage is possible)."));
    EXPECT_TRUE(f.LessCurrentSuggested);
    HandsOff(in).MotorCurrent = 45;
    f = EvaluateOpinion(in);
    EXPECT_FALSE(Has(f.PowerProblems, "full-throttle steady-state"));
}

TEST(OpinionMotorTemperature, NoTemperatureRulesWithoutHeating) {
    OpinionInput in = SportModel();
    HandsOff(in).MotorTemperature = 300;
    Zero(in).RowMotorCurrent = 45;
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerProblems, "temperature"));
}

TEST(OpinionMotorTemperature, UnknownMotorWeight) {
    OpinionInput in = SportModel();
    in.Plane.Motor.Weight = 0;
    const std::string weight = "The motor weight is not known, which makes the aircraft weight incorrect, thus making "
                               "all the predictions questionable.";
    OpinionFindings f = EvaluateOpinion(in);
    ASSERT_EQ(f.PowerProblems.size(), 1u);
    EXPECT_EQ(f.PowerProblems[0], weight);
    in.Options.AccountForHeating = 1;
    HandsOff(in).MotorTemperature = 300;
    f = EvaluateOpinion(in);
    ASSERT_EQ(f.PowerProblems.size(), 1u);
    EXPECT_EQ(f.PowerProblems[0], weight + " The unknown motor weight also makes it impossible to predict the "
                                           "steady-state motor temperature, and hence whether or not the motor will "
                                           "overheat.");
    EXPECT_FALSE(f.LessCurrentSuggested);
}

// ----- Power system rules 3 to 5: speed controls, battery, voltage.

TEST(OpinionSpeedControls, StaticCurrentAgainstAllControls) {
    OpinionInput in = SportModel();
    in.Plane.NumberOfESCs = 4;
    in.Plane.ESC.MaxCurrent = 30;
    in.Plane.Cell.CRating = 0;
    Zero(in).RowMotorCurrent = 120;
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerProblems, "speed control"));
    Zero(in).RowMotorCurrent = 130;
    OpinionFindings f = EvaluateOpinion(in);
    EXPECT_TRUE(Has(f.PowerProblems, "The static full-throttle current (130A) exceeds the capability of the specified "
                                     "speed controls (30A per speed control, 120A total), which will most likely "
                                     "damage them."));
    EXPECT_TRUE(f.LessCurrentSuggested);
    in.Plane.NumberOfESCs = 1;
    f = EvaluateOpinion(in);
    EXPECT_TRUE(Has(f.PowerProblems, "the specified speed control (30A), which will most likely damage it."));
    in.Plane.ESC.MaxCurrent = 0;
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerProblems, "speed control"));
}

TEST(OpinionBattery, StaticCurrentAgainstCRating) {
    OpinionInput in = SportModel();
    in.Plane.ESC.MaxCurrent = 0;
    Zero(in).RowMotorCurrent = 40; // 20C × 2000 mAh
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerProblems, "battery"));
    Zero(in).RowMotorCurrent = 40.1;
    EXPECT_TRUE(Has(EvaluateOpinion(in).PowerProblems,
                    "The static full-throttle current (40.1A) exceeds the capability of the specified battery (40A at "
                    "20C), which will most likely damage the battery and may cause a fire."));
    in.Plane.ParallelCellsFrom = 2;
    in.Plane.Cell.CRating = 12.5;
    Zero(in).RowMotorCurrent = 50.5;
    EXPECT_TRUE(Has(EvaluateOpinion(in).PowerProblems, "(50.5A) exceeds the capability of the specified battery (50A "
                                                       "at 12.5C per parallel battery)"));
    in.Plane.Cell.CRating = 0;
    Zero(in).RowMotorCurrent = 500;
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerProblems, "battery ("));
}

TEST(OpinionVoltage, AboveTwelveVoltsIsANote) {
    OpinionInput in = SportModel();
    Zero(in).RowMotorVoltage = 12;
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerNotes, "exceeds 12V"));
    Zero(in).RowMotorVoltage = 12.1;
    EXPECT_TRUE(Has(EvaluateOpinion(in).PowerNotes, "The voltage (12.1V) exceeds 12V. Be sure the speed control is "
                                                    "rated for at least the number of cells specified above."));
}

// ----- Power system rule 6: battery temperature.

// The cruise battery current that brings the sport model's pack to `celsius`.
double CurrentForPackTemperature(const OpinionInput& in, double celsius) {
    const auto& cell = in.Plane.Cell;
    const int s = cell.SeriesCellsFrom;
    const double rise = PackTemperature(in.Options.TemperatureC, s * cell.Weight, s * cell.Resistance, 1) -
                        in.Options.TemperatureC;
    return std::sqrt((celsius - in.Options.TemperatureC) / rise) * in.Plane.ParallelCellsFrom;
}

TEST(OpinionBatteryTemperature, LimitDependsOnChemistry) {
    OpinionInput in = SportModel();
    HandsOff(in).BatteryCurrent = CurrentForPackTemperature(in, 55);
    OpinionFindings f = EvaluateOpinion(in);
    ASSERT_TRUE(Has(f.PowerProblems, "battery temperature"));
    EXPECT_EQ(f.PowerProblems[0],
              "The estimated steady-state still-air battery temperature at the hands-off cruise airspeed and throttle "
              "setting (approximately 131°F) is higher than the suggested maximum temperature for this cell type "
              "(122°F). This could result in battery pack damage unless adequate cooling airflow is provided and/or "
              "run times are kept short. A lower current would also decrease the battery temperature.");
    EXPECT_TRUE(f.LessCurrentSuggested);

    HandsOff(in).BatteryCurrent = CurrentForPackTemperature(in, 49.9);
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerProblems, "battery temperature"));

    in.Plane.Cell.Chemistry = NiCd;
    HandsOff(in).BatteryCurrent = CurrentForPackTemperature(in, 55);
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerProblems, "battery temperature"));
    in.Plane.Cell.Chemistry = LiNP;
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerProblems, "battery temperature"));
    HandsOff(in).BatteryCurrent = CurrentForPackTemperature(in, 60.7);
    in.Options.MetricTempPress = 1;
    EXPECT_TRUE(Has(EvaluateOpinion(in).PowerProblems, "(approximately 61°C) is higher than the suggested maximum "
                                                       "temperature for this cell type (60°C)"));
}

TEST(OpinionBatteryTemperature, AboveNinetyFiveDegreesOnlyAnUpperBound) {
    OpinionInput in = SportModel();
    in.Plane.ParallelCellsFrom = 2; // the current splits between the strings
    HandsOff(in).BatteryCurrent = CurrentForPackTemperature(in, 96);
    EXPECT_TRUE(Has(EvaluateOpinion(in).PowerProblems, "(greater than 200°F) is higher than"));
    in.Options.MetricTempPress = 1;
    EXPECT_TRUE(Has(EvaluateOpinion(in).PowerProblems, "(greater than 95°C) is higher than the suggested maximum "
                                                       "temperature for this cell type (50°C)"));
    HandsOff(in).BatteryCurrent = CurrentForPackTemperature(in, 94);
    EXPECT_TRUE(Has(EvaluateOpinion(in).PowerProblems, "(approximately 94°C)"));
}

TEST(OpinionBatteryTemperature, FallbackCruiseUsesTheStaticCurrent) {
    OpinionInput in = SportModel();
    Best(in).Feasible = false;
    HandsOff(in).Feasible = false;
    HandsOff(in).BatteryCurrent = 0;
    Zero(in).RowMotorCurrent = CurrentForPackTemperature(in, 70);
    in.Plane.ESC.MaxCurrent = 0;
    in.Plane.Cell.CRating = 0;
    EXPECT_TRUE(Has(EvaluateOpinion(in).PowerProblems,
                    "battery temperature at zero airspeed and full throttle (approximately 158°F)"));
}

// ----- Power system rules 7 to 9: suggestions, parallel cells, motor and control kinds.

TEST(OpinionSuggestions, BothDirectionsAndTheConflictInThatOrder) {
    OpinionInput in = SportModel();
    in.Options.AccountForHeating = 1;
    Best(in).RowMotorCurrent = 0.5 * kIe;  // far below best efficiency: more current
    HandsOff(in).MotorTemperature = 160;   // extremely hot: less current
    in.Plane.Drive.Kind = FanDrive;
    const OpinionFindings f = EvaluateOpinion(in);
    EXPECT_TRUE(f.MoreCurrentSuggested && f.LessCurrentSuggested);
    const int decrease = IndexOf(f.PowerProblems, "Current can be decreased by using fewer cells, a smaller diameter "
                                                  "or lower pitched ducted fan, a higher gear ratio, or some "
                                                  "combination of these methods.");
    const int increase = IndexOf(f.PowerProblems, "Current can be increased by using more cells, a larger diameter "
                                                  "or higher pitched ducted fan, a lower gear ratio, or some "
                                                  "combination of these methods.");
    const int conflict = IndexOf(f.PowerProblems, "Due to the conflicting suggestions to both increase and decrease "
                                                  "the current, this particular combination of power system "
                                                  "components is not ideal (but not necessarily unusable).");
    const int lower = IndexOf(f.PowerProblems, "is lower than the motor's maximum efficiency current");
    const int hot = IndexOf(f.PowerProblems, "is extremely high");
    ASSERT_GE(lower, 0);
    EXPECT_LT(lower, hot);
    EXPECT_LT(hot, decrease);
    EXPECT_LT(decrease, increase);
    EXPECT_LT(increase, conflict);
    EXPECT_EQ(conflict, static_cast<int>(f.PowerProblems.size()) - 1);
}

TEST(OpinionSuggestions, NoConflictForOneDirection) {
    OpinionInput in = SportModel();
    Best(in).RowMotorCurrent = 0.5 * kIe;
    const OpinionFindings f = EvaluateOpinion(in);
    EXPECT_FALSE(Has(f.PowerProblems, "conflicting"));
    EXPECT_FALSE(Has(f.PowerProblems, "Current can be decreased"));
}

TEST(OpinionCells, NonLithiumCellsInParallel) {
    OpinionInput in = SportModel();
    in.Plane.ParallelCellsFrom = 2;
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerProblems, "parallel."));
    in.Plane.Cell.Voltage = 1.2;
    EXPECT_TRUE(Has(EvaluateOpinion(in).PowerProblems, "Non-lithium cells should never be wired in parallel."));
    in.Plane.ParallelCellsFrom = 1;
    EXPECT_FALSE(Has(EvaluateOpinion(in).PowerProblems, "Non-lithium"));
}

TEST(OpinionMotorKinds, SpeedControlMustMatchTheMotor) {
    OpinionInput in = SportModel();
    in.Plane.ESC.Brushless = 0;
    EXPECT_TRUE(Has(EvaluateOpinion(in).PowerProblems,
                    "A brushed-motor speed control will not work with a brushless motor."));
    in.Plane.Motor.Brushless = 0;
    EXPECT_TRUE(EvaluateOpinion(in).PowerProblems.empty());
    in.Plane.ESC.Brushless = 1;
    EXPECT_TRUE(Has(EvaluateOpinion(in).PowerProblems, "A brushless speed control will not work with a brushed motor."));
}

// ----- Aerodynamic rule 1: pitch speed against stall speed.

struct PitchCase {
    double factor;
    std::string_view text;
    bool marks;
};

TEST(OpinionPitchSpeed, EveryBandAtItsEdges) {
    const PitchCase cases[] = {
        {1.0, "(15mph) is close to or less than the stall speed (15mph), which will result in insufficient thrust at "
              "flying speed to remain airborne.",
         true},
        {1.1, ") is not much higher than the stall speed (15mph), which may result in insufficient thrust", true},
        {1.4, "(21mph) is much less than 2.5 times the stall speed (15mph), which may result in reduced performance at "
              "typical flying speeds and a low maximum speed. This situation is usually acceptable for an electric "
              "sailplane.",
         true},
        {2.0, "(30mph) is less than 2.5 times the stall speed (15mph), which may result in reduced performance at "
              "typical flying speeds and a low maximum speed. This situation is usually acceptable for an electric "
              "sailplane or other slow-flying model.",
         false},
        {2.39, "is less than 2.5 times", false},
        {2.4, "(36mph) is within the range of approximately 2.5 to 3 times the model's stall speed (15mph)", false},
        {3.1, "is within the range of approximately 2.5 to 3 times", false},
        {3.2, "(48mph) is greater than 3 times the stall speed (15mph), which might make take-off or hand launching "
              "difficult, and is inefficient in flight unless high speeds are intended.",
         false},
        {3.7, "is greater than 3 times", false},
        {3.8, "(57mph) is much greater than 3 times the stall speed (15mph), which might make take-off or hand "
              "launching very difficult, and is inefficient in flight unless very high speeds are intended.",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.factor);
        OpinionInput in = SportModel();
        Zero(in).RowPitchSpeed = c.factor * in.StallSpeed;
        const OpinionFindings f = EvaluateOpinion(in);
        EXPECT_TRUE(Has(f.AeroProblems, c.text) || Has(f.AeroNotes, c.text));
        EXPECT_EQ(f.AeroProblemReported, c.marks);
        const bool slow = c.factor < 2.4, fast = c.factor > 3.1;
        EXPECT_EQ(Has(f.AeroProblems, "Pitch speed can be increased by using a higher pitched and/or smaller diameter "
                                      "propeller, a higher cell count, or some combination of these methods."),
                  slow);
        EXPECT_EQ(Has(f.AeroProblems, "Pitch speed can be decreased by using a lower pitched and/or larger diameter "
                                      "propeller, a higher gear ratio, a lower cell count, or some combination of "
                                      "these methods."),
                  fast);
    }
}

TEST(OpinionPitchSpeed, GearedDriveAlsoSuggestsALowerRatio) {
    OpinionInput in = SportModel();
    in.Plane.Drive.GearRatioFrom() = 2.5;
    Zero(in).RowPitchSpeed = 20;
    EXPECT_TRUE(Has(EvaluateOpinion(in).AeroProblems, "smaller diameter propeller, a lower gear ratio, a higher cell "
                                                      "count"));
}

TEST(OpinionPitchSpeed, FanEffluxBands) {
    OpinionInput in = SportModel();
    in.Plane.Drive.Kind = FanDrive;
    Zero(in).RowPitchSpeed = 29.9;
    OpinionFindings f = EvaluateOpinion(in);
    EXPECT_TRUE(Has(f.AeroProblems, "The fan efflux velocity (30mph) is less than 2 times the model's stall speed "
                                    "(15mph), which will very likely produce an unflyable model."));
    EXPECT_FALSE(f.AeroProblemReported);
    Zero(in).RowPitchSpeed = 30;
    f = EvaluateOpinion(in);
    EXPECT_TRUE(Has(f.AeroProblems, "The fan efflux velocity (30mph) is less than 3 times the model's stall speed "
                                    "(15mph), which may result in a difficult to fly model."));
    Zero(in).RowPitchSpeed = 45;
    EXPECT_TRUE(EvaluateOpinion(in).AeroProblems.empty());
}

TEST(OpinionPitchSpeed, NeedsAStallSpeed) {
    OpinionInput in = SportModel();
    in.HasStall = false;
    Zero(in).RowPitchSpeed = 5;
    in.MaxLevelSpeed = 1;
    HandsOff(in).Speed = 1;
    const OpinionFindings f = EvaluateOpinion(in);
    EXPECT_FALSE(Has(f.AeroProblems, "pitch speed"));
    EXPECT_FALSE(Has(f.AeroProblems, "stall speed"));
    EXPECT_FALSE(Has(f.AeroProblems, "hands-off"));
}

// ----- Aerodynamic rules 2 and 3: speed range and the hands-off speed.

TEST(OpinionSpeedRange, MaximumLevelSpeedAgainstStall) {
    OpinionInput in = SportModel();
    in.MaxLevelSpeed = 22.5;
    EXPECT_FALSE(EvaluateOpinion(in).AeroProblemReported);
    in.MaxLevelSpeed = 22;
    OpinionFindings f = EvaluateOpinion(in);
    ASSERT_EQ(f.AeroProblems.size(), 3u);
    EXPECT_EQ(f.AeroProblems[0], "The model's maximum level flight speed (22mph) is less than one and a half times "
                                 "the stall speed (15mph). With such a narrow range of flying speeds, the model will "
                                 "require careful piloting in order not to stall.");
    EXPECT_EQ(f.AeroProblems[1], "Maximum speed can be increased by using a higher pitched and/or smaller diameter "
                                 "propeller, a higher cell count, or some combination of these methods.");
    EXPECT_EQ(f.AeroProblems[2], "Stall speed can be reduced by reducing weight, increasing the wing area, or using a "
                                 "thicker and/or more cambered airfoil.");
    EXPECT_TRUE(f.AeroProblemReported);
    in.MaxLevelSpeed = 16;
    in.Plane.Drive.GearRatioFrom() = 4;
    f = EvaluateOpinion(in);
    EXPECT_EQ(f.AeroProblems[0], "The model's maximum level flight speed (16mph) is close to or less than the stall "
                                 "speed (15mph). This model is not capable of flying (on the wing).");
    EXPECT_TRUE(Has(f.AeroProblems, "smaller diameter propeller, a lower gear ratio, a higher cell count"));
    in.Plane.Drive.Kind = FanDrive;
    EXPECT_TRUE(Has(EvaluateOpinion(in).AeroProblems, "smaller diameter ducted fan, a higher cell count"));
}

TEST(OpinionHandsOff, SlowerThanBestLiftToDrag) {
    OpinionInput in = SportModel();
    HandsOff(in).Speed = Best(in).Speed;
    EXPECT_FALSE(EvaluateOpinion(in).AeroProblemReported);
    HandsOff(in).Speed = 24.6;
    const OpinionFindings f = EvaluateOpinion(in);
    ASSERT_EQ(f.AeroProblems.size(), 2u);
    EXPECT_EQ(f.AeroProblems[0], "The hands-off level flight speed (25mph) is lower than the best lift-to-drag ratio "
                                 "level flight speed (25mph). In most situations, the opposite is desirable.");
    EXPECT_EQ(f.AeroProblems[1],
              "Hands off level flight speed can be increased by reducing the airfoil camber or angle of attack.");
    EXPECT_TRUE(f.AeroProblemReported);
    HandsOff(in).Enabled = false;
    EXPECT_FALSE(Has(EvaluateOpinion(in).AeroProblems, "hands-off level flight"));
}

// ----- Aerodynamic rule 4: diameter to pitch.

TEST(OpinionDiameterToPitch, RatioBands) {
    OpinionInput in = SportModel();
    // Exactly at each limit nothing is said.
    in.Plane.Drive.PitchFrom() = 5;
    in.Plane.Drive.DiameterFrom() = 2.1 * 5;
    EXPECT_FALSE(Has(EvaluateOpinion(in).AeroProblems, "to pitch"));
    in.Plane.Drive.DiameterFrom() = 1.4 * 5;
    EXPECT_FALSE(Has(EvaluateOpinion(in).AeroProblems, "to pitch"));
    in.Plane.Drive.DiameterFrom() = 10;
    in.Plane.Drive.PitchFrom() = 4.7;
    EXPECT_TRUE(Has(EvaluateOpinion(in).AeroProblems,
                    "The diameter (10.0in) to pitch (4.7in) ratio is greater than 2:1, which will result in reduced "
                    "propeller efficiency at flying speeds. An appropriate smaller diameter, higher pitched propeller "
                    "would improve this."));
    in.Plane.Drive.PitchFrom() = 7.2;
    OpinionFindings f = EvaluateOpinion(in);
    EXPECT_TRUE(Has(f.AeroProblems, "The diameter (10.0in) to pitch (7.2in) ratio is less than 1.5:1, which will "
                                    "result in reduced propeller efficiency at low speeds (the propeller is stalled). "
                                    "Although this is not likely to affect flying characteristics, it may make "
                                    "take-off or hand launching difficult."));
    EXPECT_FALSE(f.AeroProblemReported);
    in.Options.MetricPropSizes = 1;
    EXPECT_TRUE(Has(EvaluateOpinion(in).AeroProblems, "The diameter (25.4cm) to pitch (18.3cm) ratio"));
    in.Plane.Drive.Kind = FanDrive;
    EXPECT_FALSE(Has(EvaluateOpinion(in).AeroProblems, "to pitch"));
}

// ----- Aerodynamic rules 5 to 7: wing loading, static thrust, excess thrust.

TEST(OpinionWingLoading, CubeLoadingBands) {
    OpinionInput in = SportModel();
    in.Plane.Airframe.WingArea = 144; // one square foot: the cube loading is the weight itself
    const auto note = [&](double weight) {
        in.TotalWeight = weight;
        const auto notes = EvaluateOpinion(in).AeroNotes;
        return notes[IndexOf(notes, "With a wing loading")];
    };
    EXPECT_EQ(note(7), "With a wing loading of 7oz/sq.ft, a model of this size will have very sedate flying "
                       "characteristics. It will be suitable for relaxed flying, in calm or very light wind "
                       "conditions.");
    EXPECT_TRUE(note(7.01).ends_with("have trainer-like flying characteristics. It would make an ideal trainer, for "
                                     "use in calm to light wind conditions."));
    EXPECT_TRUE(note(10).ends_with("trainer-like flying characteristics. It would make an ideal trainer, for use in "
                                   "calm to light wind conditions."));
    EXPECT_TRUE(note(13).ends_with("flying characteristics suited to the intermediate pilot, for use in calm to "
                                   "moderate wind conditions."));
    EXPECT_TRUE(note(16).ends_with("flying characteristics suited to an experienced pilot. The plane will fly fast, "
                                   "and be readily able to handle fairly strong winds."));
    EXPECT_TRUE(note(16.01).ends_with("a very high flying speed, requiring the undivided attention of an expert pilot. "
                                      "The high weight will provide good penetration, even in strong winds."));
}

TEST(OpinionWingLoading, AerodynamicProblemCallsForAnExperiencedPilotUnlessHeavyAnyway) {
    OpinionInput in = SportModel();
    in.Plane.Airframe.WingArea = 144;
    in.TotalWeight = 13;
    in.MaxLevelSpeed = 20; // narrow speed range: an aerodynamic problem
    OpinionFindings f = EvaluateOpinion(in);
    ASSERT_TRUE(f.AeroProblemReported);
    EXPECT_TRUE(Has(f.AeroNotes, "Due to some of the potential problems listed above, this model may require an "
                                 "experienced pilot."));
    EXPECT_FALSE(Has(f.AeroNotes, "With a wing loading"));
    in.TotalWeight = 13.5;
    f = EvaluateOpinion(in);
    EXPECT_TRUE(Has(f.AeroNotes, "With a wing loading of 13.5oz/sq.ft"));
    EXPECT_FALSE(Has(f.AeroNotes, "Due to some"));
}

TEST(OpinionWingLoading, MetricUnitsAndMissingInputs) {
    OpinionInput in = SportModel();
    in.Options.Metric = 1;
    EXPECT_TRUE(Has(EvaluateOpinion(in).AeroNotes, "With a wing loading of 43.9g/dm², a model"));
    in.HasWing = false;
    EXPECT_FALSE(Has(EvaluateOpinion(in).AeroNotes, "wing loading"));
    in.HasWing = true;
    in.HasWeight = false;
    EXPECT_FALSE(Has(EvaluateOpinion(in).AeroNotes, "wing loading"));
}

TEST(OpinionWingLoading, AreaJustAboveZeroLeavesTheNoteOutRatherThanAnInfiniteFigure) {
    for (const bool metric : {false, true}) {
        OpinionInput in = SportModel();
        in.Options.Metric = metric;
        in.Plane.Airframe.WingArea = 1e-306; // a wing, but weight / area is beyond any double
        const OpinionFindings f = EvaluateOpinion(in);
        EXPECT_FALSE(Has(f.AeroNotes, "wing loading")) << metric;
        EXPECT_FALSE(Has(f.AeroNotes, "Due to some")) << metric;
        EXPECT_TRUE(Has(f.AeroNotes, "The static thrust")) << metric; // the other notes stay
        const std::string text = BuildOpinionText(in);
        for (const char* bad : {"INF", "inf", "NAN", "nan"}) EXPECT_EQ(text.find(bad), std::string::npos) << bad;
    }
}

TEST(OpinionStaticThrust, ThrustToWeightBands) {
    OpinionInput in = SportModel();
    const auto note = [&](double thrust) {
        Zero(in).RowThrust = thrust;
        const auto notes = EvaluateOpinion(in).AeroNotes;
        const int i = IndexOf(notes, "The static thrust");
        return i < 0 ? std::string() : notes[i];
    };
    EXPECT_TRUE(note(9.9).ends_with("ratio is 0.25:1, which will result in very long take-off runs, and difficulty in "
                                    "taking off from grass surfaces. Firm hand launching is recommended."));
    EXPECT_TRUE(note(10).ends_with("long take-off runs, especially on grass surfaces. Hand launching is recommended if "
                                   "the surface is not smooth."));
    EXPECT_TRUE(note(14).find("medium length take-off runs, and no difficulty taking off from grass surfaces "
                                 "(assuming sufficiently large wheels).") != std::string::npos);
    EXPECT_TRUE(note(20).ends_with("short take-off runs, and no difficulty taking off from grass surfaces (assuming "
                                   "sufficiently large wheels)."));
    EXPECT_TRUE(note(28).find("very short take-off runs") != std::string::npos);
    EXPECT_EQ(note(42), "The static thrust (42oz) to weight (40oz) ratio is 1.05:1, which will result in extremely "
                        "short take-off runs, no difficulty taking off from grass surfaces (assuming sufficiently "
                        "large wheels), and vertical climb-outs. This model will probably be able to perform a hover "
                        "or torque roll.");
    in.MaxLevelSpeed = 1.4 * in.StallSpeed;
    EXPECT_EQ(note(30), "");
}

TEST(OpinionStaticThrust, NoWingNoThrustRatioAndNoAerodynamicNotes) {
    OpinionInput in = SportModel();
    in.HasWing = false;
    in.HasStall = false;
    in.HasDrag = false;
    in.StallSpeed = 0;
    in.Markers[kBestLiftToDragMarker].Enabled = false;
    in.Markers[kHandsOffMarker].Enabled = false;
    Zero(in).RowThrust = 30;
    const OpinionFindings f = EvaluateOpinion(in);
    EXPECT_FALSE(Has(f.AeroNotes, "The static thrust")) << (f.AeroNotes.empty() ? "" : f.AeroNotes[0]);
    const std::string text = BuildOpinionText(in);
    EXPECT_EQ(text.find("Aerodynamic Notes:"), std::string::npos) << text;
    EXPECT_NE(text.find("General Notes:"), std::string::npos);
}

TEST(OpinionStaticThrust, MetricWeightsInGramsOrNewtons) {
    OpinionInput in = SportModel();
    in.Options.Metric = 1;
    Zero(in).RowThrust = 36;
    EXPECT_TRUE(Has(EvaluateOpinion(in).AeroNotes, "The static thrust (1019g) to weight (1132g) ratio is 0.9:1"));
    in.Options.Newtons = 1;
    EXPECT_TRUE(Has(EvaluateOpinion(in).AeroNotes, "The static thrust (9.99N) to weight (11.1N) ratio is 0.9:1"));
}

TEST(OpinionExcessThrust, ExcessThrustBands) {
    OpinionInput in = SportModel();
    const auto ending = [&](double excess) {
        Best(in).RowThrust = Best(in).RowDrag + excess;
        const auto notes = EvaluateOpinion(in).AeroNotes;
        const int i = IndexOf(notes, "excess-thrust");
        return i < 0 ? std::string() : notes[i].substr(notes[i].find("which will give ") + 16);
    };
    EXPECT_EQ(ending(0.39), "no climb ability and no acceleration. It will likely be impossible to maintain altitude.");
    EXPECT_EQ(ending(-5), "no climb ability and no acceleration. It will likely be impossible to maintain altitude.");
    EXPECT_EQ(ending(0.4), "very slow climbs and poor acceleration. Careful piloting will be required to maintain "
                           "altitude.");
    EXPECT_EQ(ending(4), "slow climbs and low acceleration. Some piloting experience would be beneficial.");
    EXPECT_EQ(ending(6), "good climbs and acceleration. This is a good in-flight thrust to weight ratio for a basic "
                         "trainer.");
    EXPECT_EQ(ending(16), "steep climbs and excellent acceleration. This model should be able to do consecutive "
                          "loops, and has sufficient in-flight thrust for almost any aerobatic maneuver.");
    EXPECT_EQ(ending(28), "very steep climbs and incredible acceleration. This model can easily do consecutive loops, "
                          "and has sufficient in-flight thrust for any aerobatic maneuver.");
    in.HasDrag = false;
    EXPECT_EQ(ending(6), "");
    in.HasDrag = true;
    Best(in).Enabled = false;
    EXPECT_EQ(ending(6), "");
}

// ----- The assembled text.

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\r', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the text ends with a line break";
    return lines;
}

TEST(OpinionText, HeaderSectionsAndGeneralNotesInOrder) {
    OpinionInput in = SportModel();
    Best(in).RowMotorCurrent = 0.5 * kIe;
    in.Description[2] = "";
    const auto lines = Lines(BuildOpinionText(in));
    ASSERT_GE(lines.size(), 20u);
    EXPECT_EQ(lines[0], "AmpvaneOpinion - Sport Model");
    EXPECT_EQ(lines[1], "Sea Level, 29.92inHg, 68°F");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], in.Description[0]);
    EXPECT_EQ(lines[4], in.Description[1]);
    EXPECT_EQ(lines[5], in.Description[3]); // the empty one is skipped
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "Possible Power System Problems:");
    EXPECT_EQ(lines[9], "");
    EXPECT_TRUE(lines[10].find("is lower than") != std::string::npos);
    EXPECT_TRUE(lines[11].starts_with("Current can be increased"));
    EXPECT_EQ(lines[12], "");
    EXPECT_EQ(lines[13], "Aerodynamic Notes:"); // no power notes and no aerodynamic problems: no headings
    EXPECT_EQ(lines[14], "");
    const auto general = std::find(lines.begin(), lines.end(), "General Notes:");
    ASSERT_NE(general, lines.end());
    EXPECT_EQ(*(general - 1), "");
    EXPECT_EQ(*(general + 1), "");
    EXPECT_EQ(*(general + 2), "This analysis is based on calculations that do NOT take motor heating effects into "
                              "account. This also means that no calculations were done to determine if the motor "
                              "might overheat.");
    EXPECT_EQ(*(general + 3), "These calculations are based on mathematical models that may not account for all "
                              "limitations of the components used. Always consult the power system component "
                              "manufacturers to ensure that no limits (current, rpm, etc.) are being exceeded.");
    EXPECT_EQ(general + 4, lines.end());
    in.Options.AccountForHeating = 1;
    const auto heated = Lines(BuildOpinionText(in));
    EXPECT_EQ(heated[heated.size() - 2],
              "This analysis is based on calculations that take motor heating effects into account.");
}

TEST(OpinionText, WarningBlocksWhenTheCruisePointFallsBack) {
    const std::string inability = "Inability to determine a throttle setting for an airspeed usually means the model "
                                  "is not capable of reaching the required speed with the given power system, or the "
                                  "airfoil information has not been specified correctly.";
    OpinionInput in = SportModel();
    HandsOff(in).Feasible = false;
    auto lines = Lines(BuildOpinionText(in));
    auto warning = std::find(lines.begin(), lines.end(), "Warning:");
    ASSERT_NE(warning, lines.end());
    EXPECT_EQ(*(warning - 1), "");
    EXPECT_EQ(*(warning + 1), "");
    EXPECT_EQ(*(warning + 2), "Ampvane was unable to determine a throttle setting for hands-off cruise airspeed, so "
                              "the best lift-to-drag ratio airspeed and throttle setting will be used instead.");
    EXPECT_EQ(*(warning + 3), inability);
    EXPECT_EQ(*(warning + 4), "");
    EXPECT_EQ(*(warning + 5), "Power System Notes:");

    Best(in).Feasible = false;
    lines = Lines(BuildOpinionText(in));
    warning = std::find(lines.begin(), lines.end(), "Warning:");
    ASSERT_NE(warning, lines.end());
    EXPECT_EQ(*(warning + 2), "Ampvane was unable to determine a throttle setting for hands-off cruise or best "
                              "lift-to-drag ratio airspeed, so zero airspeed and full throttle will be used instead. "
                              "These results will not likely be meaningful for actual flying conditions.");
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "Warning:") - lines.begin(), 9);

    EXPECT_EQ(BuildOpinionText(SportModel()).find("Warning:"), std::string::npos);
}

TEST(OpinionText, LineBreaksInNamesDoNotSplitLines) {
    OpinionInput in = SportModel();
    in.Plane.ProjectName = "Two\rLines\nHere";
    in.Description[0] = "Motor: A\rB";
    const auto lines = Lines(BuildOpinionText(in));
    EXPECT_EQ(lines[0], "AmpvaneOpinion - Two Lines Here");
    EXPECT_EQ(lines[3], "Motor: A B");
}

TEST(OpinionText, DecimalSeparatorInQuotedFactors) {
    OpinionInput in = SportModel();
    in.Locale.decimal = ',';
    in.Plane.Drive.PitchFrom() = 7.5;
    Zero(in).RowPitchSpeed = 40.5;
    const std::string text = BuildOpinionText(in);
    EXPECT_NE(text.find("approximately 2,5 to 3 times"), std::string::npos);
    EXPECT_NE(text.find("(10,0in) to pitch (7,5in) ratio is less than 1,5:1"), std::string::npos);
    EXPECT_NE(text.find("ratio is 0,75:1"), std::string::npos);
}

TEST(OpinionText, MinimumDigitsApplyToEveryNumber) {
    OpinionInput in = SportModel();
    in.Options.MinDigits = 3;
    const std::string text = BuildOpinionText(in);
    // Whole numbers gain decimals until three digits show; trimmed ones lose them again.
    EXPECT_NE(text.find("The static pitch speed (40.0mph)"), std::string::npos);
    EXPECT_NE(text.find("stall speed (15.0mph)"), std::string::npos);
    EXPECT_NE(text.find("airspeed (18A) falls"), std::string::npos);
    EXPECT_NE(text.find("ratio is 0.75:1"), std::string::npos);
}

TEST(OpinionText, DamagedNumbersNeverReachTheText) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    OpinionInput in = SportModel();
    in.Options.AccountForHeating = 1;
    for (auto& marker : in.Markers) {
        marker.RowMotorCurrent = nan;
        marker.RowMotorVoltage = inf;
        marker.RowThrust = -inf;
        marker.RowPitchSpeed = nan;
        marker.MotorCurrent = nan;
        marker.BatteryCurrent = inf;
        marker.MotorTemperature = nan;
    }
    in.TotalWeight = nan;
    in.MaxLevelSpeed = inf;
    in.StallSpeed = nan;
    in.Plane.ParallelMotors = 0;
    in.Plane.SeriesMotors = 0;
    const std::string text = BuildOpinionText(in);
    for (const char* bad : {"nan", "NAN", "inf", "INF"}) EXPECT_EQ(text.find(bad), std::string::npos) << bad;
}

TEST(OpinionText, RatiosToAWeightJustAboveZeroAreLeftOut) {
    OpinionInput in = SportModel();
    in.TotalWeight = 1e-310; // thrust / weight overflows
    const OpinionFindings f = EvaluateOpinion(in);
    EXPECT_FALSE(Has(f.AeroNotes, "The static thrust"));
    EXPECT_FALSE(Has(f.AeroNotes, "excess-thrust"));
    const std::string text = BuildOpinionText(in);
    for (const char* bad : {"nan", "NAN", "inf", "INF"}) EXPECT_EQ(text.find(bad), std::string::npos) << bad;
}

} // namespace
} // namespace ampvane
