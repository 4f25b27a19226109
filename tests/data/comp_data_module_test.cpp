// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/comp_data_module.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "common/file_write.h"
#include "data/data_folder.h"
#include "data/name_lookup.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"
#include "table_test_support.h"

namespace ampvane {
namespace {

namespace fs = std::filesystem;
using testing::RecordingMessages;
using testing::TempDir;

// An "Initial" folder holding the eight tables (one record each, named after the table's key) and
// the eight other shipped files.
std::string MakeInitialFolder(const TempDir& dir) {
    std::string initial = dir.file("Initial");
    fs::create_directories(initial);
    for (int kind = 0; kind < kComponentTableCount; ++kind) {
        const TableInfo& info = *TableInfoOf(kind);
        testing::MakeNamedTable(DataFilePath(initial, info.file), info.kind, {"Shipped " + std::string(info.key)});
    }
    for (size_t i = 8; i < ShippedFileNames().size(); ++i)
        EXPECT_EQ(WriteFileAtomically(DataFilePath(initial, ShippedFileNames()[i]), "shipped\n"), "");
    return initial;
}

std::string Contents(const std::string& path) {
    std::string contents;
    ReadWholeFile(path, contents);
    return contents;
}

TEST(FirstStart, CreatesTheFolderAndCopiesAllShippedFiles) {
    TempDir dir;
    const std::string data = dir.file("deep/down/Ampvane 8");
    RecordingMessages messages;
    TCompDataModule module({data, MakeInitialFolder(dir)}, messages);
    module.OpenComponentTables();
    for (const std::string& name : ShippedFileNames()) EXPECT_TRUE(fs::exists(DataFilePath(data, name))) << name;
    for (int kind = 0; kind < kComponentTableCount; ++kind) {
        DbfTable* table = module.Table(static_cast<ComponentTableKind>(kind));
        ASSERT_NE(table, nullptr);
        EXPECT_TRUE(table->nameIndexActive());
        EXPECT_TRUE(FindComponentByName(*table, "Shipped " + TypeKeyOf(kind)));
    }
    EXPECT_EQ(module.DataFilePath("CELL8.DBF"), data + "/CELL8.DBF");
    EXPECT_EQ(module.TableForTypeName("Speed Control"), module.ESCTable());
    EXPECT_EQ(module.TableForTypeName("speed control"), nullptr);
    EXPECT_EQ(module.KindOf(*module.DriveTable()), ComponentTableKind::PropellerDrive);
}

// The user's tables, lists and settings survive a start where only the project table is missing.
TEST(FirstStart, ProjectTableMissingCopiesOnlyMissingFiles) {
    TempDir dir;
    const std::string data = dir.file("Ampvane 8");
    fs::create_directories(data);
    testing::MakeNamedTable(DataFilePath(data, "MOTOR8.DBF"), ComponentTableKind::Motor, {"My own motor"});
    ASSERT_EQ(WriteFileAtomically(DataFilePath(data, "PropConst.lst"), "Mine|1.5\n"), "");
    ASSERT_EQ(WriteFileAtomically(DataFilePath(data, "Ampvane.ini"), "units 3\n"), "");
    RecordingMessages messages;
    TCompDataModule module({data, MakeInitialFolder(dir)}, messages);
    module.OpenComponentTables();
    ASSERT_NE(module.MotorTable(), nullptr);
    EXPECT_TRUE(FindComponentByName(*module.MotorTable(), "My own motor"));
    EXPECT_FALSE(FindComponentByName(*module.MotorTable(), "Shipped motor"));
    EXPECT_EQ(Contents(DataFilePath(data, "PropConst.lst")), "Mine|1.5\n");
    EXPECT_EQ(Contents(DataFilePath(data, "Ampvane.ini")), "units 3\n");
    EXPECT_EQ(Contents(DataFilePath(data, "Tips.lst")), "shipped\n");
    ASSERT_NE(module.AmpvaneTable(), nullptr);
    EXPECT_TRUE(FindComponentByName(*module.AmpvaneTable(), "Shipped project"));
}

TEST(FirstStart, ExistingFolderWithProjectTableCopiesNothing) {
    TempDir dir;
    const std::string data = dir.file("Ampvane 8");
    fs::create_directories(data);
    testing::MakeNamedTable(DataFilePath(data, "AMPVANE8.DBF"), ComponentTableKind::Project, {});
    RecordingMessages messages;
    messages.Expect("The table \"" + data + "/MOTOR8.DBF\" cannot be opened: No such file or directory.");
    TCompDataModule module({data, MakeInitialFolder(dir)}, messages);
    module.OpenComponentTables();
    EXPECT_FALSE(fs::exists(DataFilePath(data, "Tips.lst")));
}

TEST(FirstStart, MissingInitialFolderReportsTheFirstTableAndLeavesTheRestClosed) {
    TempDir dir;
    const std::string data = dir.file("Ampvane 8");
    RecordingMessages messages;
    messages.Expect("The table \"" + data + "/MOTOR8.DBF\" cannot be opened: No such file or directory.");
    TCompDataModule module({data, dir.file("no such Initial")}, messages);
    module.OpenComponentTables();
    EXPECT_TRUE(fs::is_directory(data));
    for (int kind = 0; kind < kComponentTableCount; ++kind)
        EXPECT_EQ(module.Table(static_cast<ComponentTableKind>(kind)), nullptr);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].kind, MessageKind::Error);
}

TEST(FirstStart, ATableThatFailsStopsTheOpeningThere) {
    TempDir dir;
    const std::string data = dir.file("Ampvane 8");
    std::string initial = MakeInitialFolder(dir);
    fs::copy_file(testing::TestDataDir() / "tables" / "damaged" / "garbage.dbf", DataFilePath(initial, "ESC8.DBF"),
                  fs::copy_options::overwrite_existing);
    RecordingMessages messages;
    messages.Expect("The table \"" + data + "/ESC8.DBF\" cannot be opened: it is not a dBase table (its first byte is 0x29).");
    TCompDataModule module({data, initial}, messages);
    module.OpenComponentTables();
    EXPECT_NE(module.FanDriveTable(), nullptr);
    EXPECT_EQ(module.ESCTable(), nullptr);
    EXPECT_EQ(module.FilterTable(), nullptr);
    EXPECT_EQ(module.AmpvaneTable(), nullptr);
}

TEST(FirstStart, FolderThatCannotBeCreatedIsReported) {
    TempDir dir;
    ASSERT_EQ(WriteFileAtomically(dir.file("a file"), "x"), "");
    const std::string data = dir.file("a file") + "/Ampvane 8";
    RecordingMessages messages;
    messages.Expect("The directory \"" + data + "\" could not be created.");
    TCompDataModule module({data, MakeInitialFolder(dir)}, messages);
    module.OpenComponentTables();
    EXPECT_EQ(module.MotorTable(), nullptr);
    EXPECT_EQ(messages.messages().at(0).buttons, OkButton | HelpButton);
}

TEST(FirstStart, FolderNameTheSystemRefusesIsReported) {
    TempDir dir;
    const std::string initial = MakeInitialFolder(dir);
    fs::create_directory_symlink("loop", dir.file("loop"));
    for (const std::string& data : {dir.file(std::string(300, 'x')) + "/Ampvane 8", dir.file("loop") + "/Ampvane 8"}) {
        RecordingMessages messages;
        messages.Expect("The directory \"" + data + "\" could not be created.");
        TCompDataModule module({data, initial}, messages);
        module.OpenComponentTables();
        EXPECT_EQ(module.MotorTable(), nullptr);
    }
}

TEST(ClosingTables, PacksDeletedRecordsUnlessAnotherInstanceHoldsTheTable) {
    TempDir dir;
    const std::string data = dir.file("Ampvane 8");
    std::string initial = MakeInitialFolder(dir);
    std::unique_ptr<DbfTable> other;
    {
        RecordingMessages messages;
        TCompDataModule module({data, initial}, messages);
        module.OpenComponentTables();
        ASSERT_TRUE(FindComponentByName(*module.MotorTable(), "Shipped motor"));
        ASSERT_EQ(module.MotorTable()->MarkDeleted(), "");
        ASSERT_TRUE(FindComponentByName(*module.CellTable(), "Shipped cell"));
        ASSERT_EQ(module.CellTable()->MarkDeleted(), "");
        other = testing::OpenIndexed(module.DataFilePath("CELL8.DBF")); // a second instance
    }
    EXPECT_EQ(Contents(DataFilePath(data, "MOTOR8.DBF")).find("Shipped motor"), std::string::npos);
    EXPECT_NE(Contents(DataFilePath(data, "CELL8.DBF")).find("Shipped cell"), std::string::npos);
    EXPECT_TRUE(other->empty());
}

TEST(DataFolder, EnvironmentDecides) {
    const char* saved = std::getenv("AMPVANE_DATA_DIR");
    const std::string savedValue = saved ? saved : "";
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const std::string xdgValue = xdg ? xdg : "";
    setenv("AMPVANE_DATA_DIR", "/tmp/portable", 1);
    EXPECT_EQ(DataFolder(), "/tmp/portable");
    unsetenv("AMPVANE_DATA_DIR");
    setenv("XDG_DATA_HOME", "/xdg/data", 1);
    EXPECT_EQ(DataFolder(), "/xdg/data/Ampvane 8");
    setenv("XDG_DATA_HOME", "relative", 1);
    EXPECT_TRUE(DataFolder().ends_with("/.local/share/Ampvane 8"));
    unsetenv("XDG_DATA_HOME");
    EXPECT_TRUE(DataFolder().ends_with("/.local/share/Ampvane 8"));
    if (saved) setenv("AMPVANE_DATA_DIR", savedValue.c_str(), 1);
    if (xdg) setenv("XDG_DATA_HOME", xdgValue.c_str(), 1);
}

TEST(DataFolder, InitialFolderBesideTheProgramThenInTheShareFolder) {
    auto candidates = InitialFolderCandidates("/opt/ampvane/bin");
    ASSERT_GE(candidates.size(), 2u);
    EXPECT_EQ(candidates[0], "/opt/ampvane/bin/Initial");
    EXPECT_EQ(candidates[1], "/opt/ampvane/share/ampvane/Initial");
    EXPECT_EQ(ShippedFileNames().size(), 16u);
}

TEST(TableCatalogue, KindsNamesAndKeys) {
    const char* names[] = {"Project", "Motor", "Cell", "Filter", "Propeller Drive System", "Fan Drive System",
                           "Speed Control", "Airframe"};
    const char* keys[] = {"project", "motor", "cell", "filter", "propeller", "fan", "speed", "airframe"};
    for (int kind = 0; kind < kComponentTableCount; ++kind) {
        EXPECT_EQ(TypeNameOf(kind), names[kind]);
        EXPECT_EQ(TypeKeyOf(kind), keys[kind]);
        EXPECT_EQ(KindForTypeName(names[kind]), static_cast<ComponentTableKind>(kind));
        EXPECT_EQ(static_cast<int>(TableInfoOf(kind)->kind), kind);
    }
    EXPECT_EQ(TypeNameOf(8), "");
    EXPECT_EQ(TypeKeyOf(-1), "");
    EXPECT_EQ(KindForTypeName("motor"), std::nullopt);
    EXPECT_EQ(SimilarityWeights(1), "4222");
    EXPECT_EQ(SimilarityWeights(5), "42244");
    EXPECT_EQ(SimilarityWeights(4), "");
}

TEST(TableCatalogue, StoredValuesConvertForDisplayOnlyInTheModesThatAskForIt) {
    using U = DisplayUnitKind;
    auto expectShown = [](DisplayedValue shown, double value, int decimals) {
        EXPECT_TRUE(shown.converted);
        EXPECT_NEAR(shown.value, value, 1e-9);
        EXPECT_EQ(shown.decimals, decimals);
    };
    const U cellWeight = FindColumnInfo(ComponentTableKind::Cell, "WEIGHT")->unitKind;
    expectShown(DisplayStoredValue(cellWeight, 1.9, 2, false), 53.77, 1);
    expectShown(DisplayStoredValue(U::Weight, 2, 3, false), 56.6, 0);
    EXPECT_FALSE(DisplayStoredValue(U::Weight, 2, 1, false).converted);
    EXPECT_DOUBLE_EQ(DisplayStoredValue(U::Weight, 2, 1, false).value, 2);

    // Propeller sizes turn metric only in the all-metric mode, to the nearest quarter centimetre.
    EXPECT_FALSE(DisplayStoredValue(U::PropellerSize, 10, 2, false).converted);
    expectShown(DisplayStoredValue(U::PropellerSize, 10, 3, false), 25.5, 2);
    expectShown(DisplayStoredValue(U::Length, 40, 2, false), 101.5, 2);
    expectShown(DisplayStoredValue(U::SmallDiameter, 2.17, 2, false), 5.5, 3);
    expectShown(DisplayStoredValue(U::Area, 1000, 3, false), 64.52, 1);
    expectShown(DisplayStoredValue(U::Speed, 30, 2, false), 13.5, 1);

    expectShown(DisplayStoredValue(U::Thrust, 10, 3, true), 2.7762, 2);
    expectShown(DisplayStoredValue(U::Thrust, 10, 3, false), 283, 0);
    EXPECT_FALSE(DisplayStoredValue(U::Thrust, 10, 1, true).converted);

    // Temperatures are stored in degrees Celsius and shown in Fahrenheit only in the all-imperial mode.
    expectShown(DisplayStoredValue(U::Temperature, 20, 0, false), 68, 0);
    EXPECT_FALSE(DisplayStoredValue(U::Temperature, 20, 1, false).converted);
    EXPECT_FALSE(DisplayStoredValue(U::None, 5, 3, true).converted);
}

} // namespace
} // namespace ampvane
