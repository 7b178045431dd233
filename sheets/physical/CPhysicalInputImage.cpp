// The Physical Input sheet as the unit holds it: one 32-byte channel block per input.
//   0 type code | 1..15 five 3-byte numbers (InpLo, LCDLo, InpUp, LCDUp, Misc.) | 16..27 not ours |
//   28..31 LCD unit, space padded, degree sign as 0xDF
#include "sheets/physical/CPhysicalInput.h"

#include "sheets/physical/PhysicalTables.h"

namespace {
const int g_numberColumns[5] = {PH_COL_INP_LO, PH_COL_LCD_LO, PH_COL_INP_UP, PH_COL_LCD_UP, PH_COL_MISC};
}

bool CPhysicalInput::IsOffChannelCell(int row, int col) const {
    const CBrChnData* type = GetCell(row, PH_COL_TYPE);
    return col != PH_COL_TYPE && type && type->GetDataAsString() == "OFF";
}

void CPhysicalInput::GetInputParms(int index, BYTE* buffer) {
    if (!buffer || index < 0 || index >= PHYSICAL_INPUTS) return;
    const int row = index + 1;
    buffer[0] = GetInputType(row, PH_COL_TYPE);
    Get3ByteInpParms(buffer + 1, row, g_numberColumns, 5);
    GetLCDU(row, PH_COL_UNIT, buffer + 28);
}

void CPhysicalInput::SetInputParms(int index, BYTE* buffer) {
    if (!buffer || index < 0 || index >= PHYSICAL_INPUTS) return;
    const int row = index + 1;
    SetInputType(row, PH_COL_TYPE, buffer[0]);
    Set3ByteParms(buffer + 1, row, g_numberColumns, 5);
    SetLCDU(row, PH_COL_UNIT, buffer + 28);
    // The received values go through the edit rules: an "OFF" input is reset, limits are clamped to the
    // type, and the other sheets hear about every column.
    for (int col = PH_COL_TYPE; col <= PH_COL_MISC; ++col) {
        const CBrChnData* cell = GetCell(row, col);
        DoValidateData(row, col, cell ? cell->GetDataAsString() : std::string());
    }
}
