// tavik-cli's system calls on POSIX systems. (The Windows ones are beside them; each file compiles to nothing
// on the other system, so the source list needs no per-system filter.)
#ifndef _WIN32

#include "tools/tavik-cli/CliSystem.h"

#include "unit/FileReplace.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string SystemError(const std::string& what, const std::string& path, int code) {
    return what + " '" + path + "': " + std::strerror(code);
}

// Reads `fd` to its end; a pipe opened without waiting may still be empty, so its data is waited for.
bool ReadToEnd(int fd, const std::string& path, std::size_t limit, std::string& bytes, std::string& error) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) return true;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd ready{fd, POLLIN, 0};
            ::poll(&ready, 1, -1);
            continue;
        }
        if (n < 0) {
            error = SystemError("Cannot read", path, errno);
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > limit) {
            error = "'" + path + "' is far too large";
            return false;
        }
    }
}
} // namespace

void UseBinaryStdio() {}

bool StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

std::tm LocalTimeOf(std::time_t seconds) {
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return local;
}

bool ReadNamedFile(const std::string& path, std::size_t limit, std::string& bytes, std::string& error) {
    bytes.clear();
    // Without O_NONBLOCK, opening a named pipe waits until something opens it for writing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = SystemError("Cannot open", path, errno);
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok) {
        error = SystemError("Cannot read", path, errno);
    } else if (S_ISDIR(info.st_mode) || S_ISSOCK(info.st_mode)) {
        error = "'" + path + "' is not a file";
        ok = false;
    } else if (::isatty(fd)) {
        error = "'" + path + "' is a terminal, not a file";
        ok = false;
    } else if (S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) > limit) {
        error = "'" + path + "' is far too large";
        ok = false;
    } else if (S_ISFIFO(info.st_mode)) {
        // An empty pipe with no writer reads as its end at once; with a writer it would have said EAGAIN.
        char first = 0;
        ssize_t n = 0;
        while ((n = ::read(fd, &first, 1)) < 0 && errno == EINTR) {
        }
        if (n == 0) {
            error = "'" + path + "' is a pipe that nothing writes to";
            ok = false;
        } else if (n < 0 && errno != EAGAIN) {
            error = SystemError("Cannot read", path, errno);
            ok = false;
        } else if (n == 1) {
            bytes.push_back(first);
        }
    }
    ok = ok && ReadToEnd(fd, path, limit, bytes, error);
    ::close(fd);
    return ok;
}

bool CheckOutputPath(const std::string& path, std::string& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = SystemError("Cannot write", path, EISDIR);
        return false;
    }
    std::string target;
    if (!ResolveReplaceTarget(path, target, error)) return false;
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
        error = SystemError("Cannot write", path, errno);
        return false;
    }
    // The save writes a new file beside the target and renames it: the same is tried here and undone.
    std::string probe = target + ".XXXXXX";
    const int fd = ::mkostemp(probe.data(), O_CLOEXEC);
    if (fd < 0) {
        error = SystemError("Cannot write", path, errno);
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

#endif
