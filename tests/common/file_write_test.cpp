#include "common/file_write.h"

#include <filesystem>
#include <gtest/gtest.h>
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

TEST(WriteFileAtomically, MissingFolderIsReported) {
    testing::TempDir dir;
    EXPECT_NE(WriteFileAtomically(dir.file("no/such/folder.txt"), "x"), "");
}

} // namespace
} // namespace ampvane
