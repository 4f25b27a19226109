// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_table.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "common/file_write.h"
#include "data/table_catalogue.h"
#include "data/windows1252.h"
#include "support/test_paths.h"
#include "table_test_support.h"

namespace ampvane {
namespace {

using testing::MakeNamedTable;
using testing::NamesInOrder;
using testing::OpenIndexed;
using testing::TempDir;

std::string Bytes(const std::string& path) {
    std::string contents;
    EXPECT_TRUE(ReadWholeFile(path, contents));
    return contents;
}

std::filesystem::path Fixture(const std::string& name) { return testing::TestDataDir() / "tables" / name; }

// Copies a committed fixture into a temporary folder so that a faulty open could not harm it.
std::string CopyFixture(const TempDir& dir, const std::string& name) {
    std::string target = dir.file(std::filesystem::path(name).filename().string());
    std::filesystem::copy_file(Fixture(name), target);
    return target;
}

TEST(DbfFileLayout, NewTableHasDbaseThreeHeaderAndEndMark) {
    TempDir dir;
    std::string path = dir.file("MOTOR8.DBF");
    MakeNamedTable(path, ComponentTableKind::Motor, {"Alpha 05"});
    std::string file = Bytes(path);
    const size_t columns = TableInfoOf(ComponentTableKind::Motor).columns.size();
    const size_t headerLength = 32 + 32 * columns + 1;
    ASSERT_GE(file.size(), headerLength);
    EXPECT_EQ(file[0], 0x03);
    EXPECT_EQ(static_cast<unsigned char>(file[4]), 1u); // one record
    EXPECT_EQ(static_cast<unsigned char>(file[8]) | static_cast<unsigned char>(file[9]) << 8, headerLength);
    EXPECT_EQ(file[29], 0x03); // Windows ANSI
    EXPECT_EQ(file[headerLength - 1], 0x0D);
    const size_t recordLength = static_cast<unsigned char>(file[10]) | static_cast<unsigned char>(file[11]) << 8;
    EXPECT_EQ(recordLength, 1u + 40 + 9 + 8 + 9 + 8 + 1 + 1);
    EXPECT_EQ(file.size(), headerLength + recordLength + 1);
    EXPECT_EQ(file.back(), 0x1A);
    EXPECT_EQ(file.substr(headerLength, 9), " Alpha 05");
}

TEST(DbfValues, EveryColumnTypeSurvivesReopening) {
    TempDir dir;
    std::string path = dir.file("t.dbf");
    std::vector<DbfColumnSpec> columns = {{"NAME", DbfType::Character, 12, 0},
                                          {"VALUE", DbfType::Numeric, 9, 3},
                                          {"FLAG", DbfType::Logical, 1, 0},
                                          {"WHEN", DbfType::Date, 8, 0}};
    ASSERT_EQ(DbfTable::Create(path, columns), "");
    {
        auto table = OpenIndexed(path);
        ASSERT_EQ(table->Insert(), "");
        EXPECT_EQ(table->SetText("NAME", "Caf\xc3\xa9 \xe2\x82\xac"), ""); // "Café €"
        EXPECT_EQ(table->SetText("VALUE", "-12.3456"), "");
        EXPECT_EQ(table->SetText("FLAG", "Yes"), "");
        EXPECT_EQ(table->SetText("WHEN", "20240229"), "");
        ASSERT_EQ(table->Post(), "");
        ASSERT_EQ(table->Insert(), "");
        EXPECT_EQ(table->SetText("NAME", "Blank"), "");
        ASSERT_EQ(table->Post(), "");
    }
    auto table = OpenIndexed(path);
    ASSERT_EQ(table->size(), 2u);
    table->First();
    EXPECT_EQ(table->Name(), "Blank");
    EXPECT_EQ(table->Text("VALUE"), "");
    EXPECT_EQ(table->Number("VALUE"), 0);
    EXPECT_EQ(table->Text("FLAG"), "");
    EXPECT_FALSE(table->Logical("FLAG"));
    EXPECT_EQ(table->Text("WHEN"), "");
    table->Next();
    EXPECT_EQ(table->Name(), "Caf\xc3\xa9 \xe2\x82\xac");
    EXPECT_EQ(table->Text("VALUE"), "-12.346"); // rounded to the column's three decimals
    EXPECT_DOUBLE_EQ(table->Number("VALUE"), -12.346);
    EXPECT_EQ(table->Text("FLAG"), "Yes");
    EXPECT_EQ(table->Text("WHEN"), "20240229");
    // Stored as Windows-1252: é is 0xE9 and € is 0x80.
    EXPECT_NE(Bytes(path).find("Caf\xe9 \x80"), std::string::npos);
}

TEST(DbfValues, TextIsCutToItsWidthAndForeignLettersBecomeQuestionMarks) {
    TempDir dir;
    std::string path = dir.file("t.dbf");
    std::vector<DbfColumnSpec> columns = {{"NAME", DbfType::Character, 6, 0}};
    ASSERT_EQ(DbfTable::Create(path, columns), "");
    auto table = OpenIndexed(path);
    ASSERT_EQ(table->Insert(), "");
    EXPECT_EQ(table->SetText(0, "\xe2\x98\x83 snowman"), ""); // U+2603 has no Windows-1252 byte
    ASSERT_EQ(table->Post(), "");
    EXPECT_EQ(table->Name(), "? snow");
}

TEST(DbfValues, MalformedUtf8NeverSmugglesBytesIntoATable) {
    EXPECT_EQ(Windows1252FromUtf8("\xc0\xaf"), "??");      // overlong '/'
    EXPECT_EQ(Windows1252FromUtf8("\xe0\x80\xaf"), "???"); // overlong, three bytes
    EXPECT_EQ(Windows1252FromUtf8("A\xc3"), "A?");          // cut off
    EXPECT_EQ(Windows1252FromUtf8("\xed\x9f\xbf\xf0\x9f\x98\x80"), "??");
    EXPECT_EQ(Windows1252FromUtf8("\xc5\x93\xe2\x84\xa2"), "\x9c\x99"); // oe ligature, trade mark
    EXPECT_EQ(Utf8FromWindows1252("\x81\x9c"), "?\xc5\x93");             // 0x81 is undefined
}

TEST(DbfColumnChecks, RefusedValuesGiveTheColumnMessageAndAreNotPosted) {
    TempDir dir;
    std::string path = dir.file("DRIVE8.DBF");
    MakeNamedTable(path, ComponentTableKind::PropellerDrive, {});
    auto opened = DbfTable::Open(path);
    ASSERT_TRUE(opened.table);
    DbfTable& table = *opened.table;
    ApplyColumnInfo(ComponentTableKind::PropellerDrive, table);
    ASSERT_EQ(table.Insert(), "");
    ASSERT_EQ(table.SetText("DRIVEMNAME", "Box"), "");
    EXPECT_EQ(table.SetText("GEARROFROM", "2.5"), "");
    EXPECT_EQ(table.SetText("GEARROFROM", "150"),
              "150 is not a valid value for field 'Gear From'. The allowed range is 0 to 100");
    EXPECT_EQ(table.SetText("GEARROFROM", "-0.5"),
              "-0.5 is not a valid value for field 'Gear From'. The allowed range is 0 to 100");
    EXPECT_EQ(table.SetText("GEARRTIOTO", "abc"), "'abc' is not a valid floating point value for field 'To'");
    EXPECT_EQ(table.SetText("GEARRTIOTO", "inf"), "'inf' is not a valid floating point value for field 'To'");
    EXPECT_EQ(table.SetText("GEARRTIOTO", "1.5.2"), "'1.5.2' is not a valid floating point value for field 'To'");
    EXPECT_EQ(table.Text("GEARROFROM"), "2.5"); // the refused writes left the buffer as it was
    table.Cancel();
    EXPECT_EQ(table.size(), 0u);

    auto motor = testing::OpenIndexed(MakeNamedTable(dir.file("MOTOR8.DBF"), ComponentTableKind::Motor, {}));
    ApplyColumnInfo(ComponentTableKind::Motor, *motor);
    ASSERT_EQ(motor->Insert(), "");
    EXPECT_EQ(motor->SetText("BRUSHLESS", "True"), "'True' is not a valid boolean value for field 'Brushless'");
    EXPECT_EQ(motor->SetText("BRUSHLESS", "Yes"), "");
    EXPECT_EQ(motor->SetText("BRUSHLESS", ""), "");
    EXPECT_EQ(motor->SetText("MOTORSTANT", "1e12"), "1000000000000 does not fit into field 'Constant'");
    EXPECT_EQ(motor->SetNumber("MOTORSTANT", std::nan("")),
              "'nan' is not a valid floating point value for field 'Constant'");
    motor->Cancel();
}

TEST(DbfColumnChecks, DecimalSeparatorIsTheCallers) {
    TempDir dir;
    auto table = OpenIndexed(MakeNamedTable(dir.file("m.dbf"), ComponentTableKind::Motor, {}));
    ASSERT_EQ(table->Insert(), "");
    EXPECT_EQ(table->SetText("WEIGHT", "6,55", ','), "");
    EXPECT_EQ(table->Text("WEIGHT"), "6.55");
    EXPECT_EQ(table->SetText("WEIGHT", "6.55", ','), "'6.55' is not a valid floating point value for field 'WEIGHT'");
    // More decimals than the column holds are rounded; a number needing more digits loses decimals.
    EXPECT_EQ(table->SetNumber("WEIGHT", 1.005), "");
    EXPECT_EQ(table->SetNumber("WEIGHT", 123456.789), "");
    EXPECT_EQ(table->Text("WEIGHT"), "123456.8");
    EXPECT_EQ(table->SetNumber("WEIGHT", -0.001), "");
    EXPECT_EQ(table->Text("WEIGHT"), "0");
    table->Cancel();
}

TEST(DbfNameIndex, OrderIsByteOrderAndUniqueForTheFirstRecord) {
    TempDir dir;
    std::string path = dir.file("m.dbf");
    MakeNamedTable(path, ComponentTableKind::Motor, {"beta", "Alpha 05", "Alpha", "Beta", "Alpha"});
    {
        auto table = OpenIndexed(path);
        table->First();
        ASSERT_EQ(table->Insert(), "");
        ASSERT_EQ(table->SetText("MOTORSTANT", "99"), "");
        ASSERT_EQ(table->SetText(0, "Alpha 05"), ""); // duplicate of record 1
        ASSERT_EQ(table->Post(), "");
    }
    auto table = OpenIndexed(path);
    EXPECT_EQ(NamesInOrder(*table), (std::vector<std::string>{"Alpha", "Alpha 05", "Beta", "beta"}));
    EXPECT_EQ(table->storedCount(), 6u);
    table->First();
    EXPECT_EQ(table->RecordNumber(), 2u); // the first record named Alpha
    table->Next();
    EXPECT_EQ(table->Text("MOTORSTANT"), ""); // not the later duplicate
}

TEST(DbfNameIndex, NavigationFollowsDatasetRules) {
    TempDir dir;
    auto table = OpenIndexed(MakeNamedTable(dir.file("m.dbf"), ComponentTableKind::Motor, {"A", "B"}));
    table->First();
    EXPECT_TRUE(table->Bof());
    table->Prior();
    EXPECT_TRUE(table->Bof());
    EXPECT_EQ(table->Name(), "A");
    table->Next();
    table->Next();
    EXPECT_TRUE(table->Eof());
    EXPECT_EQ(table->Name(), "B"); // stays on the last record
    table->Last();
    EXPECT_TRUE(table->Eof());

    auto empty = OpenIndexed(MakeNamedTable(dir.file("e.dbf"), ComponentTableKind::Motor, {}));
    EXPECT_TRUE(empty->Eof());
    EXPECT_TRUE(empty->Bof());
    EXPECT_EQ(empty->Name(), "");
    EXPECT_NE(empty->Edit(), "");
    EXPECT_EQ(empty->MarkDeleted(), "");
}

TEST(DbfEditing, EditInPlaceKeepsTheRecordAndReordersOnRename) {
    TempDir dir;
    std::string path = dir.file("m.dbf");
    MakeNamedTable(path, ComponentTableKind::Motor, {"Charlie", "Alpha", "Bravo"});
    auto table = OpenIndexed(path);
    table->First(); // Alpha, record 1
    ASSERT_EQ(table->Edit(), "");
    ASSERT_EQ(table->SetText("WEIGHT", "7.5"), "");
    ASSERT_EQ(table->SetText(0, "Delta"), "");
    EXPECT_EQ(table->Name(), "Delta"); // reading while editing shows the buffer
    ASSERT_EQ(table->Post(), "");
    EXPECT_EQ(table->Name(), "Delta");
    EXPECT_EQ(table->RecordNumber(), 1u);
    EXPECT_EQ(table->position(), 2u);
    EXPECT_EQ(NamesInOrder(*table), (std::vector<std::string>{"Bravo", "Charlie", "Delta"}));
    table.reset();
    auto reopened = OpenIndexed(path);
    EXPECT_EQ(reopened->storedCount(), 3u);
    reopened->Last();
    EXPECT_EQ(reopened->Text("WEIGHT"), "7.5");
    EXPECT_EQ(reopened->RecordNumber(), 1u);
}

// Moving or reordering the table while a record is being edited must not send the edit to another record.
TEST(DbfEditing, PostWritesTheRecordTheEditStartedOn) {
    TempDir dir;
    std::string path = dir.file("m.dbf");
    MakeNamedTable(path, ComponentTableKind::Motor, {"Alpha", "Bravo", "Charlie"});
    auto table = OpenIndexed(path);
    ASSERT_EQ(table->Edit(), ""); // Alpha
    ASSERT_EQ(table->SetText("WEIGHT", "3.25"), "");
    table->Next();
    table->Next();
    ASSERT_EQ(table->Post(), "");
    EXPECT_EQ(table->Name(), "Alpha");
    EXPECT_EQ(table->Text("WEIGHT"), "3.25");

    ASSERT_EQ(table->Edit(), "");
    ASSERT_EQ(table->SetText("WEIGHT", "4.5"), "");
    table->UseOrder({2, 1, 0});
    ASSERT_EQ(table->Post(), "");
    table->UseNameIndex();
    table.reset();
    auto reopened = OpenIndexed(path);
    EXPECT_EQ(NamesInOrder(*reopened), (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));
    for (reopened->First(); !reopened->Eof(); reopened->Next())
        EXPECT_EQ(reopened->Text("WEIGHT"), reopened->Name() == "Alpha" ? "4.5" : "") << reopened->Name();
}

TEST(DbfDeletion, DeletedRecordsAreInvisibleAndGoneAfterPack) {
    TempDir dir;
    std::string path = dir.file("m.dbf");
    MakeNamedTable(path, ComponentTableKind::Motor, {"Alpha", "Bravo", "Charlie", "Bravo"});
    {
        auto table = OpenIndexed(path);
        ASSERT_TRUE(table->SeekName("Bravo"));
        ASSERT_EQ(table->RecordNumber(), 1u);
        ASSERT_EQ(table->MarkDeleted(), "");
        // The later record of the same name takes its place; the table moved to it.
        EXPECT_EQ(table->Name(), "Bravo");
        EXPECT_EQ(table->RecordNumber(), 3u);
        ASSERT_EQ(table->MarkDeleted(), "");
        EXPECT_EQ(table->Name(), "Charlie");
        EXPECT_EQ(NamesInOrder(*table), (std::vector<std::string>{"Alpha", "Charlie"}));
        table->Last();
        ASSERT_EQ(table->MarkDeleted(), ""); // the last record: the table ends on the new last one
        EXPECT_EQ(table->Name(), "Alpha");
        EXPECT_TRUE(table->Eof());
    }
    {
        auto table = OpenIndexed(path);
        EXPECT_EQ(NamesInOrder(*table), (std::vector<std::string>{"Alpha"}));
        EXPECT_EQ(table->deletedCount(), 3u);
        EXPECT_NE(table->Pack(), ""); // shared access cannot pack
    }
    auto table = OpenIndexed(path, DbfTable::Access::Exclusive);
    ASSERT_EQ(table->Pack(), "");
    EXPECT_EQ(table->storedCount(), 1u);
    table.reset();
    EXPECT_EQ(Bytes(path).find("Bravo"), std::string::npos);
    EXPECT_EQ(Bytes(path).find("Charlie"), std::string::npos);
    auto packed = OpenIndexed(path);
    EXPECT_EQ(NamesInOrder(*packed), (std::vector<std::string>{"Alpha"}));
}

TEST(DbfSharing, TwoInstancesAppendWithoutLosingEachOthersRecords) {
    TempDir dir;
    std::string path = MakeNamedTable(dir.file("m.dbf"), ComponentTableKind::Motor, {"First"});
    auto a = OpenIndexed(path);
    auto b = OpenIndexed(path);
    ASSERT_EQ(a->Insert(), "");
    ASSERT_EQ(a->SetText(0, "From A"), "");
    ASSERT_EQ(a->Post(), "");
    ASSERT_EQ(b->Insert(), "");
    ASSERT_EQ(b->SetText(0, "From B"), "");
    ASSERT_EQ(b->Post(), "");
    EXPECT_EQ(NamesInOrder(*b), (std::vector<std::string>{"First", "From A", "From B"}));
    auto fresh = OpenIndexed(path);
    EXPECT_EQ(NamesInOrder(*fresh), (std::vector<std::string>{"First", "From A", "From B"}));
    // Exclusive use is refused while others hold the table.
    auto exclusive = DbfTable::Open(path, DbfTable::Access::Exclusive);
    EXPECT_EQ(exclusive.table, nullptr);
    EXPECT_EQ(exclusive.error, "The table \"" + path + "\" cannot be opened: it is in use by another program.");
}

TEST(DbfOrders, BrowserOrderKeepsNameSearchWorking) {
    TempDir dir;
    auto table = OpenIndexed(MakeNamedTable(dir.file("m.dbf"), ComponentTableKind::Motor, {"A", "B", "C"}));
    table->UseOrder({2, 0, 1, 7});
    EXPECT_FALSE(table->nameIndexActive());
    EXPECT_EQ(NamesInOrder(*table), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_TRUE(table->SeekName("B"));
    EXPECT_EQ(table->position(), 2u);
    table->UseNameIndex();
    EXPECT_EQ(NamesInOrder(*table), (std::vector<std::string>{"A", "B", "C"}));
}

TEST(DbfDamagedFiles, ClearErrorNamingTheFile) {
    const std::pair<const char*, const char*> cases[] = {
        {"damaged/short_header_length.dbf", "its header length (64) is shorter than its column list (161 bytes)"},
        {"damaged/zero_width_column.dbf", "column 2 (MOTORSTANT) has a zero width"},
        {"damaged/garbage.dbf", "it is not a dBase table (its first byte is 0x29)"},
        {"damaged/no_header_end.dbf", "its column list is cut off"},
        {"damaged/too_short.dbf", "the file is too short to be a table"},
    };
    for (const auto& [name, reason] : cases) {
        TempDir dir;
        std::string path = CopyFixture(dir, name);
        const std::string before = Bytes(path);
        auto opened = DbfTable::Open(path);
        EXPECT_EQ(opened.table, nullptr) << name;
        EXPECT_EQ(opened.error, "The table \"" + path + "\" cannot be opened: " + reason + ".");
        EXPECT_EQ(Bytes(path), before) << name << " was changed";
    }
}

TEST(DbfDamagedFiles, ReadableRecordsWithAWarningAndNoWrites) {
    for (const char* name : {"damaged/count_beyond_file.dbf", "damaged/truncated_last_record.dbf"}) {
        TempDir dir;
        std::string path = CopyFixture(dir, name);
        const std::string before = Bytes(path);
        {
            auto opened = DbfTable::Open(path);
            ASSERT_TRUE(opened.table) << opened.error;
            ASSERT_EQ(opened.warnings.size(), 1u);
            EXPECT_NE(opened.warnings[0].find("\"" + path + "\" is damaged"), std::string::npos);
            DbfTable& table = *opened.table;
            EXPECT_TRUE(table.readOnly());
            table.UseNameIndex();
            const size_t expected = std::string(name).find("truncated") != std::string::npos ? 2 : 3;
            EXPECT_EQ(table.size(), expected) << name;
            table.First();
            EXPECT_EQ(table.Name(), "Alpha 05");
            EXPECT_EQ(table.Text("MOTORSTANT"), "1100");
            EXPECT_NE(table.Insert(), "");
            EXPECT_NE(table.Edit(), "");
            EXPECT_NE(table.MarkDeleted(), "");
        }
        auto exclusive = DbfTable::Open(path, DbfTable::Access::Exclusive);
        ASSERT_TRUE(exclusive.table);
        EXPECT_NE(exclusive.table->Pack(), "");
        exclusive.table.reset();
        EXPECT_EQ(Bytes(path), before) << name << " was rewritten";
    }
}

TEST(DbfDamagedFiles, MisalignedRecordsAreShownReadOnly) {
    TempDir dir;
    std::string path = CopyFixture(dir, "damaged/misaligned_records.dbf");
    auto opened = DbfTable::Open(path);
    ASSERT_TRUE(opened.table);
    EXPECT_TRUE(opened.table->readOnly());
    ASSERT_EQ(opened.warnings.size(), 1u);
    EXPECT_NE(opened.warnings[0].find("carry no valid deletion mark"), std::string::npos);
}

// Cut and scrambled copies of a good table: each opens with an error or with readable records, and
// walking and reading every column of what opened stays within the file.
// 32,769 character columns of 65,535 bytes add up beyond any int; the sum is refused by name.
TEST(DbfDamagedFiles, ColumnsWiderThanARecordCanHoldAreRefused) {
    const int columns = 32769;
    std::string bytes(32 + 32 * columns + 1, '\0');
    bytes[0] = 0x03;
    bytes[8] = static_cast<char>(0xFF); // header and record lengths at their 16-bit maximum
    bytes[9] = static_cast<char>(0xFF);
    bytes[10] = static_cast<char>(0xFF);
    bytes[11] = static_cast<char>(0xFF);
    for (int c = 0; c < columns; ++c) {
        char* d = &bytes[32 + 32 * static_cast<std::size_t>(c)];
        d[0] = 'C';
        d[11] = 'C';
        d[16] = static_cast<char>(0xFF);
        d[17] = static_cast<char>(0xFF);
    }
    bytes.back() = 0x0D;
    TempDir dir;
    const std::string path = dir.file("wide.dbf");
    ASSERT_EQ(WriteFileAtomically(path, bytes), "");
    const auto opened = DbfTable::Open(path);
    EXPECT_EQ(opened.table, nullptr);
    EXPECT_EQ(opened.error, "The table \"" + path +
                                "\" cannot be opened: its columns need more than 65535 bytes a record, the most a "
                                "table can hold.");
}

// A table of many tiny records: the open table with its name index holds at most about twice the
// file, also after deletions and appends, and every order still reads the right records.
TEST(DbfMemory, OpenTableHoldsAtMostTwiceItsFile) {
    TempDir dir;
    const std::string path = dir.file("tiny.dbf");
    ASSERT_EQ(DbfTable::Create(path, std::vector<DbfColumnSpec>{{"NAME", DbfType::Character, 1, 0}}), "");
    std::string bytes = Bytes(path);
    bytes.pop_back(); // the end mark goes after the records
    const std::uint32_t records = 300000;
    for (std::uint32_t r = 0; r < records; ++r) bytes += std::string{' ', static_cast<char>('A' + r % 26)};
    bytes += '\x1A';
    for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<char>(records >> (8 * i));
    ASSERT_EQ(WriteFileAtomically(path, bytes), "");

    auto opened = DbfTable::Open(path);
    ASSERT_TRUE(opened.table) << opened.error;
    DbfTable& table = *opened.table;
    EXPECT_LE(table.MemoryBytes(), 2 * bytes.size());
    EXPECT_EQ(table.size(), records);
    table.MoveTo(27);
    EXPECT_EQ(table.Name(), "B");
    table.UseNameIndex();
    EXPECT_EQ(table.size(), 26u);
    EXPECT_EQ(table.Name(), "A");
    EXPECT_EQ(table.RecordNumber(), 0u);
    table.Last();
    EXPECT_EQ(table.Name(), "Z");
    EXPECT_EQ(table.RecordNumber(), 25u);

    // Deleting the first "A" makes the next one the index's; the stored order skips it.
    table.First();
    ASSERT_EQ(table.MarkDeleted(), "");
    table.First();
    EXPECT_EQ(table.RecordNumber(), 26u);
    ASSERT_EQ(table.Insert(), "");
    ASSERT_EQ(table.SetText(0, "a"), "");
    ASSERT_EQ(table.Post(), "");
    opened.table.reset();
    auto reopened = DbfTable::Open(path);
    ASSERT_TRUE(reopened.table) << reopened.error;
    EXPECT_EQ(reopened.table->size(), records);
    EXPECT_EQ(reopened.table->Name(), "B");
    reopened.table->Last();
    EXPECT_EQ(reopened.table->Name(), "a");
    EXPECT_LE(reopened.table->MemoryBytes(), 2 * bytes.size() + 4 * records);
}

TEST(DbfDamagedFiles, RandomDamageNeverCrashesOrRewrites) {
    TempDir dir;
    std::string good = MakeNamedTable(dir.file("good.dbf"), ComponentTableKind::PropellerDrive,
                                      {"Gear A", "Gear B", "Gear C", "Gear D"});
    const std::string original = Bytes(good);
    std::mt19937 random(1234);
    const std::string path = dir.file("damaged.dbf");
    for (int round = 0; round < 400; ++round) {
        std::string bytes = original;
        if (round % 3 == 0) bytes.resize(random() % bytes.size());
        const int flips = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < flips && !bytes.empty(); ++i)
            bytes[random() % std::min<size_t>(bytes.size(), round % 2 ? 600 : 64)] = static_cast<char>(random());
        ASSERT_EQ(WriteFileAtomically(path, bytes), "");
        {
            auto opened = DbfTable::Open(path);
            ASSERT_TRUE(opened.table || opened.error.find("\"" + path + "\"") != std::string::npos) << opened.error;
            if (opened.table) {
                DbfTable& table = *opened.table;
                table.UseNameIndex();
                for (table.First(); !table.Eof(); table.Next())
                    for (int c = 0; c < static_cast<int>(table.columns().size()); ++c) {
                        table.Text(c);
                        table.Number(c);
                    }
            }
        }
        ASSERT_EQ(Bytes(path), bytes) << "round " << round << " changed the file";
    }
}

TEST(DbfForeignFiles, TablesInOtherWritersFormsAreRead) {
    TempDir dir;
    std::string path = CopyFixture(dir, "foreign_writer.dbf");
    auto opened = DbfTable::Open(path);
    ASSERT_TRUE(opened.table) << opened.error;
    EXPECT_TRUE(opened.warnings.empty());
    DbfTable& table = *opened.table;
    EXPECT_EQ(table.codePage(), 0x57);
    EXPECT_EQ(table.ColumnIndex("KV"), 1); // column names match regardless of case
    EXPECT_EQ(table.columns()[1].type, DbfType::Numeric);
    EXPECT_EQ(table.size(), 3u); // the deleted record is hidden
    table.First();
    EXPECT_EQ(table.Name(), "Caf\xc3\xa9 Motor \xe2\x82\xac");
    EXPECT_EQ(table.Text("kv"), "1234.5");
    EXPECT_EQ(table.Text("weight"), "12.5");
    EXPECT_TRUE(table.Logical("brushless"));
    EXPECT_EQ(table.Text("built"), "20240131");
    table.Next();
    EXPECT_EQ(table.Name(), "zeta");
    EXPECT_EQ(table.Number("kv"), -3.5);
    EXPECT_EQ(table.Text("weight"), "0");
    EXPECT_FALSE(table.Logical("brushless"));
    table.Next();
    EXPECT_EQ(table.Name(), "Omega");
    EXPECT_EQ(table.Text("kv"), "");
    EXPECT_FALSE(table.Logical("brushless"));
    // Appending to a file without an end mark works and keeps its records.
    ASSERT_EQ(table.Insert(), "");
    ASSERT_EQ(table.SetText(0, "Added"), "");
    ASSERT_EQ(table.Post(), "");
    opened.table.reset();
    auto again = OpenIndexed(path);
    EXPECT_EQ(NamesInOrder(*again), (std::vector<std::string>{"Added", "Caf\xc3\xa9 Motor \xe2\x82\xac", "Omega", "zeta"}));

    std::string padded = CopyFixture(dir, "padded_header.dbf");
    auto second = OpenIndexed(padded);
    ASSERT_TRUE(second);
    second->Last();
    EXPECT_EQ(second->Name(), "Padded B");
    EXPECT_EQ(second->Text("WEIGHT"), "2.5");
}

// Written by GDAL's ogr2ogr from the CSV beside it: its own number padding, a null number as
// asterisks, a boolean as a one-digit number, a code-page byte of 0 with the encoding in a .cpg file.
TEST(DbfForeignFiles, TableWrittenByOgr2ogrIsRead) {
    TempDir dir;
    auto opened = DbfTable::Open(CopyFixture(dir, "ogr2ogr_motors.dbf"));
    ASSERT_TRUE(opened.table) << opened.error;
    DbfTable& table = *opened.table;
    ASSERT_EQ(table.size(), 3u);
    table.First();
    EXPECT_EQ(table.Name(), "Caf\xc3\xa9 Outrunner 2208");
    EXPECT_EQ(table.Number("KV"), 1100.5);
    EXPECT_EQ(table.Number("WEIGHT"), 42.25);
    EXPECT_EQ(table.Number("BRUSHLESS"), 1);
    EXPECT_EQ(table.Text("BUILT"), "20240315");
    table.Next();
    EXPECT_EQ(table.Name(), "Alpha 05");
    EXPECT_EQ(table.Number("KV"), -3.5);
    EXPECT_EQ(table.Number("BRUSHLESS"), 0);
    table.Next();
    EXPECT_EQ(table.Name(), "Zeta \xc3\x9c");
    EXPECT_EQ(table.Number("KV"), 0); // the null written as asterisks
    EXPECT_EQ(table.Number("WEIGHT"), 7);
    EXPECT_EQ(table.Text("BUILT"), "19991231");
}

// Written by LibreOffice Calc's dBase export from the CSV beside it: column widths fitted to the
// data, numbers without padding to a fixed width, an empty number written as "0.0", a blank date.
TEST(DbfForeignFiles, TableWrittenByLibreOfficeCalcIsRead) {
    TempDir dir;
    auto opened = DbfTable::Open(CopyFixture(dir, "libreoffice_motors.dbf"));
    ASSERT_TRUE(opened.table) << opened.error;
    DbfTable& table = *opened.table;
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table.columns()[0].width, 17);
    table.First();
    EXPECT_EQ(table.Name(), "Caf\xc3\xa9 Inrunner 480");
    EXPECT_EQ(table.Number("KV"), 2350.5);
    EXPECT_EQ(table.Number("WEIGHT"), 42.25);
    EXPECT_EQ(table.Text("BUILT"), "20240315");
    table.Next();
    EXPECT_EQ(table.Name(), "Alpha 05");
    EXPECT_EQ(table.Number("KV"), -3.5);
    EXPECT_EQ(table.Text("BUILT"), "");
    table.Next();
    EXPECT_EQ(table.Name(), "Zeta \xc3\x9c");
    EXPECT_EQ(table.Number("KV"), 0);
    EXPECT_EQ(table.Number("WEIGHT"), 7);
    EXPECT_EQ(table.Text("BUILT"), "19991231");
}

} // namespace
} // namespace ampvane
