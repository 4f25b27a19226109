// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/component_commands.h"

#include <gtest/gtest.h>

#include "data/name_lookup.h"
#include "data/table_test_support.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
using testing::RecordingMessages;
using testing::TempDir;

const WorkbenchUnits kImperial{};
const WorkbenchUnits kAllMetricNewtons{true, true, true};

class ComponentCommands : public ::testing::Test {
protected:
    ComponentCommands() {
        testing::MakeEmptyTables(dir.path().string());
        tables.OpenComponentTables();
    }
    bool Save(ComponentGroup group, const WorkbenchUnits& units = kImperial, SaveOrigin origin = SaveOrigin::User) {
        return SaveComponentGroup(fields, tables, group, origin, units, NumberLocale{}, messages, messages);
    }
    DbfTable& Table(ComponentTableKind kind) { return *tables.Table(kind); }

    TempDir dir;
    NullMessageSink quiet;
    TCompDataModule tables{{dir.path().string(), ""}, quiet};
    WorkbenchFields fields;
    RecordingMessages messages;
};

TEST_F(ComponentCommands, SaveUpperCasesTheNameAndAsksBeforeReplacing) {
    fields.SetText(C::MotorNameEdit, "astro 05");
    fields.SetText(C::MotorConstantEdit, "1100");
    fields.SetText(C::MotorWeightEdit, "6,5");
    fields.SetChecked(C::MotorBrushlessCheckBox, true);
    ASSERT_TRUE(Save(ComponentGroup::Motor));
    EXPECT_EQ(fields.Text(C::MotorNameEdit), "Astro 05");
    EXPECT_FALSE(fields.GroupModified(ComponentGroup::Motor));
    ASSERT_TRUE(FindComponentByName(Table(ComponentTableKind::Motor), "Astro 05"));
    EXPECT_EQ(Table(ComponentTableKind::Motor).Text("WEIGHT"), "6.5");
    EXPECT_EQ(Table(ComponentTableKind::Motor).Text("BRUSHLESS"), "Yes");

    // No to the replace question writes nothing; Yes replaces in place.
    fields.SetText(C::MotorConstantEdit, "900");
    const std::string question =
        "The \"Astro 05\" Motor already exists in the database. Are you sure you want to replace it's characteristics?";
    messages.ExpectQuestion(question, NoButtonAnswer);
    EXPECT_FALSE(Save(ComponentGroup::Motor));
    ASSERT_TRUE(FindComponentByName(Table(ComponentTableKind::Motor), "Astro 05"));
    EXPECT_EQ(Table(ComponentTableKind::Motor).Text("MOTORSTANT"), "1100");
    EXPECT_TRUE(fields.GroupModified(ComponentGroup::Motor));
    messages.ExpectQuestion(question, YesButton);
    EXPECT_TRUE(Save(ComponentGroup::Motor));
    ASSERT_TRUE(FindComponentByName(Table(ComponentTableKind::Motor), "Astro 05"));
    EXPECT_EQ(Table(ComponentTableKind::Motor).Text("MOTORSTANT"), "900");
    EXPECT_EQ(Table(ComponentTableKind::Motor).size(), 1u);

    // As part of a project save the user is asked first.
    messages.ExpectQuestion("Do you want to save the parameters for the \"Astro 05\" Motor?", NoButtonAnswer);
    EXPECT_FALSE(Save(ComponentGroup::Motor, kImperial, SaveOrigin::Project));
}

TEST_F(ComponentCommands, FanPageSavesToTheFanTableAndRefusedValuesWriteNothing) {
    fields.SetDrivePage(kDuctedFanPage);
    fields.SetText(C::DriveSystemNameEdit, "Fan 1");
    fields.SetText(C::FanDiameterEdit, "6.4");
    ASSERT_TRUE(Save(ComponentGroup::Drive, kAllMetricNewtons));
    ASSERT_TRUE(FindComponentByName(Table(ComponentTableKind::FanDrive), "Fan 1"));
    EXPECT_EQ(Table(ComponentTableKind::FanDrive).Text("FANDIAM"), "2.52"); // 6.4 cm, step 0.01 in
    EXPECT_TRUE(Table(ComponentTableKind::PropellerDrive).empty());
    messages.ExpectQuestion("The \"Fan 1\" Fan Drive System already exists in the database. Are you sure you want "
                            "to replace it's characteristics?",
                            YesButton);
    messages.Expect("'x' is not a valid floating point value for field 'Weight'");
    fields.SetText(C::FanWeightEdit, "x");
    EXPECT_FALSE(Save(ComponentGroup::Drive));
    fields.SetDrivePage(kPropellerPage);
    fields.SetText(C::DriveSystemNameEdit, "Gear");
    fields.SetText(C::GearRatioFromEdit, "150");
    messages.Expect("150 is not a valid value for field 'Gear From'. The allowed range is 0 to 100");
    EXPECT_FALSE(Save(ComponentGroup::Drive));
    EXPECT_TRUE(Table(ComponentTableKind::PropellerDrive).empty());
}

TEST_F(ComponentCommands, MetricFilterThrustRoundTripsInNewtons) {
    fields.SetText(C::FilterNameEdit, "Limits");
    fields.SetText(C::MinThrustEdit, "2.78");
    fields.SetText(C::MinSpeedEdit, "10");
    ASSERT_TRUE(Save(ComponentGroup::Filter, kAllMetricNewtons));
    DbfTable& filters = Table(ComponentTableKind::Filter);
    ASSERT_TRUE(FindComponentByName(filters, "Limits"));
    EXPECT_EQ(filters.Text("MINTHRUST"), "10");
    EXPECT_EQ(filters.Text("MINSPEED"), "22");
    WorkbenchFields loaded;
    ComponentChosen(loaded, tables, ComponentGroup::Filter, kAllMetricNewtons, NumberLocale{}, messages);
    EXPECT_EQ(loaded.Text(C::MinThrustEdit), "2.78");
    EXPECT_TRUE(loaded.Checked(C::UseFilterCheckBox));
    EXPECT_TRUE(loaded.ProjectModified());
}

TEST_F(ComponentCommands, NewAndTheBlankNameWarning) {
    fields.SetText(C::ESCNameEdit, "Old ESC");
    fields.SetText(C::MotorNameEdit, "Old motor");
    messages.ExpectQuestion("Discard changes to the \"Old ESC\" Speed Control?", NoButtonAnswer);
    EXPECT_FALSE(ConfirmDiscardGroup(fields, ComponentGroup::SpeedControl, messages));
    fields.ClearMarks();
    EXPECT_TRUE(ConfirmDiscardGroup(fields, ComponentGroup::SpeedControl, messages));
    NewComponentGroup(fields, ComponentGroup::SpeedControl, true, NumberLocale{});
    NewComponentGroup(fields, ComponentGroup::Motor, true, NumberLocale{});
    EXPECT_EQ(fields.Text(C::ESCNameEdit), "");
    EXPECT_TRUE(fields.ProjectModified());
    // A project save would save the marked speed control only, and warn about its blank name.
    EXPECT_TRUE(fields.GroupModified(ComponentGroup::SpeedControl));
    EXPECT_FALSE(fields.GroupModified(ComponentGroup::Motor));
    messages.Expect("You must specify a Speed Control Name in order to save the Speed Control data. Your project has "
                    "been saved with a blank Speed Control entry. To correct this, fill in the Speed Control Name "
                    "field, and save your project again.");
    EXPECT_FALSE(Save(ComponentGroup::SpeedControl, kImperial, SaveOrigin::Project));
    NewComponentGroup(fields, ComponentGroup::Airframe, false, NumberLocale{});
    EXPECT_EQ(fields.Text(C::AirfoilInfoEdit), "0");
}

} // namespace
} // namespace ampvane
