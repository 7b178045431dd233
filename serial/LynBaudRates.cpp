#include "LynBaudRates.h"

#include <iterator>

namespace lynserial {

namespace {

struct BaudCode {
    std::uint32_t baud;
    speed_t speed;
};

const BaudCode g_BaudCodes[] = {
    {50, B50},         {75, B75},     {110, B110},   {134, B134},     {150, B150},
    {200, B200},       {300, B300},   {600, B600},   {1200, B1200},   {1800, B1800},
    {2400, B2400},     {4800, B4800}, {9600, B9600}, {19200, B19200}, {38400, B38400},
#ifdef B57600
    {57600, B57600},
#endif
#ifdef B115200
    {115200, B115200},
#endif
#ifdef B230400
    {230400, B230400},
#endif
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B921600
    {921600, B921600},
#endif
};

} // namespace

bool BaudToSpeed(std::uint32_t baudRate, speed_t& speed) {
    for (const BaudCode& code : g_BaudCodes) {
        if (code.baud == baudRate) {
            speed = code.speed;
            return true;
        }
    }
    return false;
}

std::uint32_t SpeedToBaud(speed_t speed) {
    for (const BaudCode& code : g_BaudCodes) {
        if (code.speed == speed) return code.baud;
    }
    return 0;
}

std::uint32_t MaxBaud() {
    return std::prev(std::end(g_BaudCodes))->baud;
}

} // namespace lynserial
