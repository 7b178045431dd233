#ifndef _WIN32

#include "tools/tavik-cli/CliInterrupt.h"

#include "model/CBrantSetupType.h"

#include <csignal>
#include <cstdlib>

namespace {
volatile std::sig_atomic_t g_nSignal = 0; // the first signal caught, 0 before any
const int g_caught[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_previous[3];

extern "C" void OnInterrupt(int signal) {
    // Only what is safe in a signal handler: a note, and the immediate end on the second one.
    if (g_nSignal != 0) std::_Exit(128 + signal);
    g_nSignal = signal;
    // The stop itself is a lock-free flag: the transfer ends after the block in flight, however long the
    // program takes to look.
    CBrantSetupType::RequestStop(true);
}
} // namespace

CliInterruptGuard::CliInterruptGuard() {
    g_nSignal = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        ::sigaction(g_caught[i], &action, &g_previous[i]);
}

CliInterruptGuard::~CliInterruptGuard() {
    for (int i = 0; i < 3; ++i)
        ::sigaction(g_caught[i], &g_previous[i], nullptr);
}

bool CliInterruptGuard::Interrupted() {
    return g_nSignal != 0;
}

const char* CliInterruptGuard::What() {
    return g_nSignal == SIGTERM ? "SIGTERM" : g_nSignal == SIGHUP ? "SIGHUP" : "Ctrl-C";
}

int CliInterruptGuard::ExitStatus() {
    return g_nSignal != 0 ? 128 + g_nSignal : kInterruptedExit;
}

#endif
