// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/propeller_choices.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "common/file_write.h"
#include "data/name_lookup.h"
#include "workbench/component_commands.h"
#include "workbench/component_fill.h"
#include "workbench/project_commands.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
namespace fs = std::filesystem;

TEST(PropellerChoices, ParseAndUpdateKeepEveryOtherLine) {
    const std::string list = "# drives\r\nGlider 2.5:1| Bench 11x7 \r\nno bar\r\n|Nameless\r\nDirect|\r\n"
                             "Bad|/etc/x\r\nGlider 2.5:1|Later\r\nTwo|A|B\r\n";
    const PropellerChoices parsed = ParsePropellerChoices(list);
    EXPECT_EQ(parsed.entries, (std::vector<PropellerChoice>{
                                  {"Glider 2.5:1", "Bench 11x7"}, {"Direct", ""}, {"Glider 2.5:1", "Later"}, {"Two", "A|B"}}));
    EXPECT_EQ(parsed.badLines, (std::vector<int>{3, 4, 6}));

    struct Case {
        std::string owner;
        std::optional<std::string> propeller;
        std::string expected;
    };
    const Case cases[] = {
        // The first entry is replaced and its shadowed repeat goes; bad lines and comments stay, line ends too.
        {"Glider 2.5:1 ", "APC 10x6",
         "# drives\r\nGlider 2.5:1|APC 10x6\r\nno bar\r\n|Nameless\r\nDirect|\r\nBad|/etc/x\r\nTwo|A|B\r\n"},
        {"Glider 2.5:1", std::nullopt, "# drives\r\nno bar\r\n|Nameless\r\nDirect|\r\nBad|/etc/x\r\nTwo|A|B\r\n"},
        {"New", "", list + "New|\r\n"},
        {"Absent", std::nullopt, list},
        {"Pipe|name", "APC 10x6", list}, // such a name cannot own an entry
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.owner);
        const std::string updated = WithPropellerChoice(list, c.owner, c.propeller);
        EXPECT_EQ(updated, c.expected);
        EXPECT_EQ(ParsePropellerChoices(updated).badLines.size(), 3u);
    }
    EXPECT_EQ(WithPropellerChoice("", "Drive", "P"), "Drive|P\n");
}

// A data folder from the shipped first-run files, with the start-up sample (a propeller drive) loaded.
struct Bench {
    testing::TempDir folder;
    testing::RecordingMessages messages;
    TCompDataModule tables{{folder.path().string(), std::string(AMPVANE_BINARY_DIR) + "/app/Initial"}, messages};
    Settings settings;
    WorkbenchFields fields;
    ProjectContext context{fields, tables, settings, NumberLocale{}, messages, messages};
    std::string drive;

    Bench() {
        tables.OpenComponentTables();
        context.askProjectName = [](const std::string&) { return std::optional<std::string>("Measured"); };
        LoadStartupProject(context);
        drive = fields.Text(C::DriveSystemNameEdit);
    }
    fs::path List(std::string_view name) const { return PropellerChoiceListPath(folder.path(), name); }
    std::string Contents(std::string_view name) const {
        std::string text;
        ReadWholeFile(List(name).string(), text);
        return text;
    }
    std::string ReplaceDriveQuestion() const {
        return "The \"" + drive +
               "\" Propeller Drive System already exists in the database. Are you sure you want to replace it's "
               "characteristics?";
    }
};

TEST(PropellerChoices, StoredDrivesAndProjectsKeepTheirMeasuredPropeller) {
    Bench b;
    ASSERT_FALSE(b.drive.empty());
    ASSERT_EQ(b.fields.DrivePage(), kPropellerPage);
    b.fields.SetMeasuredPropeller("Bench 11x7");
    b.fields.SetGroupModified(ComponentGroup::Drive, true);
    b.fields.SetProjectModified(true);
    b.messages.ExpectQuestion("Do you want to save the parameters for the \"" + b.drive + "\" Drive System?", YesButton)
        .ExpectQuestion(b.ReplaceDriveQuestion(), YesButton);
    ASSERT_TRUE(SaveProject(b.context, false));
    EXPECT_EQ(b.Contents(kDrivePropellerList), b.drive + "|Bench 11x7\n");
    EXPECT_EQ(b.Contents(kProjectPropellerList), "Measured|Bench 11x7\n");

    // New forgets it; opening the project, or the drive alone, brings it back.
    NewProject(b.context);
    EXPECT_EQ(b.fields.MeasuredPropeller(), "");
    ASSERT_TRUE(LoadProjectByName(b.context, "Measured"));
    EXPECT_EQ(b.fields.MeasuredPropeller(), "Bench 11x7");
    NewComponentGroup(b.fields, ComponentGroup::Drive, false, NumberLocale{});
    EXPECT_EQ(b.fields.MeasuredPropeller(), "");
    ASSERT_TRUE(LoadComponentByName(b.fields, b.tables, ComponentTableKind::PropellerDrive, b.drive, {}, {}, b.messages));
    EXPECT_EQ(b.fields.MeasuredPropeller(), "Bench 11x7");

    // The project back on the two constants, its drive left as stored: the project's own "none" holds.
    b.fields.SetMeasuredPropeller("");
    b.messages.ExpectQuestion(ProjectReplaceQuestion("Measured"), YesButton);
    ASSERT_TRUE(SaveProject(b.context, false));
    EXPECT_EQ(b.Contents(kProjectPropellerList), "Measured|\n");
    ASSERT_TRUE(LoadProjectByName(b.context, "Measured"));
    EXPECT_EQ(b.fields.MeasuredPropeller(), "");

    // Garbled lines are reported and skipped, and survive the next save.
    ASSERT_EQ(WriteFileAtomically(b.List(kProjectPropellerList).string(), "Measured|Bench 11x7\nno bar\nX|a/b\n"), "");
    b.messages.Expect("Lines 2 and 3 of \"" + b.List(kProjectPropellerList).string() +
                      "\" are not a name, \"|\" and a measured propeller's name; they are skipped.");
    ASSERT_TRUE(LoadProjectByName(b.context, "Measured"));
    EXPECT_EQ(b.fields.MeasuredPropeller(), "Bench 11x7");
    b.fields.SetMeasuredPropeller("APC 10x6");
    b.messages.ExpectQuestion(ProjectReplaceQuestion("Measured"), YesButton);
    ASSERT_TRUE(SaveProject(b.context, false));
    EXPECT_EQ(b.Contents(kProjectPropellerList), "Measured|APC 10x6\nno bar\nX|a/b\n");

    // A deleted project or drive takes its entry with it; other kinds have none, and other lines stay.
    EXPECT_TRUE(ForgetPropellerChoice(b.folder.path(),
                                      ComponentTableKind::Project, " Measured ", b.messages));
    EXPECT_TRUE(ForgetPropellerChoice(b.folder.path(),
                                      ComponentTableKind::Motor, b.drive, b.messages));
    EXPECT_EQ(b.Contents(kProjectPropellerList), "no bar\nX|a/b\n");
    EXPECT_EQ(b.Contents(kDrivePropellerList), b.drive + "|Bench 11x7\n");

    // A list that cannot be written: the drive is saved all the same, and the message says what was not.
    fs::remove(b.List(kDrivePropellerList));
    fs::create_directory(b.List(kDrivePropellerList));
    b.messages.ExpectQuestion(b.ReplaceDriveQuestion(), YesButton).AllowAny();
    ASSERT_TRUE(SaveComponentGroup(b.fields, b.tables, ComponentGroup::Drive, SaveOrigin::User, {}, {}, b.messages,
                                   b.messages));
    EXPECT_NE(b.messages.texts().back().find("The measured propeller of the drive \"" + b.drive +
                                             "\" could not be recorded in"),
              std::string::npos);
    EXPECT_TRUE(FindComponentByName(*b.tables.Table(ComponentTableKind::PropellerDrive), b.drive));
}

} // namespace
} // namespace ampvane
