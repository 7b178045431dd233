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

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// 10^exponent for 0..19 (the largest that fits in 64 bits); 0 beyond.
unsigned long long PowerOfTen(int exponent) {
    if (exponent < 0 || exponent > 19) return 0;
    unsigned long long power = 1;
    for (int i = 0; i < exponent; ++i)
        power *= 10;
    return power;
}
} // namespace

bool ParseDecimal(const std::string& text, DecimalNumber& out) {
    DecimalNumber number;
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.negative = text[i++] == '-';
    bool point = false, digit = false;
    for (; i < text.size() && !IsBlank(text[i]); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return false;
        const unsigned value = static_cast<unsigned>(c - '0');
        if (number.digits > (ULLONG_MAX - value) / 10) return false;
        number.digits = number.digits * 10 + value;
        digit = true;
        if (point) ++number.decimals;
    }
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (!digit || i != text.size()) return false;
    out = number;
    return true;
}

bool ToSteps(const DecimalNumber& number, int decimals, long long& steps, bool* exact) {
    unsigned long long magnitude = 0;
    bool whole = true;
    if (number.decimals <= decimals) {
        const unsigned long long factor = PowerOfTen(decimals - number.decimals);
        if (factor == 0 || (number.digits != 0 && number.digits > ULLONG_MAX / factor)) return false;
        magnitude = number.digits * factor;
    } else {
        const unsigned long long divisor = PowerOfTen(number.decimals - decimals);
        if (divisor == 0) { // more than 19 places to drop: the digits are below half a step
            whole = number.digits == 0;
        } else {
            const unsigned long long rest = number.digits % divisor;
            magnitude = number.digits / divisor + (rest >= divisor - rest ? 1 : 0);
            whole = rest == 0;
        }
    }
    if (magnitude > static_cast<unsigned long long>(LLONG_MAX)) return false;
    steps = number.negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    if (exact) *exact = whole;
    return true;
}
