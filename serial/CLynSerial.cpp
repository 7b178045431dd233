#include "CLynSerial.h"

#include "LynSerialErrors.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kByteWriteLimitMs = 1000;
constexpr int kReadLimitMs = 2000;
// Closing a tty waits until its output has gone out, for as long as the driver likes (30 s on serial ports);
// give queued bytes this long and then drop them, so a stalled line cannot hang the close.
constexpr int kCloseDrainLimitMs = 1000;

using Clock = std::chrono::steady_clock;

// Unix98 pseudo-terminal slaves use majors 136 to 143, the old BSD ones major 3.
bool IsPseudoTerminal(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    const unsigned major = ::major(st.st_rdev);
    return (major >= 136 && major <= 143) || major == 3;
}

int MsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

CLynSerial::CLynSerial() = default;

CLynSerial::~CLynSerial() {
    if (IsOpen()) CloseCommPort();
}

const char* CLynSerial::GetRuntimeClassName() const {
    return "CLynSerial";
}

CLynSerial* CLynSerial::CreateObject() {
    return new CLynSerial;
}

std::string CLynSerial::DevicePathFor(const std::string& portName) {
    if (portName.size() == 4 && portName.compare(0, 3, "COM") == 0 && portName[3] >= '1' &&
        portName[3] <= '4')
        return "/dev/ttyS" + std::string(1, static_cast<char>(portName[3] - 1));
    return portName;
}

std::string CLynSerial::FormatOpenError(int errnum, const std::string& path) {
    return lynserial::OpenErrorText(errnum, path);
}

int CLynSerial::Fail(int errnum, const std::string& text) {
    m_nLastError = errnum;
    m_strLastError = text;
    return 0;
}

int CLynSerial::FailIo(int errnum, const char* what) {
    if (lynserial::IsVanished(errnum)) m_bLost = true;
    return Fail(errnum, lynserial::IoErrorText(errnum, m_strPath, what));
}

int CLynSerial::CheckOpen() {
    if (IsOpen()) return 1;
    return Fail(EBADF, "The port is not open.");
}

std::uint32_t CLynSerial::OpenCommPort(const char* portName) {
    if (IsOpen()) CloseCommPort();
    m_bLost = false;
    const std::string name = portName ? portName : "";
    if (name.empty()) {
        Fail(ENOENT, "Cannot open the port: no port name was given.");
        return LYN_OPEN_FAILED;
    }
    const std::string path = DevicePathFor(name);
    // Non-blocking: a port whose carrier is down must not block the open, and reads and writes wait with
    // their own limits.
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        Fail(errno, FormatOpenError(errno, path));
        return LYN_OPEN_FAILED;
    }
    if (!::isatty(fd)) {
        ::close(fd);
        Fail(ENOTTY, FormatOpenError(ENOTTY, path));
        return LYN_OPEN_FAILED;
    }
    // TIOCEXCL refuses later opens by other users; root passes it, so the lock on the device catches those.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        Fail(err, FormatOpenError(err == EWOULDBLOCK ? EBUSY : err, path));
        return LYN_OPEN_FAILED;
    }
    ::ioctl(fd, TIOCEXCL);

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        const int err = errno;
        ::close(fd);
        Fail(err, FormatOpenError(err, path));
        return LYN_OPEN_FAILED;
    }
    // Raw bytes both ways; reads return what is there.
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &tio);

    m_hComm = fd;
    m_strPath = path;
    m_bPseudo = IsPseudoTerminal(fd);
    m_dcb = LynDcb{};
    m_dcb.ByteSize = 8;
    m_dcb.fDtrControl = LYN_DTR_CONTROL_ENABLE;
    m_dcb.fRtsControl = LYN_RTS_CONTROL_ENABLE;
    m_timeouts = LynCommTimeouts{};

    PurgeComm(LYN_PURGE_ALL);
    ::ioctl(fd, TIOCCBRK);

    // The defaults; a port that refuses one of them is still usable, as before.
    SetBaudRate(9600);
    SetParityDataStop(LYN_NOPARITY, 8, LYN_ONESTOPBIT);
    SetCommMask(LYN_EV_RXCHAR);
    SetBufferSizes(4096, 4096);
    SetFlowControl(0, 100, 100, 0x11, 0x13);

    m_nLastError = 0;
    m_strLastError.clear();
    return 0;
}

void CLynSerial::DrainBeforeClose() {
    const auto deadline = Clock::now() + std::chrono::milliseconds(kCloseDrainLimitMs);
    for (;;) {
        int queued = 0;
        if (::ioctl(m_hComm, TIOCOUTQ, &queued) != 0 || queued <= 0) break;
        if (MsLeft(deadline) == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::tcflush(m_hComm, TCOFLUSH);
}

std::uint32_t CLynSerial::CloseCommPort() {
    if (IsOpen()) {
        if (!m_bLost) DrainBeforeClose();
        ::ioctl(m_hComm, TIOCNXCL);
        ::close(m_hComm);
    }
    m_hComm = LYN_INVALID_HANDLE;
    return 1;
}

std::uint32_t CLynSerial::SendData(const std::uint8_t* data, int length) {
    if (length <= 0) return 0;
    const auto result = static_cast<std::uint32_t>(length);
    if (!data) {
        Fail(EINVAL, "SendData was given no bytes to send.");
        return result;
    }
    if (!CheckOpen()) return result;

    for (int i = 0; i < length; ++i) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(kByteWriteLimitMs);
        for (;;) {
            const ssize_t n = ::write(m_hComm, data + i, 1);
            if (n == 1) break;
            const int err = n < 0 ? errno : EAGAIN;
            if (err == EINTR) continue;
            if (err != EAGAIN && err != EWOULDBLOCK) {
                FailIo(err, "write");
                // The device is gone: every further byte would fail the same way at once.
                if (m_bLost) return result;
                break;
            }
            const int left = MsLeft(deadline);
            pollfd pfd{m_hComm, POLLOUT, 0};
            if (left == 0 || ::poll(&pfd, 1, left) <= 0) {
                Fail(ETIMEDOUT, "Port " + m_strPath + ": a byte could not be sent within " +
                                    std::to_string(kByteWriteLimitMs) + " ms and was dropped.");
                // A stalled line (flow control holding it) would hold every further byte as long: the rest
                // of the message is dropped too rather than waiting a second for each.
                return result;
            }
            if (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) {
                FailIo(EIO, "write");
                return result;
            }
        }
    }
    return result;
}

int CLynSerial::ReadData(std::uint8_t* buffer, int maximum) {
    if (!buffer || maximum <= 0) return 0;
    if (!CheckOpen()) return 0;

    int waiting = 0;
    if (::ioctl(m_hComm, FIONREAD, &waiting) != 0) {
        FailIo(errno, "read");
        return 0;
    }
    if (waiting <= 0) {
        // Nothing to read; look whether the line has hung up, so the caller can learn why nothing comes.
        pollfd pfd{m_hComm, POLLIN, 0};
        if (::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL))) FailIo(EIO, "read");
        return 0;
    }

    const int wanted = std::min(maximum, waiting);
    int got = 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kReadLimitMs);
    while (got < wanted) {
        const ssize_t n = ::read(m_hComm, buffer + got, static_cast<size_t>(wanted - got));
        if (n > 0) {
            got += static_cast<int>(n);
            continue;
        }
        const int err = n < 0 ? errno : EAGAIN;
        if (err == EINTR) continue;
        if (err != EAGAIN && err != EWOULDBLOCK) {
            FailIo(err, "read");
            break;
        }
        const int left = MsLeft(deadline);
        pollfd pfd{m_hComm, POLLIN, 0};
        if (left == 0 || ::poll(&pfd, 1, left) <= 0) break;
        if (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            FailIo(EIO, "read");
            break;
        }
    }
    // Only the bytes really placed in the buffer are counted.
    return got;
}
