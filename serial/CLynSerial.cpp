// The portable front of LynSerial: names, results, failures, the port-open flag and the settings that are
// read, changed and written back. Everything that talks to the driver is in the system's back end.

#include "CLynSerial.h"

#include "LynSerialErrors.h"
#include "LynSerialSystem.h"

#include <cerrno>

namespace lynserial {
std::atomic<bool> g_bPortOpen{false};
} // namespace lynserial

const char* CLynSerial::GetRuntimeClassName() const {
    return "CLynSerial";
}

CLynSerial* CLynSerial::CreateObject() {
    return new CLynSerial;
}

bool CLynSerial::IsPortOpenFlagSet() {
    return lynserial::g_bPortOpen.load();
}

int CLynSerial::ComPortNumber(const std::string& portName) {
    if (portName.size() < 4 || portName.size() > 6) return 0;
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (upper(portName[0]) != 'C' || upper(portName[1]) != 'O' || upper(portName[2]) != 'M') return 0;
    if (portName[3] == '0') return 0;
    int number = 0;
    for (std::size_t i = 3; i < portName.size(); ++i) {
        if (portName[i] < '0' || portName[i] > '9') return 0;
        number = number * 10 + (portName[i] - '0');
    }
    return number <= 256 ? number : 0;
}

std::string CLynSerial::DevicePathFor(const std::string& portName) {
    const int number = ComPortNumber(portName);
    return number ? lynserial::ComDevicePath(number) : portName;
}

std::string CLynSerial::FormatOpenError(int errnum, const std::string& path) {
    return lynserial::OpenErrorText(errnum, path);
}

int CLynSerial::Fail(int errnum, const std::string& text) {
    m_nLastError = errnum;
    m_strLastError = text;
    return 0;
}

int CLynSerial::FailIo(int errnum, const char* what, const std::string& systemText) {
    if (lynserial::IsVanished(errnum)) m_bLost = true;
    return Fail(errnum, lynserial::IoErrorText(errnum, m_strPath, what, systemText));
}

int CLynSerial::CheckOpen() {
    if (IsOpen()) return 1;
    return Fail(EBADF, "The port is not open.");
}

std::uint32_t CLynSerial::OpenCommPort(const char* portName) {
    if (lynserial::g_bPortOpen || IsOpen()) CloseCommPort();
    m_bLost = false;
    const std::string name = portName ? portName : "";
    if (name.empty()) {
        Fail(ENOENT, "Cannot open the port: no port name was given.");
        return LYN_OPEN_FAILED;
    }
    // Opens exclusively, checks that the device is a serial port, discards whatever is pending both ways
    // and clears a break.
    if (!OpenDevice(name)) return LYN_OPEN_FAILED;

    // The defaults; a port that refuses one of them is still usable.
    SetBaudRate(9600);
    SetParityDataStop(LYN_NOPARITY, 8, LYN_ONESTOPBIT);
    SetCommMask(LYN_EV_RXCHAR);
    SetBufferSizes(4096, 4096);
    SetFlowControl(0, 100, 100, 0x11, 0x13);

    lynserial::g_bPortOpen = true;
    ClearLastError();
    return 0;
}

std::uint32_t CLynSerial::CloseCommPort() {
    if (IsOpen()) CloseDevice();
    m_hComm = LYN_INVALID_HANDLE;
    lynserial::g_bPortOpen = false;
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
