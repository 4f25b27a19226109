// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/value_lists.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "common/file_write.h"
#include "support/file_size_limit.h"
#include "support/recording_messages.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

namespace fs = std::filesystem;
using testing::RecordingMessages;
using testing::FileSizeLimit;
using testing::TempDir;

const std::string kInvalidTail = ") in one of the fields. Using 0.0 instead.";

void WriteText(const fs::path& path, std::string_view text) { std::ofstream(path, std::ios::binary) << text; }

std::string ReadText(const fs::path& path) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(path.string(), text)) << path;
    return text;
}

ValueListEntry Parse(std::string_view line, char decimal = '.') {
    RecordingMessages messages;
    auto entry = ParseValueListLine(line, NumberLocale{decimal}, messages);
    EXPECT_TRUE(entry.has_value()) << line;
    return entry.value_or(ValueListEntry{});
}

TEST(ValueListLines, LabelFirstAndSecondValue) {
    ValueListEntry a = Parse("Prop A|1.2");
    EXPECT_EQ(a.label, "Prop A");
    EXPECT_DOUBLE_EQ(a.first, 1.2);
    EXPECT_DOUBLE_EQ(a.second, 0);
    EXPECT_EQ(a.secondText, "0");

    ValueListEntry wing = Parse("Wing B|12|2");
    EXPECT_DOUBLE_EQ(wing.first, 12);
    EXPECT_DOUBLE_EQ(wing.second, 2);
    EXPECT_DOUBLE_EQ(Parse("Plate C|-3|0").first, -3);
}

TEST(ValueListLines, FileDotsReadInAnyLocale) {
    ValueListEntry comma = Parse("Prop A|1.25| 0.5 ", ',');
    EXPECT_DOUBLE_EQ(comma.first, 1.25);
    EXPECT_DOUBLE_EQ(comma.second, 0.5);
    EXPECT_EQ(comma.firstText, "1.25"); // the text stays as the file has it
    EXPECT_DOUBLE_EQ(Parse("Typed by hand|92,5", '.').first, 92.5);
}

TEST(ValueListLines, LabelIsTakenAsWrittenAndValuesMayCarryBlanks) {
    ValueListEntry e = Parse("  Planetary  | 92 | 3 ");
    EXPECT_EQ(e.label, "  Planetary  ");
    EXPECT_DOUBLE_EQ(e.first, 92);
    EXPECT_DOUBLE_EQ(e.second, 3);
    EXPECT_DOUBLE_EQ(Parse("Empty|").first, 0);
    EXPECT_EQ(Parse("|7").label, "");
}

TEST(ValueListLines, LineWithoutBarIsNoEntry) {
    RecordingMessages messages;
    EXPECT_FALSE(ParseValueListLine("# comment", NumberLocale{}, messages));
    EXPECT_FALSE(ParseValueListLine("", NumberLocale{}, messages));
    EXPECT_FALSE(ParseValueListLine("Just a label", NumberLocale{}, messages));
}

TEST(ValueListLines, BadNumbersWarnAndReadAsZero) {
    RecordingMessages messages;
    const std::string commaTail = ") in one of the fields. Using 0,0 instead.";
    messages.Expect("There is an invalid numeric value (92|" + commaTail)
        .Expect("There is an invalid numeric value (1,2.3" + commaTail) // the first "." became ","
        .Expect("There is an invalid numeric value (1e999" + commaTail);
    EXPECT_DOUBLE_EQ(ParseValueListLine("Gear D|92|", NumberLocale{','}, messages)->first, 0);
    EXPECT_DOUBLE_EQ(ParseValueListLine("Odd|1.2.3", NumberLocale{','}, messages)->first, 0);
    EXPECT_DOUBLE_EQ(ParseValueListLine("Huge|1e999", NumberLocale{','}, messages)->first, 0);
}

TEST(ValueListFiles, FixtureWithCrLfBlankDuplicateAndMalformedLines) {
    RecordingMessages messages;
    messages.Expect("There is an invalid numeric value (9x5" + kInvalidTail)
        .Expect("There is an invalid numeric value (92|" + kInvalidTail);
    const std::vector<ValueListEntry> entries =
        ValueListEntries(testing::TestDataDir() / "value_lists", kGearboxEffList, NumberLocale{}, messages);
    std::vector<std::string> labels;
    for (const ValueListEntry& e : entries) labels.push_back(e.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"Belt drive 4:1", "  Planetary  ", "Spur 3:1", "Spur 3:1", "Broken",
                                                "Trailing bar", "Two values", "Comma value", "", "Empty value",
                                                "Last line without end"}));
    ASSERT_EQ(entries.size(), 11u);
    EXPECT_DOUBLE_EQ(entries[0].first, 93.5);
    EXPECT_DOUBLE_EQ(entries[2].first, 95); // duplicates are both read, in file order
    EXPECT_DOUBLE_EQ(entries[3].first, 90);
    EXPECT_DOUBLE_EQ(entries[4].first, 0);
    EXPECT_DOUBLE_EQ(entries[6].second, 2);
    EXPECT_DOUBLE_EQ(entries[7].first, 92.5);
    EXPECT_DOUBLE_EQ(entries[10].first, 88);
    for (const ValueListEntry& e : entries) {
        EXPECT_EQ(e.label.find('\r'), std::string::npos);
        EXPECT_EQ(e.secondText.find('\r'), std::string::npos);
    }
}

TEST(ValueListFiles, ShippedListsReadWithoutWarnings) {
    const fs::path shipped = fs::path(AMPVANE_SOURCE_DIR) / "data" / "initial" / "lists";
    for (std::string_view list :
         {kPropConstList, kThrustConstList, kGearboxEffList, kManufacturerList, kWizardCellsList, kAirfoilList}) {
        RecordingMessages messages; // any warning fails the test
        const auto entries = ValueListEntries(shipped, list, NumberLocale{','}, messages);
        EXPECT_FALSE(entries.empty()) << list;
    }
}

TEST(ValueListFiles, LineEndsOfEveryKindGiveTheSameEntries) {
    TempDir dir;
    for (std::string_view text : {"A|1\r\nB|2|3\r\n", "A|1\nB|2|3\n", "A|1\rB|2|3\r", "A|1\r\n\r\n\nB|2|3"}) {
        WriteText(dir.path() / "Airfoil.lst", text);
        RecordingMessages messages;
        const auto entries = ValueListEntries(dir.path(), kAirfoilList, NumberLocale{}, messages);
        ASSERT_EQ(entries.size(), 2u) << text;
        EXPECT_EQ(entries[1].label, "B");
        EXPECT_DOUBLE_EQ(entries[1].second, 3) << text;
    }
}

TEST(ValueListFiles, MissingListHasNoEntriesAndNoMessage) {
    TempDir dir;
    RecordingMessages messages;
    int calls = 0;
    EXPECT_FALSE(ReadValueList(
        dir.path(), kPropConstList, [&](const ValueListEntry&) { ++calls; }, NumberLocale{}, messages));
    fs::create_directory(dir.path() / kWizardCellsList); // a folder where the list should be
    EXPECT_FALSE(ReadValueList(
        dir.path(), kWizardCellsList, [&](const ValueListEntry&) { ++calls; }, NumberLocale{}, messages));
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(messages.empty());
}

class ListUpdateTest : public ::testing::Test {
protected:
    fs::path List() const { return dir_.path() / "PropConst.lst"; }
    void Store(std::string_view text) const { WriteText(List(), text); }
    ListUpdate Add(std::string_view entry) {
        RecordingMessages messages;
        return AddOrReplaceListEntry(dir_.path(), kPropConstList, entry, messages);
    }
    TempDir dir_;
};

TEST_F(ListUpdateTest, NewKeyGoesBetweenItsNeighbours) {
    Store("Alpha|1.0\r\nCharlie|1.2\r\n");
    EXPECT_EQ(Add("Bravo|1.1"), ListUpdate::Written);
    EXPECT_EQ(ReadText(List()), "Alpha|1.0\r\nBravo|1.1\r\nCharlie|1.2\r\n");
    EXPECT_EQ(ReadText(dir_.path() / "PropConst.bak"), "Alpha|1.0\r\nCharlie|1.2\r\n");
}

TEST_F(ListUpdateTest, ExistingKeyIsReplacedInPlace) {
    Store("Alpha|1.0\r\nCharlie|1.2\r\n");
    EXPECT_EQ(Add("Alpha|1.3"), ListUpdate::Written);
    EXPECT_EQ(ReadText(List()), "Alpha|1.3\r\nCharlie|1.2\r\n");
}

TEST_F(ListUpdateTest, GreatestKeyIsAppended) {
    Store("Alpha|1.0\r\nCharlie|1.2\r\n");
    EXPECT_EQ(Add("Zulu|1.0"), ListUpdate::Written);
    EXPECT_EQ(ReadText(List()), "Alpha|1.0\r\nCharlie|1.2\r\nZulu|1.0\r\n");
}

TEST_F(ListUpdateTest, KeysCompareByBytesSoLowerCaseGoesLast) {
    Store("Alpha|1.0\r\nCharlie|1.2\r\n");
    EXPECT_EQ(Add("alpha|1.3"), ListUpdate::Written);
    EXPECT_EQ(ReadText(List()), "Alpha|1.0\r\nCharlie|1.2\r\nalpha|1.3\r\n");
}

TEST_F(ListUpdateTest, OnlyTheFirstDuplicateIsReplaced) {
    Store("Alpha|1.0\nAlpha|2.0\nBravo|3\n");
    EXPECT_EQ(Add("Alpha|9"), ListUpdate::Written);
    EXPECT_EQ(ReadText(List()), "Alpha|9\nAlpha|2.0\nBravo|3\n"); // the list's own line ends are kept
}

TEST_F(ListUpdateTest, CommentsAndBlankLinesStayPut) {
    Store("# Zulu comes first here\r\n\r\nAlpha|1\r\n# Middle\r\nCharlie|2\r\nNo bar line");
    EXPECT_EQ(Add("Bravo|5"), ListUpdate::Written);
    EXPECT_EQ(ReadText(List()), "# Zulu comes first here\r\n\r\nAlpha|1\r\n# Middle\r\nBravo|5\r\nCharlie|2\r\n"
                                "No bar line\r\n");
    // A line without "|" is keyed by its whole text, so it can be passed or replaced.
    EXPECT_EQ(Add("No bar line|7"), ListUpdate::Written);
    EXPECT_NE(ReadText(List()).find("\r\nNo bar line|7\r\n"), std::string::npos);
}

TEST_F(ListUpdateTest, EntryIntoEmptyListAndListWithoutLineEnds) {
    Store("");
    EXPECT_EQ(Add("Alpha|1"), ListUpdate::Written);
    EXPECT_EQ(ReadText(List()), "Alpha|1\r\n");
    Store("Alpha|1");
    EXPECT_EQ(Add("Bravo|2"), ListUpdate::Written);
    EXPECT_EQ(ReadText(List()), "Alpha|1\r\nBravo|2\r\n");
}

TEST_F(ListUpdateTest, MissingListWritesNothing) {
    EXPECT_EQ(Add("Alpha|1"), ListUpdate::ListMissing);
    EXPECT_FALSE(fs::exists(List()));
    EXPECT_FALSE(fs::exists(dir_.path() / "PropConst.bak"));
}

TEST_F(ListUpdateTest, EntryWithLineBreakIsRefused) {
    Store("Alpha|1\r\n");
    RecordingMessages messages;
    messages.AllowAny();
    EXPECT_EQ(AddOrReplaceListEntry(dir_.path(), kPropConstList, "Bravo|2\r\nZulu|3", messages), ListUpdate::Failed);
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(ReadText(List()), "Alpha|1\r\n");
}

TEST_F(ListUpdateTest, BackupThatCannotBeWrittenStopsEverything) {
    Store("Alpha|1\r\n");
    fs::create_directory(dir_.path() / "PropConst.bak"); // a folder cannot be replaced by the backup
    WriteText(dir_.path() / "PropConst.bak" / "keep", "x");
    RecordingMessages messages;
    messages.AllowAny();
    EXPECT_EQ(AddOrReplaceListEntry(dir_.path(), kPropConstList, "Bravo|2", messages), ListUpdate::Failed);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(ReadText(List()), "Alpha|1\r\n");
}

TEST_F(ListUpdateTest, ReadOnlyFolderChangesNothing) {
    Store("Alpha|1\r\n");
    fs::permissions(dir_.path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (std::ofstream(dir_.path() / "probe")) GTEST_SKIP() << "this user can write into read-only folders";
    RecordingMessages messages;
    messages.AllowAny();
    EXPECT_EQ(AddOrReplaceListEntry(dir_.path(), kPropConstList, "Bravo|2", messages), ListUpdate::Failed);
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(ReadText(List()), "Alpha|1\r\n");
}

TEST_F(ListUpdateTest, RewriteFailingHalfWayKeepsListAndBackup) {
    const std::string stored = "Alpha|1.0\r\nCharlie|1.2\r\n"; // 24 bytes: the backup fits, the longer list not
    Store(stored);
    RecordingMessages messages;
    messages.AllowAny();
    ListUpdate result;
    {
        FileSizeLimit limit(30);
        result = AddOrReplaceListEntry(dir_.path(), kPropConstList, "Bravo|1.1", messages);
    }
    EXPECT_EQ(result, ListUpdate::Failed);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_NE(messages.messages()[0].text.find("could not be updated"), std::string::npos);
    EXPECT_EQ(ReadText(List()), stored);
    EXPECT_EQ(ReadText(dir_.path() / "PropConst.bak"), stored);
}

TEST(ValueListBackup, ExtensionIsReplaced) {
    EXPECT_EQ(ValueListBackupPath("/d/PropConst.lst"), fs::path("/d/PropConst.bak"));
    EXPECT_EQ(ValueListBackupPath("/d/Notes"), fs::path("/d/Notes.bak"));
}

class FileBlockTest : public ::testing::Test {
protected:
    fs::path File() const { return dir_.path() / "GearboxEff.lst"; }
    std::string Apply(FileBlockMode mode, std::vector<std::string> lines) {
        return ApplyFileBlock(dir_.path(), kGearboxEffList, mode, lines);
    }
    TempDir dir_;
};

TEST_F(FileBlockTest, ReplaceWritesTheBlock) {
    WriteText(File(), "Old|1\r\n");
    EXPECT_EQ(Apply(FileBlockMode::Replace, {"New|2", "", "Other|3"}), "");
    EXPECT_EQ(ReadText(File()), "New|2\r\n\r\nOther|3\r\n");
}

TEST_F(FileBlockTest, AppendAddsAfterTheLastLine) {
    WriteText(File(), "Old|1");
    EXPECT_EQ(Apply(FileBlockMode::Append, {"New|2"}), "");
    EXPECT_EQ(ReadText(File()), "Old|1\r\nNew|2\r\n");
    fs::remove(File());
    EXPECT_EQ(Apply(FileBlockMode::Append, {"Only|1"}), "");
    EXPECT_EQ(ReadText(File()), "Only|1\r\n");
}

TEST_F(FileBlockTest, AppendAndSortKeepsOneOfEachIgnoringCase) {
    WriteText(File(), "Spur|95\nbelt|93\n");
    EXPECT_EQ(Apply(FileBlockMode::AppendAndSort, {"Belt|93", "Planetary|92", "SPUR|95", "Spur|95"}), "");
    // "belt" and "Spur" came first, so they are the lines kept.
    EXPECT_EQ(ReadText(File()), "belt|93\nPlanetary|92\nSpur|95\n");
}

TEST_F(FileBlockTest, NamesReachingOutsideTheDataFolderAreRefused) {
    for (std::string_view name : {"../escape.lst", "/etc/passwd", "sub/x.lst", "..\\x.lst", "", ".."}) {
        const std::string lines[] = {"x"};
        EXPECT_NE(ApplyFileBlock(dir_.path() / "data", name, FileBlockMode::Replace, lines), "") << name;
    }
    EXPECT_FALSE(fs::exists(dir_.path() / "escape.lst"));
}

TEST(SortedLines, StableCaseInsensitiveUnique) {
    EXPECT_EQ(SortedWithoutCaseDuplicates({"b", "A", "a", "B", "c", ""}),
              (std::vector<std::string>{"", "A", "b", "c"}));
}

} // namespace
} // namespace ampvane
