#include "model/CArchive.h"

void CArchive::Need(std::size_t count) const {
    if (m_mode != load)
        throw CArchiveException(CArchiveException::genericException, "reading from an archive that stores");
    if (count > GetRemaining()) throw CArchiveException(CArchiveException::endOfFile);
}

void CArchive::WriteUInt8(std::uint8_t value) {
    m_buffer.push_back(value);
}

void CArchive::WriteUInt16(std::uint16_t value) {
    m_buffer.push_back(static_cast<std::uint8_t>(value & 0xFF));
    m_buffer.push_back(static_cast<std::uint8_t>(value >> 8));
}

void CArchive::WriteUInt32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        m_buffer.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

// Length prefix: one byte below 255; else 0xFF and 16 bits below 0xFFFE; else 0xFF, 0xFFFF and 32 bits.
void CArchive::WriteString(const std::string& text) {
    const std::size_t length = text.size();
    if (length < 0xFF) {
        WriteUInt8(static_cast<std::uint8_t>(length));
    } else if (length < 0xFFFE) {
        WriteUInt8(0xFF);
        WriteUInt16(static_cast<std::uint16_t>(length));
    } else {
        WriteUInt8(0xFF);
        WriteUInt16(0xFFFF);
        WriteUInt32(static_cast<std::uint32_t>(length));
    }
    m_buffer.insert(m_buffer.end(), text.begin(), text.end());
}

void CArchive::CountItems(std::size_t count) {
    if (count > MAX_DOCUMENT_ITEMS - m_nItems)
        throw CArchiveException(CArchiveException::badSchema,
                                "the file holds more list items than a document");
    m_nItems += count;
}

std::uint8_t CArchive::ReadUInt8() {
    Need(1);
    return m_buffer[m_pos++];
}

std::uint16_t CArchive::ReadUInt16() {
    Need(2);
    const std::uint16_t value = static_cast<std::uint16_t>(m_buffer[m_pos] | (m_buffer[m_pos + 1] << 8));
    m_pos += 2;
    return value;
}

std::uint32_t CArchive::ReadUInt32() {
    Need(4);
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | m_buffer[m_pos + static_cast<std::size_t>(i)];
    m_pos += 4;
    return value;
}

std::string CArchive::ReadString() {
    std::uint32_t length = ReadUInt8();
    if (length == 0xFF) {
        length = ReadUInt16();
        if (length == 0xFFFF) length = ReadUInt32();
    }
    Need(length);
    std::string text(reinterpret_cast<const char*>(m_buffer.data() + m_pos), length);
    m_pos += length;
    return text;
}
