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

} // namespace
} // namespace ampvane
