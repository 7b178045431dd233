// The General sheet's block loops: eight constants blocks, each read before it is written so that the
// constants without a row go back to the unit unchanged.
#include "sheets/general/CGeneral.h"

#include <algorithm>
#include <iterator>

// Reading a block moves 78 bytes and writing one 149; an upload reads and writes each of the eight blocks.
unsigned long CGeneral::GetTotalTransBytes(int direction) {
    ResetTransData();
    if (direction == 1) return GENERAL_BLOCKS * 78;
    if (direction == 0) return GENERAL_BLOCKS * (78 + 149);
    return 0;
}

int CGeneral::UploadData(CComSetupDialog* com) {
    return UploadBlocks(MSG_WRITE_GENERAL, GENERAL_BLOCKS, com, [this, com](int block) {
        std::fill(std::begin(m_DataBlock), std::end(m_DataBlock), 0);
        if (!DoDownload(MSG_READ_GENERAL, block, com)) return false;
        GetConDataBlock(8 * block, m_DataBlock);
        return true;
    });
}

int CGeneral::DownloadData(CComSetupDialog* com) {
    return DownloadBlocks(MSG_READ_GENERAL, GENERAL_BLOCKS, com,
                          [this](int block, BYTE* data) { ApplyBlock(block, data); });
}

void CGeneral::FillBlock(int block, BYTE* data) {
    GetConDataBlock(8 * block, data);
}

void CGeneral::ApplyBlock(int block, BYTE* data) {
    SetConstants(8 * block, data);
}
