#pragma once

#include <string>

// Numbers from cell texts, read the way the C library's atoi / atol / atof do: leading blanks skipped,
// conversion stops at the first character that does not fit, 0 when nothing fits. Out-of-range integers
// saturate instead of being undefined.
int AtoI(const std::string& text);
long AtoL(const std::string& text);
double AtoF(const std::string& text);

// A decimal number held exactly, as typed: (negative ? -1 : 1) * digits / 10^decimals. "4.35" is 435 with
// 2 decimals, "1.50" is 150 with 2; binary floating point cannot hold either exactly.
struct DecimalNumber {
    bool negative = false;
    unsigned long long digits = 0;
    int decimals = 0;
};

// Reads a plain decimal text: blanks, an optional sign, digits with at most one point (".5" and "5." count),
// blanks. False for anything else (letters, an exponent, hexadecimal, a comma, no digit at all) and for
// values whose digits do not fit in 64 bits.
bool ParseDecimal(const std::string& text, DecimalNumber& out);

// The number in steps of 10^-decimals, rounded to the nearest step (halves away from zero); `exact` tells
// whether it was a whole number of steps. False when the steps do not fit in 63 bits.
bool ToSteps(const DecimalNumber& number, int decimals, long long& steps, bool* exact = nullptr);
