#include "tools/zemra-sim/CZemraSimServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr std::size_t READ_CHUNK = 4096;
// Answers nobody reads are dropped beyond this, so a stalled programmer cannot make us grow without end.
constexpr std::size_t MAX_OUTPUT = 64 * 1024;
// While the terminal reports a hang-up, look again this often instead of spinning.
constexpr int HANGUP_RETRY_MS = 50;

} // namespace

CZemraSimServer::CZemraSimServer(CZemraSimulator& simulator, int fd) : m_sim(simulator), m_fd(fd) {
    if (pipe(m_stopPipe) == 0) {
        for (int end : m_stopPipe) {
            fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
            fcntl(end, F_SETFD, FD_CLOEXEC);
        }
    } else {
        m_stopPipe[0] = m_stopPipe[1] = -1;
    }
    m_savedStores = m_sim.StoreCount();
}

CZemraSimServer::~CZemraSimServer() {
    for (int end : m_stopPipe) {
        if (end >= 0) close(end);
    }
}

void CZemraSimServer::Log(const std::string& line) const {
    if (m_log) m_log(line);
}

void CZemraSimServer::Stop() {
    if (m_stopPipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = write(m_stopPipe[1], &byte, 1);
    }
}

int CZemraSimServer::Run(std::string& error) {
    if (m_stopPipe[0] < 0) {
        error = std::string("cannot create the stop pipe: ") + std::strerror(errno);
        return 0;
    }
    if (m_fd < 0) {
        error = "no terminal to serve";
        return 0;
    }
    bool hangup = false;
    for (;;) {
        MoveDueOutput();
        int timeout = -1;
        if (!m_pending.empty()) {
            const auto wait =
                std::chrono::ceil<std::chrono::milliseconds>(m_pending.front().due - Clock::now());
            timeout = static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
        }
        if (hangup && (timeout < 0 || timeout > HANGUP_RETRY_MS)) timeout = HANGUP_RETRY_MS;

        pollfd fds[2] = {{m_stopPipe[0], POLLIN, 0}, {m_fd, 0, 0}};
        if (!hangup) fds[1].events = static_cast<short>(POLLIN | (m_out.empty() ? 0 : POLLOUT));
        const int ready = poll(fds, hangup ? 1 : 2, timeout);
        if (ready < 0) {
            if (errno == EINTR) continue;
            error = std::string("poll failed: ") + std::strerror(errno);
            return 0;
        }
        if (fds[0].revents & POLLIN) {
            char drain[16];
            while (read(m_stopPipe[0], drain, sizeof drain) > 0) {
            }
            return 1;
        }
        hangup = false;
        bool fatal = false;
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) Receive(error, fatal);
        if (!fatal && (fds[1].revents & POLLOUT)) Send(error, fatal);
        if (fatal) return 0;
        // A hang-up without data: the other side is closed. Keep waiting for the next programmer.
        if ((fds[1].revents & POLLHUP) && !(fds[1].revents & POLLIN)) hangup = true;
    }
}

void CZemraSimServer::Receive(std::string& error, bool& fatal) {
    std::uint8_t buffer[READ_CHUNK];
    const ssize_t n = read(m_fd, buffer, sizeof buffer);
    if (n > 0) {
        std::vector<ZemReply> replies;
        m_sim.Feed(buffer, static_cast<std::size_t>(n), replies);
        Schedule(replies);
        SaveIfStored();
        return;
    }
    if (n == 0 || errno == EAGAIN || errno == EINTR || errno == EIO)
        return; // EIO: no slave side open at the moment
    error = std::string("cannot read the terminal: ") + std::strerror(errno);
    fatal = true;
}

void CZemraSimServer::Schedule(std::vector<ZemReply>& replies) {
    const Clock::time_point now = Clock::now();
    for (ZemReply& reply : replies) {
        Pending p{now + std::chrono::milliseconds(reply.delayMs), std::move(reply.bytes)};
        // Keep the queue in due order; equal times keep their arrival order.
        auto at = std::upper_bound(m_pending.begin(), m_pending.end(), p.due,
                                   [](Clock::time_point t, const Pending& q) { return t < q.due; });
        m_pending.insert(at, std::move(p));
    }
    MoveDueOutput();
}

void CZemraSimServer::MoveDueOutput() {
    const Clock::time_point now = Clock::now();
    while (!m_pending.empty() && m_pending.front().due <= now) {
        const std::vector<std::uint8_t>& bytes = m_pending.front().bytes;
        if (m_out.size() + bytes.size() > MAX_OUTPUT) {
            Log("nobody reads the answers: dropped " + std::to_string(bytes.size()) + " bytes");
        } else {
            m_out.insert(m_out.end(), bytes.begin(), bytes.end());
        }
        m_pending.pop_front();
    }
    if (!m_out.empty()) {
        // Try at once; poll reports POLLOUT only for what is left.
        std::string error;
        bool fatal = false;
        Send(error, fatal);
        if (fatal) Log(error);
    }
}

void CZemraSimServer::Send(std::string& error, bool& fatal) {
    while (!m_out.empty()) {
        const ssize_t n = write(m_fd, m_out.data(), m_out.size());
        if (n > 0) {
            m_out.erase(m_out.begin(), m_out.begin() + n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (n < 0 && errno == EIO) {
            Log("nobody has the terminal open: dropped " + std::to_string(m_out.size()) + " bytes");
            m_out.clear();
            return;
        }
        error = std::string("cannot write the terminal: ") + std::strerror(errno);
        fatal = true;
        return;
    }
}

void CZemraSimServer::SaveIfStored() {
    if (m_sim.StoreCount() == m_savedStores) return;
    m_savedStores = m_sim.StoreCount();
    if (m_memoryPath.empty()) return;
    std::string error;
    if (!m_sim.Memory().Save(m_memoryPath, error)) Log("memory not saved: " + error);
}
