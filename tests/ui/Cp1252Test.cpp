#include "ui/Cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, DegreeAndPlusMinusBecomeTheirUnicodeCharacters) {
    EXPECT_EQ(FromCp1252("\xB0"
                         "C"),
              QString::fromUtf8("°C"));
    EXPECT_EQ(FromCp1252("<>\xB1"), QString::fromUtf8("<>±"));
    EXPECT_EQ(ToCp1252(QString::fromUtf8("°F")), "\xB0"
                                                 "F");
    EXPECT_EQ(ToCp1252(QString::fromUtf8("±")), "\xB1");
}

TEST(Cp1252, TheHighControlRangeUsesTheWindowsTable) {
    EXPECT_EQ(FromCp1252("\x80"), QString::fromUtf8("€"));
    EXPECT_EQ(FromCp1252("\x93x\x94"), QString::fromUtf8("“x”"));
    EXPECT_EQ(ToCp1252(QString::fromUtf8("€…™")), "\x80\x85\x99");
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    EXPECT_EQ(ToCp1252(FromCp1252(all)), all);
}

TEST(Cp1252, CharactersWithoutAByteBecomeQuestionMarks) {
    EXPECT_EQ(ToCp1252(QString::fromUtf8("Ω1")), "?1");
    // A character outside the basic plane is one character, so one question mark.
    EXPECT_EQ(ToCp1252(QString::fromUtf8("a😀b")), "a?b");
}

TEST(Cp1252, EnteredTextWithoutAByteIsRefused) {
    std::string out = "kept";
    EXPECT_FALSE(ToCp1252(QString::fromUtf8("Ω1"), out));
    EXPECT_EQ(out, "kept");
    EXPECT_TRUE(ToCp1252(QString::fromUtf8("°C"), out));
    EXPECT_EQ(out, "\xB0"
                   "C");
}
