// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/test_paths.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ampvane::testing {

std::filesystem::path TestDataDir() {
    if (const char* dir = std::getenv("AMPVANE_TEST_DATA_DIR")) return dir;
    return AMPVANE_TEST_DATA_DIR;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ampvane-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ostringstream bytes;
        bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
        contents[entry.path().filename().string()] = bytes.str();
    }
    return contents;
}

} // namespace ampvane::testing
