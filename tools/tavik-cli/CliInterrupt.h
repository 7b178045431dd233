#pragma once

// Ctrl-C during a transfer. The first asks the transfer to stop after the block in flight, so that the
// program can say what the unit now holds; a second ends the program at once with exit status 130. On POSIX
// systems SIGTERM and SIGHUP (a closed terminal, a service manager) are taken as a first Ctrl-C too, and tell
// their own exit status. One implementation per system (CliInterruptPosix.cpp, CliInterruptWindows.cpp).

// Exit status of a program ended by Ctrl-C, as shells report it.
constexpr int kInterruptedExit = 130;

// Catches Ctrl-C until the guard is destroyed; the system's handling comes back then.
class CliInterruptGuard {
public:
    CliInterruptGuard();
    ~CliInterruptGuard();
    CliInterruptGuard(const CliInterruptGuard&) = delete;
    CliInterruptGuard& operator=(const CliInterruptGuard&) = delete;

    // True once Ctrl-C (or SIGTERM, SIGHUP) arrived while the guard was in place.
    static bool Interrupted();
    // What arrived first: "Ctrl-C", "SIGTERM", "SIGHUP"; and the exit status that tells it: 130, 143, 129.
    static const char* What();
    static int ExitStatus();
};
