#pragma once

// A pseudo-terminal pair for the port tests: the code under test opens the slave path as its serial port,
// the test plays the far end on the master side.

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>
#include <vector>

class TestPty {
public:
    TestPty() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return;
        const char* name = ::ptsname(m_master);
        if (name) m_slavePath = name;
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~TestPty() { CloseMaster(); }
    TestPty(const TestPty&) = delete;
    TestPty& operator=(const TestPty&) = delete;

    bool Ok() const { return m_master >= 0 && !m_slavePath.empty(); }
    const std::string& SlavePath() const { return m_slavePath; }

    // The far end goes away, as when a USB adapter is pulled.
    void CloseMaster() {
        if (m_master >= 0) ::close(m_master);
        m_master = -1;
    }

    bool Send(const std::vector<std::uint8_t>& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return false;
            } else {
                pollfd pfd{m_master, POLLOUT, 0};
                if (::poll(&pfd, 1, 2000) <= 0) return false;
            }
        }
        return true;
    }

    // What the port sent, until count bytes have come or nothing more comes for 2 s.
    std::vector<std::uint8_t> Receive(std::size_t count) {
        std::vector<std::uint8_t> bytes;
        while (bytes.size() < count) {
            pollfd pfd{m_master, POLLIN, 0};
            if (::poll(&pfd, 1, 2000) <= 0) break;
            std::uint8_t chunk[256];
            const ssize_t n = ::read(m_master, chunk, sizeof chunk);
            if (n <= 0) break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

    // Bytes still waiting on the master side.
    int Pending() const {
        int n = 0;
        return ::ioctl(m_master, FIONREAD, &n) == 0 ? n : -1;
    }

    // The pty moves bytes to the slave's input queue asynchronously; wait (at most 2 s) until count are
    // queued on the port's descriptor fd.
    static int WaitUntilQueued(int fd, int count) {
        int queued = 0;
        for (int i = 0; i < 400; ++i) {
            if (::ioctl(fd, FIONREAD, &queued) != 0) return -1;
            if (queued >= count) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return queued;
    }

    static std::vector<std::uint8_t> Pattern(std::size_t count, std::uint8_t first = 0) {
        std::vector<std::uint8_t> bytes(count);
        for (std::size_t i = 0; i < count; ++i)
            bytes[i] = static_cast<std::uint8_t>(first + i * 7);
        return bytes;
    }

private:
    int m_master = -1;
    std::string m_slavePath;
};
