// The Physical Input block loops: one 32-byte block per input, blocks 0..23 for rows 1..24.
#include "sheets/physical/CPhysicalInput.h"

int CPhysicalInput::UploadData(CComSetupDialog* com) {
    if (!com) return 0;
    m_nTransState = 0;
    int ok = 1;
    for (int block = 0; block < 24 && ok; ++block) {
        GetInputParms(block, m_DataBlock);
        ok = DoUpload(MSG_WRITE_PHINP, block, com);
    }
    m_nTransState = -1;
    return ok;
}

int CPhysicalInput::DownloadData(CComSetupDialog* com) {
    m_nTransState = 1;
    int ok = 1;
    for (int block = 0; block < 24 && ok; ++block) {
        BYTE* data = DoDownload(MSG_READ_PHINP, block, com);
        ok = data != nullptr;
        if (ok) SetInputParms(block, data);
    }
    if (ok) MergeUnits();
    m_nTransState = -1;
    return ok;
}
