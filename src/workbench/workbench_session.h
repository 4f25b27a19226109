// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/propeller_files.h"
#include "analysis/report_builder.h"
#include "common/messages.h"
#include "common/numeric_text.h"
#include "common/result.h"
#include "data/comp_data_module.h"
#include "project/options_input.h"
#include "project/project_text.h"
#include "project/workbench_fields.h"
#include "wizard/wizard_answers.h"
#include "wizard/wizard_results.h"
#include "wizard/wizard_search.h"
#include "workbench/component_commands.h"
#include "workbench/project_commands.h"
#include "workbench/settings.h"
#include "workbench/workbench_rules.h"

// The workbench session: the one object the desktop windows and ampvane-cli both drive. It holds the
// fields, the options, the tables and the locale, and does what either front end asks of the
// workbench: compute a report, open the in-flight report of a row, accept a search result, apply an
// estimator's result, and the project and component commands. Nothing above it gathers, converts or
// formats.

namespace ampvane {

// What Compute Report sweeps: the gathered records and the report's display settings.
struct ReportInput {
    DisplayPlane plane;
    AnalysisOptions options;
    ReportSettings settings;
};

class WorkbenchSession {
public:
    // `settings` and `tables` outlive the session; null settings: defaults of the session's own; null
    // tables: the project and component commands do nothing.
    WorkbenchSession(Settings* settings, TCompDataModule* tables, NumberLocale locale, MessageSink& messages,
                     Prompter& prompter);
    WorkbenchSession(const WorkbenchSession&) = delete;
    WorkbenchSession& operator=(const WorkbenchSession&) = delete;

    void SetTables(TCompDataModule* tables) { tables_ = tables; }
    // Where messages and questions go from now on.
    void SetMessages(MessageSink& messages, Prompter& prompter);

    WorkbenchFields& Fields() { return fields_; }
    const WorkbenchFields& Fields() const { return fields_; }
    Settings& Options() { return *settings_; }
    const Settings& Options() const { return *settings_; }
    const NumberLocale& Locale() const { return locale_; }
    TCompDataModule* Tables() const { return tables_; }
    MessageSink& Messages() { return *messages_; }
    Prompter& Questions() { return *prompter_; }
    // The units the fields are typed in, and what gathering reads from the options.
    WorkbenchUnits Units() const;
    AnalysisOptionsInput OptionsInput() const;

    // After the options changed the display units: converts the fields from the earlier units (a field
    // untouched since the last switch gets back the text it had before it).
    void UnitsChanged(const WorkbenchUnits& previous);

    // Called after every operation that changed the fields or the options.
    std::function<void()> changed;
    void Changed();

    // The parts other subsystems provide to the project commands (see ProjectContext).
    std::function<std::optional<std::string>(const std::string& current)> askProjectName;
    std::function<bool(WorkbenchFields& fields, ComponentTableKind kind, std::string_view name)> applyGeneric;
    std::function<void(const std::string& wizardInfo)> restoreWizardAnswers;

    // ---- the project --------------------------------------------------------------------------------
    // The project text of the fields and options as they are.
    std::string ProjectText() const;
    // Takes a project text whole, as ampvane-cli reads one: the fields, and the units, flying conditions
    // and heating option it was written with. Fails (changing nothing) when it holds no project. Flying
    // conditions outside their ranges are left out, and listed in `refused` when given.
    Result<void> TakeProjectText(std::string_view text, std::vector<RefusedFlyingCondition>* refused = nullptr);
    Result<void> TakeProjectText(std::istream& in, std::vector<RefusedFlyingCondition>* refused = nullptr);

    // The project commands on the tables (false, or nothing done, without tables).
    bool SaveProject(bool askName);
    bool ConfirmDiscardOrSave();
    void NewProject();
    bool OpenProject(std::string_view name);
    void LoadStartupProject();
    // Copy Project: the text after gathering as Compute does (nothing when that failed; `failedField`
    // names the field at fault). Paste Project: the text's project in the user's units.
    std::optional<std::string> CopyProject(std::optional<WorkbenchControl>* failedField = nullptr);
    bool PasteProject(std::string_view text);

    // ---- component groups ---------------------------------------------------------------------------
    // New as a user command (after the discard question); false when the user kept the group.
    bool NewComponent(ComponentGroup group);
    bool SaveComponent(ComponentGroup group);
    // The group's record chosen in the browser (its table stands on it).
    void ComponentChosen(ComponentGroup group);
    // Fills the kind's group from the record of that name; false, changing nothing, without one.
    bool LoadComponent(ComponentTableKind kind, std::string_view name);
    bool TableHolds(ComponentTableKind kind, std::string_view name) const;
    // Empties every field of the kind's group (a project or an unknown kind: nothing).
    void ClearGroup(ComponentTableKind kind);

    // ---- measured propellers ---------------------------------------------------------------------------
    // The measured propellers stored in the data folder, by name.
    std::vector<std::string> MeasuredPropellers() const;
    // One of them; its Error says why not (not stored, or its file damaged).
    PropellerImport LoadMeasuredPropeller(std::string_view name) const;
    // The drive's measured propeller (empty: the two constants); a change marks the drive and the project.
    void SetMeasuredPropeller(std::string name);

    // ---- reports ------------------------------------------------------------------------------------
    // Gathers the analysis input as Compute Report does; a failure has been reported and `failedField`
    // names the field at fault.
    Result<ReportInput> GatherReportInput(std::optional<WorkbenchControl>* failedField = nullptr);
    // Compute Report: gathers and sweeps. `progress` may cancel; a report without rows fails.
    Result<Report> ComputeReport(std::function<bool(std::uint64_t done, std::uint64_t total)> progress = {},
                                 std::optional<WorkbenchControl>* failedField = nullptr);
    // The in-flight report of a 0-based data row of a static report.
    Result<Report> OpenInFlight(const Report& report, int dataRow, bool forOpinion,
                                ReportOutcome* outcome = nullptr);

    // ---- the search wizard --------------------------------------------------------------------------
    // Accepts a result row as the results show it. For another plane the unsaved project is asked about
    // and a new one started (false: the user stayed, nothing changed), and `planeChanged` becomes true;
    // then the components, the plane when it changed, the answers, and the flying conditions into the
    // options.
    bool AcceptWizardResult(const WizardRow& row, const WizardAnswers& answers, const WizardSearchSettings& settings,
                            bool& planeChanged);

    // ---- estimators ---------------------------------------------------------------------------------
    // An estimator's Apply: `apply` writes its results into the fields.
    void ApplyToolResult(const std::function<void(WorkbenchFields& fields)>& apply);

private:
    ProjectContext Context();
    void ProjectReplaced();

    Settings ownSettings_;
    Settings* settings_;
    TCompDataModule* tables_;
    NumberLocale locale_;
    MessageSink* messages_;
    Prompter* prompter_;
    WorkbenchFields fields_;
    UnitSwitchMemory unitSwitches_;
};

} // namespace ampvane
