// The backups folder on POSIX systems, after the XDG base directories: state that outlives a run but is no
// document of the user's own.
#ifndef _WIN32

#include "unit/BackupFolder.h"

#include <cstdlib>

std::string DefaultBackupFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    // A relative path is invalid there and is ignored, as the base directory rules say.
    if (state && *state == '/') return std::string(state) + "/tavik/backups";
    const char* home = std::getenv("HOME");
    if (!home || !*home) return std::string();
    return std::string(home) + "/.local/state/tavik/backups";
}

std::tm BackupLocalTime(std::time_t seconds) {
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return local;
}

#endif
