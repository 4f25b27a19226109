// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/component_commands.h"

#include <vector>

#include "common/unit_conversion.h"
#include "data/name_lookup.h"
#include "workbench/component_fill.h"
#include "workbench/propeller_choices.h"

namespace ampvane {

namespace {

using C = WorkbenchControl;

struct GroupWords {
    const char* discard;   // word A: discard and save questions
    const char* replace;   // word B: replace question (the drive's depends on the page)
    const char* nameLabel; // the name field's label
    const char* blank;     // word C: blank-name warning
};

GroupWords WordsOf(ComponentGroup group, const WorkbenchFields& fields) {
    switch (group) {
    case ComponentGroup::Motor: return {"Motor", "Motor", "Motor Name", "Motor"};
    case ComponentGroup::Cell: return {"Cell Type", "Cell Type", "Cell Type", "Battery"};
    case ComponentGroup::Drive:
        return {"Drive System",
                fields.DrivePage() == kDuctedFanPage ? "Fan Drive System" : "Propeller Drive System",
                "Drive System Description", "Drive System"};
    case ComponentGroup::SpeedControl: return {"Speed Control", "Speed Control", "Speed Control Name", "Speed Control"};
    case ComponentGroup::Airframe: return {"Airframe", "Airframe", "Airframe Name", "Airframe"};
    case ComponentGroup::Filter: return {"Filter", "Filter", "Filter Name", "Filter"};
    case ComponentGroup::None: break;
    }
    return {"", "", "", ""};
}

// A field written to a column; with a factor the displayed metric value is converted to the stored
// imperial unit first, rounded to the step.
struct ColumnField {
    const char* column;
    C field;
    double factor = 0; // 0: written as typed
    double step = 0;
};

enum class Metric { Never, Always, PropSizes, Thrust };

struct Written {
    ColumnField field;
    Metric when = Metric::Never;
};

std::vector<Written> ColumnsOf(ComponentTableKind kind, const WorkbenchUnits& units) {
    const Metric m = Metric::Always;
    const Metric never = Metric::Never;
    switch (kind) {
    case ComponentTableKind::Motor:
        return {{{"MOTORSTANT", C::MotorConstantEdit}, never},     {{"IDLECRRENT", C::IdleCurrentEdit}, never},
                {{"ARMATTANCE", C::ArmatureResistanceEdit}, never}, {{"BRUSHLESS", C::MotorBrushlessCheckBox}, never},
                {{"OUTRUNNER", C::MotorOutRunnerCheckBox}, never},  {{"WEIGHT", C::MotorWeightEdit, kOuncesPerGram, 0.1}, m}};
    case ComponentTableKind::Cell:
        return {{{"CAPACITY", C::CellCapacityEdit}, never},    {{"VOLTAGE", C::CellVoltageEdit}, never},
                {{"CRATING", C::CRatingEdit}, never},          {{"CELLTYPE", C::CellTypeComboBox}, never},
                {{"INTERTANCE", C::CellResistanceEdit}, never}, {{"WEIGHT", C::CellWeightEdit, kOuncesPerGram, 0.01}, m}};
    case ComponentTableKind::PropellerDrive: {
        const Metric p = Metric::PropSizes;
        return {{{"GEARROFROM", C::GearRatioFromEdit}, never},
                {{"GEARRTIOTO", C::GearRatioToEdit}, never},
                {{"GEARRTIOBY", C::GearRatioByEdit}, never},
                {{"GEARBOXEFF", C::GearboxEfficiencyEdit}, never},
                {{"PROPCONST", C::PropConstantEdit}, never},
                {{"THRUSCONST", C::ThrustConstantEdit}, never},
                {{"PROPERFROM", C::PropellerDiameterFromEdit, kInchesPerCentimetre, 0.1}, p},
                {{"PROPETERTO", C::PropellerDiameterToEdit, kInchesPerCentimetre, 0.1}, p},
                {{"PROPETERBY", C::PropellerDiameterByEdit, kInchesPerCentimetre, 0.1}, p},
                {{"PROPEHFROM", C::PropellerPitchFromEdit, kInchesPerCentimetre, 0.1}, p},
                {{"PROPETCHTO", C::PropellerPitchToEdit, kInchesPerCentimetre, 0.1}, p},
                {{"PROPETCHBY", C::PropellerPitchByEdit, kInchesPerCentimetre, 0.1}, p},
                {{"WEIGHT", C::GearboxWeightEdit, kOuncesPerGram, 0.1}, m},
                {{"PROPELADES", C::PropellerBladesEdit}, never}};
    }
    case ComponentTableKind::FanDrive:
        return {{{"FANDIAM", C::FanDiameterEdit, kInchesPerCentimetre, 0.01}, m},
                {{"FANPITCH", C::FanPitchEdit, kInchesPerCentimetre, 0.01}, m},
                {{"FANHUBDIAM", C::HubDiameterEdit, kInchesPerCentimetre, 0.01}, m},
                {{"WEIGHT", C::FanWeightEdit, kOuncesPerGram, 0.1}, m},
                {{"POWERCOEFF", C::FanPowerCoeffEdit}, never},
                {{"FANEFFIC", C::FanThrustCoeffEdit}, never}};
    case ComponentTableKind::SpeedControl:
        return {{{"RESISTANCE", C::ESCResistanceEdit}, never},
                {{"MAXCURRENT", C::ESCMaxCurrentEdit}, never},
                {{"WEIGHT", C::ESCWeightEdit, kOuncesPerGram, 0.01}, m},
                {{"HIGHRATE", C::ESCHighRateCheckBox}, never},
                {{"BRUSHLESS", C::ESCBrushlessCheckBox}, never}};
    case ComponentTableKind::Airframe:
        return {{{"INDIAM", C::IntakeDiameterEdit, kInchesPerCentimetre, 0.01}, m},
                {{"OUTDIAM", C::ExhaustDiameterEdit, kInchesPerCentimetre, 0.01}, m},
                {{"INLENGTH", C::IntakeLengthEdit, kInchesPerCentimetre, 0.1}, m},
                {{"OUTLENGTH", C::ExhaustLengthEdit, kInchesPerCentimetre, 0.1}, m},
                {{"WINGSPAN", C::WingSpanEdit, kInchesPerCentimetre, 0.1}, m},
                {{"WINGAREA", C::WingAreaEdit, kSquareInchesPerSquareDecimetre, 1}, m},
                {{"EMPTYEIGHT", C::EmptyWeightEdit, kOuncesPerGram, 0.1}, m},
                {{"AIRFOLINFO", C::AirfoilInfoEdit}, never},
                {{"DRAGINFO", C::DragInfoEdit}, never}};
    case ComponentTableKind::Filter:
        return {{{"MAXCURRENT", C::MaxCurrentEdit}, never},
                {{"MAXPORLOSS", C::MaxPowerLossEdit}, never},
                {{"MINEFIENCY", C::MinEfficiencyEdit}, never},
                {{"MINTHRUST", C::MinThrustEdit, units.newtons ? kOuncesPerNewton : kOuncesPerGram, 0.1}, Metric::Thrust},
                {{"MINSPEED", C::MinSpeedEdit, kMphPerMetrePerSecond, 1}, m},
                {{"MAXSPEED", C::MaxSpeedEdit, kMphPerMetrePerSecond, 1}, m},
                {{"MINTIME", C::MinTimeEdit}, never},
                {{"MAXPIRATIO", C::MaxPitchRatioEdit}, never},
                {{"MAXRPM", C::MaxRPMEdit}, never}};
    case ComponentTableKind::Project: break;
    }
    return {};
}

bool Converts(Metric when, const WorkbenchUnits& units) {
    switch (when) {
    case Metric::Never: return false;
    case Metric::Always:
    case Metric::Thrust: return units.metric;
    case Metric::PropSizes: return units.metricPropSizes;
    }
    return false;
}

std::vector<C> ClearedBy(ComponentGroup group) {
    switch (group) {
    case ComponentGroup::Motor:
        return {C::MotorNameEdit, C::MotorConstantEdit, C::IdleCurrentEdit, C::ArmatureResistanceEdit, C::MotorWeightEdit,
                C::MotorBrushlessCheckBox, C::MotorOutRunnerCheckBox};
    case ComponentGroup::Cell:
        return {C::CellNameEdit,         C::CellCapacityEdit,     C::CellVoltageEdit,       C::CRatingEdit,
                C::CellResistanceEdit,   C::CellWeightEdit,       C::CellTypeComboBox,      C::NumberOfCellsFromEdit,
                C::NumberOfCellsToEdit,  C::ParallelCellsFromEdit, C::ParallelCellsToEdit};
    case ComponentGroup::Drive:
        return {C::DriveSystemNameEdit, C::GearRatioFromEdit, C::GearRatioToEdit, C::GearRatioByEdit,
                C::GearboxEfficiencyEdit, C::GearboxWeightEdit, C::PropConstantEdit, C::ThrustConstantEdit,
                C::PropellerBladesEdit, C::PropellerDiameterFromEdit, C::PropellerDiameterToEdit,
                C::PropellerDiameterByEdit, C::PropellerPitchFromEdit, C::PropellerPitchToEdit, C::PropellerPitchByEdit,
                C::FanDiameterEdit, C::FanPitchEdit, C::HubDiameterEdit, C::FanPowerCoeffEdit, C::FanThrustCoeffEdit,
                C::FanWeightEdit, C::SeriesMotorsEdit, C::ParallelMotorsEdit, C::NumberOfPropsEdit};
    case ComponentGroup::SpeedControl:
        return {C::ESCNameEdit, C::ESCResistanceEdit, C::ESCMaxCurrentEdit, C::ESCWeightEdit, C::ESCHighRateCheckBox,
                C::ESCBrushlessCheckBox, C::MultipleESCsEdit};
    case ComponentGroup::Airframe:
        return {C::AirframeNameEdit, C::WingSpanEdit, C::WingAreaEdit, C::EmptyWeightEdit, C::IntakeDiameterEdit,
                C::IntakeLengthEdit, C::ExhaustDiameterEdit, C::ExhaustLengthEdit};
    case ComponentGroup::Filter:
        return {C::FilterNameEdit, C::MaxCurrentEdit, C::MaxPowerLossEdit, C::MinEfficiencyEdit, C::MinThrustEdit,
                C::MinSpeedEdit,   C::MaxSpeedEdit,   C::MinTimeEdit,      C::MaxPitchRatioEdit, C::MaxRPMEdit,
                C::UseFilterCheckBox};
    case ComponentGroup::None: break;
    }
    return {};
}

Message Question(std::string text) {
    return Message{MessageKind::Confirmation, std::move(text), YesButton | NoButtonAnswer | HelpButton, 0};
}

} // namespace

ComponentTableKind GroupTableKind(ComponentGroup group, const WorkbenchFields& fields) {
    switch (group) {
    case ComponentGroup::Motor: return ComponentTableKind::Motor;
    case ComponentGroup::Cell: return ComponentTableKind::Cell;
    case ComponentGroup::Filter: return ComponentTableKind::Filter;
    case ComponentGroup::Drive:
        return fields.DrivePage() == kDuctedFanPage ? ComponentTableKind::FanDrive : ComponentTableKind::PropellerDrive;
    case ComponentGroup::SpeedControl: return ComponentTableKind::SpeedControl;
    case ComponentGroup::Airframe: return ComponentTableKind::Airframe;
    case ComponentGroup::None: break;
    }
    return ComponentTableKind::Project;
}

WorkbenchControl GroupNameField(ComponentGroup group) {
    switch (group) {
    case ComponentGroup::Motor: return C::MotorNameEdit;
    case ComponentGroup::Cell: return C::CellNameEdit;
    case ComponentGroup::Filter: return C::FilterNameEdit;
    case ComponentGroup::Drive: return C::DriveSystemNameEdit;
    case ComponentGroup::SpeedControl: return C::ESCNameEdit;
    case ComponentGroup::Airframe: return C::AirframeNameEdit;
    case ComponentGroup::None: break;
    }
    return C::TempConfigNameEdit;
}

bool ConfirmDiscardGroup(const WorkbenchFields& fields, ComponentGroup group, Prompter& prompter) {
    const std::string_view name = TrimText(fields.Text(GroupNameField(group)));
    if (!fields.GroupModified(group) || name.empty()) return true;
    return prompter.Ask(Question("Discard changes to the \"" + std::string(fields.Text(GroupNameField(group))) + "\" " +
                                 WordsOf(group, fields).discard + "?")) == YesButton;
}

void NewComponentGroup(WorkbenchFields& fields, ComponentGroup group, bool userCommand, const NumberLocale& locale) {
    for (C id : ClearedBy(group)) {
        if (ControlInfo(id).kind == ControlKind::CheckBox)
            fields.SetChecked(id, false, Marking::Keep);
        else
            fields.SetText(id, "", Marking::Keep);
    }
    switch (group) {
    case ComponentGroup::Motor: SetMotorBrushless(fields, false, Marking::Keep); break;
    case ComponentGroup::Cell:
        fields.SetReadOnly(C::CellVoltageEdit, false);
        ApplyCellChemistry(fields, locale, Marking::Keep);
        break;
    case ComponentGroup::SpeedControl: SetSpeedControlBrushless(fields, false, Marking::Keep); break;
    case ComponentGroup::Airframe:
        fields.SetText(C::AirfoilInfoEdit, "0", Marking::Keep);
        fields.SetText(C::DragInfoEdit, "0", Marking::Keep);
        break;
    case ComponentGroup::Drive: fields.SetMeasuredPropeller({}); break;
    default: break;
    }
    // A blank speed control or filter stays marked, so that saving the project warns about it.
    fields.SetGroupModified(group, group == ComponentGroup::SpeedControl || group == ComponentGroup::Filter);
    if (userCommand) fields.SetProjectModified(true);
}

void ComponentChosen(WorkbenchFields& fields, TCompDataModule& tables, ComponentGroup group,
                     const WorkbenchUnits& units, const NumberLocale& locale, MessageSink& messages) {
    const ComponentTableKind kind = GroupTableKind(group, fields);
    const DbfTable* table = tables.Table(kind);
    if (!table || table->empty()) return;
    FillGroupFromRecord(fields, kind, *table, units, locale, messages);
    if (group == ComponentGroup::Filter) fields.SetChecked(C::UseFilterCheckBox, true, Marking::Keep);
    fields.SetProjectModified(true);
}

bool SaveComponentGroup(WorkbenchFields& fields, TCompDataModule& tables, ComponentGroup group, SaveOrigin origin,
                        const WorkbenchUnits& units, const NumberLocale& locale, MessageSink& messages,
                        Prompter& prompter) {
    const GroupWords words = WordsOf(group, fields);
    const C nameField = GroupNameField(group);
    std::string name(TrimText(fields.Text(nameField)));
    if (name.empty()) {
        const std::string label = words.nameLabel;
        Message warning = WarningMessage("You must specify a " + label + " in order to save the " + words.blank +
                                         " data. Your project has been saved with a blank " + words.blank +
                                         " entry. To correct this, fill in the " + label +
                                         " field, and save your project again.");
        warning.buttons = OkButton | HelpButton;
        messages.Report(warning);
        return false;
    }
    if (origin == SaveOrigin::Project &&
        prompter.Ask(Question("Do you want to save the parameters for the \"" + name + "\" " + words.discard + "?")) !=
            YesButton)
        return false;
    if (static_cast<unsigned char>(name[0]) > 96 && name[0] >= 'a' && name[0] <= 'z')
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    if (name != fields.Text(nameField)) fields.SetText(nameField, name, Marking::Keep);

    const ComponentTableKind kind = GroupTableKind(group, fields);
    DbfTable* table = tables.Table(kind);
    if (!table) {
        messages.Report(ErrorMessage("The " + TypeNameOf(static_cast<int>(kind)) +
                                     " table is not open, so \"" + name + "\" could not be saved."));
        return false;
    }
    const bool exists = FindComponentByName(*table, name);
    if (exists && prompter.Ask(Question("The \"" + name + "\" " + words.replace +
                                        " already exists in the database. Are you sure you want to replace it's "
                                        "characteristics?")) != YesButton)
        return false;

    std::string error = exists ? table->Edit() : table->Insert();
    if (error.empty()) error = table->SetText(0, name);
    for (const Written& w : ColumnsOf(kind, units)) {
        if (!error.empty()) break;
        if (ControlInfo(w.field.field).kind == ControlKind::CheckBox) {
            error = table->SetLogical(w.field.column, fields.Checked(w.field.field));
            continue;
        }
        std::string text(TrimText(fields.Text(w.field.field)));
        if (kind == ComponentTableKind::Cell && w.field.field == C::CellTypeComboBox) {
            error = table->SetText(w.field.column, text);
            continue;
        }
        text = NormaliseDecimal(text, locale);
        if (Converts(w.when, units)) ConvertEdit(text, w.field.step, w.field.factor, locale, messages);
        error = table->SetText(w.field.column, text, locale.decimal);
    }
    if (error.empty()) error = table->Post();
    if (!error.empty()) {
        table->Cancel();
        messages.Report(ErrorMessage(error));
        return false;
    }
    // The record is written; a list that cannot take the choice is reported on its own.
    if (kind == ComponentTableKind::PropellerDrive) {
        const std::string& measured = fields.MeasuredPropeller();
        RecordPropellerChoice(tables.dataFolder(), kDrivePropellerList, name,
                              measured.empty() ? std::nullopt : std::optional<std::string>(measured),
                              "the drive \"" + name + "\"", messages);
    }
    fields.SetGroupModified(group, false);
    return true;
}

} // namespace ampvane
