#include "model/CArchive.h"

#include <gtest/gtest.h>

// A string's length prefix is one byte, 0xFF and two bytes, or 0xFF 0xFFFF and four bytes; each length
// reads back as written (with content that is not all one byte, so a shifted read shows).
TEST(ArchiveString, LengthPrefixAtItsBoundaries) {
    const std::pair<std::size_t, std::vector<std::uint8_t>> cases[] = {
        {0, {0x00}},
        {254, {254}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}}};
    for (const auto& [length, prefix] : cases) {
        std::string text(length, '\0');
        for (std::size_t i = 0; i < length; ++i)
            text[i] = static_cast<char>(i * 7);
        CArchive out(CArchive::store);
        out.WriteString(text);
        const std::vector<std::uint8_t>& bytes = out.GetBuffer();
        ASSERT_EQ(bytes.size(), prefix.size() + length);
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(prefix.size())),
                  prefix)
            << length;
        CArchive in(bytes);
        EXPECT_EQ(in.ReadString(), text) << length;
        EXPECT_EQ(in.GetRemaining(), 0u);
    }
}

TEST(ArchiveDamage, ReadsPastTheEndRaiseEndOfFile) {
    CArchive in(std::vector<std::uint8_t>{0x01, 0x02, 0x03});
    EXPECT_THROW(in.ReadUInt32(), CArchiveException);
    // A length prefix claiming 4 GiB must fail without allocating it.
    CArchive huge(std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'});
    try {
        huge.ReadString();
        FAIL() << "no exception";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
    // The list items of a whole document are counted: no file makes the loader build more than one holds.
    in.CountItems(CArchive::MAX_DOCUMENT_ITEMS);
    EXPECT_THROW(in.CountItems(1), CArchiveException);
}
