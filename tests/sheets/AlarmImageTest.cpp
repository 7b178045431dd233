#include "AlarmFixture.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <tuple>

namespace {
using Block = std::array<BYTE, 32>;

class AlarmImage : public AlarmSheets {
protected:
    Block Get(int row) {
        Block block;
        block.fill(0xEE);
        alarm.GetAlarmDataBlock(row - 1, block.data());
        return block;
    }
    void Apply(int row, const Block& block) { alarm.SetAlarmData(row - 1, block.data()); }
    static Block DefaultBlock() {
        Block block{0x30, 0x00, 0x00, 0x20, 0x1E, 0x00, 0x18, 0x0E, 0x00};
        for (int k = 9; k < 19; ++k)
            block[static_cast<std::size_t>(k)] = 0x20;
        return block;
    }
    std::vector<std::string> Row(int row) {
        std::vector<std::string> texts;
        for (int col = 1; col < ALARM_CELLS; ++col)
            texts.push_back(Value(row, col));
        return texts;
    }
};
using AlarmDelay = AlarmImage;

std::string Decoded(int count, int code) {
    std::string text = "unchanged";
    CAlarm::DecodeDelay(count, code, text);
    return text;
}
} // namespace

TEST_F(AlarmImage, DefaultAlarm) {
    EXPECT_EQ(Get(1), DefaultBlock());
    EXPECT_EQ(Get(48), DefaultBlock());
    alarm.GetAlarmDataBlock(0); // into the block the transfer sends
    const Block expected = DefaultBlock();
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), alarm.GetDataBlock()));
    // Blocks outside the 48 alarms come out empty.
    EXPECT_EQ(Get(0), Block{});
    EXPECT_EQ(Get(49), Block{});
}

TEST_F(AlarmImage, InputReferenceByte) {
    ActivatePhysical(1);
    ActivatePhysical(24);
    ASSERT_TRUE(logical.ValidateData(1, 1, "IN 11"));
    UseInput(1, "IN 11");
    UseInput(2, "IN 83");
    UseInput(3, "LOG1");
    EXPECT_EQ(Get(1)[0], 0);
    EXPECT_EQ(Get(2)[0], 23);
    EXPECT_EQ(Get(3)[0], 24);
    alarm.SetParm(4, ALM_COL_INPREF, "LOG8"); // stored values the lists do not offer
    alarm.GetDataSheet()->GetProperty(4, ALM_COL_INPREF)->GetData() = {"LOG8"};
    EXPECT_EQ(Get(4)[0], 31);
    for (const std::string text : {"IN 99", "LXYZ", "NON", ""}) {
        alarm.GetDataSheet()->GetProperty(4, ALM_COL_INPREF)->GetData() = {text};
        EXPECT_EQ(Get(4)[0], 48) << text;
    }
}

TEST_F(AlarmImage, SetPointAndComparison) {
    ActivatePhysical(1);
    ASSERT_TRUE(logical.ValidateData(3, 1, "IN 11"));
    UseInput(5, "IN 11");
    ASSERT_TRUE(alarm.ValidateData(5, ALM_COL_SETPOINT, "12.5"));
    ASSERT_TRUE(alarm.ValidateData(5, ALM_COL_SIGN, ">"));
    EXPECT_EQ((std::array<BYTE, 3>{Get(5)[1], Get(5)[2], Get(5)[3]}),
              (std::array<BYTE, 3>{0x7D, 0x00, 0x08}));
    ASSERT_TRUE(alarm.ValidateData(5, ALM_COL_SIGN, "<"));
    EXPECT_EQ(Get(5)[3], 0x28);
    ASSERT_TRUE(alarm.ValidateData(5, ALM_COL_DYNREF, "LOG3"));
    ASSERT_EQ(Value(5, ALM_COL_SIGN), "\xB1");
    EXPECT_EQ(Get(5)[3], 0x6A);

    ActivatePhysical(2, "24 V", "-100", "100");
    UseInput(6, "IN 12");
    ASSERT_TRUE(alarm.ValidateData(6, ALM_COL_SETPOINT, "-3.25"));
    EXPECT_EQ((std::array<BYTE, 3>{Get(6)[1], Get(6)[2], Get(6)[3]}),
              (std::array<BYTE, 3>{0x45, 0x01, 0xB0}));
}

TEST_F(AlarmImage, LedOutputFlagsText) {
    general.ValidateData(11, 1, "+REF");
    ActivatePhysical(1);
    UseInput(7, "IN 11");
    ASSERT_TRUE(alarm.ValidateData(7, ALM_COL_LED, "24"));
    ASSERT_TRUE(alarm.ValidateData(7, ALM_COL_OUTPUT, "1"));
    SetFlags(7, {"ON", "OFF", "ON"});
    ASSERT_TRUE(alarm.ValidateData(7, ALM_COL_TEXT, "AB"));
    Block block = Get(7);
    const std::string text(block.begin() + 9, block.begin() + 19);
    EXPECT_EQ((std::array<BYTE, 3>{block[6], block[7], block[8]}), (std::array<BYTE, 3>{23, 0, 0xA0}));
    EXPECT_EQ(text, "AB        ");
    EXPECT_TRUE(std::all_of(block.begin() + 19, block.end(), [](BYTE b) { return b == 0; }));

    ASSERT_TRUE(alarm.ValidateData(7, ALM_COL_TEXT, "ABCDEFGHIJKL"));
    block = Get(7);
    EXPECT_EQ(std::string(block.begin() + 9, block.begin() + 19), "ABCDEFGHIJ");
    EXPECT_EQ(block[19], 0);

    Apply(8, Get(7));
    EXPECT_EQ(Value(8, ALM_COL_FLAGS), "BH");
    EXPECT_EQ(Flag(8, 2), "ON");
    ASSERT_TRUE(alarm.ValidateData(7, ALM_COL_TEXT, "AB"));
    Apply(8, Get(7));
    EXPECT_EQ(Value(8, ALM_COL_TEXT), "AB        ");
    SetFlags(7, {"OFF", "ON", "ON"}); // Control and Hysteresis: bits 6 and 5
    EXPECT_EQ(Get(7)[8], 0x60);
}

TEST_F(AlarmImage, ReceivedBlockReproducesTheAlarm) {
    general.ValidateData(11, 1, "+REF");
    ActivatePhysical(4, "20 mA", "-40", "40", "C");
    ASSERT_TRUE(logical.ValidateData(2, 1, "IN 21"));
    UseInput(9, "LOG2");
    ASSERT_TRUE(alarm.ValidateData(9, ALM_COL_DYNREF, "LOG2"));
    ASSERT_TRUE(alarm.ValidateData(9, ALM_COL_SETPOINT, "-12.75"));
    ASSERT_TRUE(alarm.ValidateData(9, ALM_COL_DELAY, "45"));
    ASSERT_TRUE(alarm.ValidateData(9, ALM_COL_LED, "12"));
    ASSERT_TRUE(alarm.ValidateData(9, ALM_COL_OUTPUT, "14"));
    ASSERT_TRUE(alarm.ValidateData(9, ALM_COL_TEXT, "TEMP HIGH!"));
    SetFlags(9, {"OFF", "ON", "OFF"});
    Apply(10, Get(9));
    EXPECT_EQ(Row(10), Row(9));
    EXPECT_EQ(Get(10), Get(9));
    EXPECT_EQ(Get(10)[0], 25);
}

TEST_F(AlarmImage, ReceivedOffLeavesTheDefaults) {
    Block block;
    block.fill(0x5A);
    block[0] = 48;
    Apply(11, block);
    EXPECT_EQ(Get(11), DefaultBlock());
    EXPECT_EQ(Flag(11, 1), "OFF");
}

TEST_F(AlarmImage, ReceivedValuesAreCheckedSilently) {
    ActivatePhysical(1); // LCD 0..100
    UseInput(12, "IN 11");
    Block block = Get(12);
    block[1] = 0xC8;  // set point 200
    block[3] |= 0x40; // "±" with a dynamic reference the lists do not offer
    Apply(12, block);
    EXPECT_EQ(Value(12, ALM_COL_SETPOINT), "100");
    EXPECT_NE(LastError(), IDS_OUT_OF_RANGE_NEAREST);
    EXPECT_EQ(Value(12, ALM_COL_DYNREF), "OFF");
    EXPECT_EQ(Value(12, ALM_COL_SIGN), "<");
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(AlarmImage, ReferenceToAnInputNotOfferedIsNotTaken) {
    ActivatePhysical(1);
    Block block = DefaultBlock();
    block[0] = 1; // IN 12, not active
    block[6] = 3;
    Apply(13, block);
    EXPECT_EQ(Value(13, ALM_COL_INPREF), "OFF");
    EXPECT_EQ(Value(13, ALM_COL_LED), "OFF");
    EXPECT_EQ(Items(13, ALM_COL_INPREF), (std::vector<std::string>{"OFF", "IN 11"}));
    for (BYTE reference : {BYTE{2}, BYTE{24}, BYTE{47}, BYTE{200}}) {
        block[0] = reference;
        Apply(15, block);
        EXPECT_EQ(Items(15, ALM_COL_INPREF), (std::vector<std::string>{"OFF", "IN 11"})) << int(reference);
        EXPECT_EQ(Value(15, ALM_COL_INPREF), "OFF");
    }
}

TEST_F(AlarmImage, AnyBlockKeepsTheSheetSound) {
    ActivatePhysical(1);
    ActivatePhysical(2, "10 V");
    ASSERT_TRUE(logical.ValidateData(1, 1, "IN 11"));
    std::mt19937 random(4711);
    for (int round = 0; round < 3000; ++round) {
        Block block;
        for (BYTE& b : block)
            b = static_cast<BYTE>(random());
        if (round % 3 == 0) block[0] = static_cast<BYTE>(round % 4 == 0 ? 0 : 24); // often an offered input
        const int row = 1 + round % 48;
        Apply(row, block);
        const std::string reference = Value(row, ALM_COL_INPREF);
        ASSERT_TRUE(reference == "OFF" || reference == "IN 11" || reference == "IN 12" || reference == "LOG1")
            << reference;
        ASSERT_EQ(Items(row, ALM_COL_INPREF).front(), "OFF");
        ASSERT_EQ(Items(row, ALM_COL_INPREF).size(), 4u);
        ASSERT_EQ(Items(row, ALM_COL_LED).size(), 25u);
        ASSERT_EQ(Items(row, ALM_COL_OUTPUT).size(), 15u);
        const double delay = std::atof(Value(row, ALM_COL_DELAY).c_str());
        ASSERT_TRUE(delay >= 0.0 && delay <= 86400.0 * 255) << Value(row, ALM_COL_DELAY);
        if (reference == "OFF") {
            ASSERT_EQ(Get(row), DefaultBlock());
        }
        const Block sent = Get(row);
        ASSERT_LT(sent[5], 7);
        ASSERT_TRUE(sent[0] <= 24 || sent[0] == 48);
        ASSERT_LE(sent[6], 24);
        ASSERT_LE(sent[7], 14);
    }
    alarm.SetAlarmData(-1, DefaultBlock().data());
    alarm.SetAlarmData(48, DefaultBlock().data());
    alarm.SetAlarmData(0, nullptr);
}

TEST_F(AlarmImage, TimeFactorWithoutUnitKeepsTheDelay) {
    ActivatePhysical(1);
    UseInput(14, "IN 11");
    ASSERT_TRUE(alarm.ValidateData(14, ALM_COL_DELAY, "12"));
    for (int code : {8, 9, 200, 255}) {
        Block block = Get(14);
        block[4] = 50;
        block[5] = static_cast<BYTE>(code);
        Apply(14, block);
        EXPECT_EQ(Value(14, ALM_COL_DELAY), "12") << code;
    }
}

// The unit keeps a delay as a count of 0..255 of one unit. A delay it holds goes out exactly, with the
// table's code where that holds it (2.5 s as 25 tenths); any other as the nearest delay it holds.
TEST_F(AlarmDelay, TableExamplesAndLimitsOfEachUnit) {
    const struct {
        const char* text;
        int count, code;
    } cases[] = {{"0.3", 30, 0},     {"1", 100, 0},      {"1.01", 101, 0},   {"2.55", 255, 0},
                 {"2.56", 255, 0},   {"2.5", 25, 1},     {"10", 100, 1},     {"12.3", 123, 1},
                 {"12.34", 123, 1},  {"25.5", 255, 1},   {"25.55", 255, 1},  {"45", 45, 2},
                 {"100", 100, 2},    {"100.4", 100, 2},  {"255", 255, 2},    {"256", 255, 2},
                 {"1234.5", 123, 3}, {"2550", 255, 3},   {"2551", 255, 3},   {"2555", 255, 3},
                 {"6000", 100, 4},   {"6001", 100, 4},   {"15300", 255, 4},  {"60000", 100, 5},
                 {"60001", 100, 5},  {"100000", 167, 5}, {"153000", 255, 5}, {"918000", 255, 6},
                 {"0", 0, 0},        {"-5", 0, 0},       {"1e12", 255, 6},   {"nan", 0, 0}};
    for (const auto& c : cases) {
        int count = -1;
        BYTE code = 0xFF;
        CAlarm::EncodeDelay(c.text, count, code);
        EXPECT_EQ(count, c.count) << c.text;
        EXPECT_EQ(code, c.code) << c.text;
    }
}

TEST_F(AlarmDelay, EveryDelayTakesTheNearestTheUnitHolds) {
    static const double tableUpTo[7] = {1.0, 10.0, 100.0, 2550.0, 6000.0, 60000.0, 918000.0};
    for (double seconds = 0.3; seconds <= 918000.0; seconds *= 1.0007) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", seconds);
        int count = -1;
        BYTE code = 0xFF;
        CAlarm::EncodeDelay(text, count, code);
        ASSERT_GE(count, 0);
        ASSERT_LE(count, 255) << text;
        int tableCode = 0;
        while (std::atof(text) > tableUpTo[tableCode])
            ++tableCode;
        // Never coarser than the table's code, and at least as near as its rounding.
        ASSERT_LE(code, tableCode) << text;
        const double unit = CAlarm::GetTimeFactorUnit(tableCode);
        ASSERT_LE(std::fabs(count * CAlarm::GetTimeFactorUnit(code) - std::atof(text)), unit / 2 + 1e-9)
            << text;
    }
}

TEST_F(AlarmDelay, Decoding) {
    // A fraction above one second is kept (2.5); codes outside the table leave the text alone.
    const std::tuple<int, int, const char*> cases[] = {
        {30, 0, "0.300"}, {100, 0, "1.000"}, {5, 1, "0.50"},       {25, 1, "2.5"},
        {150, 0, "1.50"}, {200, 0, "2"},     {45, 2, "45"},        {255, 6, "918000"},
        {2, 7, "172800"}, {0, 3, "0.00"},    {10, 8, "unchanged"}, {10, -1, "unchanged"}};
    for (const auto& [count, code, text] : cases)
        EXPECT_EQ(Decoded(count, code), text) << count << "/" << code;

    // Whatever the sheet accepts comes back from the unit as the same delay.
    for (const std::string text : {"0.3", "0.75", "1", "2.5", "9.9", "45", "100", "2550", "6000", "918000"}) {
        int count = 0;
        BYTE code = 0;
        CAlarm::EncodeDelay(text, count, code);
        EXPECT_DOUBLE_EQ(std::atof(Decoded(count, code).c_str()), std::atof(text.c_str())) << text;
    }
}
