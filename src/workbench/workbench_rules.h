// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "common/numeric_text.h"
#include "project/workbench_fields.h"
#include "common/messages.h"

// The small rules that keep the workbench's fields consistent while the user types, its unit labels
// and the unit switch. The window forwards each event here and then shows the fields again, so every
// rule can be tested without a window.

namespace ampvane {

inline constexpr std::string_view kWorkbenchTitlePrefix = "Ampvane 8.09 Workbench - ";
std::string WorkbenchTitle(std::string_view projectName);

// The display units the workbench's fields are typed in.
struct WorkbenchUnits {
    bool metric = false;          // g, cm, dm², m/s
    bool metricPropSizes = false; // propeller diameter and pitch in cm
    bool newtons = false;         // minimum thrust in N (only together with metric)
    friend bool operator==(const WorkbenchUnits&, const WorkbenchUnits&) = default;
};
WorkbenchUnits WorkbenchUnitsForMode(int measurementMode, bool forceInNewtons);

// The texts of the unit labels beside the fields.
struct WorkbenchUnitLabels {
    std::string weight;   // OzLabel1..6: "oz" / "g"
    std::string length;   // fan, intake, exhaust, wing span: "in" / "cm"
    std::string propSize; // InLabel1, InLabel2: "in" / "cm" with metric propeller sizes
    std::string area;     // SqInLabel1: "sq.in" / "dm ²"
    std::string thrust;   // ThrustLabel: "oz" / "g" / "N"
    std::string speed;    // MPHLabel1, MPHLabel2: "mph" / "m/s"
};
WorkbenchUnitLabels UnitLabelsFor(const WorkbenchUnits& units);

// Cell chemistry: a known chemistry fixes the cell voltage and makes it read-only; any other entry
// leaves the text and makes it editable again. Sets the cell mark with Marking::Mark.
void ApplyCellChemistry(WorkbenchFields& fields, const NumberLocale& locale, Marking marking = Marking::Mark);
// The voltage of a chemistry named in the cell type box, or nullopt.
std::optional<double> ChemistryVoltage(std::string_view chemistry);

// Brushless rules: only a brushless motor can be an out-runner; a brushless speed control is always
// high-rate.
void SetMotorBrushless(WorkbenchFields& fields, bool brushless, Marking marking = Marking::Mark);
void SetSpeedControlBrushless(WorkbenchFields& fields, bool brushless, Marking marking = Marking::Mark);
// Brings the dependent boxes' enabled states in line with the brushless boxes (after a load).
void ApplyBrushlessStates(WorkbenchFields& fields);

// The eight "+" and "-" buttons of the cell counts.
enum class CountButton {
    NumCellsFromPlus,
    NumCellsFromMinus,
    NumCellsToPlus,
    NumCellsToMinus,
    ParallelCellsFromPlus,
    ParallelCellsFromMinus,
    ParallelCellsToPlus,
    ParallelCellsToMinus,
};
inline constexpr int kCountButtonCount = 8;
std::string_view CountButtonName(CountButton button); // "NumCellsFromPlusButton", ...
void PressCountButton(WorkbenchFields& fields, CountButton button, MessageSink& messages);
// In the four count fields "+" and "=" press the field's "+" button, "-" and "_" its "-" button.
std::optional<CountButton> CountButtonForKey(WorkbenchControl field, char key);

// Whether a control is one of the nine restriction fields of the filter.
bool IsRestrictionField(WorkbenchControl id);
// A change of a restriction field (already stored with its mark) ticks "Use It".
void RestrictionFieldChanged(WorkbenchFields& fields);
// Field rows the restriction box scrolls to when a restriction field is entered.
int RestrictionScrollRows(int fieldNumber);

enum class WheelScrollBox { None, Coefficients, Restrictions };
struct WheelScroll {
    WheelScrollBox box = WheelScrollBox::None;
    int pixelsPerStep = 0;
};
// What one mouse-wheel step scrolls, by the focused field's number.
WheelScroll WheelScrollFor(int focusedFieldNumber);

// The drive page's effect on other controls.
struct DrivePageView {
    bool pitchButtonVisible = false;   // "Pitch..." (fan pitch calculator)
    bool pitchRatioEnabled = true;     // Max Pitch Ratio label, unit and field
    bool airframeLabelsFanColour = false;
};
DrivePageView DrivePageViewFor(int drivePage);
// The fan colour of the intake and exhaust labels (and of the airframe labels on the fan page).
inline constexpr unsigned kFanColour = 0x006600;
inline constexpr unsigned kFanColourFewColours = 0x008000;

// Drop-down value lists: the text that replaces a chosen item's label.
std::string DropDownValueText(WorkbenchControl field, double value, const NumberLocale& locale);

inline constexpr std::string_view kRevUpNeedsPitchMessage =
    "The propeller constant for Rev Up propellers depends on the pitch. Please specify a pitch first.";
inline constexpr std::string_view kRevUpPitchRangeMessage =
    "The propeller constant for Rev Up propellers depends on the pitch. Since you have specified a range of "
    "pitches, the average will be used.";
// Help topic of the propeller constant field.
inline constexpr int kPropConstantHelpTopic = 412;

// A propeller constant item whose value is 0 or less: the constant follows from the pitch. Writes the
// field (or empties it when no pitch is given, after the error) and sets the drive mark. Pitches in cm
// are taken in inches first, as the formula is for inches.
void ApplyRevUpPropConstant(WorkbenchFields& fields, bool metricPropSizes, const NumberLocale& locale,
                            MessageSink& messages);
double RevUpPropConstant(double pitchInches);

// What the last unit switch wrote into each field it converted. A conversion rounds (300 sq.in is
// 19.4 dm2, which is 301 sq.in), so switching back gives a field whose text is still the one the
// switch wrote the text it had before, instead of converting the rounded text again.
struct UnitSwitchMemory {
    struct Entry {
        std::string before;  // the text before the switch
        std::string after;   // the text the switch wrote
        double beforeUnit;   // the field's unit before the switch (its factor to the stored unit)
    };
    std::map<WorkbenchControl, Entry> fields;
};

// Converts every affected field from one set of display units to another, keeping all marks. With a
// memory, a field untouched since the switch that converted it gets its earlier text back when it
// returns to its earlier unit.
void ConvertWorkbenchUnits(WorkbenchFields& fields, const WorkbenchUnits& from, const WorkbenchUnits& to,
                           const NumberLocale& locale, MessageSink& messages, UnitSwitchMemory* memory = nullptr);

// The eight lines of the airframe coefficient box, from span, area and the two hidden airfoil fields.
// While typing a text that is no number counts as 0 without a message.
std::array<std::string, 8> AirframeCoefficientLines(const WorkbenchFields& fields, bool metric,
                                                    const NumberLocale& locale);
// Whether a change of this control asks for new coefficient lines.
bool AffectsAirframeCoefficients(WorkbenchControl id);

} // namespace ampvane
