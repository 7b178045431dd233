#include "ui/CTavikView.h"

#include "model/Cp1252.h"
#include "model/IBrantSetupType.h"
#include "model/IPrompt.h"
#include "model/Messages.h"
#include "ui/CLynGridCtrl.h"
#include "ui/CPropertyDlg.h"
#include "ui/Cp1252.h"
#include "unit/CTavikDoc.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QVBoxLayout>

namespace {
const char* const g_strPasteErrors = "Erroneous values have been detected. Appropriate values will be used.";
const char* const g_strPrintDocName = "Tavik Programmer";
const char* const g_strOff = "OFF";
} // namespace

CTavikView::CTavikView(CTavikDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setFocusPolicy(Qt::StrongFocus);
    m_popupRunner = [](CPropertyDlg& dlg) { return dlg.exec(); };
}

CTavikView::~CTavikView() = default;

void CTavikView::InitalizeView(int setupIndex) {
    if (!m_pGrid) {
        m_pGrid = new CLynGridCtrl(this, kGridId);
        layout()->addWidget(m_pGrid);
        setFocusProxy(m_pGrid);
        connect(m_pGrid, &CLynGridCtrl::notify, this, &CTavikView::OnGridNotify);
    }
    m_pGrid->setFocus();
    m_nSetupIndex = setupIndex;
    m_pSetup = nullptr;
    IBrantSetupType* setups[SETUP_TYPE_COUNT] = {};
    if (m_pDoc && m_pDoc->GetBrSetup(setups) == SETUP_TYPE_COUNT && setupIndex >= 0 &&
        setupIndex < SETUP_TYPE_COUNT)
        m_pSetup = setups[setupIndex];

    const CDataSheet* sheet = m_pSetup ? m_pSetup->GetDataSheet() : nullptr;
    if (sheet && sheet->GetNumSections() > 0) {
        // Never more grid rows than the sheet has sections, whatever the setup type reports.
        const int rows = std::min(m_pSetup->GetNumChannels(), sheet->GetNumSections());
        m_pGrid->SetRowCount(std::max(rows, 0));
        m_pGrid->SetColumnCount(sheet->GetNumCells(0));
        m_pGrid->SetFixedColumnCount(1);
        m_pGrid->SetFixedRowCount(1);
        m_pGrid->SetRowResize(0);
        for (int row = 0; row < m_pGrid->GetRowCount(); ++row)
            UpdateChannelView(row);
        m_pGrid->FitChangedColumns();
    }

    // Every column fits its texts, and none is too narrow to click into.
    const int minimum = 6 * fontMetrics().averageCharWidth();
    for (int col = 0; col < m_pGrid->GetColumnCount(); ++col) {
        m_pGrid->AutoSizeColumn(col);
        if (m_pGrid->GetColumnWidth(col) < minimum) m_pGrid->SetColumnWidth(col, minimum);
    }
    m_pGrid->SetFocusCell(1, 1);
}

void CTavikView::UpdateChannelView(int row) {
    if (!m_pSetup || !m_pGrid) return;
    const CDataSheet* sheet = m_pSetup->GetDataSheet();
    if (!sheet) return;
    const int cells = std::min(sheet->GetNumCells(row), m_pGrid->GetColumnCount());
    for (int col = 0; col < cells; ++col) {
        const CBrChnData* cell = sheet->GetCellChecked(row, col);
        if (!cell) continue;
        m_pGrid->SetTextLen(row, col, cell->m_nMaxTextLen);
        // Every attribute is set each time, also the list of a cell that no longer has a choice: a channel
        // switched off in another sheet turns a drop-down back into plain text.
        const std::vector<std::string>& items = cell->GetData();
        const bool list = items.size() > 1;
        QStringList choices;
        if (list) {
            choices.reserve(static_cast<qsizetype>(items.size()));
            for (const std::string& item : items)
                choices << FromCp1252(item);
        }
        m_pGrid->SetCellType(row, col,
                             list                ? CLynGridCtrl::GVET_LIST
                             : cell->m_bEditable ? CLynGridCtrl::GVET_EDIT
                                                 : CLynGridCtrl::GVET_READONLY);
        m_pGrid->FillListItems(row, col, choices);
        m_pGrid->SetListEditable(row, col, list && cell->m_bEditable);
        m_pGrid->SetCellDataType(row, col, cell->m_nDataType);
        m_pGrid->SetCellPopup(row, col, cell->m_nStyle == CTRL_STYLE_POPUP);
        m_pGrid->SetItemText(row, col, FromCp1252(cell->GetDataAsString()));
        m_pGrid->SetItemBkColour(row, col, cell->m_clrBk);
    }
}

void CTavikView::UpdateAllRows() {
    if (!m_pGrid) return;
    for (int row = 0; row < m_pGrid->GetRowCount(); ++row)
        UpdateChannelView(row);
    m_pGrid->FitChangedColumns();
}

void CTavikView::MarkModified() {
    if (!m_pDoc) return;
    m_pDoc->SetModifiedFlag(1);
    emit documentModified();
}

void CTavikView::OnGridNotify(int code, int row, int col) {
    if (!m_bReady) return;
    // Opening an editor changes nothing yet: an edit left with Escape leaves the document unmodified.
    if (code != CLynGridCtrl::GVN_BEGINLABELEDIT) MarkModified();
    if (code == CLynGridCtrl::GVN_ENDLABELEDIT) {
        OnEndEdit(row, col);
    } else if (code == CLynGridCtrl::GVN_BEGINLABELEDIT) {
        const CDataSheet* sheet = m_pSetup ? m_pSetup->GetDataSheet() : nullptr;
        const CBrChnData* cell = sheet ? sheet->GetCellChecked(row, col) : nullptr;
        if (cell && cell->m_nStyle == CTRL_STYLE_POPUP) OnNotifyPopup(code, row, col);
    }
}

void CTavikView::OnEndEdit(int row, int col) {
    if (!m_pSetup || !m_pGrid) return;
    std::string text;
    const bool storable = ToCp1252(m_pGrid->GetItemText(row, col), text);
    const CDataSheet* sheet = m_pSetup->GetDataSheet();
    const CBrChnData* cell = sheet ? sheet->GetCellChecked(row, col) : nullptr;
    if (!cell || !storable) {
        // A character the document cannot store is refused, not stored as '?': the last value stays.
        if (cell && m_bPasting)
            m_bPasteError = 1;
        else if (cell)
            GetPrompt().ShowMessage(g_strNotCp1252, IPrompt::Warning);
        UpdateAllRows();
        return;
    }
    // Typing stops at the cell's maximum length; a pasted text is cut there too.
    text = cell->FitToMaxLength(std::move(text));
    // A popup cell is edited in its popup, which has stored the result; only a pasted text is read by the
    // setup type's rule for the cell (the Alarm sheet's Flags letters).
    if (cell->m_nStyle == CTRL_STYLE_POPUP && !m_pGrid->GetPastMode()) {
        UpdateAllRows();
        return;
    }

    if (!m_pSetup->ValidateData(row, col, text)) {
        if (m_bPasting) {
            // Values refused in a switched-off channel are expected and not reported.
            const CBrChnData* first = sheet->GetCellChecked(row, 1);
            if (col == 1 && text != g_strOff)
                m_bPasteError = 1;
            else if (first && first->GetDataAsString() != g_strOff)
                m_bPasteError = 1;
        } else {
            const std::string message = LoadMessage(static_cast<unsigned>(m_pSetup->GetLastError()));
            if (!message.empty()) GetPrompt().ShowMessage(message, IPrompt::Warning);
        }
    }
    UpdateAllRows();
    if (!m_bPasting) emit sheetsChanged();
}

void CTavikView::OnNotifyPopup(int code, int row, int col) {
    if (!m_pSetup || !m_pGrid) return;
    CBrChnData* properties[CPropertyDlg::kMaxProperties] = {};
    int count = 0;
    const auto destroy = [&properties, &count] {
        for (int i = 0; i < std::min(count, CPropertyDlg::kMaxProperties); ++i) {
            delete properties[i];
            properties[i] = nullptr;
        }
    };

    if (code == CLynGridCtrl::GVN_BEGINLABELEDIT) {
        if (!m_pSetup->GetPopupProperties(row, col, properties, count)) return;
        if (m_pGrid->GetPastMode() || count <= 0 || m_bPopupOpen) {
            destroy();
            return;
        }
        CPropertyDlg dlg(this);
        const CDataSheet* sheet = m_pSetup->GetDataSheet();
        const CBrChnData* name = sheet ? sheet->GetCellChecked(row, 0) : nullptr;
        const CBrChnData* cell = sheet ? sheet->GetCellChecked(row, col) : nullptr;
        if (name && cell)
            dlg.setWindowTitle(
                QStringLiteral("%1 \u2013 %2")
                    .arg(FromCp1252(cell->GetName()), FromCp1252(name->GetDataAsString()).simplified()));
        dlg.SetProperties(properties, count);
        m_bPopupOpen = 1;
        const bool accepted = m_popupRunner(dlg) == QDialog::Accepted;
        if (accepted) {
            m_pSetup->UpdateProperties(row, col, properties, count);
            MarkModified();
        }
        m_bPopupOpen = 0;
        destroy();
        UpdateChannelView(row);
        m_pGrid->FitChangedColumns();
        if (accepted) emit sheetsChanged();
    }
}

void CTavikView::OnEditCut() {
    if (!m_pGrid || !m_pSetup) return;
    int minRow = 0, minCol = 0, maxRow = 0, maxCol = 0;
    if (!m_pGrid->GetSelRange(minRow, minCol, maxRow, maxCol)) return;
    m_pGrid->OnEditCopy();
    for (int row = minRow; row <= maxRow; ++row)
        m_pSetup->ResetChannel(row);
    UpdateAllRows();
    // Cutting changes the configuration like any edit does.
    if (m_bReady) MarkModified();
    emit sheetsChanged();
}

void CTavikView::OnEditCopy() {
    if (m_pGrid) m_pGrid->OnEditCopy();
}

void CTavikView::OnEditPaste() {
    if (!m_pGrid) return;
    m_bPasting = 1;
    m_pGrid->OnEditPaste();
    if (m_bPasteError) GetPrompt().ShowMessage(g_strPasteErrors, IPrompt::Warning);
    m_bPasting = 0;
    m_bPasteError = 0;
    emit sheetsChanged();
}

void CTavikView::OnEditSelectAll() {
    if (m_pGrid) m_pGrid->OnEditSelectAll();
}

bool CTavikView::PrintPages(QPrinter& printer, QPainter& painter) {
    if (!m_pGrid || !m_pSetup) return false;
    m_pGrid->SetColsToPrint(m_pSetup->GetNumColumns());
    QString title = FromCp1252(m_pSetup->GetTitle());
    if (m_pDoc && !m_pDoc->GetPathName().empty())
        title = QFileInfo(QString::fromStdString(m_pDoc->GetPathName())).fileName() +
                QStringLiteral(" \u2013 ") + title;
    m_pGrid->SetPrintTitle(title);
    const QRect page(0, 0, printer.width(), printer.height());
    const int pages = m_pGrid->OnBeginPrinting(painter, page);
    bool ok = true;
    for (int number = 1; number <= pages; ++number) {
        if (number > 1 && !printer.newPage()) {
            ok = false;
            break;
        }
        m_pGrid->OnPrint(painter, number);
    }
    m_pGrid->OnEndPrinting();
    return ok;
}

bool CTavikView::Print(QPrinter& printer) {
    printer.setDocName(QString::fromLatin1(g_strPrintDocName));
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const bool ok = PrintPages(printer, painter);
    if (!ok) printer.abort();
    painter.end();
    return ok;
}

void CTavikView::OnFilePrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromLatin1(g_strPrintDocName));
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
        QPainter painter(target);
        PrintPages(*target, painter);
    });
    preview.exec();
}

void CTavikView::OnActivateView(bool activate) {
    m_bActive = activate ? 1 : 0;
    if (activate) UpdateAllRows();
}

void CTavikView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (m_pGrid) m_pGrid->setFocus();
}
