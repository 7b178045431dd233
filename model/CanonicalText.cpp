#include "model/CanonicalText.h"

#include "model/CBrantSetupType.h"

namespace {
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool SameButCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}
} // namespace

std::string CanonicalNumber(const std::string& text) {
    if (CBrantSetupType::Check3Bytes(text)) return text;
    BYTE bytes[3] = {};
    CBrantSetupType::Encode3Bytes(text, bytes);
    return CBrantSetupType::Decode3Bytes(bytes);
}

std::string CanonicalUnitText(const std::string& text) {
    std::string unit;
    for (char c : text) {
        if (c == ' ') continue;
        unit.push_back(c == '\xDF' ? '\xB0' : c);
    }
    return unit;
}

std::string WithoutTrailingBlanks(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string ListSpelling(const std::vector<std::string>& items, const std::string& text) {
    for (const std::string& item : items)
        if (item == text) return item;
    const std::string trimmed = Trimmed(text);
    for (const std::string& item : items)
        if (SameButCase(item, trimmed)) return item;
    return text;
}

std::string ShortDecimal(long long steps, int decimals) {
    const bool negative = steps < 0;
    unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(steps) : static_cast<unsigned long long>(steps);
    std::string digits = std::to_string(magnitude);
    if (decimals > 0) {
        if (digits.size() <= static_cast<std::size_t>(decimals))
            digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
        while (digits.back() == '0')
            digits.pop_back();
        if (digits.back() == '.') digits.pop_back();
    }
    return negative && magnitude != 0 ? "-" + digits : digits;
}

bool HasControlCharacter(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') return true;
    return false;
}
