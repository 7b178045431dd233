#pragma once

#include "model/CZemProtocol.h"
#include "link/TransferWaits.h"

#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <sys/ioctl.h>
#include <thread>

// While it lives, the short pause before an answer is read is followed by a wait for the whole answer.
// The simulated unit runs on another thread, which a busy machine may hold back longer than the pause: its
// answer would then be taken for missing. For transfers whose every request is answered in full.
class WholeAnswerWait {
public:
    explicit WholeAnswerWait(const std::string& portPath) {
        std::lock_guard<std::mutex> lock(Lock());
        Path() = portPath;
        TransferWaits::SetAnswerWaitForTests(&Wait);
    }
    ~WholeAnswerWait() {
        TransferWaits::SetAnswerWaitForTests(nullptr);
        std::lock_guard<std::mutex> lock(Lock());
        Path().clear();
    }
    WholeAnswerWait(const WholeAnswerWait&) = delete;
    WholeAnswerWait& operator=(const WholeAnswerWait&) = delete;

private:
    static std::mutex& Lock() {
        static std::mutex lock;
        return lock;
    }
    static std::string& Path() {
        static std::string path;
        return path;
    }

    // The descriptor this process opened the port with, or -1.
    static int PortDescriptor(const std::string& path) {
        namespace fs = std::filesystem;
        for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            if (fs::read_symlink(entry.path(), error) == path)
                return std::stoi(entry.path().filename().string());
        }
        return -1;
    }

    static void Wait(int milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        std::string path;
        {
            std::lock_guard<std::mutex> lock(Lock());
            path = Path();
        }
        const int port = path.empty() ? -1 : PortDescriptor(path);
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        int waiting = 0;
        while (port >= 0 && ::ioctl(port, FIONREAD, &waiting) == 0 && waiting < CZemProtocol::DATA_MSG_LEN &&
               std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};
