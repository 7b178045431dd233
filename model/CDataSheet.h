#pragma once

#include "model/CBrChnData.h"

#include <vector>

// One grid row of cells, and the ordered rows of a sheet. Both hold raw pointers: the cells and sections
// are freed only by DeleteDataSheet, so a second holder (the unit's GetDataSheet) may share them.
using CSection = std::vector<CBrChnData*>;
using CSectionArray = std::vector<CSection*>;

class CDataSheet {
public:
    CDataSheet() = default;
    CDataSheet(const CDataSheet&) = delete;
    CDataSheet& operator=(const CDataSheet&) = delete;

    int GetNumSections() const { return m_pSections ? static_cast<int>(m_pSections->size()) : 0; }
    CBrChnData* GetProperty(int section, int cell) const;
    // Like GetProperty, but also checks the cell index; for callers handling untrusted coordinates.
    CBrChnData* GetCellChecked(int section, int cell) const;
    int GetNumCells(int section) const;

    CSectionArray* m_pSections = nullptr;
};

// Deletes every cell and section of the array and empties it; the array object itself stays.
void DeleteDataSheet(CSectionArray& sections);
