#pragma once

#include <string>

// Numbers from cell texts, read the way the C library's atoi / atol / atof do: leading blanks skipped,
// conversion stops at the first character that does not fit, 0 when nothing fits. Out-of-range integers
// saturate instead of being undefined.
int AtoI(const std::string& text);
long AtoL(const std::string& text);
double AtoF(const std::string& text);
