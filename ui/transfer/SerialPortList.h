#pragma once

// The serial ports present on this system, for the "COM Port Setup" list. One
// implementation per system (SerialPortListPosix.cpp, SerialPortListWindows.cpp); each compiles to nothing on
// the other system, so the source lists need no per-system filter. No Qt here, so that the Windows one is
// compiled by the Windows build, which has no Qt.

#include <string>
#include <vector>

// Sorted. POSIX systems: the USB and ACM serial devices under deviceRoot and their stable names under
// deviceRoot/serial/by-id. Windows: the ports named in the registry's SERIALCOMM key (deviceRoot unused).
std::vector<std::string> ListSerialPorts(const std::string& deviceRoot);
