#pragma once

#include "model/CArchiveException.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Serialisation of the document file: little-endian integers and length-prefixed strings.
// A loading archive reads from a byte buffer it owns; a storing archive appends to one.
// Reading past the end raises CArchiveException(endOfFile); nothing is ever allocated beyond what the
// buffer can back, so a length prefix that claims more bytes than remain fails instead of allocating.
class CArchive {
public:
    enum Mode { load, store };

    explicit CArchive(Mode mode) : m_mode(mode) {}
    CArchive(std::vector<std::uint8_t> bytes) : m_mode(load), m_buffer(std::move(bytes)) {}

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }

    void WriteUInt8(std::uint8_t value);
    void WriteUInt16(std::uint16_t value);
    void WriteUInt32(std::uint32_t value);
    void WriteInt32(std::int32_t value) { WriteUInt32(static_cast<std::uint32_t>(value)); }
    void WriteInt16(std::int16_t value) { WriteUInt16(static_cast<std::uint16_t>(value)); }
    void WriteString(const std::string& text);

    std::uint8_t ReadUInt8();
    std::uint16_t ReadUInt16();
    std::uint32_t ReadUInt32();
    std::int32_t ReadInt32() { return static_cast<std::int32_t>(ReadUInt32()); }
    std::int16_t ReadInt16() { return static_cast<std::int16_t>(ReadUInt16()); }
    std::string ReadString();

    // The list items a document holds at most: 24 LCD unit lists of CBrChnData::MAX_ITEMS units, and room
    // to spare for every other list. Counting them keeps a damaged file from making the loader build far
    // more strings than its bytes would suggest (an empty item takes one byte).
    static constexpr std::size_t MAX_DOCUMENT_ITEMS = 2u * 1024 * 1024;
    // Counts `count` more items read; a document beyond MAX_DOCUMENT_ITEMS is refused.
    void CountItems(std::size_t count);

    // Bytes written so far (storing) or the whole input (loading).
    const std::vector<std::uint8_t>& GetBuffer() const { return m_buffer; }
    std::size_t GetPosition() const { return m_pos; }
    std::size_t GetRemaining() const { return m_buffer.size() - m_pos; }

private:
    void Need(std::size_t count) const;

    Mode m_mode;
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_nItems = 0;
};
