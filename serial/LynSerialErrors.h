#pragma once

// errno to the reasons LynSerial gives, always followed by the system's own message.

#include <string>

namespace lynserial {

// The system's message for errnum ("Permission denied").
std::string SystemMessage(int errnum);
// The driver does not do this (modem-control ioctls on pseudo-terminals and some USB adapters).
bool IsUnsupported(int errnum);
// The device went away under an open port.
bool IsVanished(int errnum);
// Why opening path failed, in words a technician can act on.
std::string OpenErrorText(int errnum, const std::string& path);
// Why an operation (what: "read", "write", ...) on the open port at path failed.
std::string IoErrorText(int errnum, const std::string& path, const char* what);

} // namespace lynserial
