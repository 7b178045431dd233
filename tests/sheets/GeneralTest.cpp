#include "tests/sheets/SheetsFixture.h"

#include <array>

namespace {
class GeneralSheet : public SheetsFixture {
protected:
    GeneralSheet()
        : ph(Record(SETUP_PHYSICAL_INPUT)), log(Record(SETUP_LOGICAL_INPUT)), alm(Record(SETUP_ALARM)) {}
    std::string Shown(int row) const { return Value(general, row, 1); }
    RecordingSetupType &ph, &log, &alm;
};
} // namespace

TEST_F(GeneralSheet, InitializationAsksBeforeItIsStored) {
    prompt.QueueAnswer(false);
    EXPECT_EQ(general.ValidateData(1, 1, "CONFIG"), 0);
    EXPECT_EQ(Shown(1), "OFF");
    EXPECT_TRUE(alm.notices.empty()) << "a cancelled warning notifies nobody";
    prompt.QueueAnswer(true);
    EXPECT_EQ(general.ValidateData(1, 1, "CONF + GEN"), 1);
    EXPECT_EQ(Shown(1), "CONF + GEN");
    EXPECT_EQ(general.ValidateData(1, 1, "OFF"), 1);
    EXPECT_EQ(prompt.Questions(),
              (Strings{"Warning: This will restore default configuration of all parameters in the "
                       "Zemra on next power up.\n\rPress OK to continue or Cancel",
                       "Warning: This will restore default configuration of all parameters \n\r"
                       "and general constants in the Zemra on next power up.\n\r"
                       "Press OK to continue or Cancel"}))
        << "OFF asks nothing";
}

// Device number digits only, hysteresis in steps of 0.05 %, list rows only their own items in any letter
// case; each stored in its canonical text ("+07" is 7, "0.1000" is 0.1). Each edit in turn,
// with the value the row shows afterwards (a refusal keeps the previous one) and the message.
TEST_F(GeneralSheet, EditsAreCheckedPerRow) {
    const UINT bad = IDS_INVALID_VALUE, step = IDS_HYSTERESIS_STEP;
    // clang-format off
    const std::tuple<int, const char*, const char*, UINT> cases[] = {
        {3, "2", "2", 0},            {3, "1", "1", 0},           {3, "62", "62", 0},
        {3, "63", "62", bad},        {3, "0", "62", bad},        {3, "abc", "62", bad},
        {3, " 5", "5", 0},           {3, "7xy", "5", bad},       {3, "+07", "7", 0},
        {3, "7.", "7", bad},        {14, "12.5", "12.5", 0},    {14, "12.51", "12.5", bad},
        {14, "none", "0", 0},        {14, "nan", "0", bad},      {14, "-1", "0", bad},
        {14, "0.35", "0.35", 0},     {14, "0.07", "0.35", step}, {14, "1e1", "0.35", bad},
        {14, "0.1000", "0.1", 0},    {11, "-REF", "-REF", 0},    {11, "+ref", "+REF", 0},
        {5, "57600", "9600", bad},   {40, "x", "NON", bad},
        {4, "BRANT BUS", "BRANT BUS", 0}, {0, "x", "Selections  ", bad}, {1000, "x", "<no cell>", bad}};
    // clang-format on
    for (const auto& [row, text, shown, error] : cases) {
        EXPECT_EQ(general.ValidateData(row, 1, text), error == 0) << row << " " << text;
        EXPECT_EQ(Shown(row), shown) << row << " " << text;
        EXPECT_EQ(error ? Error(general) : 0u, error) << row << " " << text;
        // Every edit is announced to the other three in its canonical text, also a refused one.
        ASSERT_FALSE(alm.notices.empty());
        EXPECT_EQ(alm.notices.back(),
                  (RecordingSetupType::Notice{0, row, 1, general.CanonicalText(row, 1, text)}));
    }
    EXPECT_EQ(ph.notices, alm.notices);
    EXPECT_EQ(log.notices, alm.notices);
    EXPECT_TRUE(prompt.Messages().empty()) << "the view shows the refusal, not the sheet";
    general.SetParm(7, 1, "MAYBE");
    EXPECT_EQ(Shown(7), "OFF") << "a list cell keeps its selection for an unknown text";
}

TEST_F(GeneralSheet, ConstantsBlockEncoding) {
    prompt.SetDefaultAnswer(true);
    general.ValidateData(1, 1, "CONF + GEN");
    general.ValidateData(14, 1, "12.5");
    general.ValidateData(5, 1, "19200"); // RS-485; RS-232 stays at 9600
    std::array<BYTE, 32> block;
    for (int i = 0; i < 32; ++i)
        block[static_cast<std::size_t>(i)] = static_cast<BYTE>(0xA0 + i);
    general.GetConDataBlock(0, block.data());
    // Eight constants of 32 bits: initialisation 3033, 0, protocol MODBUS, device number 1, constant 4 as
    // the unit sent it, RS-232 9600, RS-485 19200, 0.
    const std::array<BYTE, 32> expected = {0xD9, 0x0B, 0,    0,    0, 0,    0,    0,    1,    0,    0,
                                           0,    1,    0,    0,    0, 0xB0, 0xB1, 0xB2, 0xB3, 0x80, 0x25,
                                           0,    0,    0x00, 0x4B, 0, 0,    0,    0,    0,    0};
    EXPECT_EQ(block, expected);
    std::array<BYTE, 32> second{};
    general.GetConDataBlock(8, second.data());
    EXPECT_EQ(second[28], 250) << "hysteresis 12.5 in 0.05 steps";
}

// Codes the sheet does not take are the device image test's corrections.
TEST_F(GeneralSheet, ConstantsBlockDecoding) {
    BYTE block[32] = {0xB8, 0x0B}; // 3000: CONFIG
    general.SetConstants(0, block);
    EXPECT_EQ(Shown(1), "CONFIG");
    EXPECT_TRUE(prompt.Log().empty()) << "no warning while applying a block";
    EXPECT_TRUE(alm.notices.empty());
    BYTE second[32] = {};
    second[28] = 250;
    general.SetConstants(8, second);
    EXPECT_EQ(Shown(14), "12.5");
    EXPECT_EQ((Strings{general.FormatValue(14, 20), general.FormatValue(14, 1), general.FormatValue(3, 62)}),
              (Strings{"1", "0.05", "62"}));
    EXPECT_EQ(general.StringToValue(7, "MAYBE"), 0xFFFFFFFFu);
    // Steps counted from the decimal text; a text between steps (an older document) takes the nearest.
    for (const auto& [text, steps] : std::vector<std::pair<std::string, std::uint32_t>>{
             {"0.35", 7}, {"12.5", 250}, {"0.08", 2}, {"0.07", 1}, {"1e1", 200}, {"", 0}})
        EXPECT_EQ(general.StringToValue(14, text), steps) << text;
}
