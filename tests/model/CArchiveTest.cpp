#include "model/CArchive.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::uint8_t> Stored(const std::string& text) {
    CArchive out(CArchive::store);
    out.WriteString(text);
    return out.GetBuffer();
}
} // namespace

TEST(ArchiveString, LengthPrefixAtItsBoundaries) {
    EXPECT_EQ(Stored(""), std::vector<std::uint8_t>{0x00});

    auto b254 = Stored(std::string(254, 'x'));
    EXPECT_EQ(b254.size(), 255u);
    EXPECT_EQ(b254[0], 254);

    auto b255 = Stored(std::string(255, 'x'));
    ASSERT_EQ(b255.size(), 3u + 255u);
    EXPECT_EQ(b255[0], 0xFF);
    EXPECT_EQ(b255[1], 0xFF);
    EXPECT_EQ(b255[2], 0x00);

    auto bFFFD = Stored(std::string(0xFFFD, 'x'));
    ASSERT_EQ(bFFFD.size(), 3u + 0xFFFD);
    EXPECT_EQ(bFFFD[1], 0xFD);
    EXPECT_EQ(bFFFD[2], 0xFF);

    auto bFFFE = Stored(std::string(0xFFFE, 'x'));
    ASSERT_EQ(bFFFE.size(), 7u + 0xFFFE);
    EXPECT_EQ((std::vector<std::uint8_t>(bFFFE.begin(), bFFFE.begin() + 7)),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));
}

TEST(ArchiveString, EveryBoundaryLengthReadsBack) {
    for (std::size_t length : {0u, 1u, 254u, 255u, 256u, 0xFFFDu, 0xFFFEu, 0xFFFFu, 0x10000u}) {
        std::string text(length, '\0');
        for (std::size_t i = 0; i < length; ++i)
            text[i] = static_cast<char>(i * 7);
        CArchive in(Stored(text));
        EXPECT_EQ(in.ReadString(), text) << length;
        EXPECT_EQ(in.GetRemaining(), 0u);
    }
}

TEST(ArchiveIntegers, LittleEndian) {
    CArchive out(CArchive::store);
    out.WriteUInt32(0x01020304);
    out.WriteInt16(-2);
    EXPECT_EQ(out.GetBuffer(), (std::vector<std::uint8_t>{4, 3, 2, 1, 0xFE, 0xFF}));
    CArchive in(out.GetBuffer());
    EXPECT_EQ(in.ReadUInt32(), 0x01020304u);
    EXPECT_EQ(in.ReadInt16(), -2);
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
}
