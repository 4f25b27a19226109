// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ampvane {

// The per-user folder that holds this version's tables, value lists and configuration:
// $AMPVANE_DATA_DIR when set, else $XDG_DATA_HOME/Ampvane 8, else ~/.local/share/Ampvane 8.
std::string DataFolder();

// `folder` + "/" + `name`.
std::string DataFilePath(std::string_view folder, std::string_view name);

// The folder of the running executable (empty when it cannot be found).
std::string ExecutableFolder();

// The shipped "Initial" folder: beside the executable, else in the installed share folder. Empty when
// neither exists.
std::string InitialFolder();
// The places InitialFolder looks in, in order.
std::vector<std::string> InitialFolderCandidates(std::string_view executableFolder);

// The sixteen shipped first-run files, in copying order.
const std::vector<std::string>& ShippedFileNames();

// Copies the shipped files that the data folder lacks from `initialFolder`, in the shipped order. A
// file the user already has is never replaced; a file missing from "Initial" or that cannot be copied
// is skipped. Nothing happens when either folder is missing. Returns the names copied.
std::vector<std::string> CopyInitialFiles(std::string_view initialFolder, std::string_view dataFolder);

} // namespace ampvane
