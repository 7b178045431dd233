#pragma once

// The few calls of tavik-cli that differ between POSIX systems and Windows.

#include <ctime>

// True when standard error is an interactive terminal (a console on Windows), where the progress bar may be
// redrawn in place.
bool StderrIsTerminal();
// The local time of `seconds`, thread-safe.
std::tm LocalTimeOf(std::time_t seconds);
// Standard input and output carry documents' bytes as they are (Windows would otherwise translate line ends).
void UseBinaryStdio();
