// The Logical Input sheet as the unit holds it: one 32-byte block per logical input LOG1..LOG7.
//   0 type code | 1..15 five 3-byte numbers (InpLo, LCDLo, InpUp, LCDUp, Misc.) |
//   16..27 input reference of each input cell | 28..31 LCD unit, space padded, degree sign as 0xDF
#include "sheets/logical/CLogicalInput.h"

#include "model/ChannelNames.h"
#include "sheets/logical/LogicalTables.h"
#include "sheets/physical/PhysicalTables.h"

namespace {
const int g_numberColumns[5] = {15, 16, 17, 18, 19};
constexpr int LOGICAL_REFERENCES = 8; // LOG1..LOG8 have reference bytes
} // namespace

BYTE CLogicalInput::EncodeInputReference(const std::string& value) {
    if (!value.empty() && value[0] == 'I') {
        const int index = GetPhChnIndex(value);
        if (index >= 1 && index <= PHYSICAL_INPUTS) return static_cast<BYTE>(index - 1);
    } else if (!value.empty() && value[0] == 'L') {
        const int index = GetLogChnIndex(value);
        if (index >= 1 && index <= LOGICAL_REFERENCES)
            return static_cast<BYTE>(INPREF_FIRST_LOGICAL + index - 1);
    }
    return INPREF_OFF;
}

// Bytes beyond LOG8 (32..47) and above 48 name no source of this unit.
std::string CLogicalInput::DecodeInputReference(BYTE code) {
    if (code < INPREF_FIRST_LOGICAL) return g_PhInpChn[code + 1];
    if (code < INPREF_FIRST_LOGICAL + LOGICAL_REFERENCES)
        return GetLogChnName(code - INPREF_FIRST_LOGICAL + 1);
    if (code == INPREF_OFF) return "OFF";
    return std::string();
}

bool CLogicalInput::IsOffChannelCell(int row, int col) const {
    return (col < LOG_COL_FIRST_INPUT || col > LOG_COL_LAST_INPUT) && !IsOtherParmActive(row, -1);
}

void CLogicalInput::GetInputReference(int row, BYTE* out) {
    if (!out) return;
    for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col) {
        const CBrChnData* cell = GetInputCell(row, col);
        out[col - 1] = EncodeInputReference(cell ? cell->GetDataAsString() : std::string());
    }
}

// Selects each received source where the cell offers it; a cell that does not offer it, or a byte that
// names no source, keeps its value, so no cell ever takes a source that cannot be picked there. A source
// given up this way is offered again in the row's other cells.
void CLogicalInput::SetInputReference(int row, const BYTE* in) {
    if (!in) return;
    for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col) {
        CBrChnData* cell = GetInputCell(row, col);
        const std::string name = DecodeInputReference(in[col - 1]);
        NoteReceived(row, col, name.empty() ? CodeText(in[col - 1]) : name);
        int index = -1;
        if (!cell || name.empty() || !cell->IsItemExist(name, index)) continue;
        const std::string old = cell->GetDataAsString();
        if (old == name) continue;
        cell->m_nSel = index;
        AddSelChannel(row, col, old);
    }
}

void CLogicalInput::GetLogInpDataBlock(int index) {
    GetLogInpDataBlock(index, m_DataBlock);
}

void CLogicalInput::GetLogInpDataBlock(int index, BYTE* block) {
    if (!block || index < 0 || index >= LOGICAL_USED_ROWS) return;
    const int row = index + 1;
    block[0] = GetInputType(row, LOG_COL_TYPE);
    Get3ByteInpParms(block + 1, row, g_numberColumns, 5);
    GetInputReference(row, block + 16);
    GetLCDU(row, LOG_COL_UNIT, block + 28);
}

void CLogicalInput::SetLogInpParms(int index, BYTE* block) {
    if (!block || index < 0 || index >= LOGICAL_USED_ROWS) return;
    const int row = index + 1;
    const CNoticeCascade cascade;
    SetInputType(row, LOG_COL_TYPE, block[0]);
    Set3ByteParms(block + 1, row, g_numberColumns, 5);
    SetInputReference(row, block + 16);
    SetLCDU(row, LOG_COL_UNIT, block + 28);
    // Every received source goes through the edit rules: lists are rebuilt, parameters compared with (or
    // copied from) the sources, and the other setup types are told.
    for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col) {
        const CBrChnData* cell = GetInputCell(row, col);
        ValidateData(row, col, cell ? cell->GetDataAsString() : std::string());
    }
    if (IsOtherParmActive(row, -1)) {
        AddLogInpToDataSheet(row);
        // The received parameters may differ from what higher logical inputs copied earlier.
        UpdateModifyLogInput(row);
    }
}
