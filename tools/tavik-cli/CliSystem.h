#pragma once

// The calls of tavik-cli that differ between POSIX systems and Windows. One implementation per system
// (CliSystemPosix.cpp, CliSystemWindows.cpp).

#include <cstddef>
#include <ctime>
#include <string>

// True when standard error is an interactive terminal (a console on Windows), where the progress bar may be
// redrawn in place.
bool StderrIsTerminal();
// The local time of `seconds`, thread-safe.
std::tm LocalTimeOf(std::time_t seconds);
// Standard input and output carry documents' bytes as they are (Windows would otherwise translate line ends).
void UseBinaryStdio();

// Reads the whole of a file named on the command line: a file on a disk, a pipe (a process substitution
// such as /dev/fd/63 included) or a device that ends. Refused at once, never waited for: a folder, a
// terminal, a named pipe that nothing writes to, and more than `limit` bytes. False with `error` set.
bool ReadNamedFile(const std::string& path, std::size_t limit, std::string& bytes, std::string& error);

// Whether a save to `path` (ReplaceFileWith) can succeed, asked before any work that the save would end:
// the path must name a regular file or nothing (a dangling link names its target), that file must be
// writable, and its folder must take a new file. Nothing is opened that could wait (a pipe without a reader),
// and nothing is left behind. False with `error` set.
bool CheckOutputPath(const std::string& path, std::string& error);
