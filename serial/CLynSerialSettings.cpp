// Line settings, time-outs, properties, event mask, queue sizes and purging of the open port.

#include "CLynSerial.h"

#include "LynBaudRates.h"
#include "LynSerialErrors.h"

#include <cerrno>
#include <sys/ioctl.h>
#include <termios.h>

namespace {

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

int CLynSerial::SetBaudRate(std::uint32_t baudRate) {
    LynDcb dcb;
    if (!GetCommState(dcb)) return 0;
    dcb.BaudRate = baudRate;
    return SetCommState(dcb);
}

int CLynSerial::SetParityDataStop(std::uint8_t parity, std::uint8_t dataBits, std::uint8_t stopBits) {
    LynDcb dcb;
    if (!GetCommState(dcb)) return 0;
    dcb.ByteSize = dataBits;
    dcb.Parity = parity;
    dcb.StopBits = stopBits;
    dcb.fParity = 1;
    return SetCommState(dcb);
}

int CLynSerial::SetFlowControl(std::uint32_t flags, std::uint16_t xonLimit, std::uint16_t xoffLimit,
                               char xonChar, char xoffChar) {
    LynDcb dcb;
    if (!GetCommState(dcb)) return 0;
    const bool dsrDtr = (flags & LYN_FLOW_DSR_DTR) != 0;
    const bool ctsRts = (flags & LYN_FLOW_CTS_RTS) != 0;
    const bool xonXoff = (flags & LYN_FLOW_XON_XOFF) != 0;
    dcb.fOutxDsrFlow = dsrDtr ? 1 : 0;
    dcb.fDtrControl = dsrDtr ? LYN_DTR_CONTROL_HANDSHAKE : LYN_DTR_CONTROL_ENABLE;
    dcb.fOutxCtsFlow = ctsRts ? 1 : 0;
    dcb.fRtsControl = ctsRts ? LYN_RTS_CONTROL_HANDSHAKE : LYN_RTS_CONTROL_ENABLE;
    dcb.fOutX = xonXoff ? 1 : 0;
    dcb.fInX = xonXoff ? 1 : 0;
    dcb.fBinary = 1;
    dcb.fNull = 0;
    dcb.XonLim = xonLimit;
    dcb.XoffLim = xoffLimit;
    dcb.XonChar = xonChar;
    dcb.XoffChar = xoffChar;
    return SetCommState(dcb);
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
