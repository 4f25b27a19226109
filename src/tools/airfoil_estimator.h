// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/workbench_fields.h"
#include "common/messages.h"
#include "common/numeric_text.h"
#include "data/value_lists.h"
#include "model/airframe_desc.h"

// The lift and drag coefficient estimator: the controls that edit an airframe's airfoil and drag
// codes, the drawing of the section, the common airfoils list and the wing measurements.

namespace ampvane {

inline constexpr int kLiftCoefficientHelpTopic = 264;
inline constexpr int kAirfoilGroupHelpTopic = 2640;
inline constexpr int kWingMeasurementsHelpTopic = 2641;
inline constexpr int kDragGroupsHelpTopic = 2642;
inline constexpr int kAirfoilListHelpTopic = 2644;

inline constexpr std::string_view kThicknessRangeMessage =
    "The computed thickness is out of range. Please check that your measurements are correct.";
inline constexpr std::string_view kCamberRangeMessage =
    "The computed camber is out of range. Please check that your measurements are correct.";
inline constexpr std::string_view kAngleRangeMessage =
    "The computed angle of attack is out of range. Please check that your measurements are correct.";

// Slider ranges (positions are half per cent of chord, half degrees).
inline constexpr int kThicknessMin = 2, kThicknessMax = 40;
inline constexpr int kCamberMin = 0, kCamberMax = 30;
inline constexpr int kAngleMin = -10, kAngleMax = 50;
// Items of the four drag class groups.
inline constexpr std::array<int, 4> kDragClassItems{4, 3, 3, 3};

// The drag class captions, group by group, in item order.
std::array<std::vector<std::string_view>, 4> DragClassCaptions();
inline constexpr std::array<std::string_view, 4> kDragGroupCaptions{"Landing Gear:", "Surface Finish:",
                                                                   "Protrusions:", "Fuselage Cross Section:"};

// The control positions for an airframe record; a drag class outside its group's items (such as
// the −1 of a drag code 0) is −1: no selection.
struct AirfoilControls {
    int thickness = 24, camber = 8, angle = 0;
    bool flatPlate = false;
    std::array<int, 4> dragClass{-1, -1, -1, -1}; // gear, finish, protrusions, fuselage
    bool operator==(const AirfoilControls&) const = default;
};
AirfoilControls ControlsFromAirframe(const AirframeDesc& airframe);
// Reads every control into the record (an unselected group keeps its class).
void ApplyControls(const AirfoilControls& controls, AirframeDesc& airframe);

// Indicator texts: "12.0%", "4.0%", "1.0°".
std::string ThicknessIndicator(int position, const NumberLocale& locale);
std::string CamberIndicator(int position, const NumberLocale& locale);
std::string AngleIndicator(int position, const NumberLocale& locale);

// Coefficients and best lift-to-drag ratio of the working record.
void RecomputeAirfoil(AirframeDesc& airframe);

enum class OutlineColour { Blue, Olive, Red };
OutlineColour OutlineColourOf(const AirframeDesc& airframe);

// The section in chord per cent (x from the leading edge, y up), not yet rotated: a closed outline
// (upper surface forward, lower surface back).
struct ChordPoint {
    double x = 0, y = 0;
};
std::vector<ChordPoint> SectionOutline(const AirframeDesc& airframe);
// Rotation about mid-chord by the angle of attack (nose up for a positive angle).
ChordPoint RotateAboutMidChord(ChordPoint point, double angleOfAttack);

// The coefficient texts of the drawing.
struct CoefficientTexts {
    std::array<std::string, 2> topLeft;    // "Cl=..", "Clmax=.."
    std::array<std::string, 2> bottomLeft; // "Clopt=..", "LDmax=.."
    std::array<std::string, 4> topRight;   // "  Cdp=..", "  Cdi=..", "  Cdo=..", "  Cd=.."
};
CoefficientTexts AirfoilCoefficientTexts(const AirframeDesc& airframe, const NumberLocale& locale);

// Apply: both codes as decimal text into the workbench.
struct AirframeCodes {
    std::string airfoil, drag;
};
AirframeCodes CodesOf(const AirframeDesc& airframe);
void ApplyAirframeCodes(const AirframeDesc& airframe, WorkbenchFields& fields);

// The working airframe as the workbench describes it (span, area, weight and the two codes read
// leniently without messages, as the coefficient lines do).
AirframeDesc WorkbenchAirframe(const WorkbenchFields& fields, bool metric, const NumberLocale& locale);

// Common airfoils ("Airfoil.lst"): name, thickness % (negative: flat plate), camber %.
struct AirfoilListEntry {
    std::string name;
    double thickness = 0;
    double camber = 0;
    bool FlatPlate() const { return thickness < 0; }
};
std::vector<AirfoilListEntry> AirfoilListEntries(const std::vector<ValueListEntry>& entries);
// An entry as the list window shows it (|thickness| and camber with up to one decimal), and the values
// its OK takes: the shown ones.
struct ShownAirfoilEntry {
    std::string thickness, camber;
    double thicknessPercent = 0, camberPercent = 0;
};
ShownAirfoilEntry ShowAirfoilEntry(const AirfoilListEntry& entry, const NumberLocale& locale);
// The record after a list entry was taken (the angle stays).
void TakeListEntry(AirframeDesc& airframe, bool flatPlate, double camberPercent, double thicknessPercent);
void TakeMeasurements(AirframeDesc& airframe, double angleDegrees, double camberPercent, double thicknessPercent);

// Wing measurements, all heights from a datum line (lenient reads).
struct WingMeasurementInput {
    std::string leHeight, teHeight, chord, upperHeight, lowerHeight, chordHeight;
};
struct WingMeasurementResult {
    std::optional<double> thickness, camber, angle; // %, %, degrees; empty when the chord is 0
    std::string thicknessText, camberText, angleText;
    bool thicknessInRange = false, camberInRange = false, angleInRange = false;
};
WingMeasurementResult ComputeWingMeasurements(const WingMeasurementInput& input, const NumberLocale& locale,
                                              MessageSink& messages);
// OK: the first result out of range brings its error box and false.
bool AcceptWingMeasurements(const WingMeasurementResult& result, MessageSink& messages);

} // namespace ampvane
