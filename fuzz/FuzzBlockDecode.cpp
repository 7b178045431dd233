// Any 71-byte message from the unit: decoded, then applied to each setup type as a received block.
#include "model/CZemProtocol.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"
#include "sheets/alarms/CAlarm.h"
#include "sheets/general/CGeneral.h"
#include "sheets/logical/CLogicalInput.h"
#include "sheets/physical/CPhysicalInput.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CTavikDoc* document = new CTavikDoc;
    if (size < 72) return 0;
    document->OnNewDocument();
    BYTE message[CZemProtocol::DATA_MSG_LEN];
    std::memcpy(message, data, sizeof message);
    BYTE block[CZemProtocol::BLOCK_LEN] = {};
    BR_ZEM_MSG code{};
    BYTE address = 0;
    CZemProtocol::GetReadMsg(message, code, address, block);

    // The last input byte picks the block index; every sheet takes the block as if it had been read.
    CZemUnit& unit = *document->GetZemUnit();
    const int index = data[71];
    static_cast<CGeneral*>(unit.GetSetupType(SETUP_GENERAL))->SetConstants(8 * (index % 8), block);
    static_cast<CPhysicalInput*>(unit.GetSetupType(SETUP_PHYSICAL_INPUT))->SetInputParms(index % 24, block);
    static_cast<CLogicalInput*>(unit.GetSetupType(SETUP_LOGICAL_INPUT))->SetLogInpParms(index % 7, block);
    static_cast<CAlarm*>(unit.GetSetupType(SETUP_ALARM))->SetAlarmData(index % 48, block);
    document->SaveToBytes();
    return 0;
}
