#ifdef _WIN32

#include "ui/app/CommandLineMode.h"

#include <cstdio>
#include <windows.h>

// The Windows platform draws a PDF with no window shown, so it serves as it is. tavik.exe is a windowed
// program, started without a console: its messages reach the console of the command prompt it was started
// from, where there is one, and stay where they were redirected to otherwise.
void PrepareCommandLineMode() {
    if (::GetStdHandle(STD_ERROR_HANDLE) != nullptr) return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::FILE* ignored = nullptr;
    freopen_s(&ignored, "CONOUT$", "w", stdout);
    freopen_s(&ignored, "CONOUT$", "w", stderr);
}

#endif
