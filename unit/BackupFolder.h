#pragma once

// Where uploads keep what the unit held, per user: $XDG_STATE_HOME/tavik/backups (by default
// ~/.local/state/tavik/backups) on Linux, %LOCALAPPDATA%\Tavik\backups on Windows. One implementation per
// system (BackupFolderPosix.cpp, BackupFolderWindows.cpp).

#include <ctime>
#include <string>

// The folder, whether it exists or not; empty when the system names no home for it.
std::string DefaultBackupFolder();
// The local time of `seconds`, for the backups' names.
std::tm BackupLocalTime(std::time_t seconds);
