#include "model/CDataSheet.h"

CBrChnData* CDataSheet::GetProperty(int section, int cell) const {
    if (!m_pSections || section < 0 || section >= GetNumSections()) return nullptr;
    CSection* row = (*m_pSections)[static_cast<std::size_t>(section)];
    return row ? (*row)[static_cast<std::size_t>(cell)] : nullptr;
}

CBrChnData* CDataSheet::GetCellChecked(int section, int cell) const {
    if (cell < 0 || cell >= GetNumCells(section)) return nullptr;
    return GetProperty(section, cell);
}

int CDataSheet::GetNumCells(int section) const {
    if (!m_pSections || section < 0 || section >= GetNumSections()) return 0;
    const CSection* row = (*m_pSections)[static_cast<std::size_t>(section)];
    return row ? static_cast<int>(row->size()) : 0;
}

void DeleteDataSheet(CSectionArray& sections) {
    for (CSection* section : sections) {
        if (!section) continue;
        for (CBrChnData* cell : *section)
            delete cell;
        delete section;
    }
    sections.clear();
}
