// Whole-file replacement on POSIX systems: mkostemp, fsync, rename. (The Windows one is beside it; each
// compiles to nothing on the other system, so the source lists need no per-system filter.)
#ifndef _WIN32

#include "unit/FileReplace.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " '" + path + "': " + std::strerror(errno);
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

int ReplaceFileWith(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        error = SystemError("Cannot create a file next to", path);
        return 0;
    }
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (!ok) error = SystemError("Cannot write", path);
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat info {};
    const mode_t mode = ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0666 & ~CurrentUmask();
    ::fchmod(fd, mode);
    if (::close(fd) != 0 && ok) {
        error = SystemError("Cannot write", path);
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        error = SystemError("Cannot replace", path);
        ok = false;
    }
    if (!ok) ::unlink(temp.c_str());
    return ok ? 1 : 0;
}

#endif
