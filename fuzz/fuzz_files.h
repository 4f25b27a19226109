// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A private scratch folder for fuzz targets whose input is a file: one per process, so parallel
// fuzzing jobs never share files.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "support/table_folder.h"

namespace ampvane::fuzz {

inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        const auto path = std::filesystem::temp_directory_path() / ("ampvane-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

inline void WriteScratchFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) std::abort(); // the scratch folder itself failed, not the code under test
}

// A data folder of its own with the eight tables, empty and open, for targets that import into them.
using TableFolder = testing::TableFolder;

} // namespace ampvane::fuzz
