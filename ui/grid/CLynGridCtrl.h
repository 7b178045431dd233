// ui/grid: the grid control the sheet views draw their cells in. CLynGridCtrl meets the grid contract over
// Qt's table view (cell texts, types, lists, colours, focus and selection, ranges, copy and paste), with
// CLynGridModel holding the cells, CLynGridDelegate editing them in place, and its own page printing.
#pragma once

#include "model/BrTypes.h"
#include "ui/report/CConfigReport.h"

#include <QAbstractItemDelegate>
#include <QStringList>
#include <QTableView>

#include <memory>
#include <vector>

class CLynGridDelegate;
class CLynGridModel;
class QPainter;

// The grid the sheet view and the property popup show their cells in. Row 0 and column 0 can be fixed
// headers (frozen while the rest scrolls, never edited); cells are read-only text, editable text or
// drop-down lists. The owner learns about edits through notify(): GVN_BEGINLABELEDIT before a cell is
// edited, GVN_ENDLABELEDIT after the user or a paste changed its text.
class CLynGridCtrl : public QTableView {
    Q_OBJECT
public:
    enum Notification { GVN_BEGINLABELEDIT = -105, GVN_ENDLABELEDIT = -106 };
    enum CellType { GVET_READONLY = 0, GVET_EDIT = 1, GVET_LIST = 4 };

    explicit CLynGridCtrl(QWidget* parent = nullptr, int controlId = 0);
    ~CLynGridCtrl() override;

    int GetDlgCtrlID() const { return m_nControlId; }

    // Hands the text of an open cell editor to the owner now (end-edit as on Enter) and closes it.
    void CommitOpenEditor();

    BOOL SetRowCount(int rows);
    BOOL SetColumnCount(int columns);
    void SetFixedRowCount(int rows);
    void SetFixedColumnCount(int columns);
    int GetRowCount() const;
    int GetColumnCount() const;
    int GetFixedRowCount() const;
    int GetFixedColumnCount() const;
    void SetRowResize(BOOL allow);

    BOOL AutoSizeColumn(int col);
    int GetColumnWidth(int col) const;
    void SetColumnWidth(int col, int width);
    // Sizes the columns to share the grid's width.
    void ExpandToFit();
    // Widens every column in which a cell changed since the last call and no longer fits; never narrows one,
    // and after an edit never one left of the edited cell. Only the changed cells are measured.
    void FitChangedColumns();

    BOOL SetItemText(int row, int col, const QString& text);
    QString GetItemText(int row, int col) const;
    BOOL SetCellType(int row, int col, int type);
    int GetCellType(int row, int col) const;
    BOOL FillListItems(int row, int col, const QStringList& items);
    QStringList GetListItems(int row, int col) const;
    BOOL SetCellDataType(int row, int col, short dataType);
    BOOL SetTextLen(int row, int col, int length);
    int GetTextLen(int row, int col) const;
    // RGB word with red in the low byte; 0xFF000000 restores the grid's default.
    BOOL SetItemBkColour(int row, int col, unsigned long colour);
    QColor GetItemBkColour(int row, int col) const;
    // A popup cell is read-only in place; its owner edits it in a dialog on begin-edit, and a paste reaches
    // it.
    BOOL SetCellPopup(int row, int col, BOOL popup);
    // A drop-down cell that also accepts a typed value (limited to the cell's text length).
    BOOL SetListEditable(int row, int col, BOOL editable);
    // The tool tip of a cell: why a read-only cell cannot be edited.
    BOOL SetCellTip(int row, int col, const QString& tip);
    BOOL IsCellFixed(int row, int col) const;

    void SetFocusCell(int row, int col);
    BOOL GetFocusCell(int& row, int& col) const;

    // Clipboard: tab-separated columns, one line per row, so blocks move to and from spreadsheets.
    void OnEditCopy();
    void OnEditPaste();
    void OnEditSelectAll();
    // First and last selected row and column; 0 when nothing is selected.
    BOOL GetSelRange(int& minRow, int& minCol, int& maxRow, int& maxCol) const;
    BOOL SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol);
    // Nonzero while a paste is being applied cell by cell.
    BOOL GetPastMode() const { return m_bPasteMode; }
    // Pastes `text` as the clipboard would be pasted (the clipboard itself is left alone).
    void PasteText(const QString& text);
    // What the last paste left out: read-only cells it skipped, and what reached past the last row or
    // column.
    struct PasteOutcome {
        struct Skipped {
            int row;
            int col;
            QString text;
        };
        std::vector<Skipped> skipped;
        int cutLines = 0;  // lines below the last row
        int cutValues = 0; // values right of the last column, in the lines that were pasted
    };
    const PasteOutcome& GetPasteOutcome() const { return m_pasteOutcome; }
    // A pasted value longer than this is cut before it reaches a cell: no cell holds more.
    static constexpr int kMaxPastedValue = 256;
    // The selection as clipboard text.
    QString GetSelectionText() const;

    // Types `text` into a cell as a user would and confirms it: begin-edit, then end-edit if it changed.
    // Used by automation and tests; refuses fixed and read-only cells like the keyboard does.
    BOOL EditCell(int row, int col, const QString& text);

    // Printing the first `count` columns (0: all), paginated by rows with the header row on every page;
    // no text is cut (see CConfigReport).
    void SetColsToPrint(int count) { m_nColsToPrint = count; }
    void SetPrintTitle(const QString& title) { m_strPrintTitle = title; }
    // The title block of the printed pages (document, device number, date, version).
    void SetPrintHeading(const ReportHeading& heading);
    // The texts printing covers, row 0 the headers.
    ReportTable GetPrintTable() const;
    // Lays out the pages for `painter` within `page` (device coordinates); returns the page count.
    int OnBeginPrinting(QPainter& painter, const QRect& page);
    int GetPrintPageCount() const { return m_nPrintPages; }
    // Draws page `page` (1-based) of the layout set up by OnBeginPrinting.
    void OnPrint(QPainter& painter, int page);
    void OnEndPrinting();

    CLynGridModel* GetModel() const { return m_pModel; }

signals:
    void notify(int code, int row, int col);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnCellEdited(int row, int col);
    void NoteEditedColumn(int col);
    void ApplyHeaderVisibility();
    void FlushPendingEdit();
    int RowHeight() const;

    int m_nControlId;
    CLynGridModel* m_pModel;
    CLynGridDelegate* m_pDelegate;
    BOOL m_bPasteMode = 0;
    PasteOutcome m_pasteOutcome;
    QPersistentModelIndex m_pressed; // where a plain left click began: a list or popup opens on release
    QPersistentModelIndex m_escaped; // the cell whose edit Escape cancelled: Enter there does not reopen it
    bool m_bPendingEdit = false;
    int m_nPendingRow = -1;
    int m_nPendingCol = -1;
    int m_nColsToPrint = 0;
    int m_nPrintPages = 0;
    QString m_strPrintTitle;
    std::unique_ptr<CConfigReport> m_pPrintReport;
    std::unique_ptr<ReportHeading> m_pPrintHeading;
    void MarkChanged(const QModelIndex& from, const QModelIndex& to);
    // Cells changed since FitChangedColumns (model row-major positions), each listed once.
    std::vector<int> m_changedCells;
    std::vector<char> m_cellChanged;
    int m_nFitFrom = 0; // first model column FitChangedColumns may widen: the one last edited
};
