// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/table_browse.h"

#include <cmath>

#include <gtest/gtest.h>

#include "data/name_lookup.h"
#include "support/test_paths.h"
#include "table_test_support.h"

namespace ampvane {
namespace {

using testing::TempDir;

struct Motor {
    std::string name, constant, current, resistance, weight;
};

std::unique_ptr<DbfTable> Motors(const TempDir& dir, const std::vector<Motor>& motors) {
    const std::string path = dir.file("MOTOR8.DBF");
    EXPECT_EQ(DbfTable::Create(path, ShippedColumns(ComponentTableKind::Motor)), "");
    auto table = testing::OpenIndexed(path);
    for (const Motor& m : motors) {
        EXPECT_EQ(table->Insert(), "");
        table->SetText(0, m.name);
        table->SetText(1, m.constant);
        table->SetText(2, m.current);
        table->SetText(3, m.resistance);
        table->SetText(4, m.weight);
        EXPECT_EQ(table->Post(), "");
    }
    ApplyColumnInfo(ComponentTableKind::Motor, *table);
    return table;
}

TEST(BrowserOrder, LikenessPutsTheRecordFirstAndWeighsEveryColumn) {
    TempDir dir;
    auto table = Motors(dir, {{"A far", "2000", "3", "0.2", "20"},
                              {"B ref", "1100", "1.5", "0.05", "6.5"},
                              {"C near", "1150", "1.5", "0.05", "6.5"},
                              {"D same key", "1100", "1.5", "0.05", "6.5"},
                              {"E mid", "1100", "2", "0.05", "6.5"}});
    ASSERT_TRUE(FindComponentByName(*table, "B ref"));
    const LikenessReference reference = MakeLikenessReference(*table, ComponentTableKind::Motor);
    ASSERT_TRUE(FindComponentByName(*table, "C near"));
    EXPECT_NEAR(LikenessKey(*table, reference), std::pow(50 * 50.0 / 1100, 4), 1e-9);
    ASSERT_TRUE(FindComponentByName(*table, "B ref"));
    EXPECT_EQ(SetLikenessOrder(*table, ComponentTableKind::Motor), 4);
    EXPECT_EQ(table->Name(), "B ref"); // the current record stays current...
    EXPECT_EQ(testing::NamesInOrder(*table),
              (std::vector<std::string>{"B ref", "D same key", "C near", "E mid", "A far"})); // ...and leads

    // A reference weight of 0 adds no term: records differing only in weight tie.
    TempDir other;
    auto light = Motors(other, {{"X", "1000", "1", "0.1", ""}, {"Y", "1000", "1", "0.1", "50"}, {"Z", "1000", "1", "0.1", "1"}});
    ASSERT_TRUE(FindComponentByName(*light, "Y"));
    SetLikenessOrder(*light, ComponentTableKind::Motor);
    ASSERT_TRUE(FindComponentByName(*light, "X"));
    SetLikenessOrder(*light, ComponentTableKind::Motor);
    EXPECT_EQ(testing::NamesInOrder(*light), (std::vector<std::string>{"X", "Y", "Z"}));
}

TEST(BrowserOrder, EmptyCellVoltageStandsForItsDefault) {
    TempDir dir;
    const std::string path = dir.file("CELL8.DBF");
    ASSERT_EQ(DbfTable::Create(path, ShippedColumns(ComponentTableKind::Cell)), "");
    auto cells = testing::OpenIndexed(path);
    for (auto [name, voltage] : {std::pair{"Empty", ""}, std::pair{"High", "3.7"}, std::pair{"Default", "1.2"}}) {
        cells->Insert();
        cells->SetText(0, name);
        cells->SetText("CAPACITY", "1000");
        cells->SetText("VOLTAGE", voltage);
        ASSERT_EQ(cells->Post(), "");
    }
    ASSERT_TRUE(FindComponentByName(*cells, "Empty"));
    EXPECT_EQ(BrowserCellText(*cells, ComponentTableKind::Cell, 2, {0, false, {',', ':'}}), "1,20");
    SetLikenessOrder(*cells, ComponentTableKind::Cell);
    EXPECT_EQ(testing::NamesInOrder(*cells), (std::vector<std::string>{"Empty", "Default", "High"}));
    // Printing shows what is stored, and leaves the table where it stood.
    ASSERT_TRUE(cells->GoToRecord(0));
    const auto lines = BrowserPrintLines(*cells, ComponentTableKind::Cell);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_TRUE(lines[0].starts_with("Cell Name" + std::string(34, ' ') + "Capacity")) << lines[0];
    EXPECT_NE(lines[2].find("    0.00"), std::string::npos);
    EXPECT_EQ(cells->Name(), "Empty");
}

TEST(BrowserOrder, TitleClicksCycleAndKeepTheCurrentRecord) {
    TempDir dir;
    auto table = Motors(dir, {{"A", "3", "1", "", ""}, {"B", "1", "3", "", ""}, {"C", "2", "2", "", ""}});
    ASSERT_TRUE(FindComponentByName(*table, "C"));
    int code = kNameOrder;
    const std::vector<std::vector<std::string>> expected = {{"A", "C", "B"}, {"B", "C", "A"}, {"A", "C", "B"}};
    for (const auto& names : expected) {
        code = OrderCodeAfterTitleClick(code, 2);
        SetColumnOrder(*table, ComponentTableKind::Motor, code);
        EXPECT_EQ(table->Name(), "C");
        EXPECT_EQ(testing::NamesInOrder(*table), names) << code;
        ASSERT_TRUE(table->GoToRecord(2));
    }
    EXPECT_EQ(code, 2);
    EXPECT_EQ(OrderCodeAfterTitleClick(code, 1), 1);
    EXPECT_EQ(OrderCodeAfterTitleClick(-3, 0), kNameOrder);
    SetColumnOrder(*table, ComponentTableKind::Motor, kNameOrder);
    EXPECT_TRUE(table->nameIndexActive());
    EXPECT_EQ(table->Name(), "C");
}

TEST(BrowserShows, CellTextsCaptionsExportChoiceAndTypeAhead) {
    TempDir dir;
    auto table = Motors(dir, {{"M", "1100", "1.5", "0.05", "6.5"}});
    table->First();
    const BrowserUnits imperial{0, false, {'.', ':'}};
    const BrowserUnits metric{2, false, {',', ':'}};
    EXPECT_EQ(BrowserCellText(*table, ComponentTableKind::Motor, 1, imperial), "1100");
    EXPECT_EQ(BrowserCellText(*table, ComponentTableKind::Motor, 2, metric), "1,500");
    EXPECT_EQ(BrowserCellText(*table, ComponentTableKind::Motor, 4, imperial), "6.50");
    EXPECT_EQ(BrowserCellText(*table, ComponentTableKind::Motor, 4, metric), "184"); // 6.5 oz in grams
    EXPECT_EQ(BrowserCellText(*table, ComponentTableKind::Motor, 5, metric), "");
    EXPECT_EQ(FormatDisplayNumber("00.0", 5.25, '.'), "05.2");
    EXPECT_EQ(BrowserCaption(ComponentTableKind::SpeedControl, 57), "Speed Control Browser - 57 Speed Controls");

    EXPECT_EQ(ExportChoiceFor("parts.htm", 0), ExportChoice::Html);
    EXPECT_EQ(ExportChoiceFor("parts.csv", 1), ExportChoice::Html);
    EXPECT_EQ(ExportChoiceFor("parts.csv", 0), ExportChoice::Csv);
    EXPECT_EQ(ExportChoiceFor("parts.txt", 2), ExportChoice::Csv);
    EXPECT_EQ(ExportChoiceFor("PARTS.HTML", 0), ExportChoice::Html);
    EXPECT_EQ(ExportChoiceFor("parts", 0), ExportChoice::Text);

    TypeAhead typeAhead;
    const auto start = TypeAhead::Clock::time_point{} + std::chrono::hours(1);
    EXPECT_EQ(typeAhead.Add('a', start), "A");
    EXPECT_EQ(typeAhead.Add('s', start + std::chrono::milliseconds(800)), "As");
    EXPECT_EQ(typeAhead.Add('x', start + std::chrono::milliseconds(1700)), "X");
}

} // namespace
} // namespace ampvane
