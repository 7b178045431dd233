// A configured unit's 87 blocks, applied to a fresh configuration as a download does, give back the same
// blocks and the same document.
#include "model/CScriptedPrompt.h"
#include "model/CTavikDoc.h"
#include "model/CZemUnit.h"
#include "model/ChannelNames.h"
#include "model/NumberText.h"
#include "sheets/alarms/CAlarm.h"
#include "sheets/general/CGeneral.h"
#include "sheets/logical/CLogicalInput.h"
#include "sheets/physical/CPhysicalInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

namespace {
using Block = std::vector<BYTE>;

// Reads (`get`) or applies block `b` of the transfer order: 8 general, 24 physical, 7 logical, 48 alarm.
void Transfer(CZemUnit& unit, int b, BYTE* block, bool get) {
    if (b < 8) {
        auto& general = static_cast<CGeneral&>(*unit.GetSetupType(SETUP_GENERAL));
        get ? general.GetConDataBlock(8 * b, block) : general.SetConstants(8 * b, block);
    } else if (b < 32) {
        auto& physical = static_cast<CPhysicalInput&>(*unit.GetSetupType(SETUP_PHYSICAL_INPUT));
        get ? physical.GetInputParms(b - 8, block) : physical.SetInputParms(b - 8, block);
    } else if (b < 39) {
        auto& logical = static_cast<CLogicalInput&>(*unit.GetSetupType(SETUP_LOGICAL_INPUT));
        get ? logical.GetLogInpDataBlock(b - 32, block) : logical.SetLogInpParms(b - 32, block);
    } else {
        auto& alarm = static_cast<CAlarm&>(*unit.GetSetupType(SETUP_ALARM));
        get ? alarm.GetAlarmDataBlock(b - 39, block) : alarm.SetAlarmData(b - 39, block);
    }
}

// Every block; the general ones start from what the unit sent, the others from zeros.
std::vector<Block> EncodeAll(CZemUnit& unit, const std::vector<Block>& generalFromUnit) {
    std::vector<Block> blocks;
    for (int b = 0; b < 87; ++b) {
        blocks.push_back(b < 8 ? generalFromUnit[static_cast<std::size_t>(b)] : Block(32, 0));
        Transfer(unit, b, blocks.back().data(), true);
    }
    return blocks;
}
} // namespace

TEST(DeviceImage, ConfiguredUnitRoundTripsThroughAllBlocks) {
    CScriptedPrompt prompt(true);
    CTavikDoc configured;
    configured.OnNewDocument();
    CZemUnit& unit = *configured.GetZemUnit();
    const std::vector<std::tuple<SETUP_TYPE, int, int, std::string>> edits = {
        {SETUP_GENERAL, 3, 1, "17"},          {SETUP_GENERAL, 11, 1, "+REF"},
        {SETUP_GENERAL, 14, 1, "2.5"},        {SETUP_PHYSICAL_INPUT, 5, 1, "10 V"},
        {SETUP_LOGICAL_INPUT, 1, 1, "IN 11"}, {SETUP_LOGICAL_INPUT, 1, 2, "IN 12"},
        {SETUP_ALARM, 1, 1, "IN 11"},         {SETUP_ALARM, 1, 4, "12.5"},
        {SETUP_ALARM, 1, 5, "HIGH"},          {SETUP_ALARM, 1, 6, "2.5"},
        {SETUP_ALARM, 2, 1, "LOG1"},          {SETUP_ALARM, 2, 3, ">"},
        {SETUP_ALARM, 3, 1, "IN 22"}};
    for (int row : {1, 2, 3})
        for (const auto& [col, text] :
             std::vector<std::pair<int, std::string>>{{1, "20 mA"}, {2, "bar"}, {3, "4"}, {6, "16"}})
            ASSERT_TRUE(unit.GetSetupType(SETUP_PHYSICAL_INPUT)->ValidateData(row, col, text))
                << row << "," << col;
    for (const auto& [sheet, row, col, text] : edits)
        ASSERT_TRUE(unit.GetSetupType(sheet)->ValidateData(row, col, text))
            << sheet << " " << row << "," << col;

    std::vector<Block> generalFromUnit(8, Block(32, 0));
    for (std::size_t b = 0; b < 8; ++b)
        for (std::size_t i = 0; i < 32; ++i)
            generalFromUnit[b][i] = static_cast<BYTE>(b * 32 + i); // constants without a row carry through
    std::vector<Block> sent = EncodeAll(unit, generalFromUnit);

    CTavikDoc downloaded;
    downloaded.OnNewDocument();
    for (int b = 0; b < 87; ++b)
        Transfer(*downloaded.GetZemUnit(), b, Block(sent[static_cast<std::size_t>(b)]).data(), false);
    EXPECT_EQ(EncodeAll(*downloaded.GetZemUnit(), sent), sent);
    EXPECT_TRUE(prompt.Messages().empty()) << "applying blocks shows no message box";
    EXPECT_EQ(downloaded.GetZemUnit()
                  ->GetSetupType(SETUP_ALARM)
                  ->GetDataSheet()
                  ->GetProperty(2, 1)
                  ->GetDataAsString(),
              "LOG1");
}

namespace {
// A number text as a technician types it: up to three decimals (now and then a fourth), a magnitude up to
// `largest` steps of the last decimal; negative now and then when `sign`, always when `negative`.
std::string RandomNumber(std::mt19937& random, unsigned largest, bool sign, bool negative = false) {
    const int decimals = random() % 20 == 0 ? 4 : static_cast<int>(random() % 4);
    const unsigned magnitude = random() % (largest + 1);
    std::string text = std::to_string(magnitude);
    if (decimals > 0) {
        text.insert(0, static_cast<std::size_t>(std::max(0, decimals + 1 - static_cast<int>(text.size()))),
                    '0');
        text.insert(text.size() - static_cast<std::size_t>(decimals), ".");
    }
    return magnitude != 0 && (negative || (sign && random() % 2)) ? "-" + text : text;
}

// Two number texts for the same value ("0.3" and "0.300", "5" and " 5").
bool SameValue(const std::string& a, const std::string& b) {
    DecimalNumber x, y;
    long long u = 0, v = 0;
    return ParseDecimal(a, x) && ParseDecimal(b, y) && ToSteps(x, 6, u) && ToSteps(y, 6, v) && u == v;
}

std::string Text(CZemUnit& unit, SETUP_TYPE sheet, int row, int col) {
    return unit.GetSetupType(sheet)->GetDataSheet()->GetProperty(row, col)->GetDataAsString();
}
} // namespace

// Numbers typed into every numeric column kind reach the unit as the sheet shows them after the edit: a
// fresh sheet that takes the blocks shows the same texts (delays and the hysteresis the same values, in the
// unit's own notation), and gives the same blocks again.
TEST(DeviceImage, TypedNumbersReachTheUnitAsShown) {
    std::mt19937 random(20261206);
    CScriptedPrompt prompt(true);
    for (int round = 0; round < 6; ++round) {
        CTavikDoc configured;
        configured.OnNewDocument();
        CZemUnit& unit = *configured.GetZemUnit();
        CBrantSetupType& general = *unit.GetSetupType(SETUP_GENERAL);
        CBrantSetupType& physical = *unit.GetSetupType(SETUP_PHYSICAL_INPUT);
        CBrantSetupType& alarm = *unit.GetSetupType(SETUP_ALARM);

        general.ValidateData(3, 1, std::to_string(random() % 70) + (random() % 4 ? "" : "x"));
        general.ValidateData(14, 1, RandomNumber(random, 1300, false));
        for (int row = 1; row <= 24; ++row) {
            ASSERT_TRUE(physical.ValidateData(row, 1, "24 V"));
            for (int col : {3, 5})
                physical.ValidateData(row, col, RandomNumber(random, 30, false));
            // The display range holds 0, the set point of an alarm that was not given one.
            for (int col : {4, 6, 7}) {
                const std::string text = RandomNumber(random, 70000, col == 7, col == 4);
                const bool holds = CBrantSetupType::Check3Bytes(text) == 0;
                EXPECT_EQ(physical.ValidateData(row, col, text), holds) << text;
                if (holds) {
                    EXPECT_EQ(Text(unit, SETUP_PHYSICAL_INPUT, row, col), text);
                }
            }
        }
        for (int row = 1; row <= 3; ++row)
            ASSERT_TRUE(unit.GetSetupType(SETUP_LOGICAL_INPUT)->ValidateData(row, 1, g_PhInpChn[row]));
        for (int row = 1; row <= 24; ++row) {
            ASSERT_TRUE(alarm.ValidateData(row, 1, g_PhInpChn[row]));
            alarm.ValidateData(row, 4, RandomNumber(random, 70000, true));
            alarm.ValidateData(row, 6, RandomNumber(random, 1000000, false));
        }

        std::vector<Block> generalFromUnit(8, Block(32, 0));
        const std::vector<Block> sent = EncodeAll(unit, generalFromUnit);
        CTavikDoc downloaded;
        downloaded.OnNewDocument();
        CZemUnit& fresh = *downloaded.GetZemUnit();
        for (int b = 0; b < 87; ++b)
            Transfer(fresh, b, Block(sent[static_cast<std::size_t>(b)]).data(), false);

        EXPECT_EQ(Text(fresh, SETUP_GENERAL, 3, 1), Text(unit, SETUP_GENERAL, 3, 1));
        EXPECT_TRUE(SameValue(Text(fresh, SETUP_GENERAL, 14, 1), Text(unit, SETUP_GENERAL, 14, 1)))
            << Text(unit, SETUP_GENERAL, 14, 1);
        for (int row = 1; row <= 24; ++row) {
            for (int col = 3; col <= 7; ++col)
                EXPECT_EQ(Text(fresh, SETUP_PHYSICAL_INPUT, row, col),
                          Text(unit, SETUP_PHYSICAL_INPUT, row, col));
            EXPECT_EQ(Text(fresh, SETUP_ALARM, row, 4), Text(unit, SETUP_ALARM, row, 4));
            EXPECT_TRUE(SameValue(Text(fresh, SETUP_ALARM, row, 6), Text(unit, SETUP_ALARM, row, 6)))
                << Text(unit, SETUP_ALARM, row, 6);
        }
        for (int row = 1; row <= 3; ++row)
            for (int col = 15; col <= 19; ++col)
                EXPECT_EQ(Text(fresh, SETUP_LOGICAL_INPUT, row, col),
                          Text(unit, SETUP_LOGICAL_INPUT, row, col));
        const std::vector<Block> again = EncodeAll(fresh, sent);
        for (std::size_t b = 0; b < sent.size(); ++b)
            EXPECT_TRUE(again[b] == sent[b]) << "block " << b;
    }
}
