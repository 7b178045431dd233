#include "model/Cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252Text, EveryByteRoundTripsAndTheSignsAreUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(Cp1252FromUtf8(Utf8FromCp1252(all)), all);
    EXPECT_EQ(Utf8FromCp1252("\xB0\xB1\x80"), "\u00B0\u00B1\u20AC");
    EXPECT_EQ(Cp1252FromUtf8("\u4E2D\U0001F600x"), "??x") << "what the code page lacks becomes '?'";
}

// Entered text: stored as Windows-1252 bytes, or refused naming the first character it cannot hold.
// Malformed UTF-8 (a lone Windows-1252 byte, a cut sequence) is taken byte by byte.
TEST(Cp1252Text, EnteredTextWithAnUnstorableCharacterIsRefused) {
    const struct {
        std::string utf8;
        bool stored;
        std::string result; // the bytes, or the refused character
    } cases[] = {
        {"\u00B0C \u00B1\u20AC", true,
         "\xB0"
         "C \xB1\x80"},
        {"5 \u03A9", false, "\u03A9"},
        {"a\U0001F600b", false, "\U0001F600"},
        {"\xB0", true, "\xB0"},
        {"\xE2\x82", true, "\xE2\x82"},
        {"", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        std::string out = "before";
        std::string refused;
        EXPECT_EQ(Cp1252FromUtf8(c.utf8, out, refused), c.stored);
        EXPECT_EQ(c.stored ? out : refused, c.result);
        EXPECT_EQ(out, c.stored ? c.result : "before");
    }
}
