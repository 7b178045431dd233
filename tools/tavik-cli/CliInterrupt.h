#pragma once

// Ctrl-C during a transfer. The first asks the transfer to stop after the block in flight, so that the
// program can say what the unit now holds; a second ends the program at once with exit status 130. One
// implementation per system (CliInterruptPosix.cpp, CliInterruptWindows.cpp).

// Exit status of a program ended by Ctrl-C, as shells report it.
constexpr int kInterruptedExit = 130;

// Catches Ctrl-C until the guard is destroyed; the system's handling comes back then.
class CliInterruptGuard {
public:
    CliInterruptGuard();
    ~CliInterruptGuard();
    CliInterruptGuard(const CliInterruptGuard&) = delete;
    CliInterruptGuard& operator=(const CliInterruptGuard&) = delete;

    // True once Ctrl-C was pressed while the guard was in place.
    static bool Interrupted();
};
