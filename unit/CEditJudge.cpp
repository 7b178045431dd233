#include "unit/CEditJudge.h"

#include "model/CBrantSetupType.h"
#include "model/Messages.h"
#include "unit/CZemUnit.h"

#include <algorithm>

namespace {
// The messages with which a sheet stores the nearest value it takes instead of the one given.
bool IsCorrection(unsigned id) {
    return id == IDS_OUT_OF_RANGE_NEAREST || id == IDS_OUT_OFF_RANGE_CLOSEST || id == IDS_DELAY_NEAREST;
}

std::string CellText(CZemUnit& unit, int type, int row, int col) {
    CBrantSetupType* setup = unit.GetSetupType(type);
    const CDataSheet* sheet = setup ? setup->GetDataSheet() : nullptr;
    const CBrChnData* cell = sheet ? sheet->GetCellChecked(row, col) : nullptr;
    return cell ? cell->GetDataAsString() : std::string();
}
} // namespace

CEditJudge::CEditJudge(CZemUnit& unit, int type, int row, int col)
    : m_unit(unit), m_nType(type), m_nRow(row), m_nCol(col), m_strBefore(CellText(unit, type, row, col)) {
    m_changes.Reset(unit);
}

EditVerdict CEditJudge::Judge(const std::string& given, bool accepted) {
    EditVerdict verdict;
    CBrantSetupType* setup = m_unit.GetSetupType(m_nType);
    verdict.stored = CellText(m_unit, m_nType, m_nRow, m_nCol);
    verdict.id = setup ? static_cast<unsigned>(setup->GetLastError()) : 0;
    const std::string value = setup ? setup->CanonicalText(m_nRow, m_nCol, given) : given;
    if (verdict.stored == value)
        verdict.kind = EditVerdict::Ok;
    else if (verdict.stored != m_strBefore && (accepted || IsCorrection(verdict.id)))
        verdict.kind = EditVerdict::Corrected;
    else
        verdict.kind = EditVerdict::Refused;
    // The sheet whose rule judged the value says what it takes there now ("1 to 62", the items of a list).
    if (verdict.kind != EditVerdict::Ok && setup) verdict.allowed = setup->GetAllowedText(m_nRow, m_nCol);
    verdict.others = m_changes.Take(m_unit);
    std::erase_if(verdict.others, [this](const ConfigDifference& change) {
        return change.type == m_nType && change.rowIndex == m_nRow && change.colIndex == m_nCol;
    });
    return verdict;
}
