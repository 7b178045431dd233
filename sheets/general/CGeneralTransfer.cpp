// The General sheet's block loops: eight constants blocks, each read before it is written so that the
// constants without a row go back to the unit unchanged.
#include "sheets/general/CGeneral.h"

#include <algorithm>
#include <iterator>

// Reading a block moves 78 bytes and writing one 149; an upload reads and writes each of the eight blocks.
unsigned long CGeneral::GetTotalTransBytes(int direction) {
    ResetTransData();
    if (direction == 1) return 8 * 78;
    if (direction == 0) return 8 * (78 + 149);
    return 0;
}

int CGeneral::UploadData(CComSetupDialog* com) {
    m_nTransState = 0;
    int ok = 1;
    for (int block = 0; block < 8 && ok; ++block) {
        std::fill(std::begin(m_DataBlock), std::end(m_DataBlock), 0);
        ok = DoDownload(MSG_READ_GENERAL, block, com) != nullptr;
        if (ok) {
            GetConDataBlock(8 * block, m_DataBlock);
            ok = DoUpload(MSG_WRITE_GENERAL, block, com);
        }
    }
    m_nTransState = -1;
    return ok;
}

int CGeneral::DownloadData(CComSetupDialog* com) {
    m_nTransState = 1;
    int ok = 1;
    for (int block = 0; block < 8 && ok; ++block) {
        BYTE* data = DoDownload(MSG_READ_GENERAL, block, com);
        ok = data != nullptr;
        if (ok) SetConstants(8 * block, data);
    }
    m_nTransState = -1;
    return ok;
}
