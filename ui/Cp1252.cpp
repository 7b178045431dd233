#include "ui/Cp1252.h"

#include <QList>

namespace {
// Code points of the bytes 0x80..0x9F. The five bytes Windows-1252 leaves undefined map to the C1 control
// with the same number, so that every byte survives a round trip.
const char16_t g_high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace

QString FromCp1252(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x80 && byte <= 0x9F)
            text.append(QChar(g_high[byte - 0x80]));
        else
            text.append(QChar(static_cast<char16_t>(byte)));
    }
    return text;
}

std::string ToCp1252(const QString& text) {
    std::string bytes;
    const QList<uint> codePoints = text.toUcs4();
    bytes.reserve(static_cast<std::size_t>(codePoints.size()));
    for (uint code : codePoints) {
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            bytes.push_back(static_cast<char>(code));
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (g_high[i] == code) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        bytes.push_back(mapped);
    }
    return bytes;
}
