#include "sheets/logical/CLogicalInput.h"

#include "model/CanonicalText.h"
#include "model/AllowedText.h"
#include "model/ChannelNames.h"
#include "model/Messages.h"
#include "sheets/logical/LogicalTables.h"
#include "sheets/physical/CPhysicalInput.h"
#include "sheets/physical/PhysicalTables.h"

namespace {
const char* const g_strOff = "OFF";

bool IsDigits(const std::string& text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return !text.empty();
}

// "12" is short for "IN 12": the first physical name ending in the typed two digits.
std::string ExpandShorthand(const std::string& text) {
    if (!IsDigits(text)) return text;
    for (const char* name : g_PhInpChn) {
        const std::string entry(name);
        if (entry.size() >= 2 && entry.compare(entry.size() - 2, 2, text) == 0) return entry;
    }
    return text;
}
} // namespace

CLogicalInput::CLogicalInput() {
    m_strTitle = "Logical Input";
    m_nSetupType = SETUP_LOGICAL_INPUT;
    m_nNumColumns = LOGICAL_SHOWN_COLUMNS;
}

CLogicalInput::~CLogicalInput() = default;

void CLogicalInput::Initialize() {
    FreeDataSheet();
    m_strTitle = "Logical Input";
    m_nSetupType = SETUP_LOGICAL_INPUT;
    m_nNumColumns = LOGICAL_SHOWN_COLUMNS;
    CreateDefDataSheet();
}

// The header shows the physical parameter titles above the derived cells, so the Physical Input sheet
// is built first; without it the same titles come from its table.
void CLogicalInput::CreateDefDataSheet() {
    PrepareDataSheet(LOGICAL_ROWS);
    CSectionArray& sections = *m_pDataSheet->m_pSections;
    for (int row = 0; row < LOGICAL_ROWS; ++row) {
        auto* section = new CSection(LOGICAL_COLUMNS, nullptr);
        for (int col = 0; col < LOGICAL_COLUMNS; ++col) {
            CBrChnData* cell = nullptr;
            if (row == 0 && col < LOG_COL_FIRST_DERIVED) {
                cell = CreateLabelCell(g_LgInpLables[col]);
            } else if (row == 0) {
                const int phCol = col - LOG_COL_FIRST_DERIVED + 1;
                const CBrChnData* title = GetCellOf(SETUP_PHYSICAL_INPUT, 0, phCol);
                cell = title ? new CBrChnData(*title) : CreateLabelCell(g_PhInpLabels[phCol]);
            } else if (col == 0) {
                cell = CreateLabelCell(g_LogInpChn[row]);
            } else if (col <= LOG_COL_LAST_INPUT) {
                cell = new CBrChnData(DATA_TYPE_TEXT, 1, CTRL_STYLE_PLAIN, CLR_DEFAULT);
                cell->AddData(g_strOff);
                cell->SetPropName(g_LgInpLables[col - 1]);
            } else {
                cell = new CBrChnData(DATA_TYPE_TEXT, 0, CTRL_STYLE_PLAIN, CLR_DERIVED);
                cell->AddData("");
            }
            (*section)[static_cast<std::size_t>(col)] = cell;
        }
        sections[static_cast<std::size_t>(row)] = section;
    }
}

std::string CLogicalInput::CanonicalText(int row, int col, const std::string& text) const {
    if (row < 1 || row >= LOGICAL_ROWS) return text;
    if (col >= LOG_COL_FIRST_DERIVED && col <= LOG_COL_LAST_DERIVED)
        return CanonicalInputParameter(col - LOG_COL_FIRST_DERIVED, text);
    const CBrChnData* cell = GetInputCell(row, col);
    return cell ? ListSpelling(cell->GetData(), ExpandShorthand(text)) : text;
}

int CLogicalInput::GetNumChannels() {
    return LOGICAL_USED_ROWS + 1;
}

void CLogicalInput::SetParm(int row, int col, std::string text) {
    if (CBrChnData* cell = GetCell(row, col)) cell->SetSelText(std::move(text));
}

CBrChnData* CLogicalInput::GetInputCell(int row, int col) const {
    if (row < 1 || row >= LOGICAL_ROWS || col < LOG_COL_FIRST_INPUT || col > LOG_COL_LAST_INPUT)
        return nullptr;
    return GetCell(row, col);
}

CPhysicalInput* CLogicalInput::GetPhysical() {
    return dynamic_cast<CPhysicalInput*>(m_pBrantSetupTypes[SETUP_PHYSICAL_INPUT]);
}

int CLogicalInput::PhysicalSource(const std::string& name) {
    const int index = GetPhChnIndex(name);
    return index >= 1 && index <= PHYSICAL_INPUTS ? index : -1;
}

// Only a lower logical input can feed `row`; anything else would let a cascade run in circles.
int CLogicalInput::LogicalSource(const std::string& name, int row) {
    const int index = GetLogChnIndex(name);
    return index >= 1 && index < row ? index : -1;
}

int CLogicalInput::IsOtherParmActive(int row, int exceptCol) const {
    for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col) {
        const CBrChnData* cell = col == exceptCol ? nullptr : GetInputCell(row, col);
        if (cell && cell->GetDataAsString() != g_strOff) return 1;
    }
    return 0;
}

void CLogicalInput::GetActiveLogInputs(std::uint32_t* list, int& count) const {
    count = 0;
    for (int row = 1; row <= LOGICAL_USED_ROWS; ++row)
        if (IsOtherParmActive(row, -1)) list[count++] = static_cast<std::uint32_t>(row);
}

std::string CLogicalInput::GetAllowedText(int row, int col) {
    const CBrChnData* cell = GetInputCell(row, col);
    if (!cell) return CBrantSetupType::GetAllowedText(row, col);
    const bool matchOthers = IsOtherParmActive(row, col) != 0;
    std::vector<std::string> taken;
    for (const std::string& item : cell->GetData()) {
        if (item == g_strOff) {
            taken.push_back(item);
            continue;
        }
        const int phRow = item[0] == 'I' ? PhysicalSource(item) : -1;
        const int logRow = item[0] == 'L' ? LogicalSource(item, row) : -1;
        if (phRow < 0 && logRow < 0) continue;
        if (!matchOthers || (phRow >= 0 ? VerifyPhInps(phRow, row) : VerifyLogInps(logRow, row)))
            taken.push_back(item);
    }
    return AllowedListText(taken);
}

// One input cell edited: the source must be offered there and, when the logical input already has sources,
// have their parameters. Every other setup type is told, also when the source was refused.
int CLogicalInput::ValidateData(int row, int col, std::string text) {
    // The Alarm sheet hears of derived parameters row by row; it settles once every row is updated.
    const CNoticeCascade cascade;
    CBrChnData* cell = GetInputCell(row, col);
    text = CanonicalText(row, col, text);
    if (!cell || text.empty() || text == GetLogChnName(row)) {
        // Refused without a message of its own: clear the record so that no earlier message is shown.
        Error(row, 0, 0);
        return 0;
    }
    const std::string old = cell->GetDataAsString();
    int index = -1;
    if (!cell->IsItemExist(text, index)) {
        Error(row, IDS_TURN_OFF_INPUT, 0);
        return 0;
    }

    const int phRow = text[0] == 'I' ? PhysicalSource(text) : -1;
    const int logRow = text[0] == 'L' ? LogicalSource(text, row) : -1;
    UINT error = 0;
    if (IsOtherParmActive(row, col)) {
        const int matches = phRow >= 0    ? VerifyPhInps(phRow, row)
                            : logRow >= 0 ? VerifyLogInps(logRow, row)
                                          : 0;
        if (matches) {
            cell->SetSelText(text);
            AddSelChannel(row, col, old);
            RemoveSelChannel(row, col, text);
        } else {
            if (text != g_strOff)
                error = phRow >= 0 || logRow >= 0 ? IDS_INPUT_PARMS_MISMATCH : IDS_TURN_OFF_INPUT;
            cell->SetSelText(g_strOff);
            AddSelChannel(row, col, old);
        }
    } else if (text == g_strOff) {
        ResetPhInpParms(row);
        AddSelChannel(row, col, old);
        RemoveInactLogChn(row);
        cell->SetSelText(g_strOff);
    } else if (phRow < 0 && logRow < 0) {
        // An item that names no usable source (only a damaged document holds one) is not taken.
        error = IDS_TURN_OFF_INPUT;
    } else {
        if (phRow >= 0)
            UpdateInpParms(row, phRow);
        else
            UpDataLogInp(row, text);
        AddSelChannel(row, col, old);
        RemoveSelChannel(row, col, text);
        AddLogInpToDataSheet(row);
        cell->SetSelText(text);
        // The parameters may have changed while higher logical inputs use this one.
        UpdateModifyLogInput(row);
    }
    if (error) Error(row, error, 0);

    NotifyAll(row, col, text);
    return error ? 0 : 1;
}

// Turns the whole logical input off: every source goes back into the lists, users of this logical input
// let go of it, and the derived cells are emptied like after the last source is turned off by an edit.
void CLogicalInput::ResetChannel(int row) {
    if (row < 1 || row >= LOGICAL_ROWS) return;
    const CNoticeCascade cascade;
    for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col) {
        CBrChnData* cell = GetInputCell(row, col);
        if (!cell) continue;
        const std::string old = cell->GetDataAsString();
        cell->SetSelText(g_strOff);
        AddSelChannel(row, col, old);
    }
    ResetPhInpParms(row);
    RemoveInactLogChn(row);
    NotifyAll(row, LOG_COL_FIRST_INPUT, g_strOff);
}

void CLogicalInput::OnUpdateModify(int source, int row, int, std::string) {
    if (source == SETUP_PHYSICAL_INPUT) UpdatePropSheet(row);
}

void CLogicalInput::NotifyAlarms(int row, const std::string& text) {
    if (IBrantSetupType* alarms = m_pBrantSetupTypes[SETUP_ALARM])
        alarms->UpdateModify(SETUP_LOGICAL_INPUT, row, -1, text);
}
