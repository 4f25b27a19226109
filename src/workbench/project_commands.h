// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/workbench_fields.h"
#include "common/messages.h"
#include "common/numeric_text.h"
#include "data/comp_data_module.h"
#include "data/project_store.h"
#include "workbench/settings.h"
#include "workbench/workbench_rules.h"

// The project commands of the workbench on its fields, the project table and the settings: New,
// Open, Save, Save As, the recent list, the question about unsaved changes, loading components by
// name with a substitute for a missing one, the start-up project, and Copy and Paste Project.

namespace ampvane {

// The project questions and the substitute warning have no topic of their own: the workbench's.
inline constexpr int kProjectHelpTopic = 1;

// The start-up sample's name in the shipped project table and the names and counts it consists of.
inline constexpr std::string_view kSampleProjectRecordName = "Spectra Glider Sample";
ProjectRecord BuiltInSampleProject();

std::string ProjectReplaceQuestion(std::string_view name);
std::string ProjectUnsavedQuestion(std::string_view name);
// The substitute warning; `addition` is empty or ", with Parallel Cells/Batteries set to " + n.
std::string SubstituteMessage(std::string_view missing, std::string_view group, std::string_view substitute,
                              std::string_view addition);
// "Motor", "Cell Type", "Propeller Drive System", "Fan Drive System", "Speed Control", "Airframe", "Filter".
std::string_view SubstituteGroupWord(ComponentTableKind kind);

// ---- the recent list --------------------------------------------------------------------------
using RecentProjects = std::array<std::string, kRecentProjectCount>;
// Puts the name at the head; "Untitled" and blank names are never added.
void AddRecentProject(RecentProjects& recent, std::string_view name);
struct RecentEntry {
    int number = 0;      // 1..9: the menu item and its accelerator digit
    std::string name;
    std::string caption; // "&" + digit + " " + name, an ampersand in the name shown literally
};
// The entries the menu shows: non-empty names the project table holds, numbered as shown.
std::vector<RecentEntry> ShownRecentProjects(const RecentProjects& recent,
                                             const std::function<bool(std::string_view)>& exists);

// ---- the commands -----------------------------------------------------------------------------

// What the commands need around them. The hooks are the parts that other windows and subsystems
// provide; an empty hook does nothing (or, for the name window, cancels).
struct ProjectContext {
    ProjectContext(WorkbenchFields& f, TCompDataModule& t, Settings& s, NumberLocale l, MessageSink& m, Prompter& p)
        : fields(f), tables(t), settings(s), locale(l), messages(m), prompter(p) {}

    WorkbenchFields& fields;
    TCompDataModule& tables;
    Settings& settings;
    NumberLocale locale;
    MessageSink& messages;
    Prompter& prompter;

    // The "Save Project As" window: returns the name typed, nullopt on Cancel.
    std::function<std::optional<std::string>(const std::string& current)> askProjectName;
    // Fills the drive or speed control group from a generic component name; true when the name was one.
    std::function<bool(WorkbenchFields& fields, ComponentTableKind kind, std::string_view name)> applyGeneric;
    // Tells the search wizard to restore its answers from the project's wizard text.
    std::function<void(const std::string& wizardInfo)> restoreWizardAnswers;

    WorkbenchUnits Units() const { return WorkbenchUnitsForMode(settings.measurementMode, settings.forceInNewtons); }
};

// Writes the project under its name (asking for one with `askName` or while "Untitled"), then each
// marked component group as its Save button would for the project. True when the project record
// was written (a component refused or failing does not undo it).
bool SaveProject(ProjectContext& context, bool askName);
// Asks about unsaved changes; true when the caller may go on.
bool ConfirmDiscardOrSave(ProjectContext& context);
// Clears every group as its New button does, the wizard texts and the marks; the name becomes
// "Untitled".
void NewProject(ProjectContext& context);
// Fills the workbench from the record the project table stands on.
void LoadCurrentProjectRecord(ProjectContext& context);
// Looks the project up and loads it; false (nothing changed) when the table does not hold it.
bool LoadProjectByName(ProjectContext& context, std::string_view name);
// The default project when the table holds it, else the built-in sample (named "Untitled").
void LoadStartupProject(ProjectContext& context);

enum class ComponentLoad { Empty, Found, Generic, Substituted, Missing };
// Fills the group of `kind` from the record named `name`; a missing name is replaced by the nearest
// record with the substitute warning (see SubstituteMessage).
ComponentLoad LoadComponentByName(ProjectContext& context, ComponentTableKind kind, std::string_view name);

// The project text of the workbench. For the user (validate) the input is first gathered as for
// Compute; nullopt when that failed (its messages have been shown, and `failedField` names the
// field at fault as GatherAnalysisInput does).
std::optional<std::string> CopyProjectText(ProjectContext& context, bool validate,
                                           std::optional<WorkbenchControl>* failedField = nullptr);
// Replaces the workbench by the project text (after the unsaved-changes question). The flying
// conditions and heating option are taken over; the fields are converted to the user's units.
// False when the text holds no project or the user cancelled.
bool PasteProjectText(ProjectContext& context, std::string_view text);

} // namespace ampvane
