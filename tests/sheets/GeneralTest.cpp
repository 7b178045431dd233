#include "model/CArchive.h"
#include "model/CScriptedPrompt.h"
#include "model/Messages.h"
#include "sheets/general/CGeneral.h"
#include "sheets/general/GeneralTables.h"
#include "tests/sheets/RecordingSetupType.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {
class GeneralSheet : public ::testing::Test {
protected:
    GeneralSheet() : physical(SETUP_PHYSICAL_INPUT), logical(SETUP_LOGICAL_INPUT), alarm(SETUP_ALARM) {
        IBrantSetupType::m_pBrantSetupTypes[0] = &general;
        IBrantSetupType::m_pBrantSetupTypes[1] = &physical;
        IBrantSetupType::m_pBrantSetupTypes[2] = &logical;
        IBrantSetupType::m_pBrantSetupTypes[3] = &alarm;
        general.Initialize();
    }
    ~GeneralSheet() override {
        for (auto*& setup : IBrantSetupType::m_pBrantSetupTypes)
            setup = nullptr;
    }
    std::string Value(int row) { return general.GetDataSheet()->GetProperty(row, 1)->GetDataAsString(); }

    CScriptedPrompt prompt;
    CGeneral general;
    RecordingSetupType physical, logical, alarm;
};
} // namespace

TEST_F(GeneralSheet, DefaultShape) {
    const CDataSheet* sheet = general.GetDataSheet();
    ASSERT_EQ(sheet->GetNumSections(), 65);
    for (int row = 0; row < 65; ++row)
        EXPECT_EQ(sheet->GetNumCells(row), 2);
    // The hidden constant rows hold no value; the visible ones start with the unit's defaults.
    EXPECT_EQ(sheet->GetProperty(64, 0)->GetDataAsString(), "");
    EXPECT_EQ(Value(40), "NON");
    EXPECT_EQ((std::vector<std::string>{Value(1), Value(3), Value(4), Value(5), Value(14)}),
              (std::vector<std::string>{"OFF", "1", "MODBUS", "9600", "0"}));
}

TEST_F(GeneralSheet, InitializationAsksBeforeItIsStored) {
    prompt.QueueAnswer(false);
    EXPECT_EQ(general.ValidateData(1, 1, "CONFIG"), 0);
    EXPECT_EQ(Value(1), "OFF");
    EXPECT_TRUE(alarm.notices.empty()) << "a cancelled warning notifies nobody";
    ASSERT_EQ(prompt.Questions().size(), 1u);
    EXPECT_EQ(prompt.Questions()[0],
              "Warning: This will restore default configuration of all parameters in the "
              "Zemra on next power up.\n\rPress OK to continue or Cancel");

    prompt.QueueAnswer(true);
    EXPECT_EQ(general.ValidateData(1, 1, "CONF + GEN"), 1);
    EXPECT_EQ(Value(1), "CONF + GEN");
    EXPECT_EQ(prompt.Questions()[1], "Warning: This will restore default configuration of all parameters \n\r"
                                     "and general constants in the Zemra on next power up.\n\r"
                                     "Press OK to continue or Cancel");

    EXPECT_EQ(general.ValidateData(1, 1, "OFF"), 1);
    EXPECT_EQ(prompt.Questions().size(), 2u) << "OFF asks nothing";
}

// Device number by atoi, hysteresis by atof, list rows only their own items. Each edit in turn, with the
// value the row shows afterwards (a refusal keeps the previous one).
TEST_F(GeneralSheet, EditsAreCheckedPerRow) {
    const struct {
        int row;
        const char* text;
        int accepted;
        const char* shown;
    } cases[] = {{3, "2", 1, "2"},         {3, "1", 1, "1"},
                 {3, "62", 1, "62"},       {3, "63", 0, "62"},
                 {3, "0", 0, "62"},        {3, "abc", 0, "62"},
                 {3, " 5", 1, " 5"},       {3, "7xy", 0, " 5"},
                 {3, "12abc", 0, " 5"},    {3, "+7", 0, " 5"},
                 {3, "7.", 0, " 5"},       {14, "12.5", 1, "12.5"},
                 {14, "12.51", 0, "12.5"}, {14, "none", 1, "0"},
                 {14, "nan", 0, "0"},      {14, "-1", 0, "0"},
                 {14, "0.35", 1, "0.35"},  {14, "0.07", 0, "0.35"},
                 {14, "1e1", 0, "0.35"},   {14, "0.1000", 1, "0.1000"},
                 {11, "-REF", 1, "-REF"},  {11, "-ref", 0, "-REF"},
                 {5, "57600", 0, "9600"},  {4, "BRANT BUS", 1, "BRANT BUS"}};
    for (const auto& c : cases) {
        EXPECT_EQ(general.ValidateData(c.row, 1, c.text), c.accepted) << c.row << " " << c.text;
        EXPECT_EQ(Value(c.row), c.shown) << c.row << " " << c.text;
    }
    // The unit counts the hysteresis in steps of 0.05 %: a value between two steps is refused and says so.
    EXPECT_EQ(general.ValidateData(14, 1, "0.07"), 0);
    EXPECT_EQ(general.GetLastError(), static_cast<int>(IDS_HYSTERESIS_STEP));
}

TEST_F(GeneralSheet, NoticesGoToAllFourEvenWhenRefused) {
    EXPECT_EQ(general.ValidateData(3, 1, "99"), 0);
    for (RecordingSetupType* recorder : {&physical, &logical, &alarm}) {
        ASSERT_EQ(recorder->notices.size(), 1u);
        EXPECT_EQ(recorder->notices[0], (RecordingSetupType::Notice{0, 3, 1, "99"}));
    }
    EXPECT_EQ(general.GetLastError(), static_cast<int>(IDS_INVALID_VALUE));
    EXPECT_TRUE(prompt.Messages().empty()) << "the view shows the refusal, not the sheet";

    EXPECT_EQ(general.ValidateData(0, 1, "x"), 0);
    EXPECT_EQ(general.ValidateData(40, 1, "x"), 0);
    EXPECT_EQ(general.ValidateData(1000, 5, "x"), 0) << "rows outside the sheet are refused safely";
    EXPECT_EQ(alarm.notices.size(), 4u);
}

TEST_F(GeneralSheet, ResetChannelAndSetParm) {
    general.ValidateData(11, 1, "+REF");
    general.ResetChannel(11);
    EXPECT_EQ(Value(11), "+REF");
    general.SetParm(7, 1, "MAYBE");
    EXPECT_EQ(Value(7), "OFF") << "a list cell keeps its selection for an unknown text";
    general.SetParm(3, 1, "77");
    EXPECT_EQ(Value(3), "77");
    EXPECT_TRUE(alarm.notices.size() == 1u);
}

TEST_F(GeneralSheet, ConstantsBlockEncoding) {
    prompt.SetDefaultAnswer(true);
    general.ValidateData(1, 1, "CONF + GEN");
    general.ValidateData(14, 1, "12.5");
    general.ValidateData(5, 1, "19200"); // RS-485; RS-232 stays at 9600
    BYTE block[32];
    for (int i = 0; i < 32; ++i)
        block[i] = static_cast<BYTE>(0xA0 + i);
    general.GetConDataBlock(0, block);
    EXPECT_EQ((std::vector<BYTE>(block, block + 4)), (std::vector<BYTE>{0xD9, 0x0B, 0x00, 0x00}));
    EXPECT_EQ(block[8], 1) << "protocol MODBUS";
    EXPECT_EQ(block[12], 1) << "device number";
    EXPECT_EQ((std::vector<BYTE>(block + 16, block + 20)), (std::vector<BYTE>{0xB0, 0xB1, 0xB2, 0xB3}))
        << "constant 4 goes back unchanged";
    EXPECT_EQ(block[20] | block[21] << 8, 9600) << "constant 5: RS-232";
    EXPECT_EQ(block[24] | block[25] << 8, 19200) << "constant 6: RS-485";

    BYTE second[32] = {};
    general.GetConDataBlock(8, second);
    EXPECT_EQ(second[28], 250) << "hysteresis 12.5 in 0.05 steps";
    EXPECT_EQ(second[16], 0) << "constant 12 untouched";

    BYTE other[32];
    std::fill(other, other + 32, 0x5A);
    general.GetConDataBlock(16, other);
    EXPECT_TRUE(std::all_of(other, other + 32, [](BYTE b) { return b == 0x5A; }));
}

TEST_F(GeneralSheet, ConstantsBlockDecoding) {
    BYTE block[32] = {};
    block[0] = 0xB8; // 3000: CONFIG
    block[1] = 0x0B;
    block[8] = 7;     // protocol code nobody knows
    block[12] = 63;   // device number out of range
    block[20] = 0x00; // 57600 is no item of the list
    block[21] = 0xE1;
    general.SetConstants(0, block);
    EXPECT_EQ(Value(1), "CONFIG");
    EXPECT_EQ(Value(4), "BRANT BUS");
    EXPECT_EQ(Value(3), "0");
    EXPECT_EQ(Value(6), "9600");
    EXPECT_TRUE(prompt.Log().empty()) << "no warning while applying a block";
    EXPECT_TRUE(alarm.notices.empty());

    BYTE second[32] = {};
    second[28] = 250;
    general.SetConstants(8, second);
    EXPECT_EQ(Value(14), "12.5");
    EXPECT_EQ(general.FormatValue(14, 20), " 1");
    EXPECT_EQ(general.FormatValue(14, 1), "0.05");
    EXPECT_EQ(general.FormatValue(3, 62), "62") << "the largest device number";
    EXPECT_EQ(general.StringToValue(7, "MAYBE"), 0xFFFFFFFFu);
    // Steps counted from the decimal text; a text between steps (an older document) takes the nearest.
    for (const auto& [text, steps] : std::vector<std::pair<std::string, std::uint32_t>>{
             {"0.35", 7}, {"12.5", 250}, {"0.08", 2}, {"0.07", 1}, {"1e1", 200}, {"", 0}})
        EXPECT_EQ(general.StringToValue(14, text), steps) << text;
}
