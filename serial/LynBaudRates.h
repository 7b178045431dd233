#pragma once

// Baud rates as numbers and as termios speed codes.

#include <cstdint>
#include <termios.h>

namespace lynserial {

// False when termios has no code for the rate.
bool BaudToSpeed(std::uint32_t baudRate, speed_t& speed);
// 0 for a code that is no rate (B0 or unknown).
std::uint32_t SpeedToBaud(speed_t speed);
// The highest rate BaudToSpeed accepts.
std::uint32_t MaxBaud();

} // namespace lynserial
