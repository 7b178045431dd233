#ifdef _WIN32

#include "ui/transfer/SerialPortList.h"

#include <algorithm>
#include <windows.h>

std::vector<std::string> ListSerialPorts(const std::string&) {
    std::vector<std::string> ports;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return ports;
    // Each value names a driver's device; its data is the port name ("COM5").
    for (DWORD index = 0;; ++index) {
        char valueName[256];
        DWORD nameLength = sizeof valueName;
        BYTE data[256];
        DWORD dataLength = sizeof data - 1;
        DWORD type = 0;
        const LONG result =
            ::RegEnumValueA(key, index, valueName, &nameLength, nullptr, &type, data, &dataLength);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || type != REG_SZ) continue;
        data[dataLength] = 0;
        std::string port(reinterpret_cast<const char*>(data));
        while (!port.empty() && port.back() == '\0')
            port.pop_back();
        if (!port.empty()) ports.push_back(port);
    }
    ::RegCloseKey(key);
    // COM10 after COM9, not after COM1.
    std::sort(ports.begin(), ports.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return ports;
}

#endif
