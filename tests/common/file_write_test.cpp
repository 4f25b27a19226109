// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/file_write.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/test_paths.h"

namespace ampvane {
namespace {

TEST(WriteFileAtomically, ReplacesContentsAndLeavesNoTemporaryFile) {
    testing::TempDir dir;
    const std::string path = dir.file("out.txt");
    ASSERT_EQ(WriteFileAtomically(path, "first"), "");
    ASSERT_EQ(WriteFileAtomically(path, "second"), "");
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(path, contents));
    EXPECT_EQ(contents, "second");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(WriteFileAtomically, FailureInReadOnlyFolderKeepsOldFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    testing::TempDir dir;
    const std::string path = dir.file("keep.txt");
    ASSERT_EQ(WriteFileAtomically(path, "stored"), "");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_NE(WriteFileAtomically(path, "lost?"), "");
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(path, contents));
    EXPECT_EQ(contents, "stored");
}

TEST(WriteFileAtomically, DeviceTargetIsWrittenInPlaceNotReplaced) {
    // Renaming over /dev/null would turn the device into a plain file for everyone.
    ASSERT_EQ(WriteFileAtomically("/dev/null", "discarded"), "");
    struct stat status {};
    ASSERT_EQ(::stat("/dev/null", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
}

TEST(WriteFileAtomically, SymbolicLinkKeepsPointingAtTheReplacedFile) {
    testing::TempDir dir;
    const std::string target = dir.file("target.txt");
    const std::string link = dir.file("link.txt");
    ASSERT_EQ(WriteFileAtomically(target, "old"), "");
    std::filesystem::create_symlink(target, link);
    ASSERT_EQ(WriteFileAtomically(link, "new"), "");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(target, contents));
    EXPECT_EQ(contents, "new");
}

TEST(WriteFileAtomically, FolderTargetIsRefused) {
    testing::TempDir dir;
    EXPECT_NE(WriteFileAtomically(dir.path().string(), "x"), "");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
}

TEST(WriteFileAtomically, MissingFolderIsReported) {
    testing::TempDir dir;
    EXPECT_NE(WriteFileAtomically(dir.file("no/such/folder.txt"), "x"), "");
}

// Every failure names its real cause in the system's words; a replaced file keeps its permissions;
// a write given up half-way leaves the old file and no temporary file.
TEST(FileWriter, CausesNamedPermissionsKeptAndAbandonedWritesLeaveNoTrace) {
    testing::TempDir dir;
    std::string contents;
    EXPECT_EQ(ReadFileContents(dir.path().string(), contents),
              "Cannot read \"" + dir.path().string() + "\": Is a directory");
    EXPECT_EQ(ReadFileContents(dir.file("absent.txt"), contents),
              "Cannot read \"" + dir.file("absent.txt") + "\": No such file or directory");
    EXPECT_EQ(WriteFileAtomically(dir.file("no/such.txt"), "x"),
              "Cannot create \"" + dir.file("no/such.txt") + "\": No such file or directory");
    EXPECT_EQ(WriteFileAtomically(dir.path().string(), "x"),
              "Cannot write \"" + dir.path().string() + "\": Is a directory");
    EXPECT_EQ(WriteFileAtomically("/dev/full", "x"), "Cannot write \"/dev/full\": No space left on device");

    const std::string path = dir.file("report.csv");
    ASSERT_EQ(WriteFileAtomically(path, "old"), "");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    ASSERT_EQ(WriteFileAtomically(path, "new"), "");
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write | std::filesystem::perms::group_read);
    {
        FileWriter writer;
        ASSERT_EQ(writer.Open(path), "");
        EXPECT_TRUE(writer.Write(std::string(200000, 'x')));
    }
    ASSERT_TRUE(ReadWholeFile(path, contents));
    EXPECT_EQ(contents, "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A file of many megabytes, written in pieces both smaller and larger than the writer's buffer and
// handed to the disk as it grows, reads back whole and in order; a writer opened again starts afresh.
TEST(FileWriter, LargeFileOfMixedPiecesReadsBackWhole) {
    testing::TempDir dir;
    const std::string path = dir.file("large.json");
    FileWriter writer;
    ASSERT_EQ(writer.Open(dir.file("first.txt")), "");
    ASSERT_TRUE(writer.Write(std::string(9 << 20, 'a')));
    ASSERT_EQ(writer.Open(path), "");
    std::string expected;
    for (std::size_t i = 0; expected.size() < (std::size_t{20} << 20); ++i) {
        const std::string piece(i % 7 == 0 ? 3'000'000 + i : 1 + i * 37 % 5000, static_cast<char>('a' + i % 26));
        expected += piece;
        ASSERT_TRUE(writer.Write(piece));
    }
    ASSERT_EQ(writer.Commit(), "");
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(path, contents));
    EXPECT_TRUE(contents == expected);
    EXPECT_FALSE(std::filesystem::exists(dir.file("first.txt")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

} // namespace
} // namespace ampvane
