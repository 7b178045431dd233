// tavik-cli's system calls on Windows.
#ifdef _WIN32

#include "tools/tavik-cli/CliSystem.h"

#include "unit/FileReplace.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {
std::string SystemError(const std::string& what, const std::string& path, DWORD code) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length && text ? std::string(text, length) : "error " + std::to_string(code);
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return what + " '" + path + "': " + message;
}
} // namespace

void UseBinaryStdio() {
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
}

bool StderrIsTerminal() {
    // Only a console has a console mode; the NUL device and pipes, which _isatty may call terminals, do not.
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::tm LocalTimeOf(std::time_t seconds) {
    std::tm local{};
    ::localtime_s(&local, &seconds);
    return local;
}

bool ReadNamedFile(const std::string& path, std::size_t limit, std::string& bytes, std::string& error) {
    bytes.clear();
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "'" + path + "' is not a file";
        return false;
    }
    // A pipe with no server fails here at once rather than waiting for one.
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = SystemError("Cannot open", path, ::GetLastError());
        return false;
    }
    bool ok = true;
    const DWORD type = ::GetFileType(file);
    if (type == FILE_TYPE_CHAR) {
        // CON waits for typing and COM1 for a unit; NUL would read as nothing anyway.
        error = "'" + path + "' is a device, not a file";
        ok = false;
    }
    LARGE_INTEGER size{};
    if (ok && type == FILE_TYPE_DISK && ::GetFileSizeEx(file, &size) &&
        static_cast<unsigned long long>(size.QuadPart) > limit) {
        error = "'" + path + "' is far too large";
        ok = false;
    }
    char buffer[65536];
    while (ok) {
        DWORD got = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_BROKEN_PIPE) break; // the writer finished
            error = SystemError("Cannot read", path, code);
            ok = false;
        } else if (got == 0) {
            break;
        } else {
            bytes.append(buffer, got);
            if (bytes.size() > limit) {
                error = "'" + path + "' is far too large";
                ok = false;
            }
        }
    }
    ::CloseHandle(file);
    return ok;
}

bool CheckOutputPath(const std::string& path, std::string& error) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "Cannot write '" + path + "': it is a folder";
        return false;
    }
    std::string target;
    if (!ResolveReplaceTarget(path, target, error)) return false;
    const DWORD targetAttributes = ::GetFileAttributesA(target.c_str());
    if (targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_READONLY)) {
        error = SystemError("Cannot write", path, ERROR_ACCESS_DENIED);
        return false;
    }
    // The save writes a new file beside the target and moves it into place: the same is tried here and
    // removed again when closed.
    const std::string probe = target + "." + std::to_string(::GetCurrentProcessId()) + ".probe.tmp";
    HANDLE file = ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = SystemError("Cannot write", path, ::GetLastError());
        return false;
    }
    ::CloseHandle(file);
    return true;
}

#endif
