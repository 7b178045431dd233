#pragma once

// Puts a whole file in place of another: the bytes go to a temporary file beside the target, are flushed to
// the disk, and only then replace the target in one step. A failure at any point leaves the old file whole
// and no temporary file behind. Through a symbolic link, the file it points to is replaced and the link kept;
// a path that names anything but a regular file (a folder, a device, a pipe) is refused. One implementation
// per system (FileReplacePosix.cpp, FileReplaceWindows.cpp).

#include <cstdint>
#include <string>
#include <vector>

// Nonzero on success; 0 with `error` saying why.
int ReplaceFileWith(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);
// The file a save of `path` replaces: `path` itself, or the file a symbolic link there points to (a link that
// points nowhere yet names the file to create). 0, with `error` set, when the path names something other than
// a regular file. Never opens the file, so a pipe that nothing reads cannot hold it up.
int ResolveReplaceTarget(const std::string& path, std::string& target, std::string& error);
