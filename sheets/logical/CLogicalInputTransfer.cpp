// The Logical Input block loops: seven blocks for LOG1..LOG7, sent with the physical-input codes at
// addresses 24 and up.
#include "sheets/logical/CLogicalInput.h"

int CLogicalInput::UploadData(CComSetupDialog* com) {
    m_nTransState = 0;
    int ok = 1;
    for (int block = 0; block < 7 && ok; ++block) {
        GetLogInpDataBlock(block);
        ok = DoUpload(MSG_WRITE_LOGINP, block, com);
    }
    m_nTransState = -1;
    return ok;
}

int CLogicalInput::DownloadData(CComSetupDialog* com) {
    m_nTransState = 1;
    int ok = 1;
    for (int block = 0; block < 7 && ok; ++block) {
        BYTE* data = DoDownload(MSG_READ_LOGINP, block, com);
        ok = data != nullptr;
        if (ok) SetLogInpParms(block, data);
    }
    m_nTransState = -1;
    return ok;
}
