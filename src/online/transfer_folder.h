// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace ampvane {

// The program's own folder for transfer files (downloads, contributed-data lists, request bodies):
// created with mode 0700 under the system's temporary folder with an unpredictable name, so no other
// account can read, replace or pre-plant a file there. Removed with everything in it when destroyed.
class TransferFolder {
public:
    TransferFolder();
    ~TransferFolder();
    TransferFolder(const TransferFolder&) = delete;
    TransferFolder& operator=(const TransferFolder&) = delete;

    // Empty when the folder could not be created.
    const std::string& Path() const { return path_; }
    bool Valid() const { return !path_.empty(); }
    // Path() + "/" + name.
    std::string File(std::string_view name) const;

private:
    std::string path_;
};

} // namespace ampvane
