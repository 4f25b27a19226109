// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/transfer_folder.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace ampvane {

TransferFolder::TransferFolder() {
    std::error_code error;
    std::string base;
    if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp && std::filesystem::is_directory(tmp, error))
        base = tmp;
    else
        base = "/tmp";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    std::string pattern = base + "/ampvane-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    // mkdtemp creates the folder with mode 0700.
    if (::mkdtemp(buffer.data())) path_ = buffer.data();
}

TransferFolder::~TransferFolder() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TransferFolder::File(std::string_view name) const { return path_ + "/" + std::string(name); }

} // namespace ampvane
