#pragma once

// Puts a whole file in place of another: the bytes go to a temporary file beside the target, are flushed to
// the disk, and only then replace the target in one step. A failure at any point leaves the old file whole
// and no temporary file behind. One implementation per system (FileReplacePosix.cpp, FileReplaceWindows.cpp).

#include <cstdint>
#include <string>
#include <vector>

// Nonzero on success; 0 with `error` saying why.
int ReplaceFileWith(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);
