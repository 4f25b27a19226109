// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "analysis/propeller_files.h"
#include "project/options_input.h"
#include "project/workbench_fields.h"
#include "common/messages.h"
#include "common/numeric_text.h"
#include "tools/motor_from_tests.h"
#include "workbench/workbench_rules.h"

// The propeller constant estimator and the fan coefficient estimator: a static bench test of a
// known motor turning the propeller (fan) gives the shaft power, and the propeller (fan) relations
// are inverted for their constants. Lengths are inches, forces ounces, speeds mph inside.

namespace ampvane {

inline constexpr int kPropConstantEstimatorHelpTopic = 236;
inline constexpr int kFanCoefficientHelpTopic = 235;
inline constexpr int kFanPitchHelpTopic = 234;
inline constexpr int kFanPitchMeasurementsHelpTopic = 2340;
inline constexpr std::string_view kOutOfRangeText = "Out of Range!";
inline constexpr std::string_view kInconsistentInputText = "Inconsistent Input!";
// The test motor has no no-load current, without which the shaft power is unknown.
inline constexpr std::string_view kNoIdleCurrentText = "Motor's No-load Current is 0!";
inline constexpr std::string_view kRpmText = "rpm";
inline constexpr std::string_view kRpmEstimatedText = "rpm (estimated)";
inline constexpr std::string_view kFanPitchMessage =
    "Not enough information was provided to compute the pitch, or one or more values are out of range. "
    "Please refer to the on-line help for more information.";
inline constexpr std::string_view kFanPitchNote =
    "Measure the rotor diameter and either the blade angle or width and height (with the rotor lying flat "
    "on a table) at the perimeter. See on-line help for details.";

enum class LengthUnit { Inch, Centimetre };
enum class ForceUnit { Ounce, Gram, Newton };
enum class SpeedUnit { Mph, MetresPerSecond };

double InchesIn(double value, LengthUnit unit);
double OuncesIn(double value, ForceUnit unit);
double MphIn(double value, SpeedUnit unit);

// The test motor and the flying conditions the test is taken to have been made in.
struct BenchTest {
    std::string motorName;
    MotorConstants motor;
    double sigma = 1;                     // air density ratio
    double defaultGearboxEfficiency = 95; // % (the options' typical value)
};

// A motor's constants typed as texts, read leniently (a text that is no number reads as 0 after
// the warning).
MotorConstants ReadMotorConstants(std::string_view kv, std::string_view idleCurrent, std::string_view resistance,
                                  const NumberLocale& locale, MessageSink& messages);
// The workbench's motor as the test motor: its name and constants.
void TakeWorkbenchMotor(BenchTest& bench, const WorkbenchFields& fields, const NumberLocale& locale,
                        MessageSink& messages);

// The assumed test conditions from the options: the density ratio and the typical gearbox efficiency
// into the bench test, and the three lines the estimators show ("Elev: 0 ft", ...). False, changing
// nothing, when the options give no air.
struct BenchConditionTexts {
    std::string elevation, pressure, temperature;
};
std::optional<BenchConditionTexts> TakeBenchConditions(BenchTest& bench, const AnalysisOptionsInput& options,
                                                       const NumberLocale& locale);

// What both estimators take from the bench: the test, the motor's voltage and current, the speed
// and the thrust, as typed.
struct BenchMeasurements {
    BenchTest bench;
    std::string terminalVoltage, motorCurrent, rpm, thrust;
    ForceUnit thrustUnit = ForceUnit::Ounce;
    bool rpmEstimated = false; // the speed label reads "rpm (estimated)"
};

struct PropConstantInput : BenchMeasurements {
    std::string diameter, pitch, gearRatio, gearboxEfficiency;
    LengthUnit diameterUnit = LengthUnit::Inch, pitchUnit = LengthUnit::Inch;
};

struct PropConstantResult {
    std::optional<double> powerConstantValue, thrustConstantValue; // unrounded, as shown
    std::string powerConstant, thrustConstant;
    std::string warning; // "", "Out of Range!", "Inconsistent Input!" or kNoIdleCurrentText
    bool estimateEnabled = false;
    bool ApplyEnabled() const { return !powerConstant.empty() && !thrustConstant.empty(); }
};

// "Estimate RPM": the propeller speed the motor turns at this voltage and current, or nullopt when
// it cannot be estimated (no current, voltage, Kv or Rm, I ≤ Io, I·Rm ≥ V, or a gear ratio that is
// not a valid ratio). The button is enabled exactly when this gives a speed.
std::optional<std::string> EstimatePropRpm(const PropConstantInput& input, const NumberLocale& locale,
                                           MessageSink& messages);
// The recomputation after a change; an estimated or empty speed follows the estimate first unless
// the change was to the speed itself (which makes it a measurement).
PropConstantResult PropConstantChanged(PropConstantInput& input, bool fromRpmEdit, const NumberLocale& locale,
                                       MessageSink& messages);
PropConstantResult ComputePropConstants(const PropConstantInput& input, const NumberLocale& locale,
                                        MessageSink& messages);

// Apply: diameter and pitch (converted to the workbench's propeller size unit, the to-fields
// emptied) and the two constants.
void ApplyPropConstants(const PropConstantInput& input, const PropConstantResult& result,
                        const WorkbenchUnits& workbench, WorkbenchFields& fields, const NumberLocale& locale,
                        MessageSink& messages);

// "Update Lists": the entry lines for "PropConst.lst" and "ThrustConst.lst", or nullopt (after the
// message) for a name the lists cannot carry.
struct PropListLines {
    std::string name; // as shown after the update (first letter upper-cased)
    std::string powerLine, thrustLine;
};
std::optional<PropListLines> PropListEntryLines(std::string_view name, const PropConstantResult& result,
                                                const NumberLocale& locale, MessageSink& messages);

// "From a data file": the two constants that best reproduce the static points of measured propeller
// data (as `ampvane-cli propeller fit` gives them), with the propeller's own diameter and pitch in the
// estimator's units, so that Apply writes size and constants together. `note` says what they rest on.
struct PropConstantFit {
    PropConstantResult result;
    std::string diameter, pitch;
    std::string note;
};
// Reads and imports measured data files; the estimator's diameter and pitch serve where the files give
// none. A file that cannot be read gives the import's error.
PropellerImport ImportMeasuredData(std::span<const std::string> paths, const PropConstantInput& input,
                                   const NumberLocale& locale);
// nullopt, after an error message, for data that failed to import or has no static point to fit.
std::optional<PropConstantFit> FitPropConstants(const PropellerImport& data, const PropConstantInput& input,
                                                const NumberLocale& locale, MessageSink& messages);

// ---- fan coefficient estimator -------------------------------------------------------------------

struct FanCoefficientInput : BenchMeasurements {
    std::string fanDiameter, hubDiameter, effluxVelocity;
    LengthUnit fanDiameterUnit = LengthUnit::Inch, hubDiameterUnit = LengthUnit::Inch;
    SpeedUnit velocityUnit = SpeedUnit::Mph;
    bool workbenchMetric = false; // the pitch is shown in cm
};

struct FanCoefficientResult {
    std::optional<double> pitchValue, thrustCoeffValue, powerCoeffValue; // unrounded
    std::string fanPitch, thrustCoeff, powerCoeff;
    bool estimateEnabled = false;
    bool ApplyEnabled() const { return !fanPitch.empty() && !thrustCoeff.empty() && !powerCoeff.empty(); }
};

std::optional<std::string> EstimateFanRpm(const FanCoefficientInput& input, const NumberLocale& locale,
                                          MessageSink& messages);
FanCoefficientResult FanCoefficientChanged(FanCoefficientInput& input, bool fromRpmEdit,
                                           const NumberLocale& locale, MessageSink& messages);
FanCoefficientResult ComputeFanCoefficients(const FanCoefficientInput& input, const NumberLocale& locale,
                                            MessageSink& messages);
void ApplyFanCoefficients(const FanCoefficientInput& input, const FanCoefficientResult& result,
                          const WorkbenchUnits& workbench, WorkbenchFields& fields, const NumberLocale& locale,
                          MessageSink& messages);

// ---- fan pitch calculator ------------------------------------------------------------------------

struct FanPitchInput {
    std::string rotorDiameter, bladeAngle, bladeWidth, bladeHeight;
};
struct FanPitchResult {
    std::string pitch;
    std::optional<double> pitchValue; // unrounded, when shown
    std::optional<double> angle; // the blade angle used (typed, or from width and height)
    bool angleEnabled = true, sizeEnabled = true;
    bool angleRed = false;
    bool ApplyEnabled() const { return !pitch.empty(); }
};
FanPitchResult ComputeFanPitch(const FanPitchInput& input, const NumberLocale& locale, MessageSink& messages);

} // namespace ampvane
