#pragma once

// The unit's image of a configuration, block by block in transfer order (8 general, 24 physical, 7 logical,
// 48 alarm), read from the sheets or applied to them as a download applies it.

#include "sheets/alarms/CAlarm.h"
#include "sheets/general/CGeneral.h"
#include "sheets/logical/CLogicalInput.h"
#include "sheets/physical/CPhysicalInput.h"
#include "unit/CZemUnit.h"

#include <vector>

using Block = std::vector<BYTE>;
constexpr int kDeviceBlocks = 87;

// Reads (`get`) or applies block `b` of the transfer order.
inline void Transfer(CZemUnit& unit, int b, BYTE* block, bool get) {
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

// Every block; the general ones start from `generalFromUnit` (what the unit sent), the others from zeros.
inline std::vector<Block> EncodeAll(CZemUnit& unit, const std::vector<Block>& generalFromUnit) {
    std::vector<Block> blocks;
    for (int b = 0; b < kDeviceBlocks; ++b) {
        blocks.push_back(b < 8 ? generalFromUnit[static_cast<std::size_t>(b)] : Block(32, 0));
        Transfer(unit, b, blocks.back().data(), true);
    }
    return blocks;
}

// Applies every block to the unit's current sheets, in transfer order.
inline void ApplyAll(CZemUnit& unit, const std::vector<Block>& blocks) {
    for (int b = 0; b < kDeviceBlocks; ++b)
        Transfer(unit, b, Block(blocks[static_cast<std::size_t>(b)]).data(), false);
}
