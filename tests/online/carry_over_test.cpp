// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/carry_over.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "data/data_folder.h"
#include "data/name_lookup.h"
#include "data/table_test_support.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

namespace fs = std::filesystem;
using K = ComponentTableKind;
using testing::RecordingMessages;
using testing::TempDir;

using Record = std::map<std::string, std::string>; // column -> text; "NAME" is the first column

// A previous version's table: the current layout without the columns that version lacked (the cell's type
// and C rating).
void MakePreviousTable(const fs::path& path, K kind, const std::vector<Record>& records) {
    auto columns = ShippedColumns(kind);
    if (kind == K::Cell)
        std::erase_if(columns, [](const DbfColumnSpec& c) { return c.name == "CELLTYPE" || c.name == "CRATING"; });
    ASSERT_EQ(DbfTable::Create(path.string(), columns), "");
    auto table = DbfTable::Open(path.string()).table;
    ASSERT_NE(table, nullptr);
    for (const Record& record : records) {
        ASSERT_EQ(table->Insert(), "");
        for (const auto& [column, text] : record)
            ASSERT_EQ(column == "NAME" ? table->SetText(0, text) : table->SetText(column, text), "") << column;
        ASSERT_EQ(table->Post(), "");
    }
}

struct Installation {
    TempDir dir;
    fs::path previous = dir.path() / "Ampvane7";
    std::string data = dir.file("Ampvane 8");
    RecordingMessages messages;
    std::unique_ptr<TCompDataModule> tables;

    Installation() {
        fs::create_directories(previous);
        fs::create_directories(data);
        for (int kind = 0; kind < kComponentTableCount; ++kind) {
            const TableInfo& info = *TableInfoOf(kind);
            std::vector<std::string> names;
            if (info.kind == K::Motor) names = {"Astro 05", "Motor A Geared", "Speed 400"};
            testing::MakeNamedTable(DataFilePath(data, info.file), info.kind, names);
        }
        tables = std::make_unique<TCompDataModule>(TCompDataModule::Folders{data, ""}, messages);
        tables->OpenComponentTables();
    }
    int Count(K kind, const std::string& name) {
        DbfTable& t = *tables->Table(kind);
        int n = 0;
        for (std::size_t i = 0; i < t.size(); ++i) {
            t.MoveTo(i);
            n += t.Name() == name;
        }
        return n;
    }
};

TEST(CarryOver, CopiesOwnRecordsOnceWithCellTypesAndSummary) {
    Installation install;
    const fs::path p = install.previous;
    MakePreviousTable(p / "MOTOR7.DBF", K::Motor,
                      {{{"NAME", "My Rewound 400"}, {"MOTORSTANT", "2100"}},
                       {{"NAME", "Speed 400"}},                        // held by name
                       {{"NAME", "Motor A"}},                          // "Motor A Geared" begins with it
                       {{"NAME", "Plettenberg HP 300/20/A3S"}}});      // shipped by the old version
    MakePreviousTable(p / "CELL7.DBF", K::Cell,
                      {{{"NAME", "Lipo 2200"}, {"CAPACITY", "2200"}, {"VOLTAGE", "3.7"}},
                       {{"NAME", "Sanyo HR-4/3AU"}, {"CAPACITY", "3800"}, {"VOLTAGE", "1.2"}},
                       {{"NAME", "Sanyo 1700SCR"}, {"CAPACITY", "1700"}, {"VOLTAGE", "1.2"}},
                       {{"NAME", "Odd 2V"}, {"CAPACITY", "500"}, {"VOLTAGE", "2.0"}}});
    MakePreviousTable(p / "ESC7.DBF", K::SpeedControl, {{{"NAME", "Generic Brushless ESC"}}});
    MakePreviousTable(p / "AMPVANE7.DBF", K::Project, {{{"NAME", "My Glider"}}});

    std::vector<int> started, done;
    CarryOverProgress progress;
    progress.tableStarted = [&](int t) { started.push_back(t); };
    progress.tableDone = [&](int t) { done.push_back(t); };
    const CarryOverResult result = CarryOverPreviousVersion(p, *install.tables, progress);
    EXPECT_TRUE(result.previousFound);
    EXPECT_EQ(started, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(done, started);
    EXPECT_EQ(result.copied[0], 1);
    EXPECT_EQ(result.copied[1], 4);
    EXPECT_EQ(result.copied[4], 0);
    EXPECT_EQ(result.copied[7], 1);
    EXPECT_EQ(install.Count(K::Motor, "My Rewound 400"), 1);
    EXPECT_EQ(install.Count(K::Motor, "Speed 400"), 1);
    EXPECT_EQ(install.Count(K::Motor, "Motor A"), 0);
    EXPECT_EQ(install.Count(K::Motor, "Plettenberg HP 300/20/A3S"), 0);
    EXPECT_EQ(install.Count(K::SpeedControl, "Generic Brushless ESC"), 0);
    EXPECT_EQ(install.Count(K::Project, "My Glider"), 1);

    DbfTable& motors = *install.tables->MotorTable();
    ASSERT_TRUE(FindComponentByName(motors, "My Rewound 400"));
    EXPECT_EQ(motors.Text("MOTORSTANT"), "2100");
    DbfTable& cells = *install.tables->CellTable();
    const std::pair<const char*, const char*> types[] = {
        {"Lipo 2200", "LiPo"}, {"Sanyo HR-4/3AU", "NiMH"}, {"Sanyo 1700SCR", "NiCd"}, {"Odd 2V", ""}};
    for (const auto& [name, type] : types) {
        ASSERT_TRUE(FindComponentByName(cells, name)) << name;
        EXPECT_EQ(cells.Text("CELLTYPE"), type) << name;
        EXPECT_EQ(cells.Text("CRATING"), "") << name;
    }
    EXPECT_EQ(result.lines, (std::vector<std::string>{
                                "Motors:", "Updated My Rewound 400", " ", "Cells:", "Updated Lipo 2200",
                                "Updated Sanyo HR-4/3AU", "Updated Sanyo 1700SCR", "Updated Odd 2V", " ", "Projects:",
                                "Updated My Glider", " ", "4 cells were updated from your",
                                "Ampvane 7 database (see the list", "above). Please ensure that the",
                                "\"Type\" and \"C Rating\" are set", "appropriately for each of them."}));

    // Run again: everything is held now.
    const CarryOverResult again = CarryOverPreviousVersion(p, *install.tables);
    EXPECT_EQ(again.total(), 0);
    EXPECT_EQ(again.lines, (std::vector<std::string>{"No data was found in your Ampvane 7",
                                                     "database that wasn't already in the", "Ampvane 8 database."}));
    EXPECT_EQ(install.Count(K::Cell, "Lipo 2200"), 1);
}

TEST(CarryOver, RenamedRecordIsTheSameComponentAndOneCellHasNoPlural) {
    Installation install;
    // The current table holds the motor under a changed name with every other field equal.
    {
        DbfTable& motors = *install.tables->MotorTable();
        ASSERT_EQ(motors.Insert(), "");
        motors.SetText(0, "Cobalt Five");
        motors.SetText("MOTORSTANT", "1136");
        ASSERT_EQ(motors.Post(), "");
    }
    MakePreviousTable(install.previous / "MOTOR7.DBF", K::Motor, {{{"NAME", "Cobalt 05"}, {"MOTORSTANT", "1136"}}});
    MakePreviousTable(install.previous / "CELL7.DBF", K::Cell, {{{"NAME", "One Cell"}, {"VOLTAGE", "1.2"}}});
    const CarryOverResult result = CarryOverPreviousVersion(install.previous, *install.tables);
    EXPECT_EQ(result.copied[0], 0);
    EXPECT_EQ(install.Count(K::Motor, "Cobalt 05"), 0);
    ASSERT_GE(result.lines.size(), 3u);
    EXPECT_EQ(result.lines[result.lines.size() - 5], "1 cell were updated from your");
}

TEST(CarryOver, DamagedPreviousTableIsNamedAndSkippedTheRestArrives) {
    Installation install;
    MakePreviousTable(install.previous / "MOTOR7.DBF", K::Motor, {{{"NAME", "Kept Motor"}, {"MOTORSTANT", "900"}}});
    std::ofstream(install.previous / "CELL7.DBF", std::ios::binary) << "not a table at all";
    MakePreviousTable(install.previous / "AIRFRAM7.DBF", K::Airframe, {{{"NAME", "Kept Airframe"}}});
    const CarryOverResult result = CarryOverPreviousVersion(install.previous, *install.tables);
    EXPECT_EQ(result.skippedTables, (std::vector<std::string>{"CELL7.DBF"}));
    EXPECT_NE(std::find(result.lines.begin(), result.lines.end(), "CELL7.DBF could not be read and was skipped."),
              result.lines.end());
    EXPECT_EQ(install.Count(K::Motor, "Kept Motor"), 1);
    EXPECT_EQ(install.Count(K::Airframe, "Kept Airframe"), 1);
}

TEST(CarryOver, NoPreviousInstallationCopiesNothingAndSaysNothing) {
    Installation install;
    fs::remove_all(install.previous);
    const CarryOverResult result = CarryOverPreviousVersion(install.previous, *install.tables);
    EXPECT_FALSE(result.previousFound);
    EXPECT_TRUE(result.lines.empty());
}

TEST(CarryOver, CellTypeFromVoltageAndName) {
    EXPECT_EQ(DerivedCellType("3.6", "x"), "LiPo");
    EXPECT_EQ(DerivedCellType("3.59", "Panasonic HHR"), "NiMH");
    EXPECT_EQ(DerivedCellType("1.26", "GP NiMH 3300"), "NiMH");
    EXPECT_EQ(DerivedCellType("", "Anything"), "NiCd");
    EXPECT_EQ(DerivedCellType("1.25", "Anything"), "NiCd");
    EXPECT_EQ(DerivedCellType("1.26", "Anything"), "");
    EXPECT_TRUE(NeverCarriedOver(K::PropellerDrive, "Propellor Efficiency Curve for 3:1"));
    EXPECT_FALSE(NeverCarriedOver(K::Motor, "Generic Brushless ESC"));
}

} // namespace
} // namespace ampvane
