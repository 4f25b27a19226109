// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/workbench_rules.h"

#include <algorithm>
#include <cmath>

#include "common/unit_conversion.h"
#include "model/airframe.h"

namespace ampvane {

namespace {

using C = WorkbenchControl;

// A number typed so far, or 0: nothing is validated while typing.
double QuietReal(std::string_view text, const NumberLocale& locale) {
    const std::string_view trimmed = TrimText(text);
    if (trimmed.empty()) return 0;
    const auto value = ParseLocaleReal(NormaliseDecimal(trimmed, locale), locale);
    return value ? *value : 0;
}

void ConvertField(WorkbenchFields& fields, C id, double factor, double step, const NumberLocale& locale,
                  MessageSink& messages) {
    std::string text = fields.Text(id);
    ConvertEdit(text, step, factor, locale, messages);
    fields.SetText(id, std::move(text), Marking::Keep);
}

// Factor of one unit of minimum thrust to ounces, and the step it is rounded to.
struct ThrustUnit {
    double toOunces;
    double fromOunces;
    double step;
};
ThrustUnit ThrustUnitOf(const WorkbenchUnits& units) {
    if (!units.metric) return {1.0, 1.0, 0.1};
    if (units.newtons) return {kOuncesPerNewton, kNewtonsPerOunce, 0.01};
    return {kOuncesPerGram, kGramsPerOunce, 1.0};
}

} // namespace

std::string WorkbenchTitle(std::string_view projectName) {
    return std::string(kWorkbenchTitlePrefix) + std::string(projectName);
}

WorkbenchUnits WorkbenchUnitsForMode(int measurementMode, bool forceInNewtons) {
    WorkbenchUnits units;
    units.metric = measurementMode > 1;
    units.metricPropSizes = measurementMode > 2;
    units.newtons = units.metric && forceInNewtons;
    return units;
}

WorkbenchUnitLabels UnitLabelsFor(const WorkbenchUnits& units) {
    WorkbenchUnitLabels labels;
    labels.weight = units.metric ? "g" : "oz";
    labels.length = units.metric ? "cm" : "in";
    labels.propSize = units.metricPropSizes ? "cm" : "in";
    labels.area = units.metric ? "dm \xC2\xB2" : "sq.in";
    labels.thrust = units.metric ? (units.newtons ? "N" : "g") : "oz";
    labels.speed = units.metric ? "m/s" : "mph";
    return labels;
}

std::optional<double> ChemistryVoltage(std::string_view chemistry) {
    if (chemistry == "LiPo") return 3.7;
    if (chemistry == "LiNP") return 3.3;
    if (chemistry == "NiCd" || chemistry == "NiMH") return 1.2;
    return std::nullopt;
}

void ApplyCellChemistry(WorkbenchFields& fields, const NumberLocale& locale, Marking marking) {
    const auto voltage = ChemistryVoltage(fields.Text(C::CellTypeComboBox));
    if (voltage) fields.SetText(C::CellVoltageEdit, FormatReal(0, -1, *voltage, locale), marking);
    fields.SetReadOnly(C::CellVoltageEdit, voltage.has_value());
    if (marking == Marking::Mark) {
        fields.SetProjectModified(true);
        fields.SetGroupModified(ComponentGroup::Cell, true);
    }
}

void SetMotorBrushless(WorkbenchFields& fields, bool brushless, Marking marking) {
    fields.SetChecked(C::MotorBrushlessCheckBox, brushless, marking);
    if (!brushless) fields.SetChecked(C::MotorOutRunnerCheckBox, false, marking);
    fields.SetEnabled(C::MotorOutRunnerCheckBox, brushless);
}

void SetSpeedControlBrushless(WorkbenchFields& fields, bool brushless, Marking marking) {
    fields.SetChecked(C::ESCBrushlessCheckBox, brushless, marking);
    if (brushless) fields.SetChecked(C::ESCHighRateCheckBox, true, marking);
    fields.SetEnabled(C::ESCHighRateCheckBox, !brushless);
}

void ApplyBrushlessStates(WorkbenchFields& fields) {
    SetMotorBrushless(fields, fields.Checked(C::MotorBrushlessCheckBox), Marking::Keep);
    SetSpeedControlBrushless(fields, fields.Checked(C::ESCBrushlessCheckBox), Marking::Keep);
}

std::string_view CountButtonName(CountButton button) {
    static constexpr std::array<std::string_view, kCountButtonCount> kNames = {
        "NumCellsFromPlusButton",      "NumCellsFromMinusButton",      "NumCellsToPlusButton",
        "NumCellsToMinusButton",       "ParallelCellsFromPlusButton",  "ParallelCellsFromMinusButton",
        "ParallelCellsToPlusButton",   "ParallelCellsToMinusButton",
    };
    return kNames[static_cast<std::size_t>(button)];
}

void PressCountButton(WorkbenchFields& fields, CountButton button, MessageSink& messages) {
    const int index = static_cast<int>(button);
    const bool parallel = index >= 4;
    const bool toField = (index % 4) >= 2;
    const bool plus = index % 2 == 0;
    const C fromId = parallel ? C::ParallelCellsFromEdit : C::NumberOfCellsFromEdit;
    const C toId = parallel ? C::ParallelCellsToEdit : C::NumberOfCellsToEdit;
    const int most = parallel ? 9 : 99;

    std::int32_t from = LenientInt(fields.Text(fromId), messages);
    std::int32_t to = LenientInt(fields.Text(toId), messages);
    const auto store = [&fields](C id, std::int32_t n) { fields.SetText(id, std::to_string(n)); };

    if (!toField) {
        if (plus && from < most) {
            store(fromId, ++from);
            if (to < from) store(toId, from);
        } else if (!plus && from > 1) {
            store(fromId, --from);
        }
        return;
    }
    if (plus && to < most) {
        store(toId, ++to);
    } else if (!plus && to > 1) {
        store(toId, --to);
        if (from > to) store(fromId, to);
    }
    if (TrimText(fields.Text(fromId)).empty()) fields.SetText(fromId, fields.Text(toId));
}

std::optional<CountButton> CountButtonForKey(WorkbenchControl field, char key) {
    const bool plus = key == '+' || key == '=';
    const bool minus = key == '-' || key == '_';
    if (!plus && !minus) return std::nullopt;
    switch (field) {
    case C::NumberOfCellsFromEdit: return plus ? CountButton::NumCellsFromPlus : CountButton::NumCellsFromMinus;
    case C::NumberOfCellsToEdit: return plus ? CountButton::NumCellsToPlus : CountButton::NumCellsToMinus;
    case C::ParallelCellsFromEdit:
        return plus ? CountButton::ParallelCellsFromPlus : CountButton::ParallelCellsFromMinus;
    case C::ParallelCellsToEdit: return plus ? CountButton::ParallelCellsToPlus : CountButton::ParallelCellsToMinus;
    default: return std::nullopt;
    }
}

bool IsRestrictionField(WorkbenchControl id) {
    const int number = ControlInfo(id).fieldNumber;
    return number > 300 && number < 400;
}

void RestrictionFieldChanged(WorkbenchFields& fields) { fields.SetChecked(C::UseFilterCheckBox, true); }

int RestrictionScrollRows(int fieldNumber) { return std::max(0, fieldNumber - 304); }

WheelScroll WheelScrollFor(int focusedFieldNumber) {
    switch (focusedFieldNumber / 100) {
    case 7: return {WheelScrollBox::Coefficients, 8};
    case 3: return {WheelScrollBox::Restrictions, 12};
    default: return {};
    }
}

DrivePageView DrivePageViewFor(int drivePage) {
    DrivePageView view;
    const bool fan = drivePage == kDuctedFanPage;
    view.pitchButtonVisible = fan;
    view.pitchRatioEnabled = !fan;
    view.airframeLabelsFanColour = fan;
    return view;
}

std::string DropDownValueText(WorkbenchControl field, double value, const NumberLocale& locale) {
    return FormatReal(0, field == C::PropConstantEdit ? -2 : -3, value, locale);
}

double RevUpPropConstant(double pitchInches) { return std::max(0.5, (pitchInches - 0.5) / pitchInches * 1.31); }

void ApplyRevUpPropConstant(WorkbenchFields& fields, bool metricPropSizes, const NumberLocale& locale,
                            MessageSink& messages) {
    double pitch = QuietReal(fields.Text(C::PropellerPitchFromEdit), locale);
    if (!(pitch > 0)) {
        Message error = ErrorMessage(std::string(kRevUpNeedsPitchMessage));
        error.buttons = OkButton | HelpButton;
        error.helpTopic = kPropConstantHelpTopic;
        messages.Report(error);
        fields.SetText(C::PropConstantEdit, "");
        return;
    }
    const std::string_view toText = TrimText(fields.Text(C::PropellerPitchToEdit));
    if (!toText.empty()) {
        const double to = QuietReal(toText, locale);
        if (to != pitch) {
            Message warning = WarningMessage(std::string(kRevUpPitchRangeMessage));
            warning.buttons = OkButton | HelpButton;
            warning.helpTopic = kPropConstantHelpTopic;
            messages.Report(warning);
            pitch = (pitch + to) / 2;
        }
    }
    if (metricPropSizes) pitch *= kInchesPerCentimetre;
    fields.SetText(C::PropConstantEdit, DropDownValueText(C::PropConstantEdit, RevUpPropConstant(pitch), locale));
}

void ConvertWorkbenchUnits(WorkbenchFields& fields, const WorkbenchUnits& from, const WorkbenchUnits& to,
                           const NumberLocale& locale, MessageSink& messages, UnitSwitchMemory* memory) {
    // `fromUnit` and `toUnit` name the field's unit on each side of the switch (any value that tells
    // the units apart), so that a field is given back its text only on the way back.
    const auto convertOne = [&](C id, double factor, double step, double fromUnit, double toUnit) {
        if (memory) {
            const auto remembered = memory->fields.find(id);
            if (remembered != memory->fields.end() && remembered->second.after == fields.Text(id) &&
                remembered->second.beforeUnit == toUnit) {
                fields.SetText(id, remembered->second.before, Marking::Keep);
                memory->fields.erase(remembered);
                return;
            }
        }
        std::string before = fields.Text(id);
        ConvertField(fields, id, factor, step, locale, messages);
        if (memory) memory->fields[id] = {std::move(before), fields.Text(id), fromUnit};
    };
    if (from.metric != to.metric) {
        const bool toMetric = to.metric;
        const auto convert = [&](C id, double metricFactor, double metricStep, double imperialFactor,
                                 double imperialStep) {
            if (toMetric)
                convertOne(id, metricFactor, metricStep, 0, 1);
            else
                convertOne(id, imperialFactor, imperialStep, 1, 0);
        };
        for (C id : {C::MotorWeightEdit, C::EmptyWeightEdit, C::GearboxWeightEdit, C::FanWeightEdit})
            convert(id, kGramsPerOunce, 1, kOuncesPerGram, 0.1);
        for (C id : {C::CellWeightEdit, C::ESCWeightEdit}) convert(id, kGramsPerOunce, 0.1, kOuncesPerGram, 0.01);
        for (C id : {C::WingSpanEdit, C::IntakeLengthEdit, C::ExhaustLengthEdit}) convert(id, kCentimetresPerInch, 0.25, kInchesPerCentimetre, 0.1);
        convert(C::WingAreaEdit, kSquareDecimetresPerSquareInch, 0.1, kSquareInchesPerSquareDecimetre, 1);
        for (C id : {C::MinSpeedEdit, C::MaxSpeedEdit}) convert(id, kMetresPerSecondPerMph, 0.5, kMphPerMetrePerSecond, 1);
        for (C id : {C::IntakeDiameterEdit, C::ExhaustDiameterEdit, C::FanDiameterEdit, C::HubDiameterEdit,
                     C::FanPitchEdit})
            convert(id, kCentimetresPerInch, 0.025, kInchesPerCentimetre, 0.01);
    }
    if (from.metricPropSizes != to.metricPropSizes) {
        for (C id : {C::PropellerDiameterFromEdit, C::PropellerDiameterToEdit, C::PropellerDiameterByEdit,
                     C::PropellerPitchFromEdit, C::PropellerPitchToEdit, C::PropellerPitchByEdit}) {
            if (to.metricPropSizes)
                convertOne(id, kCentimetresPerInch, 0.25, 0, 1);
            else
                convertOne(id, kInchesPerCentimetre, 0.1, 1, 0);
        }
    }
    const ThrustUnit oldThrust = ThrustUnitOf(from);
    const ThrustUnit newThrust = ThrustUnitOf(to);
    if (oldThrust.fromOunces != newThrust.fromOunces)
        convertOne(C::MinThrustEdit, oldThrust.toOunces * newThrust.fromOunces, newThrust.step, oldThrust.fromOunces,
                   newThrust.fromOunces);
}

std::array<std::string, 8> AirframeCoefficientLines(const WorkbenchFields& fields, bool metric,
                                                    const NumberLocale& locale) {
    AirframeDesc airframe;
    airframe.WingSpan = QuietReal(fields.Text(C::WingSpanEdit), locale);
    airframe.WingArea = QuietReal(fields.Text(C::WingAreaEdit), locale);
    airframe.EmptyWeight = QuietReal(fields.Text(C::EmptyWeightEdit), locale);
    // The hidden codes are whole numbers written by the coefficient estimator.
    const auto code = [&fields](C id) {
        const auto value = ParseInteger(TrimText(fields.Text(id)));
        return value ? *value : 0;
    };
    airframe.AirfoilInfo = code(C::AirfoilInfoEdit);
    airframe.DragInfo = code(C::DragInfoEdit);
    DeriveAirframe(airframe, metric);

    const auto line = [&locale](std::string_view label, int decimals, double value) {
        if (!std::isfinite(value)) value = 0;
        return std::string(label) + FormatReal(0, decimals, value, locale);
    };
    return {line("Cl=", 2, airframe.Cl),          line("Clopt=", 2, airframe.ClOpt),
            line("Clmax=", 2, airframe.ClMax),    line("Cd=", 3, airframe.Cd),
            line("  Cdp=", 3, airframe.CdProfile), line("  Cdi=", 3, airframe.CdInduced),
            line("  Cdo=", 3, airframe.CdParasitic), line("LDmax=", 2, airframe.MaxLiftToDrag)};
}

bool AffectsAirframeCoefficients(WorkbenchControl id) {
    return id == C::WingSpanEdit || id == C::WingAreaEdit || id == C::EmptyWeightEdit || id == C::AirfoilInfoEdit ||
           id == C::DragInfoEdit;
}

} // namespace ampvane
