// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/data_folder.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

#include "common/file_write.h"

namespace ampvane {

namespace fs = std::filesystem;

namespace {

// The application title and the major version, the part of "8.09" before its first ".".
constexpr std::string_view kDataFolderName = "Ampvane 8";

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return ".";
}

} // namespace

std::string DataFolder() {
    if (const char* dir = std::getenv("AMPVANE_DATA_DIR"); dir && *dir) return dir;
    // XDG: a relative XDG_DATA_HOME is invalid and must be ignored.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return DataFilePath(xdg, kDataFolderName);
    return DataFilePath(HomeFolder() + "/.local/share", kDataFolderName);
}

std::string DataFilePath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/') path += '/';
    path += name;
    return path;
}

std::string ExecutableFolder() {
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return exe.parent_path().string();
}

std::vector<std::string> InitialFolderCandidates(std::string_view executableFolder) {
    std::vector<std::string> candidates;
    if (!executableFolder.empty()) {
        candidates.push_back(DataFilePath(executableFolder, "Initial"));
        candidates.push_back((fs::path(executableFolder) / ".." / "share" / "ampvane" / "Initial").lexically_normal());
    }
#ifdef AMPVANE_INSTALL_DATADIR
    candidates.push_back(AMPVANE_INSTALL_DATADIR "/ampvane/Initial");
#endif
    return candidates;
}

std::string InitialFolder() {
    for (const std::string& candidate : InitialFolderCandidates(ExecutableFolder())) {
        std::error_code error;
        if (fs::is_directory(candidate, error)) return candidate;
    }
    return {};
}

const std::vector<std::string>& ShippedFileNames() {
    static const std::vector<std::string> names = {
        "MOTOR8.DBF",      "CELL8.DBF",        "DRIVE8.DBF",       "FANDRIV8.DBF",  "ESC8.DBF",     "FILTER8.DBF",
        "AIRFRAM8.DBF",    "AMPVANE8.DBF",     "ThrustConst.lst",  "GearboxEff.lst", "Manufacturer.lst",
        "PropConst.lst",   "Airfoil.lst",      "Tips.lst",         "WizardCells.lst", "Ampvane.ini",
    };
    return names;
}

std::vector<std::string> CopyInitialFiles(std::string_view initialFolder, std::string_view dataFolder) {
    std::vector<std::string> copied;
    std::error_code error;
    if (initialFolder.empty() || !fs::is_directory(initialFolder, error) || !fs::is_directory(dataFolder, error))
        return copied;
    for (const std::string& name : ShippedFileNames()) {
        const std::string target = DataFilePath(dataFolder, name);
        // The user's own tables, lists and settings are never overwritten by the shipped ones.
        if (fs::exists(fs::symlink_status(target, error))) continue;
        std::string contents;
        if (!ReadWholeFile(DataFilePath(initialFolder, name), contents)) continue;
        // Written whole or not at all, so an interrupted copy never leaves half a table behind.
        if (WriteFileAtomically(target, contents).empty()) copied.push_back(name);
    }
    return copied;
}

} // namespace ampvane
