#pragma once

#include "tools/zemra-sim/CZemraSimulator.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

// Runs a simulator on a file descriptor (the master side of a pseudo-terminal): feeds it what arrives, sends
// its answers when they are due, and keeps the memory file up to date after every stored block.
class CZemraSimServer {
public:
    // `fd` must be non-blocking; it stays owned by the caller.
    CZemraSimServer(CZemraSimulator& simulator, int fd);
    ~CZemraSimServer();
    CZemraSimServer(const CZemraSimServer&) = delete;
    CZemraSimServer& operator=(const CZemraSimServer&) = delete;

    // Save the memory to this file whenever a block has been stored.
    void SetMemoryPath(const std::string& path) { m_memoryPath = path; }
    // Where problems during the run go (a memory file that cannot be written, dropped output).
    void SetLog(std::function<void(const std::string&)> log) { m_log = std::move(log); }

    // Serves until Stop; returns 1 then, 0 with a reason on a fatal error of the descriptor.
    int Run(std::string& error);
    // Ends Run from any thread or from a signal handler.
    void Stop();
    // The descriptor Stop writes to; a signal handler may write one byte to it.
    int StopFd() const { return m_stopPipe[1]; }

private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;
    };

    void Receive(std::string& error, bool& fatal);
    void Schedule(std::vector<ZemReply>& replies);
    void MoveDueOutput();
    void Send(std::string& error, bool& fatal);
    void SaveIfStored();
    void Log(const std::string& line) const;

    CZemraSimulator& m_sim;
    int m_fd;
    int m_stopPipe[2] = {-1, -1};
    std::string m_memoryPath;
    std::function<void(const std::string&)> m_log;
    std::deque<Pending> m_pending; // in order of due time
    std::vector<std::uint8_t> m_out;
    unsigned long m_savedStores = 0;
};
