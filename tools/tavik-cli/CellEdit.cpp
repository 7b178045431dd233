#include "tools/tavik-cli/CellEdit.h"

#include "model/CBrantSetupType.h"
#include "model/Cp1252.h"
#include "model/Messages.h"
#include "model/PopupPaste.h"
#include "tools/tavik-cli/CellNames.h"
#include "tools/tavik-cli/CliPrompt.h"
#include "unit/CZemUnit.h"
#include "unit/ConfigChanges.h"

namespace {
// The messages with which a sheet stores the nearest value it takes instead of the one typed.
bool IsCorrection(unsigned id) {
    return id == IDS_OUT_OF_RANGE_NEAREST || id == IDS_OUT_OFF_RANGE_CLOSEST || id == IDS_DELAY_NEAREST;
}

// The same value as typed, but for blanks around it and letter case ("in 11" is stored as "IN 11").
bool SameText(const std::string& a, const std::string& b) {
    return NameForm(a) == NameForm(b);
}

EditOutcome Refusal(unsigned id, std::string message) {
    EditOutcome outcome;
    outcome.kind = EditOutcome::Refused;
    outcome.id = id;
    outcome.message = std::move(message);
    return outcome;
}
} // namespace

EditOutcome ApplyCellEdit(CZemUnit& unit, int type, int row, int col, const std::string& utf8,
                          CCliPrompt& prompt, bool listOthers) {
    CBrantSetupType* setup = unit.GetSetupType(type);
    CDataSheet* sheet = setup ? setup->GetDataSheet() : nullptr;
    CBrChnData* cell = sheet ? sheet->GetCellChecked(row, col) : nullptr;
    if (!cell || !IsEditableColumn(*setup, col))
        return Refusal(0, "the column \"" + ColumnKey(*setup, col) + "\" of the " +
                              Utf8FromCp1252(setup->GetTitle()) + " sheet is read-only");
    // As in the grid: a character the document cannot store refuses the edit, and a text longer than the
    // cell takes is cut.
    std::string typed;
    std::string unstorable;
    if (!Cp1252FromUtf8(utf8, typed, unstorable))
        return Refusal(0, std::string(g_strNotCp1252) + " (" + unstorable + ")");
    const std::string text = cell->FitToMaxLength(typed);
    const bool cut = text != typed;
    const std::string old = cell->GetDataAsString();

    EditOutcome outcome;
    if (text == old) {
        if (cut) {
            outcome.kind = EditOutcome::Corrected;
            outcome.value = Utf8FromCp1252(text);
            outcome.message = "the cell takes at most " + std::to_string(cell->m_nMaxTextLen) + " characters";
        }
        return outcome;
    }
    ConfigValues before;
    if (listOthers) before = ReadConfigValues(unit, false);
    setup->ClearLastError();
    prompt.TakeCancelled();
    // Popup cells take letters naming their properties, as when pasted into the grid.
    if (cell->m_nStyle == CTRL_STYLE_POPUP) ApplyPopupPasteText(*setup, row, col, text);
    const bool accepted = setup->ValidateData(row, col, text) != 0;
    const auto id = static_cast<unsigned>(setup->GetLastError());
    const bool cancelled = prompt.TakeCancelled();
    cell = sheet->GetCellChecked(row, col);
    const std::string now = cell ? cell->GetDataAsString() : std::string();
    if (listOthers) outcome.others = OtherChangedCells(before, unit, type, row, col);

    if (cancelled && !accepted) {
        outcome.kind = EditOutcome::Refused;
        outcome.message = "the sheet asks to confirm this value: give --yes";
    } else if (accepted || (now != old && SameText(now, text))) {
        // Stored (as typed, or in the sheet's own form); what the sheet said then concerns the other cells
        // it changed, which the caller lists.
        if (cut) {
            outcome.kind = EditOutcome::Corrected;
            outcome.value = Utf8FromCp1252(now);
            outcome.message = "the cell takes at most " + std::to_string(cell->m_nMaxTextLen) + " characters";
        }
    } else if (now != old && IsCorrection(id)) {
        outcome.kind = EditOutcome::Corrected;
        outcome.value = Utf8FromCp1252(now);
        outcome.message = LoadMessage(id);
    } else {
        outcome.kind = EditOutcome::Refused;
        outcome.id = id;
        outcome.message = id ? LoadMessage(id) : "the sheet does not take this value here";
    }
    outcome.message = Utf8FromCp1252(outcome.message);
    return outcome;
}

std::string AnswerText(const EditOutcome& outcome) {
    switch (outcome.kind) {
    case EditOutcome::Stored:
        return "ok";
    case EditOutcome::Corrected:
        return "corrected to \"" + outcome.value + "\": " + outcome.message;
    case EditOutcome::Refused:
        break;
    }
    // Built by appending: GCC 12 at -O3 reports a false overlap in the nested concatenation.
    std::string text = "refused";
    if (outcome.id) {
        text += ' ';
        text += std::to_string(outcome.id);
    }
    text += ": ";
    text += outcome.message;
    return text;
}

std::string ChangeText(CZemUnit& unit, const ConfigDifference& change) {
    CBrantSetupType* setup = unit.GetSetupType(change.type);
    if (!setup) return std::string();
    return SheetWords()[static_cast<std::size_t>(change.type)] + " " + RowKey(*setup, change.rowIndex) + " " +
           ColumnKey(*setup, change.colIndex) + ": \"" + Utf8FromCp1252(change.first) + "\" -> \"" +
           Utf8FromCp1252(change.second) + "\"";
}
