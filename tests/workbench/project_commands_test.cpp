// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/project_commands.h"

#include <gtest/gtest.h>

#include "project/project_text.h"
#include "common/file_write.h"
#include "data/name_lookup.h"
#include "workbench/component_commands.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
using testing::RecordingMessages;
using testing::TempDir;

const std::string kInitial = std::string(AMPVANE_BINARY_DIR) + "/app/Initial";

// A data folder filled from the shipped first-run files, with the commands around a workbench.
struct Bench {
    TempDir folder;
    RecordingMessages messages;
    TCompDataModule tables{{folder.path().string(), kInitial}, messages};
    Settings settings;
    WorkbenchFields fields;
    std::vector<std::string> namesAsked;
    std::optional<std::string> typedName;
    ProjectContext context{fields, tables, settings, NumberLocale{}, messages, messages};

    Bench() {
        tables.OpenComponentTables();
        context.askProjectName = [this](const std::string& current) {
            namesAsked.push_back(current);
            return typedName;
        };
    }
};

TEST(ProjectStore, RecordRoundTripsThroughTheTable) {
    TempDir dir;
    const std::string path = dir.file("AMPVANE8.DBF");
    ASSERT_EQ(DbfTable::Create(path, ShippedColumns(ComponentTableKind::Project)), "");
    auto table = DbfTable::Open(path).table;
    ASSERT_TRUE(table);
    ProjectRecord r = BuiltInSampleProject();
    r.name = "Twin";
    r.parallelMotors = " 2 ";
    r.speedControls = "2";
    r.useFilter = true;
    r.driveType = 1;
    ASSERT_EQ(WriteProjectRecord(*table, r, false), "");
    table->UseNameIndex();
    ASSERT_TRUE(FindComponentByName(*table, "Twin"));
    ProjectRecord back = ReadProjectRecord(*table);
    r.parallelMotors = "2"; // counts are written trimmed
    EXPECT_EQ(back, r);

    // A count that is no number abandons the write: the table keeps what it had.
    r.cellsFrom = "six";
    EXPECT_NE(WriteProjectRecord(*table, r, true), "");
    ASSERT_TRUE(FindComponentByName(*table, "Twin"));
    EXPECT_EQ(ReadProjectRecord(*table).cellsFrom, "6");
    EXPECT_EQ(ProjectNames(*table), std::vector<std::string>{"Twin"});
}

TEST(RecentProjects, MoveToTopDropTheNinthAndNeverListUntitled) {
    RecentProjects recent;
    for (const char* name : {"A", "B", "A", "Untitled", ""}) AddRecentProject(recent, name);
    EXPECT_EQ(recent[0], "A");
    EXPECT_EQ(recent[1], "B");
    EXPECT_EQ(recent[2], "");
    for (int i = 0; i < 9; ++i) AddRecentProject(recent, "P" + std::to_string(i));
    EXPECT_EQ(recent[0], "P8");
    EXPECT_EQ(recent[8], "P0"); // A and B dropped off the end

    RecentProjects shown{"Gone", "R&D", "", "Kept"};
    const auto entries = ShownRecentProjects(shown, [](std::string_view n) { return n != "Gone"; });
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].caption, "&1 R&&D");
    EXPECT_EQ(entries[1].caption, "&2 Kept");
    EXPECT_EQ(shown[0], "Gone"); // a deleted project stays in the list
}

TEST(ProjectCommands, ShippedSamplesOpenWithoutSubstitution) {
    Bench b;
    DbfTable& projects = *b.tables.AmpvaneTable();
    const auto names = ProjectNames(projects);
    ASSERT_EQ(names.size(), 6u);
    for (const std::string& name : names) {
        ASSERT_TRUE(LoadProjectByName(b.context, name)) << name;
        EXPECT_EQ(b.fields.ProjectName(), name);
        EXPECT_FALSE(b.fields.ProjectModified());
        EXPECT_FALSE(TrimText(b.fields.Text(C::MotorConstantEdit)).empty()) << name;
    }
    EXPECT_TRUE(b.messages.empty()) << ::testing::PrintToString(b.messages.texts());

    // The start-up sample is the shipped sample project's names and counts under "Untitled".
    ASSERT_TRUE(FindComponentByName(projects, kSampleProjectRecordName));
    ProjectRecord shipped = ReadProjectRecord(projects);
    ProjectRecord sample = BuiltInSampleProject();
    for (ProjectRecord* r : {&shipped, &sample}) {
        r->name.clear();
        r->useFilter = false;
        for (std::string* count : {&r->parallelFrom, &r->parallelTo, &r->parallelMotors, &r->propellers, &r->speedControls})
            if (*count == "1") count->clear();
    }
    EXPECT_EQ(shipped, sample);
    b.settings.defaultProject = "No such project";
    LoadStartupProject(b.context);
    EXPECT_EQ(b.fields.ProjectName(), "Untitled");
    EXPECT_EQ(b.fields.Text(C::MotorNameEdit), "Astro Cobalt 05 7T#20 #605");
    EXPECT_FALSE(b.fields.ProjectModified());

    // ampvane-cli's built-in sample is this very project.
    std::string builtIn;
    ASSERT_TRUE(ReadWholeFile(std::string(AMPVANE_SOURCE_DIR) + "/app/cli/sample_project.txt", builtIn));
    EXPECT_EQ(*CopyProjectText(b.context, false), builtIn);
}

TEST(ProjectCommands, MissingComponentsTakeTheNearestNameWithTheWarning) {
    Bench b;
    struct Case {
        ComponentTableKind kind;
        std::string missing;
        std::string expectSearch; // the substitute is the nearest record to this text
        std::string parallel;     // parallel cell range set, or empty
    };
    const Case cases[] = {
        {ComponentTableKind::Motor, "Astro Cobalt 05 7T#20 #699", "Astro Cobalt 05 7T#20 #699", ""},
        {ComponentTableKind::Cell, "Sanyo 1700SCR 2P", "Sanyo 1700SCR", "2"},
        {ComponentTableKind::Cell, "Sanyo 1700SCR 3-parallel", "Sanyo 1700SCR", "3"},
        {ComponentTableKind::Cell, "Sanyo 1700SCR 12-parallel", "Sanyo 1700SCR 12-parallel", ""},
        {ComponentTableKind::PropellerDrive, "Astro 035-15 Propellor", "Astro 035-15 Propeller", ""},
    };
    for (const Case& c : cases) {
        DbfTable& table = *b.tables.Table(c.kind);
        PositionNearestName(table, c.expectSearch);
        const std::string substitute = table.Name();
        b.fields.SetText(C::ParallelCellsFromEdit, "", Marking::Keep);
        const std::string addition = c.parallel.empty() ? "" : ", with Parallel Cells/Batteries set to " + c.parallel;
        b.messages.Expect(SubstituteMessage(c.missing, SubstituteGroupWord(c.kind), substitute, addition));
        table.First(); // not standing on the substitute already
        EXPECT_EQ(LoadComponentByName(b.context, c.kind, c.missing), ComponentLoad::Substituted) << c.missing;
        EXPECT_EQ(b.fields.Text(c.kind == ComponentTableKind::Cell         ? C::CellNameEdit
                                : c.kind == ComponentTableKind::Motor ? C::MotorNameEdit
                                                                      : C::DriveSystemNameEdit),
                  substitute);
        EXPECT_EQ(b.fields.Text(C::ParallelCellsFromEdit), c.parallel) << c.missing;
    }
    EXPECT_EQ(b.messages.messages()[0].text,
              "Could not find \"Astro Cobalt 05 7T#20 #699\" in the Motor database. Using \"" +
                  b.fields.Text(C::MotorNameEdit).substr(0, 0) + "Astro Cobalt 05 7T#20 #605\" instead. You may wish "
                  "to save your project with the new Motor.");
    EXPECT_EQ(LoadComponentByName(b.context, ComponentTableKind::Motor, " "), ComponentLoad::Empty);
}

TEST(ProjectCommands, SaveAsksForANameReplacesOnlyWhenToldAndCapitalises) {
    Bench b;
    LoadStartupProject(b.context);
    b.fields.SetText(C::NumberOfCellsToEdit, "8");
    ASSERT_TRUE(b.fields.ProjectModified());

    // "Untitled" always asks; Cancel writes nothing.
    EXPECT_FALSE(SaveProject(b.context, false));
    EXPECT_EQ(b.namesAsked, std::vector<std::string>{"Untitled"});
    b.typedName = "my glider";
    ASSERT_TRUE(SaveProject(b.context, false));
    EXPECT_EQ(b.fields.ProjectName(), "My glider");
    EXPECT_FALSE(b.fields.ProjectModified());
    EXPECT_EQ(b.settings.recentProjects[0], "My glider");

    // Saving a named project does not ask for a name but asks before replacing; No keeps the old record.
    b.fields.SetText(C::NumberOfCellsToEdit, "9");
    b.messages.ExpectQuestion(ProjectReplaceQuestion("My glider"), NoButtonAnswer);
    EXPECT_FALSE(SaveProject(b.context, false));
    EXPECT_EQ(b.namesAsked.size(), 2u);
    ASSERT_TRUE(FindComponentByName(*b.tables.AmpvaneTable(), "My glider"));
    EXPECT_EQ(ReadProjectRecord(*b.tables.AmpvaneTable()).cellsTo, "8");
    b.messages.ExpectQuestion(ProjectReplaceQuestion("My glider"), YesButton);
    EXPECT_TRUE(SaveProject(b.context, false));
    ASSERT_TRUE(LoadProjectByName(b.context, "My glider"));
    EXPECT_EQ(b.fields.Text(C::NumberOfCellsToEdit), "9");
}

TEST(ProjectCommands, SaveWritesTheMarkedComponentsAndNewClearsThroughTheirNewCommands) {
    Bench b;
    LoadStartupProject(b.context);
    const std::string motor = b.fields.Text(C::MotorNameEdit);
    b.fields.SetText(C::MotorWeightEdit, "7.25");                                  // marks the motor
    NewComponentGroup(b.fields, ComponentGroup::SpeedControl, true, NumberLocale{}); // a blank, marked one
    b.typedName = "Heavier";
    // Motor first, with its own questions; the blank speed control only warns; nothing else is asked.
    b.messages.ExpectQuestion("Do you want to save the parameters for the \"" + motor + "\" Motor?", YesButton)
        .ExpectQuestion("The \"" + motor +
                            "\" Motor already exists in the database. Are you sure you want to replace it's "
                            "characteristics?",
                        YesButton)
        .Expect("You must specify a Speed Control Name in order to save the Speed Control data. Your project has "
                "been saved with a blank Speed Control entry. To correct this, fill in the Speed Control Name "
                "field, and save your project again.");
    ASSERT_TRUE(SaveProject(b.context, false));
    EXPECT_FALSE(b.fields.GroupModified(ComponentGroup::Motor));
    EXPECT_TRUE(b.fields.GroupModified(ComponentGroup::SpeedControl));
    ASSERT_TRUE(LoadProjectByName(b.context, "Heavier"));
    EXPECT_EQ(b.fields.Text(C::MotorWeightEdit), "7.25"); // read back from the motor table

    // New empties every group as its New command does (the cell type's voltage made editable again)
    // and leaves no mark, so that nothing is saved with the next project.
    NewProject(b.context);
    EXPECT_EQ(b.fields.Text(C::MotorNameEdit), "");
    EXPECT_EQ(b.fields.Text(C::ESCNameEdit), "");
    EXPECT_FALSE(b.fields.ReadOnly(C::CellVoltageEdit));
    for (ComponentGroup g : {ComponentGroup::Motor, ComponentGroup::Cell, ComponentGroup::Filter, ComponentGroup::Drive,
                             ComponentGroup::SpeedControl, ComponentGroup::Airframe})
        EXPECT_FALSE(b.fields.GroupModified(g));
    EXPECT_EQ(b.fields.ProjectName(), "Untitled");
}

TEST(ProjectCommands, UnsavedQuestionYesNoCancel) {
    Bench b;
    LoadStartupProject(b.context);
    EXPECT_TRUE(ConfirmDiscardOrSave(b.context)); // nothing changed: no question
    b.fields.SetText(C::MotorWeightEdit, "10");
    b.messages.ExpectQuestion(ProjectUnsavedQuestion("Untitled"), CancelButton)
        .ExpectQuestion(ProjectUnsavedQuestion("Untitled"), NoButtonAnswer)
        .ExpectQuestion(ProjectUnsavedQuestion("Untitled"), YesButton);
    EXPECT_FALSE(ConfirmDiscardOrSave(b.context));
    EXPECT_TRUE(ConfirmDiscardOrSave(b.context));
    EXPECT_FALSE(ConfirmDiscardOrSave(b.context)); // Yes, then Cancel in the name window
    EXPECT_EQ(b.namesAsked.size(), 1u);
}

TEST(ProjectCommands, LoadedCountsShowOnlyWhatDiffersFromTheDefault) {
    Bench b;
    ProjectRecord r = BuiltInSampleProject();
    r.name = "Quad";
    r.seriesMotors = "2";
    r.parallelMotors = "2";
    r.propellers = "4";
    r.speedControls = "1";
    ASSERT_EQ(WriteProjectRecord(*b.tables.AmpvaneTable(), r, false), "");
    ASSERT_TRUE(LoadProjectByName(b.context, "Quad"));
    EXPECT_EQ(b.fields.Text(C::NumberOfPropsEdit), "");
    EXPECT_EQ(b.fields.Text(C::MultipleESCsEdit), "");
    EXPECT_EQ(b.fields.Text(C::SeriesMotorsEdit), "2");
    r.name = "Quad2";
    r.propellers = "2";
    ASSERT_EQ(WriteProjectRecord(*b.tables.AmpvaneTable(), r, false), "");
    ASSERT_TRUE(LoadProjectByName(b.context, "Quad2"));
    EXPECT_EQ(b.fields.Text(C::NumberOfPropsEdit), "2");
}

TEST(ProjectCommands, CopyThenPasteIntoAFreshDataFolderReproducesEveryField) {
    Bench from;
    from.settings.measurementMode = AllMetric;
    from.settings.elevation = "300";
    from.settings.unitLabels = {"m", "\u00B0C", "kPa"};
    from.settings.temperature = "25";
    ASSERT_TRUE(LoadProjectByName(from.context, "Park Flyer 2212 on 3S"));
    const auto text = CopyProjectText(from.context, true);
    ASSERT_TRUE(text);

    // Into a fresh data folder in the same units: every field, the name and the flying field.
    Bench same;
    same.settings.measurementMode = AllMetric;
    same.settings.unitLabels = {"m", "\u00B0C", "kPa"};
    ASSERT_TRUE(PasteProjectText(same.context, "noise\n" + *text));
    EXPECT_EQ(same.fields.ProjectName(), "Park Flyer 2212 on 3S");
    for (const WorkbenchControlInfo& info : WorkbenchControls()) {
        EXPECT_EQ(same.fields.Text(info.id), from.fields.Text(info.id)) << info.name;
        EXPECT_EQ(same.fields.Checked(info.id), from.fields.Checked(info.id)) << info.name;
    }
    EXPECT_EQ(same.settings.elevation, "300");
    EXPECT_EQ(same.settings.temperature, "25");

    // Into an imperial workbench: converted to ounces, inches and feet; the user stays imperial.
    Bench to;
    ASSERT_TRUE(PasteProjectText(to.context, *text));
    EXPECT_EQ(to.settings.measurementMode, AllImperial);
    EXPECT_EQ(to.settings.elevation, "984");
    EXPECT_EQ(to.settings.temperature, "77");
    EXPECT_EQ(to.fields.Text(C::MotorWeightEdit), "1.9"); // 55 g

    // A text without the Begin line changes nothing and asks nothing.
    const WorkbenchFields before = to.fields;
    EXPECT_FALSE(PasteProjectText(to.context, "Motor=1\n"));
    EXPECT_EQ(to.fields, before);
}

} // namespace
} // namespace ampvane
