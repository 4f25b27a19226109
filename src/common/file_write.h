// SPDX-License-Identifier: GPL-3.0-or-later
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
// The same, returning what went wrong with the system's own words (a folder, a missing file, a read
// error), or an empty text on success.
std::string ReadFileContents(const std::string& path, std::string& contents);

// A whole-file write that is produced piece by piece: Open creates the temporary file at once (so a
// missing or read-only folder is known before any work is done), Write appends through a buffer, and
// Commit renames it over the target, keeping the permission bits of the file it replaces. Destroyed
// without a Commit, it removes the temporary file and the target stays as it was. Devices and pipes
// are written in place.
class FileWriter {
public:
    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    std::string Open(const std::string& path); // error text, empty on success
    bool Write(std::string_view bytes);        // false once any write failed
    std::string Commit();                      // error text, empty on success
    bool isOpen() const { return fd_ >= 0; }

private:
    bool Flush();
    bool WriteOut(std::string_view bytes);
    void Abandon();

    std::string target_;
    std::string temp_; // empty when writing in place
    int fd_ = -1;
    int mode_ = -1; // permission bits to keep, -1 for the usual ones
    int error_ = 0; // errno of the first failed write
    std::string buffer_;
    long long written_ = 0;   // bytes in the file so far
    long long handedOn_ = 0;  // of which the disk has been asked to take this many already

};

} // namespace ampvane
