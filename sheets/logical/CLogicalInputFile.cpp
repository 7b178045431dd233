// The Logical Input record of the document file, including the layout of versions 0 to 2, and the
// transfer entry points.
#include "sheets/logical/CLogicalInput.h"

#include "model/CArchive.h"
#include "model/ChannelNames.h"
#include "sheets/logical/LogicalTables.h"

void CLogicalInput::DoFileReadWrite(CArchive& archive, unsigned version) {
    if (!archive.IsLoading())
        CBrantSetupType::FileWrite(archive, version);
    else if (version >= 3)
        CBrantSetupType::FileRead(archive, version);
    else
        ReadLegacyRecord(archive, version);
}

// Versions 0..2 stored the header row and LOG1..LOG7 only, and named logical sources by their full title
// ("LOG3 (1C)"); today's lists use the four-character name.
void CLogicalInput::ReadLegacyRecord(CArchive& archive, unsigned version) {
    try {
        m_strTitle = archive.ReadString();
        if (archive.ReadInt32() != m_nSetupType)
            throw CArchiveException(CArchiveException::badSchema, "a sheet record names the wrong sheet");
        for (int row = 0; row <= LOGICAL_USED_ROWS; ++row) {
            const int cells = m_pDataSheet ? m_pDataSheet->GetNumCells(row) : 0;
            if (cells == 0) throw CArchiveException(CArchiveException::badSchema);
            for (int col = 0; col < cells; ++col) {
                CBrChnData* cell = GetCell(row, col);
                if (!cell) throw CArchiveException(CArchiveException::badSchema);
                if (col == 0) {
                    // The row title the program shows is never taken from the file.
                    CBrChnData scratch(*cell);
                    scratch.DoFileReadWrite(archive, version);
                } else {
                    cell->DoFileReadWrite(archive, version);
                }
            }
        }
    } catch (const CArchiveException&) {
        throw CArchiveException(CArchiveException::badSchema);
    }

    for (int row = 1; row <= LOGICAL_USED_ROWS; ++row)
        for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col)
            if (CBrChnData* cell = GetCell(row, col))
                for (std::string& item : cell->GetData()) {
                    const int index = GetLogChnIndex(item);
                    if (index > 0) item = GetLogChnName(index);
                }
}
