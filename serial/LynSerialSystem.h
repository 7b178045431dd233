#pragma once

// What the portable front of LynSerial asks of the back end of the system it runs on (LynSerialPosix.cpp or
// LynSerialWindows.cpp). The member functions of CLynSerial that talk to the driver are defined there too.

#include <atomic>
#include <string>

namespace lynserial {

// The library-wide port-open flag.
extern std::atomic<bool> g_bPortOpen;

// The device that COMn (1 to 256) opens on this system.
std::string ComDevicePath(int number);
// How a port is named in messages: the name the user gave, with the device it stands for when that differs.
std::string PortLabel(const std::string& name, const std::string& path);

} // namespace lynserial
