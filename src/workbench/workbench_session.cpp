// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/workbench_session.h"

#include <filesystem>
#include <istream>

#include "analysis/analysis_input.h"
#include "analysis/measured_drive.h"
#include "analysis/propeller_store.h"
#include "common/flying_field.h"
#include "common/unit_conversion.h"
#include "data/data_folder.h"
#include "data/name_lookup.h"
#include "project/project_text.h"
#include "wizard/wizard_accept.h"
#include "workbench/analysis_settings.h"
#include "workbench/component_fill.h"
#include "workbench/compute_input.h"

namespace ampvane {

namespace {

constexpr std::string_view kNoProjectReason = "no project found: the text has no \"Begin Ampvane Project\" block";

// The project's own units, flying conditions and heating option become the options.
void TakeProjectOptions(const AnalysisOptionsInput& project, Settings& settings) {
    settings.measurementMode = project.measurementMode;
    settings.forceInNewtons = project.newtons;
    settings.useHeating = project.accountForHeating;
    settings.elevation = project.elevation;
    settings.pressure = project.pressure;
    settings.temperature = project.temperature;
}

} // namespace

WorkbenchSession::WorkbenchSession(Settings* settings, TCompDataModule* tables, NumberLocale locale,
                                   MessageSink& messages, Prompter& prompter)
    : settings_(settings ? settings : &ownSettings_), tables_(tables), locale_(locale), messages_(&messages),
      prompter_(&prompter) {}

void WorkbenchSession::SetMessages(MessageSink& messages, Prompter& prompter) {
    messages_ = &messages;
    prompter_ = &prompter;
}

WorkbenchUnits WorkbenchSession::Units() const {
    return WorkbenchUnitsForMode(settings_->measurementMode, settings_->forceInNewtons);
}

AnalysisOptionsInput WorkbenchSession::OptionsInput() const { return AnalysisOptionsInputFrom(*settings_); }

void WorkbenchSession::Changed() {
    if (changed) changed();
}

// ---- the project ----------------------------------------------------------------------------------

std::string WorkbenchSession::ProjectText() const { return WriteProjectText(fields_, OptionsInput(), locale_); }

Result<void> WorkbenchSession::TakeProjectText(std::string_view text, std::vector<RefusedFlyingCondition>* refused) {
    WorkbenchFields fields = EmptyWorkbenchFields();
    AnalysisOptionsInput options;
    if (!ReadProjectText(text, fields, options, locale_, *messages_, refused)) return Failure{std::string(kNoProjectReason)};
    fields_ = std::move(fields);
    unitSwitches_.fields.clear();
    TakeProjectOptions(options, *settings_);
    Changed();
    return {};
}

Result<void> WorkbenchSession::TakeProjectText(std::istream& in, std::vector<RefusedFlyingCondition>* refused) {
    WorkbenchFields fields = EmptyWorkbenchFields();
    AnalysisOptionsInput options;
    if (!ReadProjectText(in, fields, options, locale_, *messages_, refused)) return Failure{std::string(kNoProjectReason)};
    fields_ = std::move(fields);
    unitSwitches_.fields.clear();
    TakeProjectOptions(options, *settings_);
    Changed();
    return {};
}

ProjectContext WorkbenchSession::Context() {
    ProjectContext context{fields_, *tables_, *settings_, locale_, *messages_, *prompter_};
    context.askProjectName = askProjectName;
    context.applyGeneric = applyGeneric;
    context.restoreWizardAnswers = restoreWizardAnswers;
    return context;
}

// A project loaded or started: the rule states follow the new texts.
void WorkbenchSession::UnitsChanged(const WorkbenchUnits& previous) {
    ConvertWorkbenchUnits(fields_, previous, Units(), locale_, *messages_, &unitSwitches_);
    Changed();
}

void WorkbenchSession::ProjectReplaced() {
    unitSwitches_.fields.clear();
    ApplyBrushlessStates(fields_);
    ApplyCellChemistry(fields_, locale_, Marking::Keep);
    Changed();
}

bool WorkbenchSession::SaveProject(bool askName) {
    if (!tables_) return false;
    ProjectContext context = Context();
    const bool saved = ampvane::SaveProject(context, askName);
    Changed();
    return saved;
}

bool WorkbenchSession::ConfirmDiscardOrSave() {
    if (!tables_) return true;
    ProjectContext context = Context();
    const bool allowed = ampvane::ConfirmDiscardOrSave(context);
    Changed();
    return allowed;
}

void WorkbenchSession::NewProject() {
    if (!tables_) return;
    ProjectContext context = Context();
    ampvane::NewProject(context);
    ProjectReplaced();
}

bool WorkbenchSession::OpenProject(std::string_view name) {
    if (!tables_) return false;
    ProjectContext context = Context();
    const bool loaded = LoadProjectByName(context, name);
    ProjectReplaced();
    return loaded;
}

void WorkbenchSession::LoadStartupProject() {
    if (!tables_) return;
    ProjectContext context = Context();
    ampvane::LoadStartupProject(context);
    ProjectReplaced();
}

std::optional<std::string> WorkbenchSession::CopyProject(std::optional<WorkbenchControl>* failedField) {
    if (!tables_) return std::nullopt;
    ProjectContext context = Context();
    return CopyProjectText(context, true, failedField);
}

bool WorkbenchSession::PasteProject(std::string_view text) {
    if (!tables_) return false;
    ProjectContext context = Context();
    if (!PasteProjectText(context, text)) return false;
    ProjectReplaced();
    return true;
}

// ---- component groups -------------------------------------------------------------------------------

bool WorkbenchSession::NewComponent(ComponentGroup group) {
    if (!ConfirmDiscardGroup(fields_, group, *prompter_)) return false;
    NewComponentGroup(fields_, group, true, locale_);
    Changed();
    return true;
}

bool WorkbenchSession::SaveComponent(ComponentGroup group) {
    if (!tables_) return false;
    const bool saved =
        SaveComponentGroup(fields_, *tables_, group, SaveOrigin::User, Units(), locale_, *messages_, *prompter_);
    Changed();
    return saved;
}

void WorkbenchSession::ComponentChosen(ComponentGroup group) {
    if (!tables_) return;
    ampvane::ComponentChosen(fields_, *tables_, group, Units(), locale_, *messages_);
    Changed();
}

bool WorkbenchSession::LoadComponent(ComponentTableKind kind, std::string_view name) {
    if (!tables_ || !LoadComponentByName(fields_, *tables_, kind, name, Units(), locale_, *messages_)) return false;
    Changed();
    return true;
}

bool WorkbenchSession::TableHolds(ComponentTableKind kind, std::string_view name) const {
    DbfTable* table = tables_ ? tables_->Table(kind) : nullptr;
    return table && FindComponentByName(*table, name);
}

void WorkbenchSession::ClearGroup(ComponentTableKind kind) {
    ClearGroupFields(fields_, kind);
    Changed();
}

// ---- measured propellers ------------------------------------------------------------------------------

namespace {
PropellerStore MeasuredPropellerStore() {
    return PropellerStore((std::filesystem::path(DataFolder()) / std::string(kPropellersFolder)).string());
}
} // namespace

std::vector<std::string> WorkbenchSession::MeasuredPropellers() const { return MeasuredPropellerStore().Names(); }

PropellerImport WorkbenchSession::LoadMeasuredPropeller(std::string_view name) const {
    return MeasuredPropellerStore().Load(name);
}

void WorkbenchSession::SetMeasuredPropeller(std::string name) {
    if (name == fields_.MeasuredPropeller()) return;
    fields_.SetMeasuredPropeller(std::move(name));
    // The choice belongs to the drive: saving it records the choice with it.
    fields_.SetGroupModified(ComponentGroup::Drive, true);
    fields_.SetProjectModified(true);
    Changed();
}

// ---- reports ----------------------------------------------------------------------------------------

Result<ReportInput> WorkbenchSession::GatherReportInput(std::optional<WorkbenchControl>* failedField) {
    ReportInput input;
    if (!GatherAnalysisInput(fields_, OptionsInput(), input.plane, input.options, locale_, *messages_, *prompter_,
                             failedField))
        return Failure{};
    if (input.plane.asTyped.Drive.Kind == PropellerDrive) {
        if (std::string error =
                AttachMeasuredPropeller(input.plane.asTyped.Drive, MeasuredPropellerStore(), fields_.MeasuredPropeller());
            !error.empty()) {
            messages_->Report(ErrorMessage(std::move(error)));
            return Failure{};
        }
    }
    input.settings = ReportSettingsFrom(*settings_, locale_);
    return input;
}

Result<Report> WorkbenchSession::ComputeReport(std::function<bool(std::uint64_t, std::uint64_t)> progress,
                                               std::optional<WorkbenchControl>* failedField) {
    auto input = GatherReportInput(failedField);
    if (!input) return Failure{};
    Report report;
    report.Settings = input->settings;
    if (BuildStaticReport(report, input->options, input->plane, *messages_, *prompter_, std::move(progress)) ==
        ReportOutcome::Closed)
        return Failure{};
    return report;
}

Result<Report> WorkbenchSession::OpenInFlight(const Report& report, int dataRow, bool forOpinion,
                                              ReportOutcome* outcome) {
    ReportOutcome built = ReportOutcome::Closed;
    auto inFlight = OpenInFlightReport(report, dataRow, forOpinion, *messages_, *prompter_, &built);
    if (outcome) *outcome = built;
    if (!inFlight || built == ReportOutcome::Closed) return Failure{};
    return std::move(*inFlight);
}

// ---- the search wizard ------------------------------------------------------------------------------

bool WorkbenchSession::AcceptWizardResult(const WizardRow& row, const WizardAnswers& answers,
                                          const WizardSearchSettings& settings, bool& planeChanged) {
    if (fields_.Text(WorkbenchControl::AirframeNameEdit) != answers.planeName) {
        if (!ConfirmDiscardOrSave()) return false;
        NewProject();
        planeChanged = true;
    }
    TResultObject result = row.result;
    if (MetricPropellerSizes(*settings_)) { // the row shows centimetres
        result.diameter /= kCentimetresPerInch;
        result.pitch /= kCentimetresPerInch;
    }
    const WorkbenchUnits units = Units();
    WizardAcceptServices services;
    services.tableHolds = [this](ComponentTableKind kind, std::string_view name) { return TableHolds(kind, name); };
    services.loadByName = [&](ComponentTableKind kind, std::string_view name) {
        return tables_ && LoadComponentByName(fields_, *tables_, kind, name, units, locale_, *messages_);
    };
    services.newGroup = [this](ComponentTableKind kind) { ClearGroupFields(fields_, kind); };
    const WizardFlyingConditions air =
        ampvane::AcceptWizardResult(fields_, result, answers, settings, planeChanged,
                                    {units.metric, units.metricPropSizes}, locale_, services, *messages_);
    ApplyBrushlessStates(fields_);

    Settings& s = *settings_;
    const bool metricTemperaturePressure = MetricTemperatureAndPressure(s);
    s.temperature = FormatNumber(0, -1, 0,
                                 metricTemperaturePressure ? air.temperatureCelsius
                                                           : FahrenheitFromCelsius(air.temperatureCelsius),
                                 locale_);
    s.pressure = FormatNumber(0, -2, 0,
                              metricTemperaturePressure ? KilopascalsFromInchesHg(air.pressureInHg) : air.pressureInHg,
                              locale_);
    s.elevation = FormatNumber(0, -1, 0,
                               MetricLengthsAndWeights(s) ? MetresFromFeet(air.elevationFeet) : air.elevationFeet,
                               locale_);
    Changed();
    return true;
}

// ---- estimators -------------------------------------------------------------------------------------

void WorkbenchSession::ApplyToolResult(const std::function<void(WorkbenchFields&)>& apply) {
    apply(fields_);
    Changed();
}

} // namespace ampvane
