// SPDX-License-Identifier: GPL-3.0-or-later
#include "wizard/generic_components.h"

#include "common/unit_conversion.h"
#include "common/name_pattern.h"

namespace ampvane {

namespace {
using C = WorkbenchControl;
}

std::optional<GenericDrive> ParseGenericDriveName(std::string_view name) {
    for (std::string_view form : kGenericDrivePatterns) {
        NamePattern pattern(form);
        if (!pattern.Search(name))
            continue;
        GenericDrive drive;
        drive.diameter = pattern.Group(1).value_or("");
        drive.pitch = pattern.Group(2).value_or("");
        drive.unit = pattern.Group(3).value_or("");
        drive.gearRatio = pattern.Group(4).value_or("");
        return drive;
    }
    return std::nullopt;
}

bool IsGenericDriveName(std::string_view name) { return ParseGenericDriveName(name).has_value(); }

std::string GenericDriveName(double diameterInches, double pitchInches, double gearRatio, bool metricPropSizes,
                             const NumberLocale& locale) {
    const double factor = metricPropSizes ? kCentimetresPerInch : 1.0;
    std::string name = "Generic " + FormatNumber(0, -1, 0, diameterInches * factor, locale) + "x" +
                       FormatNumber(0, -1, 0, pitchInches * factor, locale) + (metricPropSizes ? "cm" : "in") +
                       " Prop";
    if (gearRatio >= 1.01)
        name += " w/" + FormatNumber(0, -1, 0, gearRatio) + ":1 Gearbox";
    return name;
}

bool ApplyGenericDrive(WorkbenchFields& fields, std::string_view name, bool metricPropSizes,
                       const NumberLocale& locale, MessageSink& messages) {
    const auto drive = ParseGenericDriveName(name);
    if (!drive)
        return false;
    fields.SetDrivePage(kPropellerPage);
    fields.SetText(C::DriveSystemNameEdit, std::string(name));
    fields.SetText(C::GearRatioFromEdit, NormaliseDecimal(drive->gearRatio, locale));
    std::string diameter = NormaliseDecimal(drive->diameter, locale);
    std::string pitch = NormaliseDecimal(drive->pitch, locale);
    if (metricPropSizes && drive->unit == "in") {
        ConvertEdit(diameter, 0.25, kCentimetresPerInch, locale, messages);
        ConvertEdit(pitch, 0.25, kCentimetresPerInch, locale, messages);
    } else if (!metricPropSizes && drive->unit == "cm") {
        ConvertEdit(diameter, 0.1, kInchesPerCentimetre, locale, messages);
        ConvertEdit(pitch, 0.1, kInchesPerCentimetre, locale, messages);
    }
    fields.SetText(C::PropellerDiameterFromEdit, diameter);
    fields.SetText(C::PropellerPitchFromEdit, pitch);
    fields.SetText(C::PropConstantEdit, FormatReal(0, 2, kGenericPropConstant, locale));
    fields.SetText(C::ThrustConstantEdit, FormatReal(0, 3, kGenericThrustConstant, locale));
    return true;
}

const GenericSpeedControl* FindGenericSpeedControl(std::string_view name) {
    if (name == kGenericBrushlessEsc.name)
        return &kGenericBrushlessEsc;
    if (name == kGenericHighRateEsc.name)
        return &kGenericHighRateEsc;
    return nullptr;
}

bool ApplyGenericSpeedControl(WorkbenchFields& fields, std::string_view name, const NumberLocale& locale) {
    const GenericSpeedControl* esc = FindGenericSpeedControl(name);
    if (!esc)
        return false;
    fields.SetText(C::ESCNameEdit, std::string(esc->name));
    fields.SetText(C::ESCResistanceEdit, FormatNumber(0, -3, 0, esc->resistance, locale));
    fields.SetText(C::ESCWeightEdit, std::string(esc->weightText));
    fields.SetChecked(C::ESCBrushlessCheckBox, esc->brushless);
    fields.SetChecked(C::ESCHighRateCheckBox, esc->highRate);
    // A brushless control is always high-rate, so its box cannot be changed.
    fields.SetEnabled(C::ESCHighRateCheckBox, !esc->brushless);
    return true;
}

} // namespace ampvane
