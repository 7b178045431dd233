#include "model/Cp1252.h"

#include <cstdint>

namespace {
// Code points of 0x80..0x9F; 0 marks the five bytes Windows-1252 leaves undefined (kept as C1 controls).
const char32_t g_high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                             0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                             0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                             0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F && g_high[byte - 0x80]) return g_high[byte - 0x80];
    return byte;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// False when Windows-1252 has no byte for the character.
bool FromCodePoint(char32_t cp, char& byte) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        byte = static_cast<char>(cp);
        return true;
    }
    for (int i = 0; i < 32; ++i)
        if (g_high[i] == cp || (g_high[i] == 0 && cp == static_cast<char32_t>(0x80 + i))) {
            byte = static_cast<char>(0x80 + i);
            return true;
        }
    return false;
}

// Converts `text`; a character without a byte becomes '?' unless `refused` is given, in which case the
// conversion stops there with that character (UTF-8) in `refused`.
bool Convert(const std::string& text, std::string& out, std::string* refused) {
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80           ? 1
                     : (lead >> 5) == 0x6  ? 2
                     : (lead >> 4) == 0xE  ? 3
                     : (lead >> 3) == 0x1E ? 4
                                           : 0;
        char32_t cp = length == 1   ? lead
                      : length == 2 ? (lead & 0x1F)
                      : length == 3 ? (lead & 0x0F)
                                    : (lead & 0x07);
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        char byte = '?';
        if (!FromCodePoint(cp, byte) && refused) {
            *refused = text.substr(i, static_cast<std::size_t>(length));
            return false;
        }
        out.push_back(byte);
        i += static_cast<std::size_t>(length);
    }
    return true;
}
} // namespace

const char* const g_strNotCp1252 =
    "The text holds a character that the document cannot store. Last value will be used.";

std::string Utf8FromCp1252(const std::string& text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char byte : text)
        AppendUtf8(out, ToCodePoint(byte));
    return out;
}

std::string Cp1252FromUtf8(const std::string& text) {
    std::string out;
    Convert(text, out, nullptr);
    return out;
}

bool Cp1252FromUtf8(const std::string& text, std::string& out, std::string& refused) {
    std::string converted;
    refused.clear();
    if (!Convert(text, converted, &refused)) return false;
    out = std::move(converted);
    return true;
}
