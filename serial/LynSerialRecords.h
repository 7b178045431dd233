#pragma once

// Records and codes of the LynSerial interface. They have the layout and field names of the Windows
// communications records (DCB, COMMTIMEOUTS, COMMPROP), byte for byte, so that the Windows back end hands
// them to the system unchanged and code that knew those records reads the same on every system.

#include <cstdint>

#ifdef _WIN32
// The port handle: the Windows file handle of the open device, LYN_INVALID_HANDLE while closed.
using LynHandle = void*;
inline const LynHandle LYN_INVALID_HANDLE = reinterpret_cast<LynHandle>(static_cast<std::intptr_t>(-1));
#else
// The port handle: a file descriptor of the open device, LYN_INVALID_HANDLE while closed.
using LynHandle = int;
constexpr LynHandle LYN_INVALID_HANDLE = -1;
#endif

// OpenCommPort's failure result.
constexpr std::uint32_t LYN_OPEN_FAILED = 0xFFFFFFFFu;

// Parity codes (LynDcb::Parity).
constexpr std::uint8_t LYN_NOPARITY = 0;
constexpr std::uint8_t LYN_ODDPARITY = 1;
constexpr std::uint8_t LYN_EVENPARITY = 2;
constexpr std::uint8_t LYN_MARKPARITY = 3;
constexpr std::uint8_t LYN_SPACEPARITY = 4;

// Stop-bit codes (LynDcb::StopBits). One and a half stop bits exist only with 5 data bits.
constexpr std::uint8_t LYN_ONESTOPBIT = 0;
constexpr std::uint8_t LYN_ONE5STOPBITS = 1;
constexpr std::uint8_t LYN_TWOSTOPBITS = 2;

// DTR line control (LynDcb::fDtrControl).
constexpr std::uint32_t LYN_DTR_CONTROL_DISABLE = 0;
constexpr std::uint32_t LYN_DTR_CONTROL_ENABLE = 1;
constexpr std::uint32_t LYN_DTR_CONTROL_HANDSHAKE = 2;

// RTS line control (LynDcb::fRtsControl).
constexpr std::uint32_t LYN_RTS_CONTROL_DISABLE = 0;
constexpr std::uint32_t LYN_RTS_CONTROL_ENABLE = 1;
constexpr std::uint32_t LYN_RTS_CONTROL_HANDSHAKE = 2;
constexpr std::uint32_t LYN_RTS_CONTROL_TOGGLE = 3;

// SetFlowControl's flag bits.
constexpr std::uint32_t LYN_FLOW_DSR_DTR = 0x01;
constexpr std::uint32_t LYN_FLOW_CTS_RTS = 0x02;
constexpr std::uint32_t LYN_FLOW_XON_XOFF = 0x10;

// Event mask bit: a character was received.
constexpr std::uint32_t LYN_EV_RXCHAR = 0x0001;

// PurgeComm flags. Abort and clear mean the same here: both discard what is queued.
constexpr std::uint32_t LYN_PURGE_TXABORT = 0x01;
constexpr std::uint32_t LYN_PURGE_RXABORT = 0x02;
constexpr std::uint32_t LYN_PURGE_TXCLEAR = 0x04;
constexpr std::uint32_t LYN_PURGE_RXCLEAR = 0x08;
constexpr std::uint32_t LYN_PURGE_ALL = 0x0F;

// LynCommProp bits, with the values of the records they replace.
constexpr std::uint32_t LYN_SP_SERIALCOMM = 0x01; // dwServiceMask
constexpr std::uint32_t LYN_PST_RS232 = 0x01;     // dwProvSubType
constexpr std::uint32_t LYN_PCF_RTSCTS = 0x0002;  // dwProvCapabilities
constexpr std::uint32_t LYN_PCF_PARITY_CHECK = 0x0008;
constexpr std::uint32_t LYN_PCF_XONXOFF = 0x0010;
constexpr std::uint32_t LYN_PCF_SETXCHAR = 0x0020;
constexpr std::uint32_t LYN_SP_PARITY = 0x0001; // dwSettableParams
constexpr std::uint32_t LYN_SP_BAUD = 0x0002;
constexpr std::uint32_t LYN_SP_DATABITS = 0x0004;
constexpr std::uint32_t LYN_SP_STOPBITS = 0x0008;
constexpr std::uint32_t LYN_SP_HANDSHAKING = 0x0010;
constexpr std::uint32_t LYN_SP_PARITY_CHECK = 0x0020;
constexpr std::uint16_t LYN_DATABITS_5_TO_8 = 0x000F; // wSettableData: 5, 6, 7 and 8 data bits
constexpr std::uint16_t LYN_STOPBITS_ALL = 0x0007;    // wSettableStopParity: 1, 1.5 and 2 stop bits
constexpr std::uint16_t LYN_PARITY_ALL = 0x1F00;      // none, odd, even, mark, space

// Line settings of the port. DCBlength is always 28, the record's size.
struct LynDcb {
    std::uint32_t DCBlength = 0;
    std::uint32_t BaudRate = 0;
    std::uint32_t fBinary : 1 = 0;
    std::uint32_t fParity : 1 = 0;
    std::uint32_t fOutxCtsFlow : 1 = 0;
    std::uint32_t fOutxDsrFlow : 1 = 0;
    std::uint32_t fDtrControl : 2 = 0;
    std::uint32_t fDsrSensitivity : 1 = 0;
    std::uint32_t fTXContinueOnXoff : 1 = 0;
    std::uint32_t fOutX : 1 = 0;
    std::uint32_t fInX : 1 = 0;
    std::uint32_t fErrorChar : 1 = 0;
    std::uint32_t fNull : 1 = 0;
    std::uint32_t fRtsControl : 2 = 0;
    std::uint32_t fAbortOnError : 1 = 0;
    std::uint32_t fDummy2 : 17 = 0;
    std::uint16_t wReserved = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    std::uint16_t wReserved1 = 0;
};
static_assert(sizeof(LynDcb) == 28, "the line settings record is 28 bytes");
constexpr std::uint32_t LYN_DCB_LENGTH = sizeof(LynDcb);

// Time-outs in milliseconds, kept by the driver. The library's reads never wait for bytes that have not
// arrived and its writes give every byte at most 1000 ms, whatever is stored here.
struct LynCommTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};

// What the port can do, as the driver reports it. On POSIX systems dwMaxBaud and dwSettableBaud are plain
// rates (the highest rate the library can set), not bit masks, and the queue sizes are the ones last asked
// for with SetBufferSizes.
struct LynCommProp {
    std::uint16_t wPacketLength = 0;
    std::uint16_t wPacketVersion = 0;
    std::uint32_t dwServiceMask = 0;
    std::uint32_t dwReserved1 = 0;
    std::uint32_t dwMaxTxQueue = 0;
    std::uint32_t dwMaxRxQueue = 0;
    std::uint32_t dwMaxBaud = 0;
    std::uint32_t dwProvSubType = 0;
    std::uint32_t dwProvCapabilities = 0;
    std::uint32_t dwSettableParams = 0;
    std::uint32_t dwSettableBaud = 0;
    std::uint16_t wSettableData = 0;
    std::uint16_t wSettableStopParity = 0;
    std::uint32_t dwCurrentTxQueue = 0;
    std::uint32_t dwCurrentRxQueue = 0;
    std::uint32_t dwProvSpec1 = 0;
    std::uint32_t dwProvSpec2 = 0;
    std::uint16_t wcProvChar[1] = {0}; // a UTF-16 unit, as on Windows
};
static_assert(sizeof(LynCommProp) == 64, "the properties record is 64 bytes");
static_assert(sizeof(LynCommTimeouts) == 20, "the time-out record is 20 bytes");
