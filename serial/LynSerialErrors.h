#pragma once

// errno values to the reasons LynSerial gives, always followed by the system's own message. The Windows back
// end maps its system errors to the same errno values, so both systems give the same reasons.

#include <string>

namespace lynserial {

// The C library's message for errnum ("Permission denied").
std::string SystemMessage(int errnum);
// The driver does not do this (modem-control ioctls on pseudo-terminals and some USB adapters).
bool IsUnsupported(int errnum);
// The device went away under an open port.
bool IsVanished(int errnum);
// Why opening path failed, in words a technician can act on; systemText is the system's own message
// (SystemMessage (errnum) when empty).
std::string OpenErrorText(int errnum, const std::string& path, const std::string& systemText = std::string());
// Why an operation (what: "read", "write", ...) on the open port at path failed.
std::string IoErrorText(int errnum, const std::string& path, const char* what,
                        const std::string& systemText = std::string());

} // namespace lynserial
