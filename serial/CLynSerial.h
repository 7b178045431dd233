#pragma once

// LynSerial: one RS-232 port. Opens, configures, writes, reads and closes the port. The class is the same on
// every system; underneath it, one back end per system talks to the driver (the Windows communications
// interface with overlapped I/O, or POSIX termios). The library starts no thread and takes no lock; every
// call returns within its own time limit.

#include "LynSerialRecords.h"

#include <cstdint>
#include <memory>
#include <string>

#ifdef _WIN32
#ifdef LYNSERIAL_BUILDING
#define LYNSERIAL_API __declspec(dllexport)
#else
#define LYNSERIAL_API __declspec(dllimport)
#endif
#else
#define LYNSERIAL_API __attribute__((visibility("default")))
#endif

// Version of the library, also the version of the shared object and of the DLL's version resource.
#define LYNSERIAL_VERSION "1.1.0.2"

// The back end's waiting objects: the reader's cancel event, the writer's write event and the event waited
// on beside it. Defined by each back end.
struct CLynReader;
struct CLynWriter;

class LYNSERIAL_API CLynSerial {
public:
    CLynSerial();
    virtual ~CLynSerial();
    CLynSerial(const CLynSerial&) = delete;
    CLynSerial& operator=(const CLynSerial&) = delete;

    // Name of the run-time class, "CLynSerial".
    virtual const char* GetRuntimeClassName() const;
    // Creates an object by class name; the caller owns it.
    static CLynSerial* CreateObject();

    // Opens the port exclusively and applies the default line settings (9600 baud, 8 data bits, no parity,
    // one stop bit, no flow control, DTR and RTS on). "COM1" to "COM256", in any letter case, name the
    // system's serial ports (DevicePathFor); any other name is the device itself. 0 on success,
    // LYN_OPEN_FAILED on failure.
    std::uint32_t OpenCommPort(const char* portName);
    // Always 1.
    std::uint32_t CloseCommPort();
    LynHandle GetCommHandle() const { return m_hComm; }
    bool IsOpen() const { return m_hComm != LYN_INVALID_HANDLE; }
    // The library-wide port-open flag: set by a successful OpenCommPort, cleared by CloseCommPort and by
    // the constructor.
    static bool IsPortOpenFlagSet();

    // Stored only: the library sends no notification.
    void SetDataNotifyMsg(void* window, std::uint32_t message) {
        m_pNotifyWnd = window;
        m_nNotifyMsg = message;
    }
    void* GetNotifyWindow() const { return m_pNotifyWnd; }
    std::uint32_t GetNotifyMsg() const { return m_nNotifyMsg; }

    // The int results are nonzero on success, 0 on failure (GetLastErrorText says why).
    int GetCommState(LynDcb& dcb);
    int SetCommState(LynDcb& dcb);
    int GetCommTimeouts(LynCommTimeouts& timeouts);
    int SetCommTimeouts(const LynCommTimeouts& timeouts);
    int GetCommProperties(LynCommProp& prop);
    int SetCommMask(std::uint32_t mask);
    int GetCommMask(std::uint32_t& mask);
    int SetBaudRate(std::uint32_t baudRate);
    int SetParityDataStop(std::uint8_t parity, std::uint8_t dataBits, std::uint8_t stopBits);
    int SetFlowControl(std::uint32_t flags, std::uint16_t xonLimit, std::uint16_t xoffLimit, char xonChar,
                       char xoffChar);
    int SetBufferSizes(std::uint32_t inputSize, std::uint32_t outputSize);
    // Discards what is queued: LYN_PURGE_TX* the output, LYN_PURGE_RX* the input.
    int PurgeComm(std::uint32_t flags);

    // Writes the bytes in order, one request per byte, giving each at most 1000 ms; a byte that fails is
    // skipped, and a byte that times out drops the rest of the message (the line is stalled). Returns length
    // (0 for a negative length). Errors are not reported in the result: the caller's protocol reads the
    // answer back. GetLastErrorText tells what went wrong.
    std::uint32_t SendData(const std::uint8_t* data, int length);
    // Reads what has arrived, at most maximum bytes; never waits for bytes that have not arrived. Returns
    // the number of bytes placed in the buffer, 0 when none were waiting or on an error.
    int ReadData(std::uint8_t* buffer, int maximum);

    // The reason of the last failure, with the system's own message; empty after a successful open.
    const char* GetLastErrorText() const { return m_strLastError.c_str(); }
    // The errno value of the last failure (on Windows the system's error mapped to the same codes), 0 when
    // there was none.
    int GetLastErrorCode() const { return m_nLastError; }
    // Forgets the last failure, so that the next call's failure can be told apart.
    void ClearLastError() {
        m_nLastError = 0;
        m_strLastError.clear();
    }
    // True once the device has gone away under an open port (adapter unplugged, far end closed).
    bool IsPortLost() const { return m_bLost; }

    // The text OpenCommPort gives when opening path fails with errnum.
    static std::string FormatOpenError(int errnum, const std::string& path);
    // The device a port name opens: COMn (1 to 256, any letter case) is /dev/ttyS(n-1) on POSIX systems
    // and \\.\COMn on Windows; any other name is returned unchanged.
    static std::string DevicePathFor(const std::string& portName);
    // n for a name COM1 to COM256 in any letter case, else 0.
    static int ComPortNumber(const std::string& portName);

private:
    int Fail(int errnum, const std::string& text);
    int FailIo(int errnum, const char* what, const std::string& systemText = std::string());
    int CheckOpen();
    // Back-end steps: open the named device exclusively, check it is a serial port, discard what is
    // pending and clear a break; close it after giving queued output a moment to leave.
    int OpenDevice(const std::string& name);
    void CloseDevice();
    int ApplyModemLines(const LynDcb& dcb);

    LynHandle m_hComm = LYN_INVALID_HANDLE;
    std::uint32_t m_nNotifyMsg = 0;
    void* m_pNotifyWnd = nullptr;
    std::uint32_t m_dwEventMask = 0;
    std::unique_ptr<CLynReader> m_pReader;
    std::unique_ptr<CLynWriter> m_pWriter;
    std::string m_strPath;
    // Settings a POSIX driver has no place for (limits, DTR/RTS control, time-outs, queue sizes) live here
    // between calls; the Windows driver keeps them itself.
    LynDcb m_dcb;
    LynCommTimeouts m_timeouts;
    std::uint32_t m_dwInQueue = 0;
    std::uint32_t m_dwOutQueue = 0;
    int m_nLastError = 0;
    std::string m_strLastError;
    bool m_bLost = false;
    // A pseudo-terminal has no line: its driver keeps 8 data bits and no parity whatever is asked, so the
    // framing asked for is kept here instead.
    bool m_bPseudo = false;
};
