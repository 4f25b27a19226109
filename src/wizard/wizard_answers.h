// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/airframe_desc.h"

// The wizard's answers: every page's state as a value object, bound to the wizard window's controls,
// stored with a project as the WIZARDINFO text, and read by the search as numeric settings.

namespace ampvane {

enum class WizardLevel { Sedate, Trainer, Sport, Race, Aerobatic, Aero3D, Sailplane, Hotliner };
enum class WizardFlyingTime { Min4, Min6, Min9, Min13, Min20, Min30 };
enum class WizardAirfoil { Undercambered, FlatBottomed, SemiSymmetrical, Symmetrical, FlatPlate, CamberedPlate };
enum class WizardThickness { VeryThin, Thin, Medium, Thick };
enum class WizardMotorChoice { BrushedOrBrushless, BrushedOnly, BrushlessOnly, OutrunnerOnly, SpecificMotor };
enum class WizardDriveChoice { DirectOrGeared, DirectOnly, GearedOnly, SpecificGear };
enum class WizardSizeChoice { AnySize, SpecificSize, MaximumSize };
enum class WizardBatteryChoice { AnyType, NiCdOnly, NiMHOnly, NiCdOrNiMH, LiPolyOnly, SpecificBattery };

enum class SpanUnit { Inches, Feet, Centimetres };
enum class AreaUnit { SquareInches, SquareFeet, SquareDecimetres };
enum class WeightUnit { Ounces, Pounds, Grams };
enum class ElevationUnit { Feet, Metres };
enum class PressureUnit { InchesHg, Kilopascals };
enum class TemperatureUnit { Fahrenheit, Celsius };
enum class PropSizeUnit { Inches, Centimetres };

inline constexpr std::string_view kAnyManufacturer = "Any Manufacturer";

struct WizardAnswers {
    // Start
    std::string planeName;
    int motors = 1; // 1 to 4
    // Performance
    WizardLevel level = WizardLevel::Trainer;
    WizardFlyingTime flyingTime = WizardFlyingTime::Min9;
    // Model
    std::string wingSpan, wingArea, emptyWeight;
    SpanUnit spanUnit = SpanUnit::Inches;
    AreaUnit areaUnit = AreaUnit::SquareInches;
    WeightUnit weightUnit = WeightUnit::Ounces;
    // Airfoil and thickness
    WizardAirfoil airfoil = WizardAirfoil::FlatBottomed;
    WizardThickness thickness = WizardThickness::Medium;
    // Field
    std::string elevation, pressure, temperature;
    ElevationUnit elevationUnit = ElevationUnit::Feet;
    PressureUnit pressureUnit = PressureUnit::InchesHg;
    TemperatureUnit temperatureUnit = TemperatureUnit::Fahrenheit;
    bool advancedShown = false;
    // Motor
    WizardMotorChoice motorChoice = WizardMotorChoice::BrushedOrBrushless;
    std::string manufacturer{kAnyManufacturer};
    std::string motorName;
    // Gear and propeller
    WizardDriveChoice drive = WizardDriveChoice::DirectOrGeared;
    std::string specificGear;
    WizardSizeChoice size = WizardSizeChoice::AnySize;
    std::string diameter, pitch;
    PropSizeUnit propUnit = PropSizeUnit::Inches;
    // Battery
    WizardBatteryChoice battery = WizardBatteryChoice::AnyType;
    int maxCellsIndex = 0; // MaxCellsComboBox
    std::string cellName, seriesCells, parallelCells;

    // The airframe record the last copy from the workbench left (drag classes and the like); the
    // search overwrites span, area, weight and airfoil in its own copy.
    AirframeDesc airframe;

    // Every answer; of the airframe only what a copy from the workbench decides.
    friend bool operator==(const WizardAnswers& a, const WizardAnswers& b);
};

// Captions of the choices as the pages show them and the written results repeat them.
std::string_view LevelCaption(WizardLevel level);
std::string_view FlyingTimeCaption(WizardFlyingTime time);
std::string_view AirfoilCaption(WizardAirfoil airfoil);
std::string_view ThicknessCaption(WizardThickness thickness);
std::string_view MotorChoiceCaption(WizardMotorChoice choice);
std::string_view DriveChoiceCaption(WizardDriveChoice choice);
std::string_view SizeChoiceCaption(WizardSizeChoice choice);
std::string_view BatteryChoiceCaption(WizardBatteryChoice choice);
std::string_view UnitCaption(SpanUnit unit);
std::string_view UnitCaption(AreaUnit unit);
std::string_view UnitCaption(WeightUnit unit);
std::string_view UnitCaption(ElevationUnit unit);
std::string_view UnitCaption(PressureUnit unit);
std::string_view UnitCaption(TemperatureUnit unit);
std::string_view UnitCaption(PropSizeUnit unit);

// MaxCellsComboBox: texts and the largest series counts of nickel and lithium cells.
struct MaxCellsEntry {
    std::string_view text;
    int nickel;
    int lithium;
};
std::span<const MaxCellsEntry> MaxCellsEntries();

// The "Clear" button: every answer back to its default, keeping the units the options imply.
void ClearWizardAnswers(WizardAnswers& answers, bool metricDimensions, bool metricTempPress);
void ClearMotorRestrictions(WizardAnswers& answers);
void ClearDriveRestrictions(WizardAnswers& answers);
void ClearBatteryRestrictions(WizardAnswers& answers);

// The airfoil and thickness answers that describe an airframe's thickness, camber and plate flag.
void ClassifyAirfoil(const AirframeDesc& airframe, WizardAirfoil& airfoil, WizardThickness& thickness);
// The thickness, camber and plate flag an airfoil answer stands for.
void AirfoilFromAnswers(WizardAirfoil airfoil, WizardThickness thickness, AirframeDesc& airframe);

// --- WIZARDINFO ---
// Tags of the stored choices. Out-runner Only and Maximum Size once shared the tags of Brushless Only
// and Specific Size, so they were lost on a save and restore; they have tags of their own now, and a
// stored 22 or 29 still reads as Brushless Only or Specific Size.
namespace wizard_tag {
inline constexpr int kManufacturer = -17;
inline constexpr int kMaxCells = 18;
inline constexpr int kOutrunnerOnly = 36;
inline constexpr int kMaximumSize = 37;
} // namespace wizard_tag

std::string SaveWizardInfo(const WizardAnswers& answers);
// Reads a stored text into the answers; what it does not name keeps its value. `manufacturers` are
// the manufacturer box's items (a stored maker not among them becomes "Any Manufacturer").
void RestoreWizardInfo(WizardAnswers& answers, std::string_view text, std::span<const std::string> manufacturers);

} // namespace ampvane
