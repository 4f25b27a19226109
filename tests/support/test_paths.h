// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace ampvane::testing {

// Folder of committed fixtures (tests/data).
std::filesystem::path TestDataDir();

// A fresh empty folder for one test, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Every file directly in a folder by name, with its bytes: two calls compare equal exactly when
// nothing was added, removed or changed.
std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder);

} // namespace ampvane::testing
