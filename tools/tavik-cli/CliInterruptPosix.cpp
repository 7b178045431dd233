#ifndef _WIN32

#include "tools/tavik-cli/CliInterrupt.h"

#include <csignal>
#include <cstdlib>

namespace {
volatile std::sig_atomic_t g_nInterrupts = 0;
struct sigaction g_previous;

extern "C" void OnInterrupt(int) {
    // Only what is safe in a signal handler: a count, and the immediate end on the second press.
    if (g_nInterrupts > 0) std::_Exit(kInterruptedExit);
    g_nInterrupts = 1;
}
} // namespace

CliInterruptGuard::CliInterruptGuard() {
    g_nInterrupts = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &g_previous);
}

CliInterruptGuard::~CliInterruptGuard() {
    ::sigaction(SIGINT, &g_previous, nullptr);
}

bool CliInterruptGuard::Interrupted() {
    return g_nInterrupts != 0;
}

#endif
