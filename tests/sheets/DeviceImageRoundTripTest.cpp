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

namespace {
using Block = std::vector<BYTE>;

// Every block in transfer order: 8 general, 24 physical, 7 logical, 48 alarm.
std::vector<Block> EncodeAll(CZemUnit& unit, const std::vector<Block>& generalFromUnit) {
    std::vector<Block> blocks;
    auto& general = *static_cast<CGeneral*>(unit.GetSetupType(SETUP_GENERAL));
    for (int b = 0; b < 8; ++b) {
        Block block = generalFromUnit[static_cast<std::size_t>(b)];
        general.GetConDataBlock(8 * b, block.data());
        blocks.push_back(block);
    }
    auto& physical = *static_cast<CPhysicalInput*>(unit.GetSetupType(SETUP_PHYSICAL_INPUT));
    for (int b = 0; b < 24; ++b) {
        Block block(32, 0);
        physical.GetInputParms(b, block.data());
        blocks.push_back(block);
    }
    auto& logical = *static_cast<CLogicalInput*>(unit.GetSetupType(SETUP_LOGICAL_INPUT));
    for (int b = 0; b < 7; ++b) {
        Block block(32, 0);
        logical.GetLogInpDataBlock(b, block.data());
        blocks.push_back(block);
    }
    auto& alarm = *static_cast<CAlarm*>(unit.GetSetupType(SETUP_ALARM));
    for (int b = 0; b < 48; ++b) {
        Block block(32, 0);
        alarm.GetAlarmDataBlock(b, block.data());
        blocks.push_back(block);
    }
    return blocks;
}

void ApplyAll(CZemUnit& unit, std::vector<Block> blocks) {
    auto it = blocks.begin();
    for (int b = 0; b < 8; ++b, ++it)
        static_cast<CGeneral*>(unit.GetSetupType(SETUP_GENERAL))->SetConstants(8 * b, it->data());
    for (int b = 0; b < 24; ++b, ++it)
        static_cast<CPhysicalInput*>(unit.GetSetupType(SETUP_PHYSICAL_INPUT))->SetInputParms(b, it->data());
    for (int b = 0; b < 7; ++b, ++it)
        static_cast<CLogicalInput*>(unit.GetSetupType(SETUP_LOGICAL_INPUT))->SetLogInpParms(b, it->data());
    for (int b = 0; b < 48; ++b, ++it)
        static_cast<CAlarm*>(unit.GetSetupType(SETUP_ALARM))->SetAlarmData(b, it->data());
}

void Edit(CZemUnit& unit, SETUP_TYPE sheet, int row, int col, const std::string& text) {
    ASSERT_TRUE(unit.GetSetupType(sheet)->ValidateData(row, col, text))
        << "sheet " << sheet << " row " << row << " col " << col << " text " << text;
}
} // namespace

TEST(DeviceImage, ConfiguredUnitRoundTripsThroughAllBlocks) {
    CScriptedPrompt prompt(true);
    CTavikDoc configured;
    configured.OnNewDocument();
    CZemUnit& unit = *configured.GetZemUnit();
    Edit(unit, SETUP_GENERAL, 3, 1, "17");
    Edit(unit, SETUP_GENERAL, 11, 1, "+REF");
    Edit(unit, SETUP_GENERAL, 14, 1, "2.5");
    for (int row : {1, 2, 3}) {
        Edit(unit, SETUP_PHYSICAL_INPUT, row, 1, "20 mA");
        Edit(unit, SETUP_PHYSICAL_INPUT, row, 2, "bar");
        Edit(unit, SETUP_PHYSICAL_INPUT, row, 3, "4");
        Edit(unit, SETUP_PHYSICAL_INPUT, row, 6, "16");
    }
    Edit(unit, SETUP_PHYSICAL_INPUT, 5, 1, "10 V");
    Edit(unit, SETUP_LOGICAL_INPUT, 1, 1, "IN 11");
    Edit(unit, SETUP_LOGICAL_INPUT, 1, 2, "IN 12");
    Edit(unit, SETUP_ALARM, 1, 1, "IN 11");
    Edit(unit, SETUP_ALARM, 1, 4, "12.5");
    Edit(unit, SETUP_ALARM, 1, 5, "HIGH");
    Edit(unit, SETUP_ALARM, 1, 6, "2.5");
    Edit(unit, SETUP_ALARM, 2, 1, "LOG1");
    Edit(unit, SETUP_ALARM, 2, 3, ">");
    Edit(unit, SETUP_ALARM, 3, 1, "IN 22");

    std::vector<Block> generalFromUnit(8, Block(32, 0));
    for (std::size_t b = 0; b < 8; ++b)
        for (std::size_t i = 0; i < 32; ++i)
            generalFromUnit[b][i] = static_cast<BYTE>(b * 32 + i); // constants without a row carry through
    const std::vector<Block> sent = EncodeAll(unit, generalFromUnit);
    ASSERT_EQ(sent.size(), 87u);

    CTavikDoc downloaded;
    downloaded.OnNewDocument();
    ApplyAll(*downloaded.GetZemUnit(), sent);
    EXPECT_EQ(EncodeAll(*downloaded.GetZemUnit(), sent), sent);
    EXPECT_TRUE(prompt.Messages().empty()) << "applying blocks shows no message box";
    EXPECT_EQ(downloaded.GetZemUnit()
                  ->GetSetupType(SETUP_ALARM)
                  ->GetDataSheet()
                  ->GetProperty(2, 1)
                  ->GetDataAsString(),
              "LOG1");
}
