// How the Logical Input sheet keeps its source lists and derived parameters in step with the physical
// inputs and with each other.
#include "sheets/logical/CLogicalInput.h"

#include "model/ChannelNames.h"
#include "sheets/logical/LogicalTables.h"
#include "sheets/physical/CPhysicalInput.h"
#include "sheets/physical/PhysicalTables.h"

namespace {
const char* const g_strOff = "OFF";
const char* const g_strChanged = "HEJ"; // tells the Alarm sheet that a row's parameters changed

bool HasItem(const CBrChnData& cell, const std::string& name) {
    int index = -1;
    return cell.IsItemExist(name, index) != 0;
}

std::string TrimLeft(const std::string& text) {
    std::size_t first = 0;
    while (first < text.size() && (text[first] == ' ' || (text[first] >= '\t' && text[first] <= '\r')))
        ++first;
    return text.substr(first);
}

std::string TextOf(const CBrChnData* cell) {
    return cell ? cell->GetDataAsString() : std::string();
}
} // namespace

// Physical input `phRow` changed: follow it in every logical input that offers or uses it.
void CLogicalInput::UpdatePropSheet(int phRow) {
    if (phRow < 1 || phRow > PHYSICAL_INPUTS) return;
    const std::string name = g_PhInpChn[phRow];
    const CPhysicalInput* physical = GetPhysical();
    const bool active = physical && physical->IsChannelActive(phRow);
    // Set once for all rows: a row that lacks the name while an earlier row has it is not offered it.
    bool found = false;
    for (int row = 1; row <= LOGICAL_USED_ROWS; ++row) {
        for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col) {
            CBrChnData* cell = GetInputCell(row, col);
            if (!cell || !HasItem(*cell, name)) continue;
            found = true;
            const bool used = cell->GetDataAsString() == name;
            if (used && !active) {
                RemoveSelChannel(row, -1, name);
                if (!IsOtherParmActive(row, col)) {
                    ResetPhInpParms(row);
                    RemoveInactLogChn(row);
                }
            } else if (used && IsOtherParmActive(row, col)) {
                if (!VerifyPhInps(phRow, row)) {
                    cell->SetSelText(g_strOff);
                    AddSelChannel(row, col, name);
                }
            } else if (used) {
                UpdateInpParms(row, phRow);
                UpdateModifyLogInput(row);
            } else if (!active) {
                RemoveSelChannel(row, -1, name);
            }
        }
        if (!found && active) AddSelChannel(row, LOG_COL_LAST_INPUT + 1, name);
    }
}

int CLogicalInput::UpdateInpParms(int row, int phRow) {
    if (phRow >= 1 && phRow <= PHYSICAL_INPUTS) {
        for (int k = 0; k < LOG_DERIVED_COUNT; ++k)
            if (CBrChnData* derived = GetCell(row, LOG_COL_FIRST_DERIVED + k))
                derived->SetText(TextOf(GetCellOf(SETUP_PHYSICAL_INPUT, phRow, PH_COL_TYPE + k)));
    } else {
        ResetPhInpParms(row);
    }
    NotifyAlarms(row, g_strChanged);
    return 1;
}

int CLogicalInput::UpDataLogInp(int row, const std::string& name) {
    if (name == g_strOff) {
        ResetPhInpParms(row);
        return 1;
    }
    const int source = GetLogChnIndex(name);
    if (source < 1 || source >= LOGICAL_ROWS) {
        ResetPhInpParms(row);
        return 1;
    }
    for (int col = LOG_COL_FIRST_DERIVED; col <= LOG_COL_LAST_DERIVED; ++col)
        if (CBrChnData* derived = GetCell(row, col)) derived->SetText(TextOf(GetCell(source, col)));
    NotifyAlarms(row, name);
    return 1;
}

void CLogicalInput::ResetPhInpParms(int row) {
    for (int col = LOG_COL_FIRST_DERIVED; col <= LOG_COL_LAST_DERIVED; ++col)
        if (CBrChnData* derived = GetCell(row, col)) derived->SetText("");
    NotifyAlarms(row, g_strChanged);
}

// Physical parameters against the logical input's derived ones, leading blanks ignored.
int CLogicalInput::VerifyPhInps(int phRow, int row) const {
    if (phRow < 1 || phRow > PHYSICAL_INPUTS) return 0;
    for (int k = 0; k < LOG_DERIVED_COUNT; ++k) {
        const CBrChnData* source = GetCellOf(SETUP_PHYSICAL_INPUT, phRow, PH_COL_TYPE + k);
        const CBrChnData* derived = GetCell(row, LOG_COL_FIRST_DERIVED + k);
        if (!source || !derived) return 0;
        if (TrimLeft(source->GetDataAsString()) != TrimLeft(derived->GetDataAsString())) return 0;
    }
    return 1;
}

int CLogicalInput::VerifyLogInps(int srcRow, int row) const {
    if (srcRow < 1) return 0;
    for (int col = LOG_COL_FIRST_DERIVED; col <= LOG_COL_LAST_DERIVED; ++col) {
        const CBrChnData* source = GetCell(srcRow, col);
        const CBrChnData* derived = GetCell(row, col);
        if (!source || !derived || source->GetDataAsString() != derived->GetDataAsString()) return 0;
    }
    return 1;
}

// Withdraws `name` from the input cells of `row`; a cell that used it falls back to "OFF".
void CLogicalInput::RemoveSelChannel(int row, int exceptCol, const std::string& name) {
    for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col)
        if (CBrChnData* cell = col == exceptCol ? nullptr : GetInputCell(row, col)) cell->RemoveItem(name);
}

// Offers `name` again in the input cells of `row` that lack it, in sorted place after "OFF".
void CLogicalInput::AddSelChannel(int row, int exceptCol, const std::string& name) {
    if (name.empty()) return;
    for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col) {
        CBrChnData* cell = col == exceptCol ? nullptr : GetInputCell(row, col);
        if (cell && !HasItem(*cell, name)) cell->Put(name, 1);
    }
}

// Offers logical input `row` to the higher logical inputs. A row that already uses it keeps it in the using
// cell alone, so that a picked source is never offered twice in one row.
void CLogicalInput::AddLogInpToDataSheet(int row) {
    if (row < 1 || row > LOGICAL_USED_ROWS) return;
    const std::string name = GetLogChnName(row);
    for (int other = row + 1; other <= LOGICAL_USED_ROWS; ++other) {
        bool used = false;
        for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col)
            if (TextOf(GetInputCell(other, col)) == name) used = true;
        if (!used) AddSelChannel(other, -1, name);
    }
}

void CLogicalInput::RemoveLogFromDataSheet(int row) {
    const std::string name = GetLogChnName(row);
    if (name.empty()) return;
    for (int other = 1; other <= LOGICAL_USED_ROWS; ++other)
        RemoveSelChannel(other, -1, name);
}

// Logical input `row` has become inactive: withdraw it wherever it is offered, and turn off in cascade the
// logical inputs that used it as their only source. Each step removes an item, so the cascade ends.
void CLogicalInput::RemoveInactLogChn(int row) {
    const std::string name = GetLogChnName(row);
    if (row < 1 || name.empty()) return;
    for (int other = 1; other <= LOGICAL_USED_ROWS; ++other) {
        if (other == row) continue;
        for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col) {
            CBrChnData* cell = GetInputCell(other, col);
            if (!cell || !HasItem(*cell, name)) continue;
            const std::string value = cell->GetDataAsString();
            RemoveSelChannel(other, -1, name);
            if (!IsOtherParmActive(other, col) && value == name) {
                cell->SetSelText(g_strOff);
                ResetPhInpParms(other);
                RemoveInactLogChn(other);
            }
        }
    }
}

// The derived parameters of `row` changed: logical inputs using it as their only source take the new ones
// (and pass them on); those with other sources drop it when it no longer matches. Every user is visited.
int CLogicalInput::UpdateModifyLogInput(int row) {
    if (row < 1 || row > LOGICAL_USED_ROWS) return 1;
    const std::string name = GetLogChnName(row);
    for (int other = row + 1; other <= LOGICAL_USED_ROWS; ++other) {
        for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col) {
            CBrChnData* cell = GetInputCell(other, col);
            if (!cell || cell->GetDataAsString() != name) continue;
            if (!IsOtherParmActive(other, col)) {
                UpDataLogInp(other, name);
                UpdateModifyLogInput(other);
            } else if (!VerifyLogInps(row, other)) {
                cell->SetSelText(g_strOff);
                AddSelChannel(other, col, name);
            }
        }
    }
    return 1;
}
