// SPDX-License-Identifier: GPL-3.0-or-later
// The first-run database the build writes into "Initial" beside the programs.

#include <filesystem>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "common/file_write.h"
#include "data/comp_data_module.h"
#include "data/data_folder.h"
#include "data/name_lookup.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

namespace fs = std::filesystem;
using testing::RecordingMessages;
using testing::TempDir;

const std::string& ShippedFolder() {
    static const std::string folder = std::string(AMPVANE_BINARY_DIR) + "/app/Initial";
    return folder;
}

class ShippedTables : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::is_directory(ShippedFolder())) << ShippedFolder() << " is missing: build ampvane_initial_files";
        module_ = std::make_unique<TCompDataModule>(TCompDataModule::Folders{dir_.file("Ampvane 8"), ShippedFolder()},
                                                    messages_);
        module_->OpenComponentTables(); // any message fails the test
        for (int kind = 0; kind < kComponentTableCount; ++kind)
            ASSERT_NE(module_->Table(static_cast<ComponentTableKind>(kind)), nullptr) << TypeNameOf(kind);
    }
    DbfTable& Table(ComponentTableKind kind) { return *module_->Table(kind); }

    // Lines of a shipped list split at "|".
    static std::vector<std::vector<std::string>> ListEntries(const std::string& name) {
        std::string text;
        EXPECT_TRUE(ReadWholeFile(DataFilePath(ShippedFolder(), name), text)) << name;
        std::vector<std::vector<std::string>> entries;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> fields;
            std::istringstream parts(line);
            for (std::string field; std::getline(parts, field, '|');) fields.push_back(field);
            if (fields.size() >= 2) entries.push_back(fields);
        }
        return entries;
    }

    TempDir dir_;
    RecordingMessages messages_;
    std::unique_ptr<TCompDataModule> module_;
};

TEST_F(ShippedTables, EveryShippedFileButTheConfigurationIsThere) {
    for (const std::string& name : ShippedFileNames()) {
        const bool present = fs::exists(DataFilePath(dir_.file("Ampvane 8"), name));
        // No configuration is shipped, so that a previous version's settings are still found.
        EXPECT_EQ(present, name != "Ampvane.ini") << name;
    }
}

TEST_F(ShippedTables, TheSampleProjectsComponentsAreAllThere) {
    EXPECT_TRUE(FindComponentByName(Table(ComponentTableKind::Motor), "Astro Cobalt 05 7T#20 #605"));
    EXPECT_TRUE(FindComponentByName(Table(ComponentTableKind::Cell), "Sanyo 1700SCR"));
    EXPECT_TRUE(FindComponentByName(Table(ComponentTableKind::PropellerDrive), "Astro 035-15 2.38:1 Gearbox"));
    EXPECT_TRUE(FindComponentByName(Table(ComponentTableKind::SpeedControl), "Astro 210"));
    EXPECT_TRUE(FindComponentByName(Table(ComponentTableKind::Airframe), "Great Planes Spectra"));
    EXPECT_TRUE(FindComponentByName(Table(ComponentTableKind::Filter), "Astro Cobalt 035, 05, 25, 40, Sport 60"));
}

TEST_F(ShippedTables, MotorsCoverEveryKindAndSizeWithWeights) {
    DbfTable& motors = Table(ComponentTableKind::Motor);
    EXPECT_GE(motors.size(), 120u);
    std::map<std::string, int> kinds;
    double lightest = 1e9, heaviest = 0;
    for (motors.First(); !motors.Eof(); motors.Next()) {
        const double weight = motors.Number("WEIGHT");
        EXPECT_GT(weight, 0) << motors.Name();
        EXPECT_GT(motors.Number("MOTORSTANT"), 0) << motors.Name();
        EXPECT_GT(motors.Number("IDLECRRENT"), 0) << motors.Name();
        EXPECT_GT(motors.Number("ARMATTANCE"), 0) << motors.Name();
        lightest = std::min(lightest, weight);
        heaviest = std::max(heaviest, weight);
        ++kinds[!motors.Logical("BRUSHLESS") ? "brushed" : motors.Logical("OUTRUNNER") ? "out-runner" : "in-runner"];
    }
    EXPECT_GE(kinds["brushed"], 20);
    EXPECT_GE(kinds["in-runner"], 20);
    EXPECT_GE(kinds["out-runner"], 40);
    EXPECT_LT(lightest, 10 / 28.35); // park-flyer motors under 10 g
    EXPECT_GT(heaviest, 1000 / 28.35);
}

TEST_F(ShippedTables, CellsOfEveryChemistryWithWeightsAndRatings) {
    DbfTable& cells = Table(ComponentTableKind::Cell);
    EXPECT_GE(cells.size(), 60u);
    const std::map<std::string, double> voltage = {{"NiCd", 1.2}, {"NiMH", 1.2}, {"LiPo", 3.7}, {"LiNP", 3.3}};
    std::map<std::string, int> types;
    for (cells.First(); !cells.Eof(); cells.Next()) {
        const std::string type = cells.Text("CELLTYPE");
        ASSERT_TRUE(voltage.count(type)) << cells.Name() << " has type " << type;
        EXPECT_DOUBLE_EQ(cells.Number("VOLTAGE"), voltage.at(type)) << cells.Name();
        EXPECT_GT(cells.Number("WEIGHT"), 0) << cells.Name();
        EXPECT_GT(cells.Number("CRATING"), 0) << cells.Name();
        EXPECT_GT(cells.Number("CAPACITY"), 0) << cells.Name();
        EXPECT_GT(cells.Number("INTERTANCE"), 0) << cells.Name();
        ++types[type];
    }
    for (const auto& [type, v] : voltage) EXPECT_GE(types[type], 5) << type;
}

// Each drive must pass the workbench's own field checks when loaded.
TEST_F(ShippedTables, PropellerDrivesHaveSensibleRanges) {
    DbfTable& drives = Table(ComponentTableKind::PropellerDrive);
    EXPECT_GE(drives.size(), 60u);
    int direct = 0;
    for (drives.First(); !drives.Eof(); drives.Next()) {
        const std::string name = drives.Name();
        const double from = drives.Number("GEARROFROM");
        const double to = drives.Number("GEARRTIOTO");
        EXPECT_GE(from, 1) << name;
        EXPECT_GE(to, from) << name;
        EXPECT_LE(to, 100) << name;
        EXPECT_GE(drives.Number("GEARBOXEFF"), 50) << name;
        EXPECT_LE(drives.Number("GEARBOXEFF"), 100) << name;
        EXPECT_GT(drives.Number("PROPERFROM"), 0) << name;
        EXPECT_GE(drives.Number("PROPETERTO"), drives.Number("PROPERFROM")) << name;
        EXPECT_GT(drives.Number("PROPEHFROM"), 0) << name;
        EXPECT_GE(drives.Number("PROPETCHTO"), drives.Number("PROPEHFROM")) << name;
        EXPECT_LE(drives.Number("PROPEHFROM"), 1.5 * drives.Number("PROPERFROM")) << name;
        for (const char* constant : {"PROPCONST", "THRUSCONST"}) {
            EXPECT_GE(drives.Number(constant), 0.5) << name;
            EXPECT_LE(drives.Number(constant), 4) << name;
        }
        const double blades = drives.Number("PROPELADES");
        EXPECT_TRUE(blades >= 2 && blades <= 4) << name;
        direct += from == 1 && to == 1;
    }
    EXPECT_GE(direct, 15);
    EXPECT_GE(static_cast<int>(drives.size()) - direct, 25);
}

TEST_F(ShippedTables, OtherTablesHoldEnoughComponents) {
    EXPECT_GE(Table(ComponentTableKind::FanDrive).size(), 15u);
    EXPECT_GE(Table(ComponentTableKind::SpeedControl).size(), 40u);
    EXPECT_GE(Table(ComponentTableKind::Airframe).size(), 30u);
    EXPECT_GE(Table(ComponentTableKind::Filter).size(), 10u);
    EXPECT_GE(Table(ComponentTableKind::Project).size(), 3u);
    DbfTable& fans = Table(ComponentTableKind::FanDrive);
    for (fans.First(); !fans.Eof(); fans.Next()) {
        EXPECT_GT(fans.Number("FANDIAM"), fans.Number("FANHUBDIAM")) << fans.Name();
        EXPECT_GT(fans.Number("WEIGHT"), 0) << fans.Name();
    }
    DbfTable& airframes = Table(ComponentTableKind::Airframe);
    for (airframes.First(); !airframes.Eof(); airframes.Next()) {
        EXPECT_GT(airframes.Number("WINGSPAN"), 0) << airframes.Name();
        EXPECT_GT(airframes.Number("WINGAREA"), 0) << airframes.Name();
        EXPECT_GT(airframes.Number("EMPTYEIGHT"), 0) << airframes.Name();
        // Codes written the way the lift and drag estimator encodes them (version digit 1).
        EXPECT_EQ(std::abs(static_cast<long>(airframes.Number("AIRFOLINFO"))) / 1000000, 1) << airframes.Name();
        EXPECT_GE(airframes.Number("DRAGINFO"), 1111) << airframes.Name();
    }
}

TEST_F(ShippedTables, ProjectsNameComponentsThatExist) {
    DbfTable& projects = Table(ComponentTableKind::Project);
    for (projects.First(); !projects.Eof(); projects.Next()) {
        const std::string project = projects.Name();
        const bool fan = projects.Number("DRIVETYPE") == 1;
        const std::pair<const char*, ComponentTableKind> parts[] = {
            {"MOTORNAME", ComponentTableKind::Motor},
            {"CELLNAME", ComponentTableKind::Cell},
            {"DRIVEMNAME", fan ? ComponentTableKind::FanDrive : ComponentTableKind::PropellerDrive},
            {"ESCNAME", ComponentTableKind::SpeedControl},
            {"AIRFRENAME", ComponentTableKind::Airframe},
            {"FILTERNAME", ComponentTableKind::Filter},
        };
        for (const auto& [column, kind] : parts) {
            const std::string name = projects.Text(column);
            if (name.empty() && kind == ComponentTableKind::Filter) continue;
            EXPECT_TRUE(FindComponentByName(Table(kind), name)) << project << ": " << column << " " << name;
        }
    }
}

TEST_F(ShippedTables, ListsNameShippedComponents) {
    for (const auto& entry : ListEntries("WizardCells.lst"))
        EXPECT_TRUE(FindComponentByName(Table(ComponentTableKind::Cell), entry[0])) << entry[0];
    DbfTable& motors = Table(ComponentTableKind::Motor);
    for (const auto& entry : ListEntries("Manufacturer.lst"))
        EXPECT_TRUE(FindNameContaining(motors, entry[0] + " ", FindDirection::FromFirst)) << entry[0];
    for (const char* list : {"PropConst.lst", "ThrustConst.lst", "GearboxEff.lst", "Airfoil.lst"})
        EXPECT_GE(ListEntries(list).size(), 5u) << list;
}

} // namespace
} // namespace ampvane
