#include "sheets/physical/CPhysicalInput.h"

#include "model/CanonicalText.h"
#include "model/ChannelNames.h"
#include "model/Messages.h"
#include "sheets/physical/PhysicalTables.h"

#include <cstdio>
#include <unordered_set>
#include <vector>

namespace {
std::string TrimLeft(const std::string& text) {
    std::size_t first = 0;
    while (first < text.size() && (text[first] == ' ' || (text[first] >= '\t' && text[first] <= '\r')))
        ++first;
    return text.substr(first);
}

bool IsInputRow(int row) {
    return row >= 1 && row <= PHYSICAL_INPUTS;
}
} // namespace

CPhysicalInput::CPhysicalInput() {
    m_nSetupType = SETUP_PHYSICAL_INPUT;
    ResetUnitCatalogue();
}

CPhysicalInput::~CPhysicalInput() = default;

void CPhysicalInput::Initialize() {
    FreeDataSheet();
    m_strTitle = "Physical Input";
    m_nSetupType = SETUP_PHYSICAL_INPUT;
    m_nNumColumns = PHYSICAL_COLUMNS;
    CreateDefDataSheet();
    ResetUnitCatalogue();
}

void CPhysicalInput::ResetUnitCatalogue() {
    m_pUnits = std::make_unique<CBrChnData>();
    for (const char* unit : g_LCDU)
        m_pUnits->GetData().push_back(unit);
}

int CPhysicalInput::GetNumChannels() {
    return PHYSICAL_ROWS;
}

CBrChnData* CPhysicalInput::CreateDefaultChn(int row, int col) {
    if (row < 0 || row >= PHYSICAL_ROWS || col < 0 || col >= PHYSICAL_COLUMNS) return nullptr;
    if (row == 0) return CreateLabelCell(g_PhInpLabels[col]);
    if (col == PH_COL_NAME) return CreateLabelCell(g_PhInpChn[row]);

    CBrChnData* cell = nullptr;
    if (col == PH_COL_TYPE) {
        cell = new CBrChnData(DATA_TYPE_TEXT, 0, CTRL_STYLE_PLAIN, CLR_DEFAULT);
        for (int i = 0; i < m_nInpTypes; ++i)
            cell->GetData().push_back(m_pInpTypes[static_cast<std::size_t>(i)]->m_strName);
    } else if (col == PH_COL_UNIT) {
        cell = new CBrChnData(DATA_TYPE_TEXT, 1, CTRL_STYLE_PLAIN, CLR_DEFAULT);
        cell->m_nMaxTextLen = LCDU_MAX_LEN;
        for (const char* unit : g_LCDU)
            cell->GetData().push_back(unit);
    } else {
        cell = new CBrChnData(DATA_TYPE_FLOAT, 1, CTRL_STYLE_PLAIN, CLR_DEFAULT);
        cell->AddData("0");
    }
    // A value cell is named after the column to its left, as the document file has always stored it.
    cell->SetPropName(g_PhInpLabels[col - 1]);
    return cell;
}

void CPhysicalInput::CreateDefDataSheet() {
    PrepareDataSheet(PHYSICAL_ROWS);
    CSectionArray& sections = *m_pDataSheet->m_pSections;
    for (int row = 0; row < PHYSICAL_ROWS; ++row) {
        auto* section = new CSection(PHYSICAL_COLUMNS, nullptr);
        for (int col = 0; col < PHYSICAL_COLUMNS; ++col) {
            CBrChnData* cell = CreateDefaultChn(row, col);
            cell->SetSelText(cell->GetData().front());
            (*section)[static_cast<std::size_t>(col)] = cell;
        }
        sections[static_cast<std::size_t>(row)] = section;
    }
}

void CPhysicalInput::SetParm(int row, int col, std::string text) {
    if (CBrChnData* cell = GetCell(row, col)) cell->SetSelText(std::move(text));
}

int CPhysicalInput::IsChannelActive(int row) const {
    if (!IsInputRow(row)) return 0;
    const CBrChnData* type = GetCell(row, PH_COL_TYPE);
    if (!type) return 0;
    return type->GetDataAsString() != m_pInpTypes[0]->m_strName ? 1 : 0;
}

void CPhysicalInput::GetActiveChannels(std::uint32_t* out, int& count) const {
    count = 0;
    for (int row = 1; row <= PHYSICAL_INPUTS; ++row)
        if (IsChannelActive(row)) out[count++] = static_cast<std::uint32_t>(row);
}

std::string CPhysicalInput::GetAllowedText(int row, int col) {
    // The electrical limits lie within the range of the input's type.
    if (IsInputRow(row) && (col == PH_COL_INP_LO || col == PH_COL_INP_UP)) {
        const CBrChnData* type = GetCell(row, PH_COL_TYPE);
        const INPUT_TYPE* record = type ? FindInputType(type->GetDataAsString()) : nullptr;
        if (!record || record == m_pInpTypes[0].get()) return {};
        char range[64];
        std::snprintf(range, sizeof range, "%g to %g %s", record->m_fLower, record->m_fUpper,
                      record->m_strUnit.c_str());
        return range;
    }
    return CBrantSetupType::GetAllowedText(row, col);
}

int CPhysicalInput::ValidateData(int row, int col, std::string text) {
    return DoValidateData(row, col, std::move(text));
}

std::string CPhysicalInput::CanonicalText(int row, int col, const std::string& text) const {
    return IsInputRow(row) && col >= PH_COL_TYPE && col <= PH_COL_MISC
               ? CanonicalInputParameter(col - PH_COL_TYPE, text)
               : text;
}

// Checks one edit, stores it or its correction, and tells every setup type, also about a refused value.
int CPhysicalInput::DoValidateData(int row, int col, std::string text) {
    Error(row, 0, 0);
    // Coordinates that name no input cell change nothing and are not announced.
    if (!IsInputRow(row) || col < 0 || col >= PHYSICAL_COLUMNS) return 0;
    text = CanonicalText(row, col, text);

    UINT error = 0;
    switch (col) {
    case PH_COL_TYPE:
        // Only a type the unit knows can be chosen, also when a download left an unknown text in the list.
        if (!FindInputType(text) || !IsSelectValid(row, col, text)) {
            error = IDS_INVALID_INPUT_TYPE;
        } else if (!IsChannelActive(row)) {
            ResetChannel(row);
        } else {
            // The limits must fit the new type; they are clamped to it while the type stays in force.
            std::string low = GetCell(row, PH_COL_INP_LO)->GetDataAsString();
            std::string up = GetCell(row, PH_COL_INP_UP)->GetDataAsString();
            if (!ValidateInpRange(low, row, PH_COL_INP_LO) || !ValidateInpRange(up, row, PH_COL_INP_UP))
                error = IDS_OUT_OFF_RANGE_CLOSEST;
        }
        break;
    case PH_COL_UNIT:
        if (!IsChannelActive(row))
            error = IDS_CHANNEL_NOT_ACTIVE;
        else if (HasControlCharacter(text))
            error = IDS_CONTROL_CHARACTER;
        else if (!ValidateUnit(row, col, text))
            error = IDS_TOO_MANY_UNITS;
        break;
    case PH_COL_INP_LO:
    case PH_COL_INP_UP:
        // A fourth decimal would reach the unit as another number.
        if (!IsChannelActive(row))
            error = IDS_CHANNEL_NOT_ACTIVE;
        else if (Check3Bytes(text) == IDS_TOO_MANY_DECIMALS)
            error = IDS_TOO_MANY_DECIMALS;
        else if (!ValidateInpRange(text, row, col))
            error = IDS_OUT_OFF_RANGE_CLOSEST;
        break;
    case PH_COL_LCD_LO:
    case PH_COL_LCD_UP:
    case PH_COL_MISC:
        // Any number the unit holds as typed; anything else would reach it as another number.
        if (!IsChannelActive(row))
            error = IDS_CHANNEL_NOT_ACTIVE;
        else if (const UINT fault = Check3Bytes(text))
            error = fault;
        else
            GetCell(row, col)->SetText(text);
        break;
    default:
        break;
    }
    if (error) Error(row, error, 0);

    NotifyAll(row, col, TrimLeft(text));
    return error ? 0 : 1;
}

// A new unit is offered on every input; it is selected only on the edited one. Units are appended as
// whole items so that a ';' in the text cannot split it into several. Every input offers the same list, so
// once it is full no new unit is taken (0), and the document stays one the loader reads.
int CPhysicalInput::ValidateUnit(int row, int col, std::string& text) {
    // The unit shows four characters and gives no blanks back.
    text = CanonicalUnitText(text).substr(0, LCDU_MAX_LEN);
    CBrChnData* cell = GetCell(row, col);
    int index = -1;
    if (cell->IsItemExist(text, index)) {
        cell->m_nSel = index;
        return 1;
    }
    if (cell->GetData().size() >= static_cast<std::size_t>(CBrChnData::MAX_ITEMS)) return 0;
    cell->GetData().push_back(text);
    cell->m_nSel = static_cast<int>(cell->GetData().size()) - 1;
    for (int other = 1; other <= PHYSICAL_INPUTS; ++other) {
        CBrChnData* unit = other == row ? nullptr : GetCell(other, col);
        if (unit && !unit->IsItemExist(text, index)) unit->GetData().push_back(text);
    }
    return 1;
}

// Stores `text` as an input limit of the input's type, clamped to the type's bounds (then 0 is returned and
// `text` holds the bound). A text that is no plain unsigned number is refused and nothing is stored.
int CPhysicalInput::ValidateInpRange(std::string& text, int row, int col) {
    if (!IsChannelActive(row)) {
        ResetChannel(row);
        return 0;
    }
    const INPUT_TYPE* record = FindInputType(GetCell(row, PH_COL_TYPE)->GetDataAsString());
    if (!record || record == m_pInpTypes[0].get()) return 0;

    float value = 0.0f;
    if (!IsValidFloat(text, value)) return 0;
    int result = 1;
    char bound[16];
    if (value < record->m_fLower) {
        std::snprintf(bound, sizeof bound, "%d", static_cast<int>(record->m_fLower));
        text = bound;
        result = 0;
    } else if (value > record->m_fUpper) {
        std::snprintf(bound, sizeof bound, "%d", static_cast<int>(record->m_fUpper));
        text = bound;
        result = 0;
    }
    if (CBrChnData* cell = GetCell(row, col)) cell->SetText(text);
    return result;
}

int CPhysicalInput::IsSelectValid(int row, int col, const std::string& text) {
    CBrChnData* cell = GetCell(row, col);
    int index = -1;
    if (!cell || !cell->IsItemExist(text, index)) return 0;
    cell->m_nSel = index;
    return 1;
}

void CPhysicalInput::ResetChannel(int row) {
    if (!IsInputRow(row)) return;
    for (int col : {PH_COL_TYPE, PH_COL_UNIT}) {
        CBrChnData* cell = GetCell(row, col);
        if (cell && !cell->GetData().empty()) cell->m_nSel = 0;
    }
    for (int col = PH_COL_INP_LO; col <= PH_COL_MISC; ++col)
        if (CBrChnData* cell = GetCell(row, col)) cell->SetText("0");
    NotifyAll(row, PH_COL_TYPE, m_pInpTypes[0]->m_strName);
}

bool CPhysicalInput::MergeUnits() {
    std::vector<std::string>& catalogue = m_pUnits->GetData();
    std::unordered_set<std::string> known(catalogue.begin(), catalogue.end());
    for (int row = 1; row <= PHYSICAL_INPUTS; ++row) {
        const CBrChnData* cell = GetCell(row, PH_COL_UNIT);
        if (!cell) continue;
        for (const std::string& unit : cell->GetData()) {
            if (!known.insert(unit).second) continue;
            // Inputs stored with different lists could together hold more units than a list may.
            if (catalogue.size() >= static_cast<std::size_t>(CBrChnData::MAX_ITEMS)) return false;
            catalogue.push_back(unit);
        }
    }
    for (int row = 1; row <= PHYSICAL_INPUTS; ++row) {
        CBrChnData* cell = GetCell(row, PH_COL_UNIT);
        if (!cell) continue;
        const std::string value = cell->GetDataAsString();
        cell->GetData() = m_pUnits->GetData();
        cell->m_nSel = 0;
        cell->SetSelText(value);
    }
    return true;
}
