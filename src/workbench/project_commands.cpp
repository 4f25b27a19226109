// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/project_commands.h"

#include <algorithm>
#include <cctype>

#include "analysis/analysis_input.h"
#include "project/project_text.h"
#include "data/name_lookup.h"
#include "workbench/analysis_settings.h"
#include "workbench/component_commands.h"
#include "workbench/component_fill.h"
#include "workbench/propeller_choices.h"

namespace ampvane {

namespace {

using C = WorkbenchControl;

Message Question(std::string text, unsigned buttons) {
    Message m;
    m.kind = MessageKind::Confirmation;
    m.text = std::move(text);
    m.buttons = buttons;
    m.helpTopic = kProjectHelpTopic;
    return m;
}

// A name typed for a project is stored with a lower-case first letter raised.
std::string CapitaliseFirst(std::string name) {
    if (!name.empty() && static_cast<unsigned char>(name[0]) > 96 && std::islower(static_cast<unsigned char>(name[0])))
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

ComponentTableKind DriveKind(const WorkbenchFields& fields) {
    return fields.DrivePage() == kDuctedFanPage ? ComponentTableKind::FanDrive : ComponentTableKind::PropellerDrive;
}

ProjectRecord RecordFromFields(const WorkbenchFields& f) {
    ProjectRecord r;
    r.name = f.ProjectName();
    r.motor = f.Text(C::MotorNameEdit);
    r.cell = f.Text(C::CellNameEdit);
    r.cellsFrom = f.Text(C::NumberOfCellsFromEdit);
    r.cellsTo = f.Text(C::NumberOfCellsToEdit);
    r.parallelFrom = f.Text(C::ParallelCellsFromEdit);
    r.parallelTo = f.Text(C::ParallelCellsToEdit);
    r.drive = f.Text(C::DriveSystemNameEdit);
    r.seriesMotors = f.Text(C::SeriesMotorsEdit);
    r.parallelMotors = f.Text(C::ParallelMotorsEdit);
    r.propellers = f.Text(C::NumberOfPropsEdit);
    r.speedControl = f.Text(C::ESCNameEdit);
    r.speedControls = f.Text(C::MultipleESCsEdit);
    r.airframe = f.Text(C::AirframeNameEdit);
    r.filter = f.Text(C::FilterNameEdit);
    r.useFilter = f.Checked(C::UseFilterCheckBox);
    r.driveType = f.DrivePage();
    r.wizardInfo = f.Text(C::WizardInfoEdit);
    r.wireInfo = f.Text(C::WireWizInfoEdit);
    return r;
}

// A count as the field shows it; a text that is no number counts as 0 when comparing.
int CountOf(const std::string& text) {
    const auto value = ParseInteger(TrimText(text));
    return value ? static_cast<int>(*value) : 0;
}

// Names and counts into the fields, with the display simplifications of a loaded project.
void PlaceRecord(WorkbenchFields& f, const ProjectRecord& r) {
    const auto set = [&](C id, const std::string& text) { f.SetText(id, text, Marking::Keep); };
    set(C::MotorNameEdit, r.motor);
    set(C::CellNameEdit, r.cell);
    set(C::NumberOfCellsFromEdit, r.cellsFrom);
    set(C::NumberOfCellsToEdit, r.cellsTo);
    set(C::ParallelCellsFromEdit, r.parallelFrom);
    set(C::ParallelCellsToEdit, r.parallelTo);
    set(C::DriveSystemNameEdit, r.drive);
    set(C::ESCNameEdit, r.speedControl);
    set(C::AirframeNameEdit, r.airframe);
    set(C::FilterNameEdit, r.filter);
    const int series = std::max(1, CountOf(r.seriesMotors));
    const int parallel = std::max(1, CountOf(r.parallelMotors));
    set(C::SeriesMotorsEdit, r.seriesMotors == "1" ? std::string() : r.seriesMotors);
    set(C::ParallelMotorsEdit, r.parallelMotors == "1" ? std::string() : r.parallelMotors);
    set(C::NumberOfPropsEdit, CountOf(r.propellers) == series * parallel ? std::string() : r.propellers);
    set(C::MultipleESCsEdit, r.speedControls == "1" || parallel == 1 ? std::string() : r.speedControls);
    f.SetDrivePage(r.driveType == 1 ? kDuctedFanPage : kPropellerPage, Marking::Keep);
    set(C::WizardInfoEdit, r.wizardInfo);
    set(C::WireWizInfoEdit, r.wireInfo);
}

void LoadComponentsByName(ProjectContext& context) {
    const WorkbenchFields& f = context.fields;
    const std::pair<ComponentTableKind, C> order[] = {
        {ComponentTableKind::Motor, C::MotorNameEdit},
        {ComponentTableKind::Cell, C::CellNameEdit},
        {DriveKind(f), C::DriveSystemNameEdit},
        {ComponentTableKind::SpeedControl, C::ESCNameEdit},
        {ComponentTableKind::Airframe, C::AirframeNameEdit},
        {ComponentTableKind::Filter, C::FilterNameEdit},
    };
    for (const auto& [kind, field] : order) {
        const std::string name = context.fields.Text(field);
        LoadComponentByName(context, kind, name);
    }
}

// A missing cell name that carries its parallel count: "... 2P" or "... 3-parallel".
struct CellSearch {
    std::string text;
    int parallel = 0; // 0: none found
};
CellSearch CellSearchText(std::string_view name) {
    if (const auto at = name.find("-parallel"); at != std::string_view::npos && at > 0) {
        std::size_t start = at;
        while (start > 0 && std::isdigit(static_cast<unsigned char>(name[start - 1]))) --start;
        if (start < at) {
            const int number = std::stoi(std::string(name.substr(start, std::min<std::size_t>(at - start, 6))));
            if (number >= 1 && number <= 9) return {std::string(TrimText(name.substr(0, start))), number};
        }
        return {std::string(name), 0};
    }
    if (name.size() >= 4) {
        const char sep = name[name.size() - 3], digit = name[name.size() - 2], p = name.back();
        if ((sep == ' ' || sep == '-') && digit >= '1' && digit <= '9' && (p == 'P' || p == 'p'))
            return {std::string(TrimText(name.substr(0, name.size() - 3))), digit - '0'};
    }
    return {std::string(name), 0};
}

// The project table has no column for the measured propeller, so a list of our own keeps it. "None" is
// written out only where opening the project would otherwise bring one back with its drive.
void RecordProjectPropeller(ProjectContext& context, const std::string& name) {
    const WorkbenchFields& f = context.fields;
    const std::string folder = context.tables.dataFolder();
    std::optional<std::string> entry;
    if (!f.MeasuredPropeller().empty()) {
        entry = f.MeasuredPropeller();
    } else if (f.DrivePage() == kPropellerPage) {
        NullMessageSink quiet; // the drive's list was read, and reported on, when the drive was loaded
        if (!ListedPropeller(folder, kDrivePropellerList, f.Text(C::DriveSystemNameEdit), quiet).value_or("").empty())
            entry = "";
    }
    RecordPropellerChoice(folder, kProjectPropellerList, name, entry, "the project \"" + name + "\"",
                          context.messages);
}

} // namespace

ProjectRecord BuiltInSampleProject() {
    ProjectRecord r;
    r.motor = "Astro Cobalt 05 7T#20 #605";
    r.cell = "Sanyo 1700SCR";
    r.cellsFrom = "6";
    r.cellsTo = "7";
    r.drive = "Astro 035-15 2.38:1 Gearbox";
    r.seriesMotors = "1";
    r.speedControl = "Astro 210";
    r.airframe = "Great Planes Spectra";
    r.filter = "Astro Cobalt 035, 05, 25, 40, Sport 60";
    r.wizardInfo = "7;11;18!1!";
    return r;
}

std::string ProjectReplaceQuestion(std::string_view name) {
    return "The \"" + std::string(name) +
           "\" Project already exists in the database. Are you sure you want to replace it's characteristics?";
}

std::string ProjectUnsavedQuestion(std::string_view name) {
    return "The \"" + std::string(name) + "\" project has not been saved. Do you wish to save it?";
}

std::string SubstituteMessage(std::string_view missing, std::string_view group, std::string_view substitute,
                              std::string_view addition) {
    return "Could not find \"" + std::string(missing) + "\" in the " + std::string(group) + " database. Using \"" +
           std::string(substitute) + "\" instead" + std::string(addition) + ". You may wish to save your project with the new " +
           std::string(group) + ".";
}

std::string_view SubstituteGroupWord(ComponentTableKind kind) {
    switch (kind) {
    case ComponentTableKind::Motor: return "Motor";
    case ComponentTableKind::Cell: return "Cell Type";
    case ComponentTableKind::PropellerDrive: return "Propeller Drive System";
    case ComponentTableKind::FanDrive: return "Fan Drive System";
    case ComponentTableKind::SpeedControl: return "Speed Control";
    case ComponentTableKind::Airframe: return "Airframe";
    case ComponentTableKind::Filter: return "Filter";
    case ComponentTableKind::Project: break;
    }
    return "Project";
}

// ---- recent list ----------------------------------------------------------------------------------

void AddRecentProject(RecentProjects& recent, std::string_view name) {
    if (name == kUntitledProject || TrimText(name).empty()) return;
    auto at = std::find(recent.begin(), recent.end(), name);
    if (at == recent.end()) at = recent.end() - 1; // the ninth is dropped
    std::move_backward(recent.begin(), at, at + 1);
    recent.front() = std::string(name);
}

std::vector<RecentEntry> ShownRecentProjects(const RecentProjects& recent,
                                             const std::function<bool(std::string_view)>& exists) {
    std::vector<RecentEntry> shown;
    for (const std::string& name : recent) {
        if (name.empty() || (exists && !exists(name))) continue;
        RecentEntry entry;
        entry.number = static_cast<int>(shown.size()) + 1;
        entry.name = name;
        std::string literal;
        for (char c : name) {
            literal += c;
            if (c == '&') literal += '&';
        }
        entry.caption = "&" + std::to_string(entry.number) + " " + literal;
        shown.push_back(std::move(entry));
    }
    return shown;
}

// ---- commands -------------------------------------------------------------------------------------

void NewProject(ProjectContext& context) {
    WorkbenchFields& f = context.fields;
    for (ComponentGroup group : {ComponentGroup::Motor, ComponentGroup::Cell, ComponentGroup::Filter,
                                 ComponentGroup::Drive, ComponentGroup::SpeedControl, ComponentGroup::Airframe}) {
        NewComponentGroup(f, group, false, context.locale);
    }
    f.SetText(C::WizardInfoEdit, "", Marking::Keep);
    f.SetText(C::WireWizInfoEdit, "", Marking::Keep);
    f.SetProjectName(std::string(kUntitledProject));
    f.ClearMarks();
}

bool SaveProject(ProjectContext& context, bool askName) {
    WorkbenchFields& f = context.fields;
    DbfTable* table = context.tables.AmpvaneTable();
    if (!table) {
        context.messages.Report(ErrorMessage("The project table is not open, so the project cannot be saved."));
        return false;
    }
    std::string name = f.ProjectName();
    if (askName || name == kUntitledProject) {
        if (!context.askProjectName) return false;
        const auto typed = context.askProjectName(name);
        if (!typed) return false;
        name = *typed;
    }
    name = CapitaliseFirst(std::string(TrimText(name)));
    if (name.empty()) return false;

    const bool exists = FindComponentByName(*table, name);
    if (exists && context.prompter.Ask(Question(ProjectReplaceQuestion(name), YesButton | NoButtonAnswer | HelpButton)) !=
                      YesButton)
        return false;
    ProjectRecord record = RecordFromFields(f);
    record.name = name;
    // The wizard's and wiring's texts may be longer than their columns: the table keeps what fits.
    const std::string error = WriteProjectRecord(*table, record, exists, context.locale.decimal);
    if (!error.empty()) {
        context.messages.Report(ErrorMessage(error));
        return false;
    }
    f.SetProjectName(name);
    f.SetProjectModified(false);

    // The filter takes the project's name when only its restrictions were typed.
    if (f.GroupModified(ComponentGroup::Filter) && TrimText(f.Text(C::FilterNameEdit)).empty()) {
        bool restrictions = false;
        for (C id : {C::MaxCurrentEdit, C::MaxPowerLossEdit, C::MinEfficiencyEdit, C::MinThrustEdit, C::MinSpeedEdit,
                     C::MaxSpeedEdit, C::MinTimeEdit, C::MaxPitchRatioEdit, C::MaxRPMEdit})
            restrictions = restrictions || !TrimText(f.Text(id)).empty();
        if (restrictions) f.SetText(C::FilterNameEdit, name, Marking::Keep);
    }
    for (ComponentGroup group : {ComponentGroup::Motor, ComponentGroup::Cell, ComponentGroup::Filter,
                                 ComponentGroup::Drive, ComponentGroup::SpeedControl, ComponentGroup::Airframe}) {
        if (!f.GroupModified(group)) continue;
        if (group == ComponentGroup::Filter && TrimText(f.Text(C::FilterNameEdit)).empty()) continue;
        SaveComponentGroup(f, context.tables, group, SaveOrigin::Project, context.Units(), context.locale,
                           context.messages, context.prompter);
    }
    f.SetGroupModified(ComponentGroup::Filter, false);
    RecordProjectPropeller(context, name);
    AddRecentProject(context.settings.recentProjects, name);
    return true;
}

bool ConfirmDiscardOrSave(ProjectContext& context) {
    const WorkbenchFields& f = context.fields;
    if (!f.ProjectModified()) {
        AddRecentProject(context.settings.recentProjects, f.ProjectName());
        return true;
    }
    switch (context.prompter.Ask(
        Question(ProjectUnsavedQuestion(f.ProjectName()), YesButton | NoButtonAnswer | CancelButton | HelpButton))) {
    case YesButton: return SaveProject(context, true);
    case NoButtonAnswer: return true;
    default: return false;
    }
}

void LoadCurrentProjectRecord(ProjectContext& context) {
    DbfTable* table = context.tables.AmpvaneTable();
    if (!table || table->empty()) return;
    const ProjectRecord record = ReadProjectRecord(*table);
    NewProject(context);
    WorkbenchFields& f = context.fields;
    f.SetProjectName(record.name);
    PlaceRecord(f, record);
    LoadComponentsByName(context);
    if (auto measured = ListedPropeller(context.tables.dataFolder(), kProjectPropellerList, record.name, context.messages))
        f.SetMeasuredPropeller(std::move(*measured));
    f.SetChecked(C::UseFilterCheckBox, record.useFilter, Marking::Keep);
    f.ClearMarks();
    if (context.restoreWizardAnswers) context.restoreWizardAnswers(f.Text(C::WizardInfoEdit));
}

bool LoadProjectByName(ProjectContext& context, std::string_view name) {
    DbfTable* table = context.tables.AmpvaneTable();
    if (!table || !FindComponentByName(*table, name)) return false;
    LoadCurrentProjectRecord(context);
    return true;
}

void LoadStartupProject(ProjectContext& context) {
    NewProject(context);
    if (LoadProjectByName(context, context.settings.defaultProject)) return;
    WorkbenchFields& f = context.fields;
    PlaceRecord(f, BuiltInSampleProject());
    LoadComponentsByName(context);
    f.SetProjectName(std::string(kUntitledProject));
    f.SetProjectModified(false);
}

ComponentLoad LoadComponentByName(ProjectContext& context, ComponentTableKind kind, std::string_view name) {
    if (TrimText(name).empty()) return ComponentLoad::Empty;
    const WorkbenchUnits units = context.Units();
    DbfTable* table = context.tables.Table(kind);
    WorkbenchFields& f = context.fields;
    const auto fill = [&] { FillGroupFromRecord(f, kind, *table, units, context.locale, context.messages); };
    const bool onIt = table && !table->empty() && table->state() == DbfTable::State::Browse &&
                      TrimText(table->Name()) == TrimText(name);
    if (table && (onIt || FindComponentByName(*table, name))) {
        fill();
        return ComponentLoad::Found;
    }
    if ((kind == ComponentTableKind::PropellerDrive || kind == ComponentTableKind::SpeedControl) &&
        context.applyGeneric && context.applyGeneric(f, kind, name)) {
        f.SetGroupModified(GroupOfKind(kind), false);
        return ComponentLoad::Generic;
    }
    if (!table || table->empty()) return ComponentLoad::Missing;

    std::string search(name);
    std::string addition;
    if (kind == ComponentTableKind::Cell) {
        const CellSearch cell = CellSearchText(name);
        if (cell.parallel > 0) {
            search = cell.text;
            const std::string n = std::to_string(cell.parallel);
            f.SetText(C::ParallelCellsFromEdit, n, Marking::Keep);
            f.SetText(C::ParallelCellsToEdit, n, Marking::Keep);
            addition = ", with Parallel Cells/Batteries set to " + n;
        }
    } else if (kind == ComponentTableKind::PropellerDrive) {
        if (const auto at = search.find("ropellor"); at != std::string::npos) search.replace(at, 8, "ropeller");
    }
    table->UseNameIndex();
    PositionNearestName(*table, search);
    const std::string substitute = table->Name();
    Message warning = WarningMessage(SubstituteMessage(name, SubstituteGroupWord(kind), substitute, addition));
    warning.buttons = OkButton | HelpButton;
    warning.helpTopic = kProjectHelpTopic;
    context.messages.Report(warning);
    fill();
    return ComponentLoad::Substituted;
}

std::optional<std::string> CopyProjectText(ProjectContext& context, bool validate,
                                           std::optional<WorkbenchControl>* failedField) {
    const AnalysisOptionsInput options = AnalysisOptionsInputFrom(context.settings);
    DisplayPlane plane;
    AnalysisOptions snapshot;
    if (validate && !GatherAnalysisInput(context.fields, options, plane, snapshot, context.locale, context.messages,
                                         context.prompter, failedField))
        return std::nullopt;
    return WriteProjectText(context.fields, options, context.locale);
}

bool PasteProjectText(ProjectContext& context, std::string_view text) {
    {
        // Nothing is asked for a text without a project in it.
        WorkbenchFields probe = EmptyWorkbenchFields();
        AnalysisOptionsInput probeOptions;
        NullMessageSink quiet;
        if (!ReadProjectText(text, probe, probeOptions, context.locale, quiet)) return false;
    }
    if (!ConfirmDiscardOrSave(context)) return false;
    NewProject(context);
    Settings& settings = context.settings;
    const int userMode = settings.measurementMode;
    const bool userNewtons = settings.forceInNewtons;
    AnalysisOptionsInput pasted = AnalysisOptionsInputFrom(settings);
    ReadProjectText(text, context.fields, pasted, context.locale, context.messages);

    // The flying field is taken in the pasted units and brought into the user's by the mode change.
    SelectMeasurementMode(settings, pasted.measurementMode, context.locale, context.messages);
    settings.elevation = pasted.elevation;
    settings.pressure = pasted.pressure;
    settings.temperature = pasted.temperature;
    settings.useHeating = pasted.accountForHeating;
    SelectMeasurementMode(settings, userMode, context.locale, context.messages);
    settings.forceInNewtons = userNewtons;
    ConvertWorkbenchUnits(context.fields, WorkbenchUnitsForMode(pasted.measurementMode, pasted.newtons),
                          context.Units(), context.locale, context.messages);
    ApplyBrushlessStates(context.fields);
    ApplyCellChemistry(context.fields, context.locale, Marking::Keep);
    return true;
}

} // namespace ampvane
