// The Physical Input block loops: one 32-byte block per input, blocks 0..23 for rows 1..24.
#include "sheets/physical/CPhysicalInput.h"

int CPhysicalInput::UploadData(CComSetupDialog* com) {
    if (!com) return 0;
    return UploadBlocks(MSG_WRITE_PHINP, 24, com, [this](int block) {
        GetInputParms(block, m_DataBlock);
        return true;
    });
}

int CPhysicalInput::DownloadData(CComSetupDialog* com) {
    const int ok =
        DownloadBlocks(MSG_READ_PHINP, 24, com, [this](int block, BYTE* data) { ApplyBlock(block, data); });
    if (ok) EndApply();
    return ok;
}

void CPhysicalInput::FillBlock(int block, BYTE* data) {
    GetInputParms(block, data);
}

void CPhysicalInput::ApplyBlock(int block, BYTE* data) {
    SetInputParms(block, data);
}

void CPhysicalInput::EndApply() {
    MergeUnits();
}
