#include "model/Cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252Text, DocumentSignsBecomeUtf8AndBack) {
    EXPECT_EQ(Utf8FromCp1252("\xB0"
                             "C"),
              "\u00B0C");
    EXPECT_EQ(Utf8FromCp1252("\xB1"), "\u00B1");
    EXPECT_EQ(Utf8FromCp1252("\x80"), "\u20AC");
    EXPECT_EQ(Cp1252FromUtf8("\u00B0C"), "\xB0"
                                         "C");
    EXPECT_EQ(Cp1252FromUtf8("\u00B1"), "\xB1");
    EXPECT_EQ(Cp1252FromUtf8("\u20AC"), "\x80");
}

TEST(Cp1252Text, EveryByteRoundTrips) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(Cp1252FromUtf8(Utf8FromCp1252(all)), all);
}

TEST(Cp1252Text, UnmappableAndMalformedInput) {
    EXPECT_EQ(Cp1252FromUtf8("\u4E2D"), "?");
    EXPECT_EQ(Cp1252FromUtf8("\U0001F600x"), "?x");
    EXPECT_EQ(Cp1252FromUtf8("\xB0"), "\xB0") << "a lone Windows-1252 byte is kept";
    EXPECT_EQ(Cp1252FromUtf8("\xE2\x82"), "\xE2\x82") << "a cut sequence is kept byte by byte";
    EXPECT_EQ(Cp1252FromUtf8(""), "");
}
