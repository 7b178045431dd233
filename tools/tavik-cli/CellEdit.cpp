#include "tools/tavik-cli/CellEdit.h"

#include "model/CBrantSetupType.h"
#include "model/Cp1252.h"
#include "model/Messages.h"
#include "model/PopupPaste.h"
#include "tools/tavik-cli/CellNames.h"
#include "tools/tavik-cli/CliPrompt.h"
#include "unit/CEditJudge.h"
#include "unit/CZemUnit.h"

namespace {
EditOutcome Refusal(unsigned id, std::string message) {
    EditOutcome outcome;
    outcome.kind = EditOutcome::Refused;
    outcome.id = id;
    outcome.message = std::move(message);
    return outcome;
}

std::string CutMessage(const CBrChnData& cell) {
    return "the cell takes at most " + std::to_string(cell.m_nMaxTextLen) + " characters";
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

    EditOutcome outcome;
    if (text == cell->GetDataAsString()) {
        if (cut) {
            outcome.kind = EditOutcome::Corrected;
            outcome.value = Utf8FromCp1252(text);
            outcome.message = CutMessage(*cell);
        }
        return outcome;
    }
    CEditJudge judge(unit, type, row, col);
    setup->ClearLastError();
    prompt.TakeCancelled();
    // Popup cells take letters naming their properties, as when pasted into the grid.
    if (cell->m_nStyle == CTRL_STYLE_POPUP) ApplyPopupPasteText(*setup, row, col, text);
    const bool accepted = setup->ValidateData(row, col, text) != 0;
    const bool cancelled = prompt.TakeCancelled();
    EditVerdict verdict = judge.Judge(typed, accepted);
    // What the sheet said about the other cells it changed is in their list.
    if (listOthers) outcome.others = std::move(verdict.others);

    if (verdict.kind == EditVerdict::Ok) return outcome;
    if (cancelled && verdict.kind == EditVerdict::Refused)
        return Refusal(0, "the sheet asks to confirm this value: give --yes");
    if (verdict.kind == EditVerdict::Corrected) {
        outcome.kind = EditOutcome::Corrected;
        outcome.value = Utf8FromCp1252(verdict.stored);
        outcome.message = cut          ? CutMessage(*cell)
                          : verdict.id ? Utf8FromCp1252(LoadMessage(verdict.id))
                                       : std::string("the sheet stored another value");
        return outcome;
    }
    outcome.kind = EditOutcome::Refused;
    outcome.id = verdict.id;
    outcome.message =
        verdict.id ? Utf8FromCp1252(LoadMessage(verdict.id)) : "the sheet does not take this value here";
    // The same "Allowed:" the desktop program shows under a refusal, on the answer's own line.
    if (!verdict.allowed.empty()) {
        outcome.message += outcome.message.ends_with('.') ? " Allowed: " : ". Allowed: ";
        outcome.message += Utf8FromCp1252(verdict.allowed);
    }
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

std::string PlaceText(CZemUnit& unit, int type, int row, int col) {
    CBrantSetupType* setup = unit.GetSetupType(type);
    if (!setup) return std::string();
    std::string place = SheetWords()[static_cast<std::size_t>(type)] + " " + RowKey(*setup, row);
    // A sheet of one value column (General) names its values by their rows alone.
    // Appended piece by piece: GCC 12 at -O3 reports a false overlap in `" " + string`.
    if (EditableColumns(*setup).size() != 1) {
        place += ' ';
        place += ColumnKey(*setup, col);
    }
    return place;
}

std::string ChangeText(CZemUnit& unit, const ConfigDifference& change) {
    return PlaceText(unit, change.type, change.rowIndex, change.colIndex) + ": \"" +
           Utf8FromCp1252(change.first) + "\" -> \"" + Utf8FromCp1252(change.second) + "\"";
}
