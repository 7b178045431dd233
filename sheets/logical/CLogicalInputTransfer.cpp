// The Logical Input block loops: seven blocks for LOG1..LOG7, sent with the physical-input codes at
// addresses 24 and up.
#include "sheets/logical/CLogicalInput.h"

int CLogicalInput::UploadData(CComSetupDialog* com) {
    return UploadBlocks(MSG_WRITE_LOGINP, 7, com, [this](int block) {
        GetLogInpDataBlock(block);
        return true;
    });
}

int CLogicalInput::DownloadData(CComSetupDialog* com) {
    return DownloadBlocks(MSG_READ_LOGINP, 7, com,
                          [this](int block, BYTE* data) { ApplyBlock(block, data); });
}

void CLogicalInput::FillBlock(int block, BYTE* data) {
    GetLogInpDataBlock(block, data);
}

void CLogicalInput::ApplyBlock(int block, BYTE* data) {
    SetLogInpParms(block, data);
}
