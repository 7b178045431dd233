// The POSIX back end of LynSerial: the port over termios, reads and writes waited for with poll.

#include "CLynSerial.h"

#include "LynBaudRates.h"
#include "LynSerialErrors.h"
#include "LynSerialSystem.h"

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

// Reads and writes wait with poll on the descriptor itself, so the back end needs no events of its own.
struct CLynReader {};
struct CLynWriter {};

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

constexpr tcflag_t kLineFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;

std::uint8_t ByteSizeOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

tcflag_t SizeFlagOf(std::uint8_t byteSize) {
    switch (byteSize) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

std::uint8_t ParityOf(tcflag_t cflag) {
    if (!(cflag & PARENB)) return LYN_NOPARITY;
    if (cflag & CMSPAR) return (cflag & PARODD) ? LYN_MARKPARITY : LYN_SPACEPARITY;
    return (cflag & PARODD) ? LYN_ODDPARITY : LYN_EVENPARITY;
}

tcflag_t ParityFlagsOf(std::uint8_t parity) {
    switch (parity) {
    case LYN_ODDPARITY:
        return PARENB | PARODD;
    case LYN_EVENPARITY:
        return PARENB;
    case LYN_MARKPARITY:
        return PARENB | CMSPAR | PARODD;
    case LYN_SPACEPARITY:
        return PARENB | CMSPAR;
    default:
        return 0;
    }
}

// Settings termios cannot carry out. Refused rather than stored, so a caller never believes a line is
// guarded by a handshake that is not there. Empty when the record can be applied.
std::string UnsupportedSetting(const LynDcb& dcb) {
    speed_t speed = 0;
    if (!lynserial::BaudToSpeed(dcb.BaudRate, speed))
        return "the baud rate " + std::to_string(dcb.BaudRate) + " is not supported";
    if (dcb.ByteSize < 5 || dcb.ByteSize > 8)
        return std::to_string(dcb.ByteSize) + " data bits are not supported";
    if (dcb.Parity > LYN_SPACEPARITY)
        return "parity code " + std::to_string(dcb.Parity) + " is not supported";
    if (dcb.StopBits > LYN_TWOSTOPBITS)
        return "stop bits code " + std::to_string(dcb.StopBits) + " is not supported";
    if (dcb.StopBits == LYN_ONE5STOPBITS && dcb.ByteSize != 5) return "1.5 stop bits need 5 data bits";
    if (dcb.StopBits == LYN_TWOSTOPBITS && dcb.ByteSize == 5)
        return "2 stop bits cannot be used with 5 data bits";
    if (dcb.fOutxDsrFlow || dcb.fDtrControl == LYN_DTR_CONTROL_HANDSHAKE)
        return "DSR/DTR flow control is not available on this system";
    if (dcb.fDsrSensitivity) return "DSR sensitivity is not available on this system";
    if (dcb.fRtsControl == LYN_RTS_CONTROL_TOGGLE)
        return "RTS toggle control is not available on this system";
    if (dcb.fNull) return "discarding null bytes is not available on this system";
    if (dcb.fErrorChar) return "replacing bytes with parity errors is not available on this system";
    if ((dcb.fOutX || dcb.fInX) && dcb.XonChar == dcb.XoffChar)
        return "the XON and XOFF characters must differ";
    return {};
}

} // namespace

namespace lynserial {

std::string ComDevicePath(int number) {
    return "/dev/ttyS" + std::to_string(number - 1);
}

std::string PortLabel(const std::string& name, const std::string& path) {
    return name == path ? path : name + " (" + path + ")";
}

} // namespace lynserial

CLynSerial::CLynSerial() {
    lynserial::g_bPortOpen = false;
}

CLynSerial::~CLynSerial() {
    // Keyed to this object's own descriptor: another object's open port must not keep this one open.
    if (IsOpen()) CloseCommPort();
}

int CLynSerial::OpenDevice(const std::string& name) {
    const std::string path = DevicePathFor(name);
    const std::string label = lynserial::PortLabel(name, path);
    // Non-blocking: a port whose carrier is down must not block the open, and reads and writes wait with
    // their own limits.
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Fail(errno, FormatOpenError(errno, label));
    if (!::isatty(fd)) {
        ::close(fd);
        return Fail(ENOTTY, FormatOpenError(ENOTTY, label));
    }
    // TIOCEXCL refuses later opens by other users; root passes it, so the lock on the device catches those.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return Fail(err, FormatOpenError(err == EWOULDBLOCK ? EBUSY : err, label));
    }
    ::ioctl(fd, TIOCEXCL);

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        const int err = errno;
        ::close(fd);
        return Fail(err, FormatOpenError(err, label));
    }
    // Raw bytes both ways; reads return what is there.
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &tio);

    m_hComm = fd;
    m_strPath = label;
    m_bPseudo = IsPseudoTerminal(fd);
    m_dcb = LynDcb{};
    m_dcb.ByteSize = 8;
    m_dcb.fDtrControl = LYN_DTR_CONTROL_ENABLE;
    m_dcb.fRtsControl = LYN_RTS_CONTROL_ENABLE;
    m_timeouts = LynCommTimeouts{};

    PurgeComm(LYN_PURGE_ALL);
    ::ioctl(fd, TIOCCBRK);
    return 1;
}

void CLynSerial::CloseDevice() {
    if (!m_bLost) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(kCloseDrainLimitMs);
        for (;;) {
            int queued = 0;
            if (::ioctl(m_hComm, TIOCOUTQ, &queued) != 0 || queued <= 0) break;
            if (MsLeft(deadline) == 0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ::tcflush(m_hComm, TCOFLUSH);
    }
    ::ioctl(m_hComm, TIOCNXCL);
    ::close(m_hComm);
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

int CLynSerial::GetCommState(LynDcb& dcb) {
    dcb.DCBlength = LYN_DCB_LENGTH;
    if (!CheckOpen()) return 0;
    termios tio{};
    if (::tcgetattr(m_hComm, &tio) != 0) return FailIo(errno, "reading the line settings");

    LynDcb result = m_dcb;
    result.DCBlength = LYN_DCB_LENGTH;
    result.BaudRate = lynserial::SpeedToBaud(::cfgetospeed(&tio));
    if (!m_bPseudo) {
        result.ByteSize = ByteSizeOf(tio.c_cflag);
        result.Parity = ParityOf(tio.c_cflag);
    }
    result.StopBits =
        (tio.c_cflag & CSTOPB) ? (result.ByteSize == 5 ? LYN_ONE5STOPBITS : LYN_TWOSTOPBITS) : LYN_ONESTOPBIT;
    result.fBinary = 1;
    result.fParity = (tio.c_iflag & INPCK) ? 1 : 0;
    result.fOutX = (tio.c_iflag & IXON) ? 1 : 0;
    result.fInX = (tio.c_iflag & IXOFF) ? 1 : 0;
    result.XonChar = static_cast<char>(tio.c_cc[VSTART]);
    result.XoffChar = static_cast<char>(tio.c_cc[VSTOP]);
    // One termios flag stands for both hardware handshakes; keep the record in step with it.
    const bool rtsCts = (tio.c_cflag & CRTSCTS) != 0;
    const bool recordRtsCts = result.fOutxCtsFlow || result.fRtsControl == LYN_RTS_CONTROL_HANDSHAKE;
    if (rtsCts && !recordRtsCts) {
        result.fOutxCtsFlow = 1;
        result.fRtsControl = LYN_RTS_CONTROL_HANDSHAKE;
    } else if (!rtsCts && recordRtsCts) {
        result.fOutxCtsFlow = 0;
        if (result.fRtsControl == LYN_RTS_CONTROL_HANDSHAKE) result.fRtsControl = LYN_RTS_CONTROL_ENABLE;
    }
    dcb = result;
    return 1;
}

int CLynSerial::SetCommState(LynDcb& dcb) {
    dcb.DCBlength = LYN_DCB_LENGTH;
    if (!CheckOpen()) return 0;
    const std::string unsupported = UnsupportedSetting(dcb);
    if (!unsupported.empty()) return Fail(EINVAL, "Port " + m_strPath + ": " + unsupported + ".");

    termios old{};
    if (::tcgetattr(m_hComm, &old) != 0) return FailIo(errno, "reading the line settings");
    termios tio = old;
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                                          IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~kLineFlags;
    tio.c_cflag |= CLOCAL | CREAD | SizeFlagOf(dcb.ByteSize) | ParityFlagsOf(dcb.Parity);
    if (dcb.StopBits != LYN_ONESTOPBIT) tio.c_cflag |= CSTOPB;
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == LYN_RTS_CONTROL_HANDSHAKE) tio.c_cflag |= CRTSCTS;
    if (dcb.fParity) tio.c_iflag |= INPCK;
    if (dcb.fOutX) tio.c_iflag |= IXON;
    if (dcb.fInX) tio.c_iflag |= IXOFF;
    tio.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    speed_t speed = B9600;
    lynserial::BaudToSpeed(dcb.BaudRate, speed);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);

    if (::tcsetattr(m_hComm, TCSANOW, &tio) != 0) return FailIo(errno, "setting the line settings");
    // tcsetattr succeeds when any part was taken; a driver that cannot do a setting quietly drops it.
    termios now{};
    if (::tcgetattr(m_hComm, &now) != 0) return FailIo(errno, "reading the line settings");
    const tcflag_t checked = m_bPseudo ? (kLineFlags & ~static_cast<tcflag_t>(CSIZE | PARENB)) : kLineFlags;
    if ((now.c_cflag & checked) != (tio.c_cflag & checked) || ::cfgetospeed(&now) != speed) {
        ::tcsetattr(m_hComm, TCSANOW, &old);
        return Fail(EINVAL, "Port " + m_strPath + ": the device does not support these line settings.");
    }
    if (!ApplyModemLines(dcb)) {
        ::tcsetattr(m_hComm, TCSANOW, &old);
        return 0;
    }
    m_dcb = dcb;
    m_dcb.fBinary = 1;
    return 1;
}

int CLynSerial::ApplyModemLines(const LynDcb& dcb) {
    auto setLine = [this](int line, bool on) {
        if (::ioctl(m_hComm, on ? TIOCMBIS : TIOCMBIC, &line) == 0) return 1;
        const int err = errno;
        // Pseudo-terminals and some adapters have no modem lines to set.
        if (lynserial::IsUnsupported(err)) return 1;
        return FailIo(err, "setting the modem lines");
    };
    if (!setLine(TIOCM_DTR, dcb.fDtrControl == LYN_DTR_CONTROL_ENABLE)) return 0;
    // Under handshake the driver drives RTS itself.
    if (dcb.fRtsControl != LYN_RTS_CONTROL_HANDSHAKE &&
        !setLine(TIOCM_RTS, dcb.fRtsControl == LYN_RTS_CONTROL_ENABLE))
        return 0;
    return 1;
}

int CLynSerial::GetCommTimeouts(LynCommTimeouts& timeouts) {
    if (!CheckOpen()) return 0;
    timeouts = m_timeouts;
    return 1;
}

int CLynSerial::SetCommTimeouts(const LynCommTimeouts& timeouts) {
    if (!CheckOpen()) return 0;
    m_timeouts = timeouts;
    return 1;
}

int CLynSerial::GetCommProperties(LynCommProp& prop) {
    if (!CheckOpen()) return 0;
    prop = LynCommProp{};
    prop.wPacketLength = sizeof(LynCommProp);
    prop.wPacketVersion = 2;
    prop.dwServiceMask = LYN_SP_SERIALCOMM;
    prop.dwMaxBaud = lynserial::MaxBaud();
    prop.dwProvSubType = LYN_PST_RS232;
    prop.dwProvCapabilities = LYN_PCF_RTSCTS | LYN_PCF_PARITY_CHECK | LYN_PCF_XONXOFF | LYN_PCF_SETXCHAR;
    prop.dwSettableParams = LYN_SP_PARITY | LYN_SP_BAUD | LYN_SP_DATABITS | LYN_SP_STOPBITS |
                            LYN_SP_HANDSHAKING | LYN_SP_PARITY_CHECK;
    prop.dwSettableBaud = lynserial::MaxBaud();
    prop.wSettableData = LYN_DATABITS_5_TO_8;
    prop.wSettableStopParity = LYN_STOPBITS_ALL | LYN_PARITY_ALL;
    prop.dwCurrentTxQueue = m_dwOutQueue;
    prop.dwCurrentRxQueue = m_dwInQueue;
    return 1;
}

int CLynSerial::SetCommMask(std::uint32_t mask) {
    m_dwEventMask = mask;
    return CheckOpen();
}

int CLynSerial::GetCommMask(std::uint32_t& mask) {
    if (!CheckOpen()) return 0;
    mask = m_dwEventMask;
    return 1;
}

int CLynSerial::SetBufferSizes(std::uint32_t inputSize, std::uint32_t outputSize) {
    if (!CheckOpen()) return 0;
    // A tty's queues have a fixed size; the sizes are kept for GetCommProperties.
    m_dwInQueue = inputSize;
    m_dwOutQueue = outputSize;
    return 1;
}

int CLynSerial::PurgeComm(std::uint32_t flags) {
    if (!CheckOpen()) return 0;
    const bool output = (flags & (LYN_PURGE_TXABORT | LYN_PURGE_TXCLEAR)) != 0;
    const bool input = (flags & (LYN_PURGE_RXABORT | LYN_PURGE_RXCLEAR)) != 0;
    if (!output && !input) return Fail(EINVAL, "PurgeComm was given no queue to purge.");
    const int queue = (output && input) ? TCIOFLUSH : (output ? TCOFLUSH : TCIFLUSH);
    if (::tcflush(m_hComm, queue) != 0) return FailIo(errno, "purging");
    return 1;
}
