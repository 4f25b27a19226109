// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "project/project_name.h"

// The workbench's fields as a value object: every named control's text or check state in the
// workbench's fixed control order (the order the project text is written in), the current project
// name and the change marks. The workbench window binds its widgets to one of these; gathering the
// analysis input, the project text and the estimators read and write it, never widgets.

namespace ampvane {

// Every named control, in the fixed control order. The group panels come first in their group.
enum class WorkbenchControl : int {
    Drive_SystemGroup,
    DriveSystemPages,
    GearRatioToEdit,
    GearRatioFromEdit,
    PropellerDiameterFromEdit,
    PropellerPitchFromEdit,
    PropellerDiameterToEdit,
    PropellerPitchToEdit,
    GearRatioByEdit,
    PropellerDiameterByEdit,
    PropellerPitchByEdit,
    PropellerBladesEdit,
    NumberOfPropsEdit,
    PropConstantEdit,
    ThrustConstantEdit,
    GearboxEfficiencyEdit,
    GearboxWeightEdit,
    IntakeDiameterEdit,
    ExhaustDiameterEdit,
    FanDiameterEdit,
    IntakeLengthEdit,
    ExhaustLengthEdit,
    FanPitchEdit,
    HubDiameterEdit,
    FanThrustCoeffEdit,
    FanPowerCoeffEdit,
    FanWeightEdit,
    DriveSystemNameEdit,
    SeriesMotorsEdit,
    ParallelMotorsEdit,
    BatteryGroup,
    CellCapacityEdit,
    CellResistanceEdit,
    CellNameEdit,
    CellWeightEdit,
    NumberOfCellsFromEdit,
    NumberOfCellsToEdit,
    CellVoltageEdit,
    ParallelCellsFromEdit,
    CRatingEdit,
    CellTypeComboBox,
    ParallelCellsToEdit,
    MotorGroup,
    MotorConstantEdit,
    ArmatureResistanceEdit,
    IdleCurrentEdit,
    MotorWeightEdit,
    MotorNameEdit,
    MotorBrushlessCheckBox,
    MotorOutRunnerCheckBox,
    TempConfigNameEdit,
    Speed_ControlGroup,
    ESCNameEdit,
    ESCResistanceEdit,
    ESCWeightEdit,
    ESCMaxCurrentEdit,
    ESCHighRateCheckBox,
    ESCBrushlessCheckBox,
    MultipleESCsEdit,
    WizardInfoEdit,
    WireWizInfoEdit,
    AirframeGroup,
    WingAreaEdit,
    EmptyWeightEdit,
    AirframeNameEdit,
    WingSpanEdit,
    AirfoilInfoEdit,
    DragInfoEdit,
    FilterGroup,
    FilterNameEdit,
    MaxCurrentEdit,
    MaxPowerLossEdit,
    MinEfficiencyEdit,
    MinThrustEdit,
    MinSpeedEdit,
    MaxSpeedEdit,
    MinTimeEdit,
    MaxPitchRatioEdit,
    MaxRPMEdit,
    UseFilterCheckBox,
};
inline constexpr int kWorkbenchControlCount = static_cast<int>(WorkbenchControl::UseFilterCheckBox) + 1;

enum class ControlKind {
    Group,    // a panel; holds no value
    Edit,     // single-line edit
    ComboBox, // drop-down combo with a typed text
    CheckBox,
    Pages, // the drive page control; its value is the active page index
};

// The component groups that carry a modified mark.
enum class ComponentGroup : int { None = -1, Motor, Cell, Filter, Drive, SpeedControl, Airframe };
inline constexpr int kComponentGroupCount = 6;

// What the design fixes about a control.
struct WorkbenchControlInfo {
    WorkbenchControl id;
    std::string_view name;
    ControlKind kind;
    int fieldNumber;      // hundreds: group, units: 0 name, then the fields; 0 for project fields
    ComponentGroup group; // the group whose mark a change sets (from the field number)
    int maxLength;        // characters the window lets the user type; 0: no limit (hidden fields)
    bool hidden;
};

// The controls in their fixed order.
std::span<const WorkbenchControlInfo> WorkbenchControls();
const WorkbenchControlInfo& ControlInfo(WorkbenchControl id);
std::optional<WorkbenchControl> FindWorkbenchControl(std::string_view name);

// The drive pages; the active page is the drive kind.
inline constexpr int kPropellerPage = 0;
inline constexpr int kDuctedFanPage = 1;

// Whether a change counts as the user's (sets marks) or only brings the fields in line (a unit
// switch keeps every mark as it was).
enum class Marking { Mark, Keep };

class WorkbenchFields {
public:
    // The design-time state: every field empty except "2.38" in the minimum gear ratio, the
    // propeller page, project "Untitled", no marks.
    WorkbenchFields();

    // Texts of edits and combos (empty for other kinds).
    const std::string& Text(WorkbenchControl id) const;
    // Name lookup for the project text; an unknown name or a control without text reads as empty.
    const std::string& Text(std::string_view name) const;
    // Sets the text of an edit or combo; false (and nothing changes) for other kinds. A change
    // with Marking::Mark sets the project mark and the field's group mark.
    bool SetText(WorkbenchControl id, std::string text, Marking marking = Marking::Mark);
    bool SetText(std::string_view name, std::string text, Marking marking = Marking::Mark);

    bool Checked(WorkbenchControl id) const;
    bool Checked(std::string_view name) const;
    // Check boxes only. "Use It" sets no mark; the others mark like a text change.
    bool SetChecked(WorkbenchControl id, bool checked, Marking marking = Marking::Mark);
    bool SetChecked(std::string_view name, bool checked, Marking marking = Marking::Mark);

    // The drive page: 0 propeller, 1 ducted fan. A change sets the project mark.
    int DrivePage() const { return drivePage_; }
    void SetDrivePage(int page, Marking marking = Marking::Mark);

    // Window states that the field rules switch (read-only voltage of a known chemistry, the
    // out-runner and high-rate boxes); kept here so that the rules can be tested without a window.
    bool ReadOnly(WorkbenchControl id) const { return state(id).readOnly; }
    void SetReadOnly(WorkbenchControl id, bool readOnly) { state(id).readOnly = readOnly; }
    bool Enabled(WorkbenchControl id) const { return state(id).enabled; }
    void SetEnabled(WorkbenchControl id, bool enabled) { state(id).enabled = enabled; }

    const std::string& ProjectName() const { return projectName_; }
    void SetProjectName(std::string name) { projectName_ = std::move(name); }

    // The measured propeller the drive names instead of its constants (empty: none). Not a control:
    // the fixed control order, and with it every project text without one, stays as it was.
    const std::string& MeasuredPropeller() const { return measuredPropeller_; }
    void SetMeasuredPropeller(std::string name) { measuredPropeller_ = std::move(name); }
    // A field the computation passes over while a measured propeller is chosen: it brings its own
    // diameter, pitch and blades, and its curves take the place of the two constants.
    bool SetAsideByMeasuredPropeller(WorkbenchControl id) const;

    bool ProjectModified() const { return projectModified_; }
    void SetProjectModified(bool modified) { projectModified_ = modified; }
    bool GroupModified(ComponentGroup group) const;
    void SetGroupModified(ComponentGroup group, bool modified);
    void ClearMarks();

    friend bool operator==(const WorkbenchFields&, const WorkbenchFields&) = default;

private:
    struct ControlState {
        std::string text;
        bool checked = false;
        bool enabled = true;
        bool readOnly = false;
        friend bool operator==(const ControlState&, const ControlState&) = default;
    };
    ControlState& state(WorkbenchControl id) { return states_[static_cast<std::size_t>(id)]; }
    const ControlState& state(WorkbenchControl id) const { return states_[static_cast<std::size_t>(id)]; }
    void MarkChange(WorkbenchControl id);

    std::array<ControlState, kWorkbenchControlCount> states_;
    int drivePage_ = kPropellerPage;
    std::string projectName_{kUntitledProject};
    std::string measuredPropeller_;
    bool projectModified_ = false;
    std::array<bool, kComponentGroupCount> groupModified_{};
};

} // namespace ampvane
