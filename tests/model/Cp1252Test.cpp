#include "model/Cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252Text, DocumentSignsBecomeUtf8AndBack) {
    for (const auto& [cp1252, utf8] : std::vector<std::pair<std::string, std::string>>{{"\xB0"
                                                                                        "C",
                                                                                        "\u00B0C"},
                                                                                       {"\xB1", "\u00B1"},
                                                                                       {"\x80", "\u20AC"}}) {
        EXPECT_EQ(Utf8FromCp1252(cp1252), utf8);
        EXPECT_EQ(Cp1252FromUtf8(utf8), cp1252);
    }
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
        {"\xB0", true, "\xB0"}, // a lone Windows-1252 byte is taken as it is
        {"", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        std::string out = "before";
        std::string refused;
        EXPECT_EQ(Cp1252FromUtf8(c.utf8, out, refused), c.stored);
        EXPECT_EQ(c.stored ? out : refused, c.result);
        if (!c.stored) {
            EXPECT_EQ(out, "before") << "nothing is stored";
        }
    }
}
