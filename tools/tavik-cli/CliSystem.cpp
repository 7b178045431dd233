#include "tools/tavik-cli/CliSystem.h"

#ifdef _WIN32
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

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
#else
#include <unistd.h>

void UseBinaryStdio() {}

bool StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

std::tm LocalTimeOf(std::time_t seconds) {
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return local;
}
#endif
