// Whole-file replacement on Windows. A rename there fails when the target exists, so the finished temporary
// file takes the target's place with MoveFileEx (replace existing, write through: the call returns only when
// the move is on the disk).
#ifdef _WIN32

#include "unit/FileReplace.h"

#include <algorithm>
#include <windows.h>

namespace {

std::string SystemError(const std::string& what, const std::string& path) {
    const DWORD code = ::GetLastError();
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

bool WriteAll(HANDLE file, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

} // namespace

// The file a save replaces: `path` itself, or the file a symbolic link there points to, so that the link
// stays. False, with `error` set, when the path names something other than a file on a disk (a folder, a
// device such as NUL or CON), which a save must never replace.
int ResolveReplaceTarget(const std::string& path, std::string& target, std::string& error) {
    target = path;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    HANDLE file = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true; // nothing there yet
    const bool isFile = ::GetFileType(file) == FILE_TYPE_DISK && attributes != INVALID_FILE_ATTRIBUTES &&
                        !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    bool ok = isFile;
    if (!isFile) error = "'" + path + "' is not a regular file; not replacing it";
    if (ok && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        char resolved[MAX_PATH * 4];
        const DWORD length =
            ::GetFinalPathNameByHandleA(file, resolved, sizeof resolved, FILE_NAME_NORMALIZED);
        if (length == 0 || length >= sizeof resolved) {
            error = SystemError("Cannot resolve", path);
            ok = false;
        } else {
            target.assign(resolved, length);
        }
    }
    ::CloseHandle(file);
    return ok;
}

int ReplaceFileWith(const std::string& requested, const std::vector<std::uint8_t>& bytes,
                    std::string& error) {
    std::string path;
    if (!ResolveReplaceTarget(requested, path, error)) return 0;
    // A fresh name beside the target; CREATE_NEW never reuses a file that is there.
    std::string temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temp = path + "." + std::to_string(::GetCurrentProcessId()) + "-" +
               std::to_string(::GetTickCount() + attempt) + ".tmp";
        file = ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (file == INVALID_HANDLE_VALUE) {
        error = SystemError("Cannot create a file next to", path);
        return 0;
    }
    bool ok = WriteAll(file, bytes) && ::FlushFileBuffers(file);
    if (!ok) error = SystemError("Cannot write", path);
    if (!::CloseHandle(file) && ok) {
        error = SystemError("Cannot write", path);
        ok = false;
    }
    if (ok &&
        !::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = SystemError("Cannot replace", path);
        ok = false;
    }
    if (!ok) ::DeleteFileA(temp.c_str());
    return ok ? 1 : 0;
}

#endif
