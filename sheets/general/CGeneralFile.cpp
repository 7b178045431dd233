// The General record of the document file, including the layouts of versions 0 to 2.
#include "sheets/general/CGeneral.h"

#include "model/CArchive.h"
#include "sheets/general/GeneralTables.h"

#include <memory>

void CGeneral::DoFileReadWrite(CArchive& archive, unsigned version) {
    if (!archive.IsLoading()) {
        CBrantSetupType::FileWrite(archive, version);
        return;
    }
    FileRead(archive, version);
    FixResetValues();
    FixBlockValues();
    FixFuncTest();
    FixInit();
}

// Versions 0 and 1 stored the rows in another order and had no protocol row.
int CGeneral::GetNewSection(int legacySection) {
    static const int rows[15] = {0, 1, 2, 3, 6, 5, 8, 10, 7, 11, 9, 12, 13, 14, 4};
    return legacySection >= 0 && legacySection < 15 ? rows[legacySection] : -1;
}

void CGeneral::FileRead(CArchive& archive, unsigned version) {
    const int sections = m_pDataSheet ? m_pDataSheet->GetNumSections() : 0;
    for (int row = 0; row < sections; ++row)
        for (int col = 1; col < m_pDataSheet->GetNumCells(row); ++col)
            if (CBrChnData* cell = GetCell(row, col); cell && !cell->GetData().empty())
                cell->SetSelText(cell->GetData().front());

    if (version >= 3) {
        CBrantSetupType::FileRead(archive, version);
        return;
    }

    m_strTitle = archive.ReadString();
    if (archive.ReadInt32() != m_nSetupType)
        throw CArchiveException(CArchiveException::badSchema, "a sheet record names the wrong sheet");
    const int count = version == 2 ? 15 : 14;
    auto scratch = std::make_unique<CBrChnData>();
    for (int s = 0; s < count; ++s) {
        const int row = version == 2 ? s : GetNewSection(s);
        const int cells = m_pDataSheet ? m_pDataSheet->GetNumCells(row) : 0;
        if (row < 0 || row >= sections || cells == 0) throw CArchiveException(CArchiveException::badSchema);
        for (int col = 0; col < cells; ++col) {
            CBrChnData* cell = GetCell(row, col);
            if (!cell) throw CArchiveException(CArchiveException::badSchema);
            try {
                if (col == 0) {
                    // The label the program shows is never taken from the file.
                    scratch->GetData().clear();
                    scratch->m_nSel = 0;
                    scratch->Copy(*cell);
                    scratch->DoFileReadWrite(archive, version);
                } else {
                    cell->DoFileReadWrite(archive, version);
                }
            } catch (const CArchiveException&) {
                throw CArchiveException(CArchiveException::badSchema);
            }
        }
    }
}

// Older programs stored other texts for these lists; the selection read is kept, the texts are today's.
void CGeneral::FixItems(int row, const char* const* texts, int count) {
    CBrChnData* cell = GetCell(row, 1);
    if (!cell) return;
    std::vector<std::string>& items = cell->GetData();
    for (int i = 0; i < count && static_cast<std::size_t>(i) < items.size(); ++i)
        items[static_cast<std::size_t>(i)] = texts[i];
}

void CGeneral::FixResetValues() {
    FixItems(GEN_ROW_RESET_FUNC, g_GenResetFunc[0], 3);
}
void CGeneral::FixBlockValues() {
    FixItems(GEN_ROW_BLOCK, g_GenBlockMode[0], 3);
}
void CGeneral::FixFuncTest() {
    FixItems(GEN_ROW_FUNC_TEST, g_GenFuncTest[0], 2);
}
void CGeneral::FixInit() {
    FixItems(GEN_ROW_INIT, g_GenInit[0], 3);
}
