// A configured unit's 87 blocks, applied to a fresh configuration as a download does, give back the same
// blocks and the same document.
#include "model/CScriptedPrompt.h"
#include "model/CTavikDoc.h"
#include "model/CZemUnit.h"
#include "sheets/alarms/CAlarm.h"
#include "sheets/general/CGeneral.h"
#include "sheets/logical/CLogicalInput.h"
#include "sheets/physical/CPhysicalInput.h"

#include <gtest/gtest.h>

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
