// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/workbench_fields.h"

#include <algorithm>

namespace ampvane {

namespace {

using C = WorkbenchControl;
using K = ControlKind;

constexpr int kNumberLength = 20; // numeric fields
constexpr int kNameLength = 40;   // component name fields

constexpr ComponentGroup GroupOfFieldNumber(int fieldNumber) {
    switch (fieldNumber / 100) {
    case 1: return ComponentGroup::Motor;
    case 2: return ComponentGroup::Cell;
    case 3: return ComponentGroup::Filter;
    case 4:
    case 5: return ComponentGroup::Drive;
    case 6: return ComponentGroup::SpeedControl;
    case 7: return ComponentGroup::Airframe;
    default: return ComponentGroup::None;
    }
}

constexpr WorkbenchControlInfo Info(C id, std::string_view name, K kind, int fieldNumber = 0, bool hidden = false) {
    int maxLength = 0;
    if (!hidden && (kind == K::Edit || kind == K::ComboBox))
        maxLength = (fieldNumber % 100 == 0 && fieldNumber != 0) ? kNameLength : kNumberLength;
    return {id, name, kind, fieldNumber, GroupOfFieldNumber(fieldNumber), maxLength, hidden};
}

#define AMPVANE_CONTROL(name, ...) Info(C::name, #name, __VA_ARGS__)

constexpr std::array<WorkbenchControlInfo, kWorkbenchControlCount> kControls = {{
    AMPVANE_CONTROL(Drive_SystemGroup, K::Group),
    AMPVANE_CONTROL(DriveSystemPages, K::Pages),
    AMPVANE_CONTROL(GearRatioToEdit, K::Edit, 402),
    AMPVANE_CONTROL(GearRatioFromEdit, K::Edit, 401),
    AMPVANE_CONTROL(PropellerDiameterFromEdit, K::Edit, 405),
    AMPVANE_CONTROL(PropellerPitchFromEdit, K::Edit, 408),
    AMPVANE_CONTROL(PropellerDiameterToEdit, K::Edit, 406),
    AMPVANE_CONTROL(PropellerPitchToEdit, K::Edit, 409),
    AMPVANE_CONTROL(GearRatioByEdit, K::Edit, 403),
    AMPVANE_CONTROL(PropellerDiameterByEdit, K::Edit, 407),
    AMPVANE_CONTROL(PropellerPitchByEdit, K::Edit, 410),
    AMPVANE_CONTROL(PropellerBladesEdit, K::Edit, 411),
    AMPVANE_CONTROL(NumberOfPropsEdit, K::Edit),
    AMPVANE_CONTROL(PropConstantEdit, K::ComboBox, 412),
    AMPVANE_CONTROL(ThrustConstantEdit, K::ComboBox, 413),
    AMPVANE_CONTROL(GearboxEfficiencyEdit, K::ComboBox, 404),
    AMPVANE_CONTROL(GearboxWeightEdit, K::Edit, 414),
    AMPVANE_CONTROL(IntakeDiameterEdit, K::Edit, 706),
    AMPVANE_CONTROL(ExhaustDiameterEdit, K::Edit, 708),
    AMPVANE_CONTROL(FanDiameterEdit, K::Edit, 501),
    AMPVANE_CONTROL(IntakeLengthEdit, K::Edit, 707),
    AMPVANE_CONTROL(ExhaustLengthEdit, K::Edit, 709),
    AMPVANE_CONTROL(FanPitchEdit, K::Edit, 503),
    AMPVANE_CONTROL(HubDiameterEdit, K::Edit, 502),
    AMPVANE_CONTROL(FanThrustCoeffEdit, K::Edit, 505),
    AMPVANE_CONTROL(FanPowerCoeffEdit, K::Edit, 504),
    AMPVANE_CONTROL(FanWeightEdit, K::Edit, 506),
    AMPVANE_CONTROL(DriveSystemNameEdit, K::Edit, 400),
    AMPVANE_CONTROL(SeriesMotorsEdit, K::Edit),
    AMPVANE_CONTROL(ParallelMotorsEdit, K::Edit),
    AMPVANE_CONTROL(BatteryGroup, K::Group),
    AMPVANE_CONTROL(CellCapacityEdit, K::Edit, 201),
    AMPVANE_CONTROL(CellResistanceEdit, K::Edit, 203),
    AMPVANE_CONTROL(CellNameEdit, K::Edit, 200),
    AMPVANE_CONTROL(CellWeightEdit, K::Edit, 204),
    AMPVANE_CONTROL(NumberOfCellsFromEdit, K::Edit),
    AMPVANE_CONTROL(NumberOfCellsToEdit, K::Edit),
    AMPVANE_CONTROL(CellVoltageEdit, K::Edit, 202),
    AMPVANE_CONTROL(ParallelCellsFromEdit, K::Edit),
    AMPVANE_CONTROL(CRatingEdit, K::Edit, 205),
    AMPVANE_CONTROL(CellTypeComboBox, K::ComboBox, 206),
    AMPVANE_CONTROL(ParallelCellsToEdit, K::Edit),
    AMPVANE_CONTROL(MotorGroup, K::Group),
    AMPVANE_CONTROL(MotorConstantEdit, K::Edit, 101),
    AMPVANE_CONTROL(ArmatureResistanceEdit, K::Edit, 103),
    AMPVANE_CONTROL(IdleCurrentEdit, K::Edit, 102),
    AMPVANE_CONTROL(MotorWeightEdit, K::Edit, 104),
    AMPVANE_CONTROL(MotorNameEdit, K::Edit, 100),
    AMPVANE_CONTROL(MotorBrushlessCheckBox, K::CheckBox, 105),
    AMPVANE_CONTROL(MotorOutRunnerCheckBox, K::CheckBox, 106),
    AMPVANE_CONTROL(TempConfigNameEdit, K::Edit, 0, true),
    AMPVANE_CONTROL(Speed_ControlGroup, K::Group),
    AMPVANE_CONTROL(ESCNameEdit, K::Edit, 600),
    AMPVANE_CONTROL(ESCResistanceEdit, K::Edit, 601),
    AMPVANE_CONTROL(ESCWeightEdit, K::Edit, 603),
    AMPVANE_CONTROL(ESCMaxCurrentEdit, K::Edit, 602),
    AMPVANE_CONTROL(ESCHighRateCheckBox, K::CheckBox, 604),
    AMPVANE_CONTROL(ESCBrushlessCheckBox, K::CheckBox, 605),
    AMPVANE_CONTROL(MultipleESCsEdit, K::Edit),
    AMPVANE_CONTROL(WizardInfoEdit, K::Edit, 0, true),
    AMPVANE_CONTROL(WireWizInfoEdit, K::Edit, 0, true),
    AMPVANE_CONTROL(AirframeGroup, K::Group),
    AMPVANE_CONTROL(WingAreaEdit, K::Edit, 702),
    AMPVANE_CONTROL(EmptyWeightEdit, K::Edit, 703),
    AMPVANE_CONTROL(AirframeNameEdit, K::Edit, 700),
    AMPVANE_CONTROL(WingSpanEdit, K::Edit, 701),
    AMPVANE_CONTROL(AirfoilInfoEdit, K::Edit, 704, true),
    AMPVANE_CONTROL(DragInfoEdit, K::Edit, 705, true),
    AMPVANE_CONTROL(FilterGroup, K::Group),
    AMPVANE_CONTROL(FilterNameEdit, K::Edit, 300),
    AMPVANE_CONTROL(MaxCurrentEdit, K::Edit, 301),
    AMPVANE_CONTROL(MaxPowerLossEdit, K::Edit, 302),
    AMPVANE_CONTROL(MinEfficiencyEdit, K::Edit, 304),
    AMPVANE_CONTROL(MinThrustEdit, K::Edit, 306),
    AMPVANE_CONTROL(MinSpeedEdit, K::Edit, 307),
    AMPVANE_CONTROL(MaxSpeedEdit, K::Edit, 308),
    AMPVANE_CONTROL(MinTimeEdit, K::Edit, 309),
    AMPVANE_CONTROL(MaxPitchRatioEdit, K::Edit, 310),
    AMPVANE_CONTROL(MaxRPMEdit, K::Edit, 305),
    AMPVANE_CONTROL(UseFilterCheckBox, K::CheckBox),
}};

#undef AMPVANE_CONTROL

constexpr bool TableInEnumOrder() {
    for (int i = 0; i < kWorkbenchControlCount; ++i)
        if (static_cast<int>(kControls[static_cast<std::size_t>(i)].id) != i) return false;
    return true;
}
static_assert(TableInEnumOrder(), "the control table must follow the enum order");

bool HoldsText(ControlKind kind) { return kind == K::Edit || kind == K::ComboBox; }

const std::string kNoText;

} // namespace

std::span<const WorkbenchControlInfo> WorkbenchControls() { return kControls; }

const WorkbenchControlInfo& ControlInfo(WorkbenchControl id) { return kControls[static_cast<std::size_t>(id)]; }

std::optional<WorkbenchControl> FindWorkbenchControl(std::string_view name) {
    const auto it =
        std::find_if(kControls.begin(), kControls.end(), [name](const WorkbenchControlInfo& c) { return c.name == name; });
    if (it == kControls.end()) return std::nullopt;
    return it->id;
}

WorkbenchFields::WorkbenchFields() {
    state(C::GearRatioFromEdit).text = "2.38";
    state(C::MotorOutRunnerCheckBox).enabled = false; // only a brushless motor can be an out-runner
}

const std::string& WorkbenchFields::Text(WorkbenchControl id) const {
    return HoldsText(ControlInfo(id).kind) ? state(id).text : kNoText;
}

const std::string& WorkbenchFields::Text(std::string_view name) const {
    const auto id = FindWorkbenchControl(name);
    return id ? Text(*id) : kNoText;
}

bool WorkbenchFields::SetText(WorkbenchControl id, std::string text, Marking marking) {
    if (!HoldsText(ControlInfo(id).kind)) return false;
    ControlState& s = state(id);
    if (s.text == text) return true;
    s.text = std::move(text);
    if (marking == Marking::Mark) MarkChange(id);
    return true;
}

bool WorkbenchFields::SetText(std::string_view name, std::string text, Marking marking) {
    const auto id = FindWorkbenchControl(name);
    return id && SetText(*id, std::move(text), marking);
}

bool WorkbenchFields::Checked(WorkbenchControl id) const {
    return ControlInfo(id).kind == K::CheckBox && state(id).checked;
}

bool WorkbenchFields::Checked(std::string_view name) const {
    const auto id = FindWorkbenchControl(name);
    return id && Checked(*id);
}

bool WorkbenchFields::SetChecked(WorkbenchControl id, bool checked, Marking marking) {
    if (ControlInfo(id).kind != K::CheckBox) return false;
    ControlState& s = state(id);
    if (s.checked == checked) return true;
    s.checked = checked;
    if (marking == Marking::Mark && id != C::UseFilterCheckBox) MarkChange(id);
    return true;
}

bool WorkbenchFields::SetChecked(std::string_view name, bool checked, Marking marking) {
    const auto id = FindWorkbenchControl(name);
    return id && SetChecked(*id, checked, marking);
}

void WorkbenchFields::SetDrivePage(int page, Marking marking) {
    if (page == drivePage_) return;
    drivePage_ = page;
    if (marking == Marking::Mark) projectModified_ = true;
}

bool WorkbenchFields::SetAsideByMeasuredPropeller(WorkbenchControl id) const {
    if (measuredPropeller_.empty()) return false;
    switch (id) {
    case WorkbenchControl::PropConstantEdit:
    case WorkbenchControl::ThrustConstantEdit:
    case WorkbenchControl::PropellerDiameterFromEdit:
    case WorkbenchControl::PropellerDiameterToEdit:
    case WorkbenchControl::PropellerDiameterByEdit:
    case WorkbenchControl::PropellerPitchFromEdit:
    case WorkbenchControl::PropellerPitchToEdit:
    case WorkbenchControl::PropellerPitchByEdit:
    case WorkbenchControl::PropellerBladesEdit: return true;
    default: return false;
    }
}

bool WorkbenchFields::GroupModified(ComponentGroup group) const {
    return group != ComponentGroup::None && groupModified_[static_cast<std::size_t>(group)];
}

void WorkbenchFields::SetGroupModified(ComponentGroup group, bool modified) {
    if (group != ComponentGroup::None) groupModified_[static_cast<std::size_t>(group)] = modified;
}

void WorkbenchFields::ClearMarks() {
    projectModified_ = false;
    groupModified_.fill(false);
}

void WorkbenchFields::MarkChange(WorkbenchControl id) {
    projectModified_ = true;
    SetGroupModified(ControlInfo(id).group, true);
}

} // namespace ampvane
