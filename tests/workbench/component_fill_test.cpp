// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/component_fill.h"

#include <gtest/gtest.h>
#include <variant>

#include "data/data_folder.h"
#include "data/name_lookup.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
using testing::RecordingMessages;
using testing::TempDir;

// One table of a kind in a folder, with records given column by column.
class RecordTable {
public:
    RecordTable(const TempDir& folder, ComponentTableKind kind) : kind_(kind) {
        path_ = folder.file(std::string(TableInfoOf(kind).file));
        EXPECT_EQ(DbfTable::Create(path_, ShippedColumns(kind)), "");
    }
    using Value = std::variant<double, std::string, bool>;
    void Add(const std::vector<std::pair<std::string, Value>>& values) {
        auto opened = DbfTable::Open(path_);
        ASSERT_NE(opened.table, nullptr) << opened.error;
        DbfTable& t = *opened.table;
        ASSERT_EQ(t.Insert(), "");
        for (const auto& [column, value] : values) {
            std::string error;
            if (const double* n = std::get_if<double>(&value)) error = t.SetNumber(column, *n);
            if (const std::string* s = std::get_if<std::string>(&value)) error = t.SetText(column, *s);
            if (const bool* b = std::get_if<bool>(&value)) error = t.SetLogical(column, *b);
            ASSERT_EQ(error, "") << column;
        }
        ASSERT_EQ(t.Post(), "");
    }
    // Fills fresh fields from the named record.
    WorkbenchFields Fill(std::string_view name, const WorkbenchUnits& units, WorkbenchFields fields = {}) {
        auto opened = DbfTable::Open(path_);
        EXPECT_NE(opened.table, nullptr);
        opened.table->UseNameIndex();
        EXPECT_TRUE(FindComponentByName(*opened.table, name));
        fields.SetGroupModified(ComponentGroup::Drive, true);
        RecordingMessages messages;
        FillGroupFromRecord(fields, kind_, *opened.table, units, NumberLocale{}, messages);
        return fields;
    }

private:
    ComponentTableKind kind_;
    std::string path_;
};

const WorkbenchUnits kImperial{};
const WorkbenchUnits kMetric{true, true, false};

TEST(ComponentFill, DriveShowsOnlyTheRangesThatMatter) {
    TempDir folder;
    RecordTable drives(folder, ComponentTableKind::PropellerDrive);
    drives.Add({{"DRIVEMNAME", std::string("Direct")}, {"GEARROFROM", 1.0}, {"GEARRTIOTO", 0.0}, {"GEARRTIOBY", 0.0},
                {"PROPERFROM", 10.0}, {"PROPETERTO", 10.0}, {"PROPETERBY", 1.0}, {"PROPEHFROM", 6.0},
                {"PROPETCHTO", 8.0}, {"PROPETCHBY", 1.0}, {"PROPELADES", 2.0}, {"PROPCONST", 1.31},
                {"THRUSCONST", 0.95}, {"GEARBOXEFF", 95.0}, {"WEIGHT", 1.2}});
    drives.Add({{"DRIVEMNAME", std::string("Geared")}, {"GEARROFROM", 3.5}, {"GEARRTIOTO", 3.5}, {"GEARRTIOBY", 0.5},
                {"PROPERFROM", 10.0}, {"PROPETERTO", 12.0}, {"PROPETERBY", 2.0}, {"PROPELADES", 3.0}});

    WorkbenchFields direct = drives.Fill("Direct", kImperial);
    EXPECT_EQ(direct.Text(C::DriveSystemNameEdit), "Direct");
    EXPECT_EQ(direct.Text(C::GearRatioFromEdit), "");
    EXPECT_EQ(direct.Text(C::GearRatioToEdit), "");
    EXPECT_EQ(direct.Text(C::GearRatioByEdit), "");
    EXPECT_EQ(direct.Text(C::PropellerDiameterFromEdit), "10");
    EXPECT_EQ(direct.Text(C::PropellerDiameterToEdit), "");
    EXPECT_EQ(direct.Text(C::PropellerDiameterByEdit), "");
    EXPECT_EQ(direct.Text(C::PropellerPitchToEdit), "8");
    EXPECT_EQ(direct.Text(C::PropellerPitchByEdit), "");
    EXPECT_EQ(direct.Text(C::PropellerBladesEdit), "");
    EXPECT_EQ(direct.Text(C::PropConstantEdit), "1.31");
    EXPECT_EQ(direct.Text(C::GearboxWeightEdit), "1.2");
    EXPECT_FALSE(direct.GroupModified(ComponentGroup::Drive));

    const WorkbenchFields geared = drives.Fill("Geared", kImperial);
    EXPECT_EQ(geared.Text(C::GearRatioFromEdit), "3.5");
    EXPECT_EQ(geared.Text(C::GearRatioToEdit), "");
    EXPECT_EQ(geared.Text(C::GearRatioByEdit), "");
    EXPECT_EQ(geared.Text(C::PropellerDiameterByEdit), "2");
    EXPECT_EQ(geared.Text(C::PropellerBladesEdit), "3");

    const WorkbenchFields metric = drives.Fill("Direct", kMetric);
    EXPECT_EQ(metric.Text(C::PropellerDiameterFromEdit), "25.5");
    EXPECT_EQ(metric.Text(C::GearboxWeightEdit), "34");
}

TEST(ComponentFill, MotorCellAndSpeedControlFollowTheirBoxRules) {
    TempDir folder;
    RecordTable motors(folder, ComponentTableKind::Motor);
    motors.Add({{"MOTORNAME", std::string("Outrunner 2212")}, {"MOTORSTANT", 1000.0}, {"IDLECRRENT", 0.5},
                {"ARMATTANCE", 0.09}, {"WEIGHT", 10.0}, {"BRUSHLESS", true}, {"OUTRUNNER", true}});
    const WorkbenchFields motor = motors.Fill("Outrunner 2212", kMetric);
    EXPECT_EQ(motor.Text(C::MotorConstantEdit), "1000");
    EXPECT_EQ(motor.Text(C::MotorWeightEdit), "283");
    EXPECT_TRUE(motor.Checked(C::MotorOutRunnerCheckBox));
    EXPECT_TRUE(motor.Enabled(C::MotorOutRunnerCheckBox));

    RecordTable cells(folder, ComponentTableKind::Cell);
    cells.Add({{"CELLNAME", std::string("Pack")}, {"CAPACITY", 2200.0}, {"VOLTAGE", 3.6}, {"CELLTYPE", std::string("lipo")},
               {"INTERTANCE", 0.008}, {"WEIGHT", 1.89}});
    const WorkbenchFields cell = cells.Fill("Pack", kImperial);
    EXPECT_EQ(cell.Text(C::CellTypeComboBox), "LiPo");
    EXPECT_EQ(cell.Text(C::CellVoltageEdit), "3.7"); // the chemistry overrides the stored voltage
    EXPECT_TRUE(cell.ReadOnly(C::CellVoltageEdit));
    EXPECT_EQ(cell.Text(C::CRatingEdit), "");

    RecordTable controls(folder, ComponentTableKind::SpeedControl);
    controls.Add({{"ESCNAME", std::string("Brushless 40")}, {"RESISTANCE", 0.003}, {"MAXCURRENT", 40.0},
                  {"WEIGHT", 1.5}, {"HIGHRATE", false}, {"BRUSHLESS", true}});
    const WorkbenchFields esc = controls.Fill("Brushless 40", kImperial);
    EXPECT_TRUE(esc.Checked(C::ESCHighRateCheckBox));
    EXPECT_FALSE(esc.Enabled(C::ESCHighRateCheckBox));
}

TEST(ComponentFill, FilterAndAirframeShowInTheDisplayUnits) {
    TempDir folder;
    RecordTable filters(folder, ComponentTableKind::Filter);
    filters.Add({{"FILTERNAME", std::string("Sport")}, {"MINTHRUST", 10.0}, {"MINSPEED", 40.0}, {"MAXCURRENT", 30.0}});
    const WorkbenchFields newtons = filters.Fill("Sport", WorkbenchUnits{true, false, true});
    EXPECT_EQ(newtons.Text(C::MinThrustEdit), "2.78");
    EXPECT_EQ(newtons.Text(C::MinSpeedEdit), "18");
    EXPECT_EQ(newtons.Text(C::MaxCurrentEdit), "30");
    EXPECT_EQ(newtons.Text(C::MaxSpeedEdit), "");

    RecordTable airframes(folder, ComponentTableKind::Airframe);
    airframes.Add({{"AIRFRENAME", std::string("Glider")}, {"WINGSPAN", 100.0}, {"WINGAREA", 660.0},
                   {"EMPTYEIGHT", 36.0}, {"AIRFOLINFO", 0.0}, {"DRAGINFO", 1111.0}});
    const WorkbenchFields imperial = airframes.Fill("Glider", kImperial);
    EXPECT_EQ(imperial.Text(C::AirfoilInfoEdit), "0");
    EXPECT_EQ(imperial.Text(C::DragInfoEdit), "1111");
    EXPECT_EQ(imperial.Text(C::WingAreaEdit), "660");
    const WorkbenchFields metric = airframes.Fill("Glider", kMetric);
    EXPECT_EQ(metric.Text(C::WingSpanEdit), "254");
    EXPECT_EQ(metric.Text(C::WingAreaEdit), "42.6");
    EXPECT_EQ(metric.Text(C::EmptyWeightEdit), "1019");
}

TEST(ComponentFill, SampleProjectKeepsItsTextsForComponentsTheTablesLack) {
    TempDir folder;
    RecordTable motors(folder, ComponentTableKind::Motor);
    motors.Add({{"MOTORNAME", std::string("Astro Cobalt 05")}, {"MOTORSTANT", 2350.0}, {"IDLECRRENT", 2.7},
                {"ARMATTANCE", 0.048}, {"WEIGHT", 9.2}});
    RecordingMessages messages;
    messages.AllowAny(); // the other tables are missing and are reported as such
    TCompDataModule tables({folder.path().string(), ""}, messages);
    tables.OpenComponentTables();

    WorkbenchFields sample;
    sample.SetText(C::MotorNameEdit, "Astro Cobalt 05");
    sample.SetText(C::MotorConstantEdit, "1");
    sample.SetText(C::CellNameEdit, "Sanyo 1700SCR");
    sample.SetText(C::CellCapacityEdit, "1700");
    sample.SetProjectName("Something");
    WorkbenchFields fields;
    LoadSampleProject(fields, sample, tables, kImperial, NumberLocale{}, messages);
    EXPECT_EQ(fields.Text(C::MotorConstantEdit), tables.MotorTable() ? "2350" : "1");
    EXPECT_EQ(fields.Text(C::CellCapacityEdit), "1700");
    EXPECT_EQ(fields.ProjectName(), "Untitled");
    EXPECT_FALSE(fields.ProjectModified());
    EXPECT_FALSE(fields.GroupModified(ComponentGroup::Motor));

    WorkbenchFields untouched = fields;
    EXPECT_FALSE(LoadComponentByName(fields, tables, ComponentTableKind::Motor, "  ", kImperial, NumberLocale{}, messages));
    EXPECT_FALSE(LoadComponentByName(fields, tables, ComponentTableKind::Motor, "Unknown", kImperial, NumberLocale{},
                                     messages));
    EXPECT_EQ(fields, untouched);
}

} // namespace
} // namespace ampvane
