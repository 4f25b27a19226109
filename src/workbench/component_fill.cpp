// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/component_fill.h"

#include <cmath>

#include "common/unit_conversion.h"
#include "data/name_lookup.h"
#include "workbench/propeller_choices.h"

namespace ampvane {

namespace {

using C = WorkbenchControl;

// A stored number as the field shows it: plain, without trailing zeros; a stored 0 as an empty field.
std::string StoredNumber(const DbfTable& table, std::string_view column, const NumberLocale& locale) {
    const double value = table.Number(column);
    if (value == 0 || !std::isfinite(value)) return {};
    return FormatReal(0, -6, value, locale);
}

struct Filler {
    WorkbenchFields& fields;
    const DbfTable& table;
    const NumberLocale& locale;
    MessageSink& messages;

    void Number(C id, std::string_view column) { fields.SetText(id, StoredNumber(table, column, locale), Marking::Keep); }
    void Text(C id, std::string_view column) {
        fields.SetText(id, std::string(TrimText(table.Text(column))), Marking::Keep);
    }
    void Box(C id, std::string_view column) { fields.SetChecked(id, table.Logical(column), Marking::Keep); }
    void Convert(C id, double factor, double step) {
        std::string text = fields.Text(id);
        ConvertEdit(text, step, factor, locale, messages);
        fields.SetText(id, std::move(text), Marking::Keep);
    }
    void EmptyWhen(C id, bool condition) {
        if (condition) fields.SetText(id, "", Marking::Keep);
    }
    const std::string& Shown(C id) const { return fields.Text(id); }
};

void FillMotor(Filler& f, const WorkbenchUnits& units) {
    f.Text(C::MotorNameEdit, "MOTORNAME");
    f.Number(C::MotorConstantEdit, "MOTORSTANT");
    f.Number(C::IdleCurrentEdit, "IDLECRRENT");
    f.Number(C::ArmatureResistanceEdit, "ARMATTANCE");
    f.Number(C::MotorWeightEdit, "WEIGHT");
    f.Box(C::MotorBrushlessCheckBox, "BRUSHLESS");
    f.Box(C::MotorOutRunnerCheckBox, "OUTRUNNER");
    SetMotorBrushless(f.fields, f.fields.Checked(C::MotorBrushlessCheckBox), Marking::Keep);
    if (units.metric) f.Convert(C::MotorWeightEdit, kGramsPerOunce, 1);
}

void FillCell(Filler& f, const WorkbenchUnits& units) {
    f.Text(C::CellNameEdit, "CELLNAME");
    f.Number(C::CellCapacityEdit, "CAPACITY");
    f.Number(C::CellVoltageEdit, "VOLTAGE");
    f.Number(C::CRatingEdit, "CRATING");
    // The chemistry is the list entry of that name, letter case ignored.
    std::string chemistry;
    const std::string stored(TrimText(f.table.Text("CELLTYPE")));
    for (const char* known : {"NiCd", "NiMH", "LiPo", "LiNP"}) {
        const std::string_view k(known);
        if (k.size() == stored.size() &&
            std::equal(k.begin(), k.end(), stored.begin(), [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
            chemistry = known;
    }
    f.fields.SetText(C::CellTypeComboBox, chemistry, Marking::Keep);
    ApplyCellChemistry(f.fields, f.locale, Marking::Keep);
    f.Number(C::CellResistanceEdit, "INTERTANCE");
    f.Number(C::CellWeightEdit, "WEIGHT");
    if (units.metric) f.Convert(C::CellWeightEdit, kGramsPerOunce, 0.1);
}

void FillPropellerDrive(Filler& f, const WorkbenchUnits& units) {
    f.Text(C::DriveSystemNameEdit, "DRIVEMNAME");
    f.Number(C::GearRatioFromEdit, "GEARROFROM");
    f.Number(C::GearRatioToEdit, "GEARRTIOTO");
    f.Number(C::GearRatioByEdit, "GEARRTIOBY");
    f.Number(C::GearboxEfficiencyEdit, "GEARBOXEFF");
    f.Number(C::PropConstantEdit, "PROPCONST");
    f.Number(C::ThrustConstantEdit, "THRUSCONST");
    // A stored 0 already shows empty; the texts below are compared as shown.
    const bool sameGear = f.Shown(C::GearRatioToEdit) == f.Shown(C::GearRatioFromEdit) || f.Shown(C::GearRatioToEdit).empty();
    if (sameGear) {
        f.EmptyWhen(C::GearRatioToEdit, true);
        f.EmptyWhen(C::GearRatioByEdit, true);
    }
    f.EmptyWhen(C::GearRatioByEdit, f.Shown(C::GearRatioByEdit) == "1");
    f.EmptyWhen(C::GearRatioFromEdit, f.Shown(C::GearRatioFromEdit) == "1" && f.Shown(C::GearRatioToEdit).empty());

    const auto range = [&f](C from, C to, C by, const char* fromColumn, const char* toColumn, const char* byColumn) {
        f.Number(from, fromColumn);
        f.Number(to, toColumn);
        f.Number(by, byColumn);
        if (f.Shown(to) == f.Shown(from)) {
            f.EmptyWhen(to, true);
            f.EmptyWhen(by, true);
        }
        f.EmptyWhen(by, f.Shown(by) == "1");
    };
    range(C::PropellerDiameterFromEdit, C::PropellerDiameterToEdit, C::PropellerDiameterByEdit, "PROPERFROM",
          "PROPETERTO", "PROPETERBY");
    range(C::PropellerPitchFromEdit, C::PropellerPitchToEdit, C::PropellerPitchByEdit, "PROPEHFROM", "PROPETCHTO",
          "PROPETCHBY");
    f.Number(C::PropellerBladesEdit, "PROPELADES");
    f.EmptyWhen(C::PropellerBladesEdit, f.Shown(C::PropellerBladesEdit) == "2");
    f.Number(C::GearboxWeightEdit, "WEIGHT");
    if (units.metric) f.Convert(C::GearboxWeightEdit, kGramsPerOunce, 1);
    if (units.metricPropSizes)
        for (C id : {C::PropellerDiameterFromEdit, C::PropellerDiameterToEdit, C::PropellerDiameterByEdit,
                     C::PropellerPitchFromEdit, C::PropellerPitchToEdit, C::PropellerPitchByEdit})
            f.Convert(id, kCentimetresPerInch, 0.25);
    f.fields.SetDrivePage(kPropellerPage, Marking::Keep);
    // The tables live in the data folder, and with them the list of the drives' measured propellers.
    const std::filesystem::path dataFolder = std::filesystem::path(f.table.path()).parent_path();
    f.fields.SetMeasuredPropeller(
        ListedPropeller(dataFolder, kDrivePropellerList, f.Shown(C::DriveSystemNameEdit), f.messages).value_or(""));
}

void FillFanDrive(Filler& f, const WorkbenchUnits& units) {
    f.Text(C::DriveSystemNameEdit, "DRIVEMNAME");
    f.Number(C::FanDiameterEdit, "FANDIAM");
    f.Number(C::FanPitchEdit, "FANPITCH");
    f.Number(C::HubDiameterEdit, "FANHUBDIAM");
    f.Number(C::FanPowerCoeffEdit, "POWERCOEFF");
    f.Number(C::FanThrustCoeffEdit, "FANEFFIC");
    f.Number(C::FanWeightEdit, "WEIGHT");
    if (units.metric) {
        for (C id : {C::FanDiameterEdit, C::FanPitchEdit, C::HubDiameterEdit}) f.Convert(id, kCentimetresPerInch, 0.025);
        f.Convert(C::FanWeightEdit, kGramsPerOunce, 1);
    }
    f.fields.SetDrivePage(kDuctedFanPage, Marking::Keep);
}

void FillSpeedControl(Filler& f, const WorkbenchUnits& units) {
    f.Text(C::ESCNameEdit, "ESCNAME");
    f.Number(C::ESCResistanceEdit, "RESISTANCE");
    f.Number(C::ESCMaxCurrentEdit, "MAXCURRENT");
    f.Number(C::ESCWeightEdit, "WEIGHT");
    f.Box(C::ESCHighRateCheckBox, "HIGHRATE");
    f.Box(C::ESCBrushlessCheckBox, "BRUSHLESS");
    SetSpeedControlBrushless(f.fields, f.fields.Checked(C::ESCBrushlessCheckBox), Marking::Keep);
    if (units.metric) f.Convert(C::ESCWeightEdit, kGramsPerOunce, 0.1);
}

void FillAirframe(Filler& f, const WorkbenchUnits& units) {
    f.Text(C::AirframeNameEdit, "AIRFRENAME");
    // The hidden codes keep their stored text, "0" included.
    const auto code = [&f](C id, std::string_view column) {
        const double value = f.table.Number(column);
        f.fields.SetText(id, std::isfinite(value) ? FormatReal(0, 0, value, f.locale) : "0", Marking::Keep);
    };
    code(C::AirfoilInfoEdit, "AIRFOLINFO");
    code(C::DragInfoEdit, "DRAGINFO");
    f.Number(C::WingSpanEdit, "WINGSPAN");
    f.Number(C::WingAreaEdit, "WINGAREA");
    f.Number(C::EmptyWeightEdit, "EMPTYEIGHT");
    f.Number(C::IntakeDiameterEdit, "INDIAM");
    f.Number(C::IntakeLengthEdit, "INLENGTH");
    f.Number(C::ExhaustDiameterEdit, "OUTDIAM");
    f.Number(C::ExhaustLengthEdit, "OUTLENGTH");
    if (units.metric) {
        f.Convert(C::WingSpanEdit, kCentimetresPerInch, 0.25);
        f.Convert(C::WingAreaEdit, kSquareDecimetresPerSquareInch, 0.1);
        f.Convert(C::EmptyWeightEdit, kGramsPerOunce, 1);
        for (C id : {C::IntakeDiameterEdit, C::ExhaustDiameterEdit}) f.Convert(id, kCentimetresPerInch, 0.025);
        for (C id : {C::IntakeLengthEdit, C::ExhaustLengthEdit}) f.Convert(id, kCentimetresPerInch, 0.25);
    }
}

void FillFilter(Filler& f, const WorkbenchUnits& units) {
    f.Text(C::FilterNameEdit, "FILTERNAME");
    f.Number(C::MaxCurrentEdit, "MAXCURRENT");
    f.Number(C::MaxPowerLossEdit, "MAXPORLOSS");
    f.Number(C::MinEfficiencyEdit, "MINEFIENCY");
    f.Number(C::MinThrustEdit, "MINTHRUST");
    f.Number(C::MinSpeedEdit, "MINSPEED");
    f.Number(C::MaxSpeedEdit, "MAXSPEED");
    f.Number(C::MinTimeEdit, "MINTIME");
    f.Number(C::MaxPitchRatioEdit, "MAXPIRATIO");
    f.Number(C::MaxRPMEdit, "MAXRPM");
    if (units.metric) {
        if (units.newtons)
            f.Convert(C::MinThrustEdit, kNewtonsPerOunce, 0.01);
        else
            f.Convert(C::MinThrustEdit, kGramsPerOunce, 1);
        for (C id : {C::MinSpeedEdit, C::MaxSpeedEdit}) f.Convert(id, kMetresPerSecondPerMph, 0.5);
    }
}

} // namespace

ComponentGroup GroupOfKind(ComponentTableKind kind) {
    switch (kind) {
    case ComponentTableKind::Motor: return ComponentGroup::Motor;
    case ComponentTableKind::Cell: return ComponentGroup::Cell;
    case ComponentTableKind::Filter: return ComponentGroup::Filter;
    case ComponentTableKind::PropellerDrive:
    case ComponentTableKind::FanDrive: return ComponentGroup::Drive;
    case ComponentTableKind::SpeedControl: return ComponentGroup::SpeedControl;
    case ComponentTableKind::Airframe: return ComponentGroup::Airframe;
    case ComponentTableKind::Project: break;
    }
    return ComponentGroup::None;
}

void ClearGroupFields(WorkbenchFields& fields, ComponentTableKind kind) {
    const ComponentGroup group = GroupOfKind(kind);
    if (group == ComponentGroup::None) return;
    for (const WorkbenchControlInfo& info : WorkbenchControls()) {
        if (info.group != group) continue;
        fields.SetText(info.id, "");
        fields.SetChecked(info.id, false);
    }
    if (group == ComponentGroup::Drive) fields.SetMeasuredPropeller({});
}


void FillGroupFromRecord(WorkbenchFields& fields, ComponentTableKind kind, const DbfTable& table,
                         const WorkbenchUnits& units, const NumberLocale& locale, MessageSink& messages) {
    Filler f{fields, table, locale, messages};
    switch (kind) {
    case ComponentTableKind::Motor: FillMotor(f, units); break;
    case ComponentTableKind::Cell: FillCell(f, units); break;
    case ComponentTableKind::Filter: FillFilter(f, units); break;
    case ComponentTableKind::PropellerDrive: FillPropellerDrive(f, units); break;
    case ComponentTableKind::FanDrive: FillFanDrive(f, units); break;
    case ComponentTableKind::SpeedControl: FillSpeedControl(f, units); break;
    case ComponentTableKind::Airframe: FillAirframe(f, units); break;
    case ComponentTableKind::Project: return;
    }
    fields.SetGroupModified(GroupOfKind(kind), false);
}

bool LoadComponentByName(WorkbenchFields& fields, TCompDataModule& tables, ComponentTableKind kind,
                         std::string_view name, const WorkbenchUnits& units, const NumberLocale& locale,
                         MessageSink& messages) {
    if (TrimText(name).empty()) return false;
    DbfTable* table = tables.Table(kind);
    if (!table || !FindComponentByName(*table, name)) return false;
    FillGroupFromRecord(fields, kind, *table, units, locale, messages);
    return true;
}

void LoadSampleProject(WorkbenchFields& fields, const WorkbenchFields& sample, TCompDataModule& tables,
                       const WorkbenchUnits& units, const NumberLocale& locale, MessageSink& messages) {
    fields = sample;
    const ComponentTableKind drive =
        sample.DrivePage() == kDuctedFanPage ? ComponentTableKind::FanDrive : ComponentTableKind::PropellerDrive;
    const std::pair<ComponentTableKind, C> components[] = {
        {ComponentTableKind::Motor, C::MotorNameEdit},  {ComponentTableKind::Cell, C::CellNameEdit},
        {drive, C::DriveSystemNameEdit},                {ComponentTableKind::SpeedControl, C::ESCNameEdit},
        {ComponentTableKind::Airframe, C::AirframeNameEdit}, {ComponentTableKind::Filter, C::FilterNameEdit},
    };
    for (const auto& [kind, nameField] : components) {
        const std::string name = sample.Text(nameField);
        LoadComponentByName(fields, tables, kind, name, units, locale, messages);
    }
    ApplyBrushlessStates(fields);
    ApplyCellChemistry(fields, locale, Marking::Keep);
    fields.SetProjectName(std::string(kUntitledProject));
    fields.ClearMarks();
}

} // namespace ampvane
