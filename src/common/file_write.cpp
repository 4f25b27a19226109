// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/file_write.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ampvane {

namespace {
std::string SystemError(const std::string& what, const std::string& path) {
    return what + " \"" + path + "\": " + std::strerror(errno);
}

bool WriteAll(int fd, std::string_view contents) {
    const char* p = contents.data();
    size_t left = contents.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

FileWriter::~FileWriter() { Abandon(); }

void FileWriter::Abandon() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

std::string FileWriter::Open(const std::string& requested) {
    Abandon();
    error_ = 0;
    buffer_.clear();
    written_ = handedOn_ = 0;
    mode_ = -1;
    struct stat status {};
    if (::stat(requested.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        if (S_ISDIR(status.st_mode)) {
            errno = EISDIR;
            return SystemError("Cannot write", requested);
        }
        // A device or pipe (/dev/null, /dev/stdout, a FIFO) is written in place: renaming a file over
        // it would replace the device node itself.
        fd_ = ::open(requested.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0) return SystemError("Cannot open", requested);
        target_ = requested;
        return {};
    }
    const bool exists = S_ISREG(status.st_mode);
    if (exists) mode_ = static_cast<int>(status.st_mode & 07777);
    // Through a symbolic link the file it points to is replaced, not the link.
    target_ = requested;
    if (char* real = ::realpath(requested.c_str(), nullptr)) {
        target_ = real;
        std::free(real);
    }
    std::string temp = target_ + ".tmpXXXXXX";
    fd_ = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd_ < 0) return SystemError("Cannot create", requested);
    temp_ = temp;
    return {};
}

bool FileWriter::WriteOut(std::string_view bytes) {
    if (!WriteAll(fd_, bytes)) {
        error_ = errno;
        return false;
    }
    written_ += static_cast<long long>(bytes.size());
    // A large file's pages go to the disk while the rest is still being made, so that the flush
    // before the rename waits only for the last of them instead of the whole file.
    constexpr long long kHandOnBytes = 2ll << 20;
    if (!temp_.empty() && written_ - handedOn_ >= kHandOnBytes) {
        ::sync_file_range(fd_, handedOn_, written_ - handedOn_, SYNC_FILE_RANGE_WRITE);
        handedOn_ = written_;
    }
    return true;
}

bool FileWriter::Flush() {
    if (error_ == 0) WriteOut(buffer_);
    buffer_.clear();
    return error_ == 0;
}

bool FileWriter::Write(std::string_view bytes) {
    if (fd_ < 0 || error_ != 0) return false;
    constexpr std::size_t kBuffered = 1u << 16;
    if (bytes.size() >= kBuffered) {
        // A large piece is written as it is, after what was buffered before it: no second copy.
        if (!Flush()) return false;
        return WriteOut(bytes);
    }
    buffer_.append(bytes);
    if (buffer_.size() >= kBuffered) return Flush();
    return true;
}

std::string FileWriter::Commit() {
    if (fd_ < 0) {
        errno = EBADF;
        return SystemError("Cannot write", target_);
    }
    Flush();
    const bool inPlace = temp_.empty();
    if (error_ == 0 && !inPlace && ::fsync(fd_) != 0) error_ = errno;
    if (::close(fd_) != 0 && error_ == 0) error_ = errno;
    fd_ = -1;
    if (error_ != 0) {
        errno = error_;
        std::string error = SystemError("Cannot write", target_);
        Abandon();
        return error;
    }
    if (inPlace) return {};
    // mkstemp creates the file for the owner only: a replaced file keeps its own bits, a new one gets
    // the usual permissions.
    mode_t bits = 0;
    if (mode_ >= 0) {
        bits = static_cast<mode_t>(mode_);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        bits = 0666 & ~mask;
    }
    ::chmod(temp_.c_str(), bits);
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
        std::string error = SystemError("Cannot replace", target_);
        Abandon();
        return error;
    }
    temp_.clear();
    return {};
}

std::string WriteFileAtomically(const std::string& requested, std::string_view contents) {
    FileWriter writer;
    if (std::string error = writer.Open(requested); !error.empty()) return error;
    writer.Write(contents);
    return writer.Commit();
}

std::string ReadFileContents(const std::string& path, std::string& contents) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return SystemError("Cannot read", path);
    std::string text;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            std::string error = SystemError("Cannot read", path); // a folder gives "Is a directory"
            ::close(fd);
            return error;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    contents = std::move(text);
    return {};
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    return ReadFileContents(path, contents).empty();
}

} // namespace ampvane
