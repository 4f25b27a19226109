// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/airfoil_estimator.h"

#include <algorithm>
#include <cmath>

#include "common/unit_conversion.h"
#include "model/airframe.h"
#include "model/model_numbers.h"
#include "tools/tool_fields.h"

namespace ampvane {

namespace {

using model_detail::RoundHalfEven;

// The four-digit symmetric section of 10 % thickness: half-thickness at the chord stations.
constexpr std::array<double, 22> kStations{0,  0.2, 0.4, 0.6, 0.8, 1.25, 2.5, 5,  7.5, 10, 15,
                                           20, 25,  30,  40,  50,  60,   70,  80, 90,  95, 100};
constexpr std::array<double, 22> kHalfThickness10{0,     0.62,  0.91,  1.12,  1.25,  1.578, 2.178, 2.962,
                                                  3.5,   3.902, 4.455, 4.782, 4.952, 5.002, 4.837, 4.412,
                                                  3.803, 3.053, 2.187, 1.207, 0.672, 0};

double MeanLine(double x, double camber) {
    return x < 40 ? camber * (100 - (40 - x) * (40 - x) / 16) : camber * (100 - (x - 40) * (x - 40) / 36);
}

int Position(double value, int low, int high) {
    const double p = RoundHalfEven(value);
    if (!std::isfinite(p)) return low;
    return static_cast<int>(std::clamp(p, static_cast<double>(low), static_cast<double>(high)));
}

int ClassPosition(std::int32_t value, int items) { return value >= 0 && value < items ? value : -1; }

} // namespace

std::array<std::vector<std::string_view>, 4> DragClassCaptions() {
    return {{{"None or &retractable", "Fixed w/&pants, tip floats", "&Fixed", "Full-&length floats"},
             {"&Smooth (plastic film)", "A&verage (dope, fabric)", "R&ough (bare wood)"},
             {"None or fe&w", "Some (scale deta&ils)", "Man&y (wires, struts)"},
             {"Circular or &elliptical", "Rounde&d corners", "Rectan&gular"}}};
}

AirfoilControls ControlsFromAirframe(const AirframeDesc& airframe) {
    AirfoilControls controls;
    controls.thickness = Position(airframe.Thickness * 200, kThicknessMin, kThicknessMax);
    controls.camber = Position(airframe.Camber * 200, kCamberMin, kCamberMax);
    controls.angle = Position(DegreesFromRadians(airframe.AngleOfAttack) * 2, kAngleMin, kAngleMax);
    controls.flatPlate = airframe.FlatPlate != 0;
    controls.dragClass = {ClassPosition(airframe.LandingGear, kDragClassItems[0]),
                          ClassPosition(airframe.SurfaceFinish, kDragClassItems[1]),
                          ClassPosition(airframe.Protrusions, kDragClassItems[2]),
                          ClassPosition(airframe.Fuselage, kDragClassItems[3])};
    return controls;
}

void ApplyControls(const AirfoilControls& controls, AirframeDesc& airframe) {
    airframe.Thickness = controls.thickness / 200.0;
    airframe.Camber = controls.camber / 200.0;
    airframe.AngleOfAttack = RadiansFromDegrees(controls.angle / 2.0);
    airframe.FlatPlate = controls.flatPlate ? 1 : 0;
    std::int32_t* classes[4] = {&airframe.LandingGear, &airframe.SurfaceFinish, &airframe.Protrusions,
                                &airframe.Fuselage};
    for (std::size_t i = 0; i < 4; ++i)
        if (controls.dragClass[i] >= 0) *classes[i] = controls.dragClass[i];
}

std::string ThicknessIndicator(int position, const NumberLocale& locale) {
    return FormatReal(0, 1, position / 2.0, locale) + "%";
}
std::string CamberIndicator(int position, const NumberLocale& locale) {
    return FormatReal(0, 1, position / 2.0, locale) + "%";
}
std::string AngleIndicator(int position, const NumberLocale& locale) {
    return FormatReal(0, 1, position / 2.0, locale) + "\u00B0";
}

void RecomputeAirfoil(AirframeDesc& airframe) {
    AirframeCoefficients(airframe);
    BestLiftToDrag(airframe);
}

OutlineColour OutlineColourOf(const AirframeDesc& airframe) {
    if (airframe.Stalled) return OutlineColour::Red;
    if (0.9 * airframe.ClMax >= airframe.Cl) return OutlineColour::Blue;
    return OutlineColour::Olive;
}

std::vector<ChordPoint> SectionOutline(const AirframeDesc& airframe) {
    std::vector<ChordPoint> upper, lower;
    for (std::size_t i = 0; i < kStations.size(); ++i) {
        const double x = kStations[i];
        const double mean = MeanLine(x, airframe.Camber);
        const double half =
            airframe.FlatPlate ? 50 * airframe.Thickness : 10 * airframe.Thickness * kHalfThickness10[i];
        upper.push_back({x, mean + half});
        lower.push_back({x, mean - half});
    }
    std::vector<ChordPoint> outline = upper;
    outline.insert(outline.end(), lower.rbegin(), lower.rend());
    outline.push_back(upper.front()); // the leading edge closes the outline (a plate's square end)
    return outline;
}

ChordPoint RotateAboutMidChord(ChordPoint point, double angleOfAttack) {
    const double dx = point.x - 50, dy = point.y;
    const double c = std::cos(angleOfAttack), s = std::sin(angleOfAttack);
    return {50 + dx * c + dy * s, -dx * s + dy * c};
}

CoefficientTexts AirfoilCoefficientTexts(const AirframeDesc& a, const NumberLocale& locale) {
    const auto two = [&](std::string_view label, double v) {
        return std::string(label) + FormatReal(0, 2, std::isfinite(v) ? v : 0, locale) + "  ";
    };
    const auto three = [&](std::string_view label, double v) {
        return std::string(label) + FormatReal(0, 3, std::isfinite(v) ? v : 0, locale);
    };
    CoefficientTexts texts;
    texts.topLeft = {two("Cl=", a.Cl), two("Clmax=", a.ClMax)};
    texts.bottomLeft = {two("Clopt=", a.ClOpt), two("LDmax=", a.MaxLiftToDrag)};
    texts.topRight = {three("  Cdp=", a.CdProfile), three("  Cdi=", a.CdInduced), three("  Cdo=", a.CdParasitic),
                      three("  Cd=", a.Cd)};
    return texts;
}

AirframeCodes CodesOf(const AirframeDesc& airframe) {
    return {std::to_string(EncodeAirfoil(airframe)), std::to_string(EncodeDrag(airframe))};
}

void ApplyAirframeCodes(const AirframeDesc& airframe, WorkbenchFields& fields) {
    const AirframeCodes codes = CodesOf(airframe);
    fields.SetText(WorkbenchControl::AirfoilInfoEdit, codes.airfoil);
    fields.SetText(WorkbenchControl::DragInfoEdit, codes.drag);
}

AirframeDesc WorkbenchAirframe(const WorkbenchFields& fields, bool metric, const NumberLocale& locale) {
    NullMessageSink quiet;
    AirframeDesc airframe;
    airframe.WingSpan = LenientReal(fields.Text(WorkbenchControl::WingSpanEdit), locale, quiet);
    airframe.WingArea = LenientReal(fields.Text(WorkbenchControl::WingAreaEdit), locale, quiet);
    airframe.EmptyWeight = LenientReal(fields.Text(WorkbenchControl::EmptyWeightEdit), locale, quiet);
    const auto code = [&fields](WorkbenchControl id) {
        const auto value = ParseInteger(TrimText(fields.Text(id)));
        return value ? *value : 0;
    };
    airframe.AirfoilInfo = code(WorkbenchControl::AirfoilInfoEdit);
    airframe.DragInfo = code(WorkbenchControl::DragInfoEdit);
    DeriveAirframe(airframe, metric);
    return airframe;
}

std::vector<AirfoilListEntry> AirfoilListEntries(const std::vector<ValueListEntry>& entries) {
    std::vector<AirfoilListEntry> result;
    for (const ValueListEntry& e : entries) result.push_back({e.label, e.first, e.second});
    return result;
}

ShownAirfoilEntry ShowAirfoilEntry(const AirfoilListEntry& entry, const NumberLocale& locale) {
    ShownAirfoilEntry shown;
    shown.thickness = FormatReal(0, -1, std::fabs(entry.thickness), locale);
    shown.camber = FormatReal(0, -1, entry.camber, locale);
    NullMessageSink quiet; // the texts were just written: they read back
    shown.thicknessPercent = LenientReal(shown.thickness, locale, quiet);
    shown.camberPercent = LenientReal(shown.camber, locale, quiet);
    return shown;
}

void TakeListEntry(AirframeDesc& airframe, bool flatPlate, double camberPercent, double thicknessPercent) {
    airframe.Thickness = std::fabs(thicknessPercent) / 100;
    airframe.Camber = camberPercent / 100;
    airframe.FlatPlate = flatPlate ? 1 : 0;
}

void TakeMeasurements(AirframeDesc& airframe, double angleDegrees, double camberPercent, double thicknessPercent) {
    airframe.Thickness = thicknessPercent / 100;
    airframe.Camber = camberPercent / 100;
    airframe.AngleOfAttack = RadiansFromDegrees(angleDegrees);
}

WingMeasurementResult ComputeWingMeasurements(const WingMeasurementInput& input, const NumberLocale& locale,
                                              MessageSink& messages) {
    const double LE = LenientReal(input.leHeight, locale, messages);
    const double TE = LenientReal(input.teHeight, locale, messages);
    const double C = LenientReal(input.chord, locale, messages);
    const double UH = LenientReal(input.upperHeight, locale, messages);
    const double LH = LenientReal(input.lowerHeight, locale, messages);
    const double CH = LenientReal(input.chordHeight, locale, messages);
    WingMeasurementResult result;
    if (C == 0) return result;
    const auto fill = [&](double value, double low, double high, std::optional<double>& out, std::string& text,
                          bool& inRange) {
        if (!std::isfinite(value)) return;
        out = value;
        text = FormatReal(0, -1, value, locale);
        inRange = value >= low && value <= high;
    };
    fill(RoundHalfEven((UH - LH) / C * 200) / 2, 1, 20, result.thickness, result.thicknessText,
         result.thicknessInRange);
    fill(RoundHalfEven(((UH + LH) / 2 - CH) / C * 200) / 2, 0, 15, result.camber, result.camberText,
         result.camberInRange);
    fill(RoundHalfEven(DegreesFromRadians(std::atan((LE - TE) / C)) * 2) / 2, -5, 25, result.angle,
         result.angleText, result.angleInRange);
    return result;
}

bool AcceptWingMeasurements(const WingMeasurementResult& result, MessageSink& messages) {
    const auto fail = [&](std::string_view text) {
        Message message = ErrorMessage(std::string(text));
        message.buttons = OkButton | HelpButton;
        message.helpTopic = kWingMeasurementsHelpTopic;
        messages.Report(message);
        return false;
    };
    if (!result.thickness || !result.thicknessInRange) return fail(kThicknessRangeMessage);
    if (!result.camber || !result.camberInRange) return fail(kCamberRangeMessage);
    if (!result.angle || !result.angleInRange) return fail(kAngleRangeMessage);
    return true;
}

} // namespace ampvane
