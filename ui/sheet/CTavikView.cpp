#include "ui/sheet/CTavikView.h"

#include "model/Cp1252.h"
#include "model/IBrantSetupType.h"
#include "model/IPrompt.h"
#include "model/Messages.h"
#include "sheets/alarms/AlarmTables.h"
#include "ui/grid/CLynGridCtrl.h"
#include "ui/sheet/CCompareDialog.h"
#include "ui/sheet/CHeldMessages.h"
#include "ui/sheet/CPropertyDlg.h"
#include "ui/sheet/Cp1252.h"
#include "unit/CEditJudge.h"
#include "unit/CTavikDoc.h"

#include <QFileInfo>

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <optional>

namespace {
const char* const g_strPasteErrors = "Erroneous values have been detected. Appropriate values will be used.";
const char* const g_strPrintDocName = "Tavik Programmer";
const char* const g_strOff = "OFF";
const char* const g_strPasteChanges = "Some pasted values were not taken as they were.";

// The first and last of the columns a logical input takes over from its sources.
constexpr int kLogDerivedFirst = 13;
constexpr int kLogDerivedLast = 19;
constexpr int kAlarmMirrorLast = ALM_COL_MIRROR + 6;

QString Trimmed(const std::string& text) {
    return FromCp1252(text).trimmed();
}
} // namespace

CTavikView::CTavikView(CTavikDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setFocusPolicy(Qt::StrongFocus);
    m_popupRunner = [](CPropertyDlg& dlg) { return dlg.exec(); };
    m_reportRunner = [this](const PasteReport& report) {
        std::vector<QStringList> rows;
        for (const PasteReport::Entry& e : report.entries)
            rows.push_back({e.sheet, e.row, e.column, e.pasted, e.stored, e.what});
        CCompareDialog dialog(tr("Paste"), report.message,
                              {tr("Sheet"), tr("Row"), tr("Column"), tr("Pasted"), tr("Stored"), tr("What")},
                              std::move(rows), this);
        dialog.exec();
    };
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
        const QString lock = LockReason(row, col);
        const bool locked =
            !lock.isEmpty() && (list || cell->m_bEditable || cell->m_nStyle == CTRL_STYLE_POPUP);
        m_pGrid->SetCellType(row, col,
                             locked              ? CLynGridCtrl::GVET_READONLY
                             : list              ? CLynGridCtrl::GVET_LIST
                             : cell->m_bEditable ? CLynGridCtrl::GVET_EDIT
                                                 : CLynGridCtrl::GVET_READONLY);
        m_pGrid->FillListItems(row, col, choices);
        m_pGrid->SetListEditable(row, col, list && cell->m_bEditable);
        m_pGrid->SetCellDataType(row, col, cell->m_nDataType);
        m_pGrid->SetCellPopup(row, col, !locked && cell->m_nStyle == CTRL_STYLE_POPUP);
        m_pGrid->SetCellTip(row, col, lock);
        m_pGrid->SetItemText(row, col, FromCp1252(cell->GetDataAsString()));
        m_pGrid->SetItemBkColour(row, col, cell->m_clrBk);
    }
}

QString CTavikView::LockReason(int row, int col) const {
    const CDataSheet* sheet = m_pSetup ? m_pSetup->GetDataSheet() : nullptr;
    if (!sheet || row < 1 || col < 1) return {};
    switch (m_pSetup->GetSetupType()) {
    case SETUP_LOGICAL_INPUT:
        if (col >= kLogDerivedFirst && col <= kLogDerivedLast)
            return tr("Taken over from the inputs this logical input uses (I1 to I12).");
        break;
    case SETUP_ALARM: {
        if (col >= ALM_COL_MIRROR && col <= kAlarmMirrorLast)
            return tr("Copied from the input in InpRef: change it on that input's tab.");
        const CBrChnData* input = sheet->GetCellChecked(row, ALM_COL_INPREF);
        if (!input) break;
        if (col > ALM_COL_INPREF && col <= ALM_COL_FLAGS && input->GetDataAsString() == g_strOff)
            return tr("This alarm is off: choose its input in InpRef first.");
        if (col == ALM_COL_INPREF && input->GetData().size() <= 1)
            return tr("No input is switched on: set one up on the Physical Input or Logical Input tab.");
        break;
    }
    default:
        break;
    }
    return {};
}

QString CTavikView::CellTitle(int row, int col) const {
    const CDataSheet* sheet = m_pSetup ? m_pSetup->GetDataSheet() : nullptr;
    const CBrChnData* title = sheet ? sheet->GetCellChecked(0, col) : nullptr;
    const CBrChnData* name = sheet ? sheet->GetCellChecked(row, 0) : nullptr;
    return (name ? Trimmed(name->GetDataAsString()) : QString::number(row)) + QLatin1Char(' ') +
           (title ? Trimmed(title->GetDataAsString()) : QString::number(col));
}

void CTavikView::UpdateAllRows() {
    if (!m_pGrid) return;
    for (int row = 0; row < m_pGrid->GetRowCount(); ++row)
        UpdateChannelView(row);
    m_pGrid->FitChangedColumns();
}

void CTavikView::OnGridNotify(int code, int row, int col) {
    if (!m_bReady) return;
    // The document is marked modified by the frame once a change has really altered the configuration:
    // an edit left with Escape, or a refused value, leaves it unmodified.
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
    const QString entered = m_pGrid->GetItemText(row, col);
    const CDataSheet* sheet = m_pSetup->GetDataSheet();
    const CBrChnData* cell = sheet ? sheet->GetCellChecked(row, col) : nullptr;
    if (!cell) {
        UpdateAllRows();
        return;
    }
    const std::string before = cell->GetDataAsString();
    std::string text;
    QString refused;
    if (!ToCp1252(entered, text, refused)) {
        // A character the document cannot store is refused, not stored as '?': the last value stays.
        const QString code =
            QStringLiteral("U+%1")
                .arg(refused.isEmpty() ? 0u : refused.toUcs4().value(0), 4, 16, QLatin1Char('0'))
                .toUpper();
        UpdateAllRows();
        if (m_bPasting) {
            m_bPasteError = 1;
            NotePasted(row, col, entered, before, tr("refused: %1 (%2) cannot be stored").arg(refused, code));
        } else {
            // The document's own code page cannot show the character either: it is named by its code.
            GetPrompt().ShowMessage(std::string(g_strNotCp1252) + "\nNot storable: " + code.toStdString(),
                                    IPrompt::Warning);
        }
        return;
    }
    // Typing stops at the cell's maximum length; a pasted text is cut there too, and the user is told.
    const std::size_t length = text.size();
    text = cell->FitToMaxLength(std::move(text));
    const bool cut = text.size() < length;
    if (cut)
        emit statusMessage(tr("%1 takes at most %2 characters: the text was cut to \"%3\".")
                               .arg(CellTitle(row, col))
                               .arg(cell->m_nMaxTextLen)
                               .arg(FromCp1252(text)));
    // A popup cell is edited in its popup, which has stored the result; only a pasted text is read by the
    // setup type's rule for the cell (the Alarm sheet's Flags letters).
    if (cell->m_nStyle == CTRL_STYLE_POPUP && !m_pGrid->GetPastMode()) {
        UpdateAllRows();
        return;
    }

    // The value is judged as tavik-cli judges an edit: another spelling of the same value is stored as given
    // ("in 11" is "IN 11"), not corrected.
    std::optional<CEditJudge> judge;
    if (m_pDoc && m_pDoc->GetZemUnit())
        judge.emplace(*m_pDoc->GetZemUnit(), m_pSetup->GetSetupType(), row, col);
    // What the sheet says while it takes the value waits until the grid shows what it stored (a paste
    // collects it for its report).
    std::optional<CHeldMessages> held;
    if (!m_bPasting) held.emplace();
    const int taken = m_pSetup->ValidateData(row, col, text);
    const std::vector<CHeldMessages::Message> messages =
        held ? held->Release() : std::vector<CHeldMessages::Message>();
    const EditVerdict::Kind kind = judge   ? judge->Judge(text, taken != 0).kind
                                   : taken ? EditVerdict::Ok
                                           : EditVerdict::Refused;
    if (m_bPasting) {
        if (!taken) {
            // Values refused in a switched-off channel are expected and not reported.
            const CBrChnData* first = sheet->GetCellChecked(row, 1);
            if (col == 1 && text != g_strOff)
                m_bPasteError = 1;
            else if (first && first->GetDataAsString() != g_strOff)
                m_bPasteError = 1;
        }
        QString what;
        if (kind != EditVerdict::Ok) what = kind == EditVerdict::Refused ? tr("refused") : tr("corrected");
        if (cut) {
            const QString cutText = tr("cut at %1 characters").arg(cell->m_nMaxTextLen);
            what = what.isEmpty() ? cutText : what + QStringLiteral(", ") + cutText;
        }
        if (!what.isEmpty()) NotePasted(row, col, entered, before, what);
    }
    // The stored value is back in the cell before a refusal's message box opens over it.
    UpdateAllRows();
    // The sheet's message: why the value was refused or corrected (with what it allows), once.
    const bool explain = !taken || kind != EditVerdict::Ok;
    const std::string refusal =
        explain ? LoadMessage(static_cast<unsigned>(m_pSetup->GetLastError())) : std::string();
    for (const CHeldMessages::Message& message : messages)
        if (message.text != refusal) GetPrompt().ShowMessage(message.text, message.icon);
    if (!m_bPasting && explain) ShowRefusal(row, col);
    if (!m_bPasting) emit sheetsChanged();
}

void CTavikView::ShowRefusal(int row, int col) {
    std::string message = LoadMessage(static_cast<unsigned>(m_pSetup->GetLastError()));
    if (message.empty()) return;
    // Where the cell has a list or a range, the second line gives what the sheet's rule takes there now.
    const std::string allowed = m_pSetup->GetAllowedText(row, col);
    if (!allowed.empty()) message += "\nAllowed: " + allowed;
    GetPrompt().ShowMessage(message, IPrompt::Warning);
}

void CTavikView::NotePasted(int row, int col, const QString& pasted, const std::string& before,
                            const QString& what) {
    const CDataSheet* sheet = m_pSetup ? m_pSetup->GetDataSheet() : nullptr;
    const CBrChnData* title = sheet ? sheet->GetCellChecked(0, col) : nullptr;
    const CBrChnData* name = sheet ? sheet->GetCellChecked(row, 0) : nullptr;
    const CBrChnData* cell = sheet ? sheet->GetCellChecked(row, col) : nullptr;
    PasteReport::Entry entry;
    entry.sheet = m_pSetup ? FromCp1252(m_pSetup->GetTitle()) : QString();
    entry.row = name ? Trimmed(name->GetDataAsString()) : QString::number(row);
    entry.column = title ? Trimmed(title->GetDataAsString()) : QString::number(col);
    entry.gridRow = row;
    entry.gridCol = col;
    entry.pasted = pasted;
    entry.stored = FromCp1252(cell ? cell->GetDataAsString() : before);
    entry.what = what;
    m_pasteReport.entries.push_back(std::move(entry));
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
        if (accepted) m_pSetup->UpdateProperties(row, col, properties, count);
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
    // Cutting changes the configuration like any edit does; the frame marks the document.
    emit sheetsChanged();
}

void CTavikView::OnEditCopy() {
    if (m_pGrid) m_pGrid->OnEditCopy();
}

void CTavikView::OnEditPaste() {
    if (!m_pGrid) return;
    m_pasteReport = PasteReport();
    m_bPasting = 1;
    CHeldMessages held; // a message box in the middle of a paste would stop it halfway
    m_pGrid->OnEditPaste();
    m_bPasting = 0;
    const std::vector<CHeldMessages::Message> messages = held.Release();
    // What the grid left out: read-only cells, and what reached past the last row or column.
    bool shown = m_bPasteError != 0;
    const CLynGridCtrl::PasteOutcome& outcome = m_pGrid->GetPasteOutcome();
    const CDataSheet* sheet = m_pSetup ? m_pSetup->GetDataSheet() : nullptr;
    for (const CLynGridCtrl::PasteOutcome::Skipped& skipped : outcome.skipped) {
        const CBrChnData* cell = sheet ? sheet->GetCellChecked(skipped.row, skipped.col) : nullptr;
        const QString why = LockReason(skipped.row, skipped.col);
        NotePasted(skipped.row, skipped.col, skipped.text, cell ? cell->GetDataAsString() : std::string(),
                   why.isEmpty() ? tr("skipped: read-only") : tr("skipped: locked"));
    }
    if (outcome.cutLines > 0 || outcome.cutValues > 0) {
        PasteReport::Entry entry;
        entry.sheet = m_pSetup ? FromCp1252(m_pSetup->GetTitle()) : QString();
        QStringList parts;
        if (outcome.cutLines > 0) parts << tr("%n line(s) below the last row", nullptr, outcome.cutLines);
        if (outcome.cutValues > 0)
            parts << tr("%n value(s) right of the last column", nullptr, outcome.cutValues);
        entry.pasted = parts.join(QStringLiteral(", "));
        entry.what = tr("past the end of the sheet");
        m_pasteReport.entries.push_back(std::move(entry));
    }
    // What the sheet said while it took the values: kept for the end, with the report.
    for (const CHeldMessages::Message& message : messages) {
        PasteReport::Entry entry;
        entry.sheet = m_pSetup ? FromCp1252(m_pSetup->GetTitle()) : QString();
        entry.what = FromCp1252(message.text);
        m_pasteReport.entries.push_back(std::move(entry));
    }
    // In the order of the cells; what reached past the sheet's end, and the sheet's messages, last.
    std::stable_sort(m_pasteReport.entries.begin(), m_pasteReport.entries.end(),
                     [](const PasteReport::Entry& a, const PasteReport::Entry& b) {
                         const auto key = [](const PasteReport::Entry& e) {
                             return e.gridRow == 0 ? std::pair{INT_MAX, 0} : std::pair{e.gridRow, e.gridCol};
                         };
                         return key(a) < key(b);
                     });
    // Refusals are reported by the kept message (not for a switched-off channel), a text cut at its
    // length by the status bar; the rest always opens the report.
    for (const PasteReport::Entry& entry : m_pasteReport.entries)
        if (!entry.what.startsWith(tr("refused")) && !entry.what.startsWith(tr("cut at"))) shown = true;
    if (shown) {
        m_pasteReport.message = QString::fromLatin1(m_bPasteError ? g_strPasteErrors : g_strPasteChanges);
        // Every value taken, but the sheet had something to say: that is the report's message.
        if (!m_bPasteError && messages.size() == m_pasteReport.entries.size()) {
            QStringList texts;
            for (const CHeldMessages::Message& message : messages)
                texts << FromCp1252(message.text);
            m_pasteReport.message = texts.join(QLatin1Char('\n'));
        }
        if (m_reportRunner) m_reportRunner(m_pasteReport);
    }
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
