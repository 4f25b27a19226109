#include "common/file_write.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <fstream>
#include <sstream>
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

// A device or pipe (/dev/null, /dev/stdout, a FIFO) is written in place: renaming a file over it
// would replace the device node itself.
std::string WriteInPlace(const std::string& path, std::string_view contents) {
    int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
    if (fd < 0) return SystemError("Cannot open", path);
    if (!WriteAll(fd, contents)) {
        std::string error = SystemError("Cannot write", path);
        ::close(fd);
        return error;
    }
    if (::close(fd) != 0) return SystemError("Cannot write", path);
    return {};
}
} // namespace

std::string WriteFileAtomically(const std::string& requested, std::string_view contents) {
    struct stat status {};
    if (::stat(requested.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        if (S_ISDIR(status.st_mode)) {
            errno = EISDIR;
            return SystemError("Cannot write", requested);
        }
        return WriteInPlace(requested, contents);
    }
    // Through a symbolic link the file it points to is replaced, not the link.
    std::string path = requested;
    if (char* real = ::realpath(requested.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    std::string temp = path + ".tmpXXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return SystemError("Cannot create a temporary file for", path);
    if (!WriteAll(fd, contents)) {
        std::string error = SystemError("Cannot write", path);
        ::close(fd);
        ::unlink(temp.c_str());
        return error;
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        std::string error = SystemError("Cannot write", path);
        ::unlink(temp.c_str());
        return error;
    }
    // mkstemp creates the file for the owner only; give it the usual permissions.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(temp.c_str(), 0666 & ~mask);
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::string error = SystemError("Cannot replace", path);
        ::unlink(temp.c_str());
        return error;
    }
    return {};
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    contents = std::move(buffer).str();
    return true;
}

} // namespace ampvane
