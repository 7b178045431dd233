#include "ui/sheet/Cp1252.h"

#include <gtest/gtest.h>

// The table is tested with the model; here the step to Qt's strings: signs and the Windows range both
// ways, every byte back, a character without a byte (one even outside the basic plane) shown as '?' and
// refused, with the old value kept, when entered.
TEST(Cp1252, QtStringsBothWays) {
    for (const auto& [bytes, utf8] : {std::pair{"5\xB0", "5°"}, std::pair{"<>\xB1", "<>±"},
                                      std::pair{"\x80\x85\x99\x93x\x94", "€…™“x”"}}) {
        EXPECT_EQ(FromCp1252(bytes), QString::fromUtf8(utf8)) << utf8;
        EXPECT_EQ(ToCp1252(QString::fromUtf8(utf8)), bytes) << utf8;
    }
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    EXPECT_EQ(ToCp1252(FromCp1252(all)), all);
    EXPECT_EQ(ToCp1252(QString::fromUtf8("Ω1 a😀b")), "?1 a?b");
    std::string out = "kept";
    EXPECT_FALSE(ToCp1252(QString::fromUtf8("Ω1"), out));
    EXPECT_EQ(out, "kept");
}
