#include "ui/Cp1252.h"

#include <gtest/gtest.h>

// Windows-1252 bytes and the characters they stand for, both ways; the high control range is the Windows
// table, not Latin-1.
TEST(Cp1252, BytesAndCharactersBothWays) {
    const struct {
        const char* bytes;
        const char* utf8;
    } rows[] = {{"\xB0"
                 "C",
                 "°C"},
                {"<>\xB1", "<>±"},
                {"\x80\x85\x99", "€…™"},
                {"\x93x\x94", "“x”"}};
    for (const auto& row : rows) {
        EXPECT_EQ(FromCp1252(row.bytes), QString::fromUtf8(row.utf8)) << row.utf8;
        EXPECT_EQ(ToCp1252(QString::fromUtf8(row.utf8)), row.bytes) << row.utf8;
    }
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    EXPECT_EQ(ToCp1252(FromCp1252(all)), all) << "every byte survives a round trip";
}

// Shown text without a byte becomes a question mark (one per character, also outside the basic plane);
// entered text without a byte is refused and the old value kept.
TEST(Cp1252, CharactersWithoutAByte) {
    EXPECT_EQ(ToCp1252(QString::fromUtf8("Ω1")), "?1");
    EXPECT_EQ(ToCp1252(QString::fromUtf8("a😀b")), "a?b");
    std::string out = "kept";
    EXPECT_FALSE(ToCp1252(QString::fromUtf8("Ω1"), out));
    EXPECT_EQ(out, "kept");
    EXPECT_TRUE(ToCp1252(QString::fromUtf8("°C"), out));
    EXPECT_EQ(out, "\xB0"
                   "C");
}
