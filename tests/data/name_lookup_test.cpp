// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/name_lookup.h"

#include <gtest/gtest.h>

#include "support/test_paths.h"
#include "table_test_support.h"

namespace ampvane {
namespace {

using testing::MakeNamedTable;
using testing::OpenIndexed;
using testing::TempDir;

std::unique_ptr<DbfTable> Motors(const TempDir& dir, const std::vector<std::string>& names) {
    return OpenIndexed(MakeNamedTable(dir.file("MOTOR8.DBF"), ComponentTableKind::Motor, names));
}

TEST(FindComponentByName, OnlyAnExactNameCounts) {
    TempDir dir;
    auto table = Motors(dir, {"Alpha 05"});
    EXPECT_FALSE(FindComponentByName(*table, "Alpha"));  // the key search reaches Alpha 05
    EXPECT_FALSE(FindComponentByName(*table, "alpha 05"));
    EXPECT_FALSE(FindComponentByName(*table, "Alpha 05 "));
    EXPECT_FALSE(FindComponentByName(*table, "Alpha 06"));
    EXPECT_FALSE(FindComponentByName(*table, ""));
    EXPECT_TRUE(FindComponentByName(*table, "Alpha 05"));
    EXPECT_EQ(table->Name(), "Alpha 05");
}

TEST(FindComponentByName, PositionsOnTheRecordAmongMany) {
    TempDir dir;
    auto table = Motors(dir, {"Zulu", "Mike", "Alpha", "Kilo", "Mike 2"});
    ASSERT_TRUE(FindComponentByName(*table, "Mike"));
    EXPECT_EQ(table->RecordNumber(), 1u);
    ASSERT_TRUE(FindComponentByName(*table, "Zulu"));
    EXPECT_EQ(table->RecordNumber(), 0u);
    EXPECT_FALSE(FindComponentByName(*table, "Zz"));
    auto empty = Motors(dir, {});
    EXPECT_FALSE(FindComponentByName(*empty, "Zulu"));
}

TEST(FindComponentByName, NameLongerThanTheColumnFindsItsStoredRecord) {
    TempDir dir;
    const std::string longName(45, 'x');
    auto table = Motors(dir, {longName});
    EXPECT_TRUE(FindComponentByName(*table, longName));
    EXPECT_TRUE(FindComponentByName(*table, std::string(40, 'x')));
}

TEST(FindComponentByName, DeletedRecordIsFoundByNoLookup) {
    TempDir dir;
    auto table = Motors(dir, {"Alpha", "Bravo", "Charlie"});
    ASSERT_TRUE(FindComponentByName(*table, "Bravo"));
    ASSERT_EQ(table->MarkDeleted(), "");
    EXPECT_FALSE(FindComponentByName(*table, "Bravo"));
    EXPECT_FALSE(FindNameContaining(*table, "rav", FindDirection::FromFirst));
    PositionNearestName(*table, "Bravo");
    EXPECT_EQ(table->Name(), "Charlie");
}

TEST(PositionNearestName, SharedLeadingPartDecides) {
    TempDir dir;
    auto table = Motors(dir, {"Alpha 05 Cobalt", "Alpha 15", "Delta 500", "Gamma 20"});
    PositionNearestName(*table, "Alpha 10");
    EXPECT_EQ(table->Name(), "Alpha 15");
    PositionNearestName(*table, "Delta 600");
    EXPECT_EQ(table->Name(), "Delta 500");
    PositionNearestName(*table, "Zulu");
    EXPECT_EQ(table->Name(), "Gamma 20");
    PositionNearestName(*table, "Alpha 15");
    EXPECT_EQ(table->Name(), "Alpha 15");
    PositionNearestName(*table, "A");
    EXPECT_EQ(table->Name(), "Alpha 05 Cobalt");
    PositionNearestName(*table, "Alpha 05");
    EXPECT_EQ(table->Name(), "Alpha 05 Cobalt");
}

// After a walk past the last name the table is at its end; a smaller name must still be reached.
TEST(PositionNearestName, AfterReachingTheEndASmallerNameIsStillFound) {
    TempDir dir;
    auto table = Motors(dir, {"Alpha", "Bravo", "Charlie"});
    PositionNearestName(*table, "Zulu");
    ASSERT_TRUE(table->Eof());
    PositionNearestName(*table, "Bravo");
    EXPECT_EQ(table->Name(), "Bravo");
}

TEST(FindNameContaining, IgnoresCaseAndStopsAtTheEnds) {
    TempDir dir;
    auto table = Motors(dir, {"Alpha Speed 400", "Bravo", "Charlie SPEED 600", "\xc3\x89lan"});
    ASSERT_TRUE(FindNameContaining(*table, "speed", FindDirection::FromFirst));
    EXPECT_EQ(table->Name(), "Alpha Speed 400");
    ASSERT_TRUE(FindNameContaining(*table, "speed", FindDirection::Forward));
    EXPECT_EQ(table->Name(), "Charlie SPEED 600");
    EXPECT_FALSE(FindNameContaining(*table, "speed", FindDirection::Forward));
    EXPECT_TRUE(table->Eof());
    table->Last();
    ASSERT_TRUE(FindNameContaining(*table, "speed", FindDirection::Backward));
    EXPECT_EQ(table->Name(), "Charlie SPEED 600");
    ASSERT_TRUE(FindNameContaining(*table, "SPEED", FindDirection::Backward));
    EXPECT_EQ(table->Name(), "Alpha Speed 400");
    EXPECT_FALSE(FindNameContaining(*table, "speed", FindDirection::Backward));
    table->First();
    EXPECT_FALSE(FindNameContaining(*table, "Alpha", FindDirection::Backward));
    EXPECT_FALSE(FindNameContaining(*table, "", FindDirection::FromFirst));
    EXPECT_TRUE(table->Eof());
    EXPECT_TRUE(FindNameContaining(*table, "\xc3\xa9lan", FindDirection::FromFirst)); // É matches é
}

} // namespace
} // namespace ampvane
