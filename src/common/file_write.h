#pragma once

#include <string>
#include <string_view>

namespace ampvane {

// Writes a whole file safely: the contents go to a temporary file in the same folder, are flushed,
// and the temporary file is renamed over the target. On failure the old file is untouched and the
// returned text says what went wrong (empty on success).
std::string WriteFileAtomically(const std::string& path, std::string_view contents);

// Reads a whole file; returns false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);

} // namespace ampvane
