// Whole-file replacement on POSIX systems: mkostemp, fsync, rename. (The Windows one is beside it; each
// compiles to nothing on the other system, so the source lists need no per-system filter.)
#ifndef _WIN32

#include "unit/FileReplace.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
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

// The file a save replaces: `path` itself, or the file a symbolic link there points to (through every
// link of a chain), so that the link stays and its target gets the new contents. A link that points
// nowhere yet names the file to create. False, with `error` set, when the path names something other than
// a regular file (a folder, a device, a pipe), which a save must never replace.
int ResolveReplaceTarget(const std::string& path, std::string& target, std::string& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            error = "'" + path + "' is not a regular file; not replacing it";
            return false;
        }
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (!resolved) {
            error = SystemError("Cannot resolve", path);
            return false;
        }
        target = resolved;
        std::free(resolved);
        return true;
    }
    if (errno != ENOENT) {
        error = SystemError("Cannot save to", path);
        return false;
    }
    // Nothing there, or a dangling link: follow the links by hand to the name they end in.
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) {
            error = SystemError("Cannot read the link", target);
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        const std::size_t slash = target.rfind('/');
        target =
            link.front() == '/' || slash == std::string::npos ? link : target.substr(0, slash + 1) + link;
    }
    error = "'" + path + "': too many levels of symbolic links";
    return false;
}

int ReplaceFileWith(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
    std::string target;
    if (!ResolveReplaceTarget(path, target, error)) return 0;
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        error = SystemError("Cannot create a file next to", path);
        return 0;
    }
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (!ok) error = SystemError("Cannot write", path);
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat info {};
    const mode_t mode = ::stat(target.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0666 & ~CurrentUmask();
    ::fchmod(fd, mode);
    if (::close(fd) != 0 && ok) {
        error = SystemError("Cannot write", path);
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        error = SystemError("Cannot replace", path);
        ok = false;
    }
    if (!ok) ::unlink(temp.c_str());
    return ok ? 1 : 0;
}

#endif
