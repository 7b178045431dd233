#include "LynSerialErrors.h"

#include <cerrno>
#include <cstring>

namespace lynserial {

namespace {

#ifndef _WIN32
// strerror_r comes in two flavours; take the text from whichever this C library has.
[[maybe_unused]] const char* PickMessage(int result, const char* buffer) {
    return result == 0 ? buffer : "";
}
[[maybe_unused]] const char* PickMessage(const char* result, const char*) {
    return result;
}
#endif

std::string Either(const std::string& systemText, int errnum) {
    return systemText.empty() ? SystemMessage(errnum) : systemText;
}

} // namespace

std::string SystemMessage(int errnum) {
    char buffer[256] = {0};
#ifdef _WIN32
    std::string text = strerror_s(buffer, sizeof buffer, errnum) == 0 ? buffer : "";
#else
    std::string text = PickMessage(strerror_r(errnum, buffer, sizeof buffer), buffer);
#endif
    if (text.empty()) text = "error " + std::to_string(errnum);
    return text;
}

bool IsUnsupported(int errnum) {
    return errnum == ENOTTY || errnum == EINVAL || errnum == ENOSYS || errnum == EOPNOTSUPP;
}

bool IsVanished(int errnum) {
    return errnum == EIO || errnum == ENXIO || errnum == ENODEV;
}

std::string OpenErrorText(int errnum, const std::string& path, const std::string& systemText) {
    std::string reason;
    std::string advice;
    switch (errnum) {
    case ENOENT:
        reason = "no such port";
        break;
    case EACCES:
    case EPERM:
        reason = "permission denied";
        advice =
            " The port exists but this user may not use it: the user may need to join the 'dialout' group "
            "(sudo usermod -aG dialout $USER, then log in again).";
        break;
    case EBUSY:
    case EWOULDBLOCK:
        reason = "the port is in use by another program";
        break;
    case ENXIO:
    case ENODEV:
    case EIO:
        reason = "the device is not present or was disconnected";
        break;
    case ENOTTY:
        reason = "not a serial port";
        break;
    case EISDIR:
        reason = "a directory, not a serial port";
        break;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        reason = "not a valid port name";
        break;
    default:
        reason = "cannot open the port";
        break;
    }
    return "Cannot open " + (path.empty() ? std::string("the port") : path) + ": " + reason + " (" +
           Either(systemText, errnum) + ")." + advice;
}

std::string IoErrorText(int errnum, const std::string& path, const char* what,
                        const std::string& systemText) {
    std::string text = "Port " + path + ": " + what + " failed";
    if (IsVanished(errnum)) text += ": the port is no longer available (device unplugged or closed)";
    return text + " (" + Either(systemText, errnum) + ").";
}

} // namespace lynserial
