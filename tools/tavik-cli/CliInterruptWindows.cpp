#ifdef _WIN32

#include "tools/tavik-cli/CliInterrupt.h"

#include "model/CBrantSetupType.h"

#include <atomic>
#include <cstdlib>
#include <windows.h>

namespace {
std::atomic<int> g_nInterrupts{0};

// Runs on a thread of its own that the console starts for each Ctrl-C or Ctrl-Break.
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE; // closing, logoff: the default
    if (g_nInterrupts.fetch_add(1) > 0) std::_Exit(kInterruptedExit);
    CBrantSetupType::RequestStop(true); // the transfer ends after the block in flight
    return TRUE;
}
} // namespace

CliInterruptGuard::CliInterruptGuard() {
    g_nInterrupts.store(0);
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

CliInterruptGuard::~CliInterruptGuard() {
    ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
}

bool CliInterruptGuard::Interrupted() {
    return g_nInterrupts.load() != 0;
}

const char* CliInterruptGuard::What() {
    return "Ctrl-C";
}

int CliInterruptGuard::ExitStatus() {
    return kInterruptedExit;
}

#endif
