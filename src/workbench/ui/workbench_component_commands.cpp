// SPDX-License-Identifier: GPL-3.0-or-later
// The workbench's Open, New and Save commands of the six component groups: the group buttons, the
// group menus, the tool buttons and the name fields' pop-up entry.

#include <QAction>
#include <functional>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "workbench/component_commands.h"
#include "workbench/ui/parameter_input_form.h"

namespace ampvane {

namespace {

struct GroupControls {
    ComponentGroup group;
    const char* openButton;
    const char* saveButton;
    const char* newButton;
    const char* menuPrefix;
    const char* toolButton; // null: the drive, whose tool buttons choose a page first
};

constexpr GroupControls kGroups[] = {
    {ComponentGroup::Motor, "LoadMotorButton", "SaveMotorButton", "ClearMotorButton", "Motor", "SelectMotorToolButton"},
    {ComponentGroup::Cell, "LoadCellButton", "SaveCellButton", "ClearBatteryButton", "Battery", "SelectCellToolButton"},
    {ComponentGroup::Filter, "LoadFilterButton", "SaveFilterButton", "ClearFilterButton", "Filter",
     "SelectFilterToolButton"},
    {ComponentGroup::Drive, "LoadDriveButton", "SaveDriveButton", "ClearDriveSystemButton", "DriveSystem", nullptr},
    {ComponentGroup::SpeedControl, "LoadESCButton", "SaveESCButton", "ClearESCButton", "SpeedControl",
     "SelectESCToolButton"},
    {ComponentGroup::Airframe, "LoadAirframeButton", "SaveAirframeButton", "ClearAirframeButton", "Airframe",
     "SelectAirframeToolButton"},
};

} // namespace

void TParameterInputForm::ConnectComponentCommands() {
    componentCommands_ = env_.tables != nullptr;
    if (!componentCommands_) return;
    const auto onButton = [this](const char* name, std::function<void()> command, bool enable) {
        if (auto* button = findChild<QPushButton*>(QString::fromLatin1(name))) {
            if (enable) button->setEnabled(true);
            connect(button, &QPushButton::clicked, this, [command] { command(); });
        }
    };
    const auto onAction = [this](const std::string& name, std::function<void()> command) {
        if (auto* action = findChild<QAction*>(QString::fromStdString(name))) {
            action->setEnabled(true);
            connect(action, &QAction::triggered, this, [command] { command(); });
        }
    };
    for (const GroupControls& g : kGroups) {
        const ComponentGroup group = g.group;
        const std::function<void()> open = [this, group] { OpenComponentClick(group); };
        const std::function<void()> save = [this, group] { SaveComponentClick(group); };
        const std::function<void()> clear = [this, group] { NewComponentClick(group); };
        onButton(g.openButton, open, true);
        onButton(g.newButton, clear, true);
        // Save's button follows its name field (ShowFields); the menu item warns about a blank name.
        onButton(g.saveButton, save, false);
        const std::string prefix = g.menuPrefix;
        onAction(prefix + "NewItem", clear);
        onAction(prefix + "OpenItem", open);
        onAction(prefix + "SaveItem", save);
        if (g.toolButton) onAction(g.toolButton, open);
    }
    for (auto [name, page] : {std::pair{"SelectPropellerToolButton", kPropellerPage},
                              std::pair{"SelectFanToolButton", kDuctedFanPage}}) {
        const int chosen = page;
        onAction(name, [this, chosen] {
            drivePages_->setCurrentIndex(chosen);
            OpenComponentClick(ComponentGroup::Drive);
        });
    }
}

void TParameterInputForm::OpenComponentClick(ComponentGroup group) {
    if (!env_.tables || !env_.browseComponent || !ConfirmDiscardGroup(fields_, group, Questions())) return;
    const WorkbenchControl name = GroupNameField(group);
    if (env_.browseComponent(GroupTableKind(group, fields_), fields_.Text(name), Control(name)))
        session_.ComponentChosen(group);
}

void TParameterInputForm::NewComponentClick(ComponentGroup group) {
    if (session_.NewComponent(group)) Control(GroupNameField(group))->setFocus();
}

void TParameterInputForm::SaveComponentClick(ComponentGroup group) {
    if (env_.tables) session_.SaveComponent(group);
}

} // namespace ampvane
