// The grid control's focus, selection and ranges: the selected range as text, Copy, Paste and Select All.
#include "ui/grid/CLynGridCtrl.h"

#include "ui/grid/CLynGridModel.h"

#include <QApplication>
#include <QClipboard>
#include <QRegularExpression>

#include <algorithm>

void CLynGridCtrl::SetFocusCell(int row, int col) {
    const QModelIndex index = m_pModel->IndexOf(row, col);
    if (index.isValid()) setCurrentIndex(index);
}

BOOL CLynGridCtrl::GetFocusCell(int& row, int& col) const {
    const QModelIndex index = currentIndex();
    if (!index.isValid()) return 0;
    row = m_pModel->GridRow(index);
    col = m_pModel->GridColumn(index);
    return 1;
}

BOOL CLynGridCtrl::GetSelRange(int& minRow, int& minCol, int& maxRow, int& maxCol) const {
    const QModelIndexList selected =
        selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (selected.isEmpty()) return 0;
    minRow = minCol = INT_MAX;
    maxRow = maxCol = -1;
    for (const QModelIndex& index : selected) {
        minRow = std::min(minRow, m_pModel->GridRow(index));
        maxRow = std::max(maxRow, m_pModel->GridRow(index));
        minCol = std::min(minCol, m_pModel->GridColumn(index));
        maxCol = std::max(maxCol, m_pModel->GridColumn(index));
    }
    return 1;
}

BOOL CLynGridCtrl::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol) {
    minRow = std::max(minRow, m_pModel->FixedRows());
    minCol = std::max(minCol, m_pModel->FixedColumns());
    maxRow = std::min(maxRow, m_pModel->Rows() - 1);
    maxCol = std::min(maxCol, m_pModel->Columns() - 1);
    if (minRow > maxRow || minCol > maxCol) return 0;
    const QItemSelection range(m_pModel->IndexOf(minRow, minCol), m_pModel->IndexOf(maxRow, maxCol));
    selectionModel()->setCurrentIndex(m_pModel->IndexOf(minRow, minCol), QItemSelectionModel::NoUpdate);
    selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
    return 1;
}

QString CLynGridCtrl::GetSelectionText() const {
    int minRow = 0, minCol = 0, maxRow = 0, maxCol = 0;
    if (!GetSelRange(minRow, minCol, maxRow, maxCol)) return {};
    QString text;
    for (int row = minRow; row <= maxRow; ++row) {
        for (int col = minCol; col <= maxCol; ++col) {
            if (col > minCol) text += QLatin1Char('\t');
            if (!selectionModel()->isSelected(m_pModel->IndexOf(row, col))) continue;
            // The value without the blanks a cell is padded with to its length (an LCD text, an empty
            // text): a blank cell copies as empty.
            const QString value = GetItemText(row, col);
            qsizetype end = value.size();
            while (end > 0 && value[end - 1] == QLatin1Char(' '))
                --end;
            text += value.left(end);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

void CLynGridCtrl::OnEditCopy() {
    const QString text = GetSelectionText();
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void CLynGridCtrl::OnEditPaste() {
    PasteText(QApplication::clipboard()->text());
}

void CLynGridCtrl::OnEditSelectAll() {
    selectAll();
}

void CLynGridCtrl::PasteText(const QString& text) {
    if (text.isEmpty() || m_bPasteMode) return;
    FlushPendingEdit();
    m_pasteOutcome = PasteOutcome();
    // Trailing line breaks end the last line; they add no empty line.
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == QLatin1Char('\n') || text[end - 1] == QLatin1Char('\r')))
        --end;
    if (end == 0) return;

    int startRow = 0, startCol = 0;
    if (!GetFocusCell(startRow, startCol)) {
        int maxRow = 0, maxCol = 0;
        if (!GetSelRange(startRow, startCol, maxRow, maxCol)) {
            startRow = m_pModel->FixedRows();
            startCol = m_pModel->FixedColumns();
        }
    }

    // One end-edit per pasted cell, sent while paste mode is on, so the owner can validate each value. The
    // text is read only as far as the grid reaches: a clipboard of megabytes costs little more than one
    // that fits, and what lies beyond is only counted.
    m_bPasteMode = 1;
    NoteEditedColumn(startCol);
    int lastRow = startRow, lastCol = startCol;
    const auto isBreak = [&text](qsizetype at) {
        return text[at] == QLatin1Char('\n') || text[at] == QLatin1Char('\r');
    };
    qsizetype pos = 0;
    for (int row = startRow; pos <= end; ++row) {
        if (row >= m_pModel->Rows()) {
            // Every line left, "\r\n" counted once.
            int lines = 1;
            for (qsizetype at = pos; at < end; ++at)
                if (text[at] == QLatin1Char('\n') ||
                    (text[at] == QLatin1Char('\r') && (at + 1 >= end || text[at + 1] != QLatin1Char('\n'))))
                    ++lines;
            m_pasteOutcome.cutLines = lines;
            break;
        }
        qsizetype eol = pos;
        while (eol < end && !isBreak(eol))
            ++eol;
        int col = startCol;
        for (qsizetype from = pos; from <= eol; ++col) {
            qsizetype tab = text.indexOf(QLatin1Char('\t'), from);
            if (tab < 0 || tab > eol) tab = eol;
            if (col >= m_pModel->Columns()) {
                ++m_pasteOutcome.cutValues;
                from = tab + 1;
                continue;
            }
            const QString value = text.mid(from, std::min<qsizetype>(tab - from, kMaxPastedValue));
            from = tab + 1;
            const GridCell* cell = m_pModel->Cell(row, col);
            if (!cell || m_pModel->IsFixed(row, col)) continue;
            if (cell->type == GVET_READONLY && !cell->popup) {
                // Listed unless it would not have changed anything (a copied row pasted back).
                if (value != cell->text) m_pasteOutcome.skipped.push_back({row, col, value});
                continue;
            }
            m_pModel->SetText(row, col, value);
            emit notify(GVN_ENDLABELEDIT, row, col);
            lastRow = std::max(lastRow, row);
            lastCol = std::max(lastCol, col);
        }
        pos = eol + 1;
        if (eol + 1 < end && text[eol] == QLatin1Char('\r') && text[eol + 1] == QLatin1Char('\n')) ++pos;
    }
    m_bPasteMode = 0;
    SetSelectedRange(startRow, startCol, lastRow, lastCol);
}
