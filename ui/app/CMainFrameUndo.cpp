// Undo and Redo of the main window: whole configurations, every sheet at once; afterwards the tab of the
// change is shown with its first changed cell selected.
#include "ui/app/CMainFrame.h"

#include "model/IBrantSetupType.h"
#include "ui/app/CommandIds.h"
#include "ui/grid/CLynGridCtrl.h"
#include "ui/sheet/CTavikView.h"
#include "ui/sheet/Cp1252.h"
#include "ui/transfer/CTransferCommands.h"
#include "unit/CTavikDoc.h"

#include <QAction>

#include <algorithm>

void CMainFrame::UpdateUndoActions() {
    if (QAction* undo = GetAction(ID_EDIT_UNDO)) undo->setEnabled(m_pDoc && m_pDoc->CanUndo());
    if (QAction* redo = GetAction(ID_EDIT_REDO)) redo->setEnabled(m_pDoc && m_pDoc->CanRedo());
}

void CMainFrame::ShowUndoneChange(const std::vector<ConfigDifference>& differences) {
    // Changes flow from a sheet to the ones after it (an input to the logical inputs and alarms), so the
    // first sheet that changed is the one where the change was made.
    IBrantSetupType* setups[SETUP_TYPE_COUNT] = {};
    if (differences.empty() || !m_pDoc || m_pDoc->GetBrSetup(setups) != SETUP_TYPE_COUNT) return;
    for (int i = 0; i < SETUP_TYPE_COUNT && i < GetViewCount(); ++i) {
        if (!setups[i]) continue;
        const auto first =
            std::find_if(differences.begin(), differences.end(),
                         [&](const ConfigDifference& d) { return d.sheet == setups[i]->GetTitle(); });
        if (first == differences.end()) continue;
        SetActiveView(i);
        CTavikView* view = GetTavikView(i);
        CLynGridCtrl* grid = view ? view->GetGrid() : nullptr;
        const CDataSheet* sheet = setups[i]->GetDataSheet();
        if (!grid || !sheet) return;
        const QString rowName = FromCp1252(first->row);
        const QString colName = FromCp1252(first->column);
        int row = 1, col = 1;
        for (int r = 1; r < grid->GetRowCount(); ++r)
            if (grid->GetItemText(r, 0).trimmed() == rowName) row = r;
        for (int c = 1; c < grid->GetColumnCount(); ++c)
            if (grid->GetItemText(0, c).trimmed() == colName) col = c;
        // One cell selected, the first one the change touched.
        grid->SetFocusCell(row, col);
        grid->SetSelectedRange(row, col, row, col);
        grid->setFocus();
        return;
    }
}

void CMainFrame::OnEditUndo() {
    if (!m_pDoc || (m_pTransfer && m_pTransfer->IsTransferring())) return;
    CommitEdits();
    if (m_pDoc->RecordUndoStep()) m_pDoc->SetModifiedFlag(1); // a change not yet recorded is the step to undo
    if (m_pDoc->GetZemUnit()) m_changes.Reset(*m_pDoc->GetZemUnit());
    if (m_pDoc->Undo()) {
        const std::vector<ConfigDifference> differences =
            m_pDoc->GetZemUnit() ? m_changes.Take(*m_pDoc->GetZemUnit()) : std::vector<ConfigDifference>();
        RefreshViews();
        ShowUndoneChange(differences);
    }
    OnUpdateFrameTitle();
}

void CMainFrame::OnEditRedo() {
    if (!m_pDoc || (m_pTransfer && m_pTransfer->IsTransferring())) return;
    CommitEdits();
    if (m_pDoc->GetZemUnit()) m_changes.Reset(*m_pDoc->GetZemUnit());
    // A change made after Undo starts a new branch: there is nothing left to redo then.
    if (!m_pDoc->RecordUndoStep() && m_pDoc->Redo()) {
        const std::vector<ConfigDifference> differences =
            m_pDoc->GetZemUnit() ? m_changes.Take(*m_pDoc->GetZemUnit()) : std::vector<ConfigDifference>();
        RefreshViews();
        ShowUndoneChange(differences);
    }
    OnUpdateFrameTitle();
}
