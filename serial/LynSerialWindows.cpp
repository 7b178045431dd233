// The Windows back end of LynSerial: the port over the Windows communications interface, opened for
// overlapped I/O. Every write and every read is one overlapped request that is waited for, with its time
// limit, inside the call.

#include "CLynSerial.h"

#include "LynSerialErrors.h"
#include "LynSerialSystem.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <windows.h>

static_assert(sizeof(DCB) == sizeof(LynDcb), "LynDcb is the system's DCB");
static_assert(sizeof(COMMTIMEOUTS) == sizeof(LynCommTimeouts),
              "LynCommTimeouts is the system's COMMTIMEOUTS");
static_assert(sizeof(COMMPROP) == sizeof(LynCommProp), "LynCommProp is the system's COMMPROP");

// The reader's cancel event wakes a read that waits on a pending request when the object goes away.
struct CLynReader {
    HANDLE hCancel = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ~CLynReader() {
        if (hCancel) {
            ::SetEvent(hCancel);
            ::CloseHandle(hCancel);
        }
        // A read that was woken gets this long to leave before the object's memory goes.
        ::Sleep(100);
    }
};

// Every write completes on hWrite; hStop is waited on beside it.
struct CLynWriter {
    HANDLE hWrite = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE hStop = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ~CLynWriter() {
        if (hWrite) ::CloseHandle(hWrite);
        if (hStop) ::CloseHandle(hStop);
    }
};

namespace {

constexpr DWORD kByteWriteLimitMs = 1000;
constexpr DWORD kReadLimitMs = 2000;
// Output still queued at close gets this long to leave before it is dropped.
constexpr DWORD kCloseDrainLimitMs = 1000;

HANDLE Handle(LynHandle handle) {
    return static_cast<HANDLE>(handle);
}

// The system's own message for a Windows error, without its closing full stop.
std::string WindowsMessage(DWORD code) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length && text ? std::string(text, length) : std::string();
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                                message.back() == '.'))
        message.pop_back();
    if (message.empty()) message = "error " + std::to_string(code);
    return message;
}

// Errors of opening a port, as the errno values whose reasons the library gives on every system. A COM
// port that another program holds answers "access denied".
int OpenErrno(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return EBUSY;
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_GEN_FAILURE:
    case ERROR_DEVICE_REMOVED:
        return ENODEV;
    default:
        return EINVAL;
    }
}

// Errors of an open port: the ones a removed adapter or a closed far end gives count as a vanished port.
int IoErrno(DWORD code) {
    switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
    case ERROR_NOT_READY:
    case ERROR_BROKEN_PIPE:
    case ERROR_HANDLE_EOF:
        return EIO;
    default:
        return EINVAL;
    }
}

// A manual-reset completion event for one read, released on every path.
class CCallEvent {
public:
    CCallEvent() : m_hEvent(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~CCallEvent() {
        if (m_hEvent) ::CloseHandle(m_hEvent);
    }
    CCallEvent(const CCallEvent&) = delete;
    CCallEvent& operator=(const CCallEvent&) = delete;
    HANDLE Get() const { return m_hEvent; }

private:
    HANDLE m_hEvent;
};

} // namespace

namespace lynserial {

std::string ComDevicePath(int number) {
    return "\\\\.\\COM" + std::to_string(number);
}

std::string PortLabel(const std::string& name, const std::string&) {
    return name;
}

} // namespace lynserial

CLynSerial::CLynSerial()
    : m_pReader(std::make_unique<CLynReader>()), m_pWriter(std::make_unique<CLynWriter>()) {
    lynserial::g_bPortOpen = false;
}

CLynSerial::~CLynSerial() {
    // Keyed to this object's own handle: another object's open port must not keep this one open.
    if (IsOpen()) CloseCommPort();
}

int CLynSerial::OpenDevice(const std::string& name) {
    const std::string path = DevicePathFor(name);
    const std::string label = lynserial::PortLabel(name, path);
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        const int err = OpenErrno(code);
        return Fail(err, lynserial::OpenErrorText(err, label, WindowsMessage(code)));
    }
    // A file or another kind of device opens too; only a port has line settings.
    DCB probe{};
    probe.DCBlength = sizeof probe;
    if (::GetFileType(handle) != FILE_TYPE_CHAR || !::GetCommState(handle, &probe)) {
        ::CloseHandle(handle);
        return Fail(ENOTTY, lynserial::OpenErrorText(ENOTTY, label, "not a communications device"));
    }
    m_hComm = handle;
    m_strPath = label;
    ::PurgeComm(handle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    ::FlushFileBuffers(handle);
    ::ClearCommBreak(handle);
    return 1;
}

void CLynSerial::CloseDevice() {
    const HANDLE handle = Handle(m_hComm);
    if (!m_bLost) {
        // Let what was written leave; a stalled line must not hold the close.
        const DWORD start = ::GetTickCount();
        for (;;) {
            DWORD errors = 0;
            COMSTAT status{};
            if (!::ClearCommError(handle, &errors, &status) || status.cbOutQue == 0) break;
            if (::GetTickCount() - start >= kCloseDrainLimitMs) break;
            ::Sleep(5);
        }
        ::PurgeComm(handle, PURGE_TXABORT | PURGE_TXCLEAR);
    }
    ::CloseHandle(handle);
}

std::uint32_t CLynSerial::SendData(const std::uint8_t* data, int length) {
    if (length <= 0) return 0;
    const auto result = static_cast<std::uint32_t>(length);
    if (!data) {
        Fail(EINVAL, "SendData was given no bytes to send.");
        return result;
    }
    if (!CheckOpen()) return result;
    const HANDLE handle = Handle(m_hComm);
    const HANDLE events[2] = {m_pWriter->hWrite, m_pWriter->hStop};

    for (int i = 0; i < length; ++i) {
        OVERLAPPED request{};
        request.hEvent = m_pWriter->hWrite;
        DWORD written = 0;
        if (::WriteFile(handle, data + i, 1, nullptr, &request)) {
            ::GetOverlappedResult(handle, &request, &written, FALSE);
            continue;
        }
        DWORD code = ::GetLastError();
        if (code == ERROR_IO_PENDING) {
            const DWORD waited = ::WaitForMultipleObjects(2, events, FALSE, kByteWriteLimitMs);
            if (waited == WAIT_OBJECT_0) {
                if (::GetOverlappedResult(handle, &request, &written, FALSE) && written == 1) continue;
                code = ::GetLastError();
            } else {
                // The request still refers to this byte and to the request record: take it back before
                // either goes out of scope.
                ::CancelIo(handle);
                ::GetOverlappedResult(handle, &request, &written, TRUE);
                if (written == 1) continue;
                Fail(ETIMEDOUT, "Port " + m_strPath + ": a byte could not be sent within " +
                                    std::to_string(kByteWriteLimitMs) + " ms and was dropped.");
                // A stalled line (flow control holding it) would hold every further byte as long: the rest
                // of the message is dropped too rather than waiting a second for each.
                return result;
            }
        }
        FailIo(IoErrno(code), "write", WindowsMessage(code));
        // The device is gone: every further byte would fail the same way at once.
        if (m_bLost) return result;
    }
    return result;
}

int CLynSerial::ReadData(std::uint8_t* buffer, int maximum) {
    if (!buffer || maximum <= 0) return 0;
    if (!CheckOpen()) return 0;
    const HANDLE handle = Handle(m_hComm);
    CCallEvent done;
    if (!done.Get()) return 0;

    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(handle, &errors, &status)) {
        const DWORD code = ::GetLastError();
        FailIo(IoErrno(code), "read", WindowsMessage(code));
        return 0;
    }
    if (status.cbInQue == 0) return 0;

    const DWORD wanted = std::min(static_cast<DWORD>(maximum), status.cbInQue);
    OVERLAPPED request{};
    request.hEvent = done.Get();
    DWORD got = 0;
    if (::ReadFile(handle, buffer, wanted, nullptr, &request)) {
        ::GetOverlappedResult(handle, &request, &got, FALSE);
        return static_cast<int>(got);
    }
    const DWORD code = ::GetLastError();
    if (code != ERROR_IO_PENDING) {
        FailIo(IoErrno(code), "read", WindowsMessage(code));
        return 0;
    }
    const HANDLE events[2] = {done.Get(), m_pReader->hCancel};
    if (::WaitForMultipleObjects(2, events, FALSE, kReadLimitMs) != WAIT_OBJECT_0) {
        // Not complete in time (or cancelled): take the request back before the buffer is the caller's
        // again, and count only what it placed there.
        ::CancelIo(handle);
    }
    if (!::GetOverlappedResult(handle, &request, &got, TRUE) && ::GetLastError() != ERROR_OPERATION_ABORTED) {
        const DWORD failed = ::GetLastError();
        FailIo(IoErrno(failed), "read", WindowsMessage(failed));
    }
    return static_cast<int>(got);
}

int CLynSerial::GetCommState(LynDcb& dcb) {
    dcb.DCBlength = LYN_DCB_LENGTH;
    if (!CheckOpen()) return 0;
    DCB system = std::bit_cast<DCB>(dcb);
    if (!::GetCommState(Handle(m_hComm), &system)) {
        const DWORD code = ::GetLastError();
        return FailIo(IoErrno(code), "reading the line settings", WindowsMessage(code));
    }
    dcb = std::bit_cast<LynDcb>(system);
    return 1;
}

int CLynSerial::SetCommState(LynDcb& dcb) {
    dcb.DCBlength = LYN_DCB_LENGTH;
    if (!CheckOpen()) return 0;
    DCB system = std::bit_cast<DCB>(dcb);
    if (!::SetCommState(Handle(m_hComm), &system)) {
        const DWORD code = ::GetLastError();
        return FailIo(IoErrno(code), "setting the line settings", WindowsMessage(code));
    }
    return 1;
}

int CLynSerial::GetCommTimeouts(LynCommTimeouts& timeouts) {
    if (!CheckOpen()) return 0;
    COMMTIMEOUTS system{};
    if (!::GetCommTimeouts(Handle(m_hComm), &system)) {
        const DWORD code = ::GetLastError();
        return FailIo(IoErrno(code), "reading the time-outs", WindowsMessage(code));
    }
    timeouts = std::bit_cast<LynCommTimeouts>(system);
    return 1;
}

int CLynSerial::SetCommTimeouts(const LynCommTimeouts& timeouts) {
    if (!CheckOpen()) return 0;
    COMMTIMEOUTS system = std::bit_cast<COMMTIMEOUTS>(timeouts);
    if (!::SetCommTimeouts(Handle(m_hComm), &system)) {
        const DWORD code = ::GetLastError();
        return FailIo(IoErrno(code), "setting the time-outs", WindowsMessage(code));
    }
    return 1;
}

int CLynSerial::GetCommProperties(LynCommProp& prop) {
    if (!CheckOpen()) return 0;
    COMMPROP system{};
    if (!::GetCommProperties(Handle(m_hComm), &system)) {
        const DWORD code = ::GetLastError();
        return FailIo(IoErrno(code), "reading the port's properties", WindowsMessage(code));
    }
    prop = std::bit_cast<LynCommProp>(system);
    return 1;
}

int CLynSerial::SetCommMask(std::uint32_t mask) {
    m_dwEventMask = mask;
    if (!CheckOpen()) return 0;
    if (!::SetCommMask(Handle(m_hComm), mask)) {
        const DWORD code = ::GetLastError();
        return FailIo(IoErrno(code), "setting the event mask", WindowsMessage(code));
    }
    return 1;
}

int CLynSerial::GetCommMask(std::uint32_t& mask) {
    if (!CheckOpen()) return 0;
    DWORD system = 0;
    if (!::GetCommMask(Handle(m_hComm), &system)) {
        const DWORD code = ::GetLastError();
        return FailIo(IoErrno(code), "reading the event mask", WindowsMessage(code));
    }
    mask = system;
    return 1;
}

int CLynSerial::SetBufferSizes(std::uint32_t inputSize, std::uint32_t outputSize) {
    if (!CheckOpen()) return 0;
    if (!::SetupComm(Handle(m_hComm), inputSize, outputSize)) {
        const DWORD code = ::GetLastError();
        return FailIo(IoErrno(code), "setting the queue sizes", WindowsMessage(code));
    }
    return 1;
}

int CLynSerial::PurgeComm(std::uint32_t flags) {
    if (!CheckOpen()) return 0;
    if (!(flags & LYN_PURGE_ALL)) return Fail(EINVAL, "PurgeComm was given no queue to purge.");
    if (!::PurgeComm(Handle(m_hComm), flags & LYN_PURGE_ALL)) {
        const DWORD code = ::GetLastError();
        return FailIo(IoErrno(code), "purging", WindowsMessage(code));
    }
    return 1;
}
