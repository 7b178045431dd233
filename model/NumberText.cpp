#include "model/NumberText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

long AtoL(const std::string& text) {
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return value; // strtol already saturates at LONG_MIN / LONG_MAX
}

int AtoI(const std::string& text) {
    const long value = AtoL(text);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

double AtoF(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}
