// The backups folder on Windows: the user's local application data, which does not roam with the profile.
#ifdef _WIN32

#include "unit/BackupFolder.h"

#include <cstdlib>

std::string DefaultBackupFolder() {
    const char* local = std::getenv("LOCALAPPDATA");
    if (!local || !*local) return std::string();
    return std::string(local) + "\\Tavik\\backups";
}

std::tm BackupLocalTime(std::time_t seconds) {
    std::tm local{};
    ::localtime_s(&local, &seconds);
    return local;
}

#endif
