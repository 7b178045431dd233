#include "ui/app/CMainFrame.h"

#include "model/IBrantSetupType.h"
#include "ui/app/CHelpDialog.h"
#include "ui/app/CToolIcons.h"
#include "ui/app/CommandIds.h"
#include "ui/grid/CLynGridCtrl.h"
#include "ui/sheet/CCompareDialog.h"
#include "ui/sheet/CTavikView.h"
#include "ui/sheet/Cp1252.h"
#include "ui/transfer/CTransferCommands.h"
#include "unit/CTavikDoc.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

CMainFrame::CMainFrame(CTavikDoc* doc, QWidget* parent)
    : CTabbedFrameWnd(parent), m_pDoc(doc), m_pPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    setWindowIcon(CToolIcons::App());
    setAcceptDrops(true);
    m_pReport = std::make_unique<CReportCommands>(m_pDoc, *this);
    m_pTransfer = std::make_unique<CTransferCommands>(m_pDoc, this,
                                                      [this] { return !m_saveModified || m_saveModified(); });
    CreateCommands();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    AddView();
    resize(980, 680);
    OnUpdateFrameTitle();
}

CMainFrame::~CMainFrame() = default;

QString CMainFrame::GetAlsoChangedText() const {
    return m_pAlsoChanged && !m_pAlsoChanged->isHidden() ? m_pAlsoChanged->property("plain").toString()
                                                         : QString();
}

void CMainFrame::SetAlsoChanged(const std::vector<ConfigDifference>& differences, const std::string& sheet) {
    const QString text = FromCp1252(CAlsoChanged::Summary(differences, sheet, m_alsoChanged));
    if (!m_pAlsoChanged) return;
    m_pAlsoChanged->setProperty("plain", text);
    m_pAlsoChanged->setText(QStringLiteral("<a href=\"list\">%1</a>").arg(text.toHtmlEscaped()));
    m_pAlsoChanged->setVisible(!text.isEmpty());
}

void CMainFrame::OnShowAlsoChanged() {
    if (m_alsoChanged.empty()) return;
    CCompareDialog dialog(tr("Also Changed"), GetAlsoChangedText(),
                          {tr("Sheet"), tr("Row"), tr("Column"), tr("Before"), tr("After")},
                          CCompareDialog::Rows(FoldMirrorColumns(m_alsoChanged)), this);
    dialog.exec();
}

void CMainFrame::SetRecentFiles(const QStringList& paths) {
    for (QAction* action : m_recentActions) {
        m_pFileMenu->removeAction(action);
        action->deleteLater();
    }
    m_recentActions.clear();
    QAction* before = m_pRecentSeparator;
    // The list sits between two separators; without entries a greyed "Recent File" holds the place.
    const QList<QAction*> menuActions = m_pFileMenu->actions();
    const qsizetype at = menuActions.indexOf(m_pRecentSeparator);
    if (at >= 0 && at + 1 < menuActions.size()) before = menuActions[at + 1];
    if (paths.isEmpty()) {
        auto* placeholder = new QAction(tr("Recent File"), this);
        placeholder->setEnabled(false);
        m_pFileMenu->insertAction(before, placeholder);
        m_recentActions << placeholder;
        return;
    }
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()), this);
        action->setStatusTip(tr("Open %1").arg(QDir::toNativeSeparators(path)));
        action->setData(static_cast<int>(ID_FILE_MRU_FIRST + i));
        connect(action, &QAction::triggered, this, [this, path] { emit recentFileRequested(path); });
        m_pFileMenu->insertAction(before, action);
        m_recentActions << action;
    }
}

QWidget* CMainFrame::CreateView() {
    auto* view = new CTavikView(m_pDoc);
    connect(view, &CTavikView::sheetsChanged, this, [this, view] {
        OnSheetsChanged(view);
        OnEditFinished(view);
    });
    connect(view, &CTavikView::statusMessage, this, &CMainFrame::ShowStatus);
    return view;
}

void CMainFrame::OnActivateView(int index, bool activate) {
    if (CTavikView* view = GetTavikView(index)) view->OnActivateView(activate);
}

void CMainFrame::StepSheet(int step) {
    const int count = GetViewCount();
    if (count <= 0) return;
    CommitEdits();
    SetActiveView(((GetActiveIndex() + step) % count + count) % count);
}

void CMainFrame::OnSheetsChanged(const CTavikView* source) {
    for (int i = 0; i < GetViewCount(); ++i)
        if (CTavikView* view = GetTavikView(i); view && view != source) view->UpdateAllRows();
}

bool CMainFrame::AddView() {
    IBrantSetupType* setups[SETUP_TYPE_COUNT] = {};
    if (!m_pDoc || m_pDoc->GetBrSetup(setups) != SETUP_TYPE_COUNT) return true;
    for (int i = 0; i < SETUP_TYPE_COUNT; ++i)
        if (!CTabbedFrameWnd::AddView()) return false;
    return true;
}

CTavikView* CMainFrame::GetTavikView(int index) const {
    return qobject_cast<CTavikView*>(GetView(index));
}

CTavikView* CMainFrame::GetActiveTavikView() const {
    return qobject_cast<CTavikView*>(GetActiveView());
}

void CMainFrame::ResetViews() {
    IBrantSetupType* setups[SETUP_TYPE_COUNT] = {};
    if (!m_pDoc || m_pDoc->GetBrSetup(setups) != SETUP_TYPE_COUNT) return;
    for (int i = 0; i < SETUP_TYPE_COUNT && i < GetViewCount(); ++i) {
        CTavikView* view = GetTavikView(i);
        if (!view || !setups[i]) continue;
        view->SetReady(false);
        view->InitalizeView(setups[i]->GetSetupType());
        view->SetReady(true);
        SetTabText(i, FromCp1252(setups[i]->GetTitle()));
    }
    SetActiveView(0);
    m_bViewsShown = true;
    // Another configuration is shown: what the status bar said about the last one is over.
    if (m_pDoc && m_pDoc->GetZemUnit()) m_changes.Reset(*m_pDoc->GetZemUnit());
    SetAlsoChanged({}, std::string());
    statusBar()->clearMessage();
    ClearResult();
}

void CMainFrame::RefreshViews() {
    const int active = GetActiveIndex();
    ResetViews();
    if (active >= 0 && active < GetViewCount()) SetActiveView(active);
}

void CMainFrame::OnUpdateFrameTitle() {
    QString name = tr("Untitled");
    if (m_pDoc && !m_pDoc->GetPathName().empty())
        name = QFileInfo(QString::fromStdString(m_pDoc->GetPathName())).fileName();
    setWindowTitle(name + QStringLiteral("[*] - ") + QLatin1String(kMainTitle));
    setWindowModified(m_pDoc && m_pDoc->IsModified());
    UpdateUndoActions();
}

void CMainFrame::OnEditFinished(const CTavikView* source) {
    // Only a change that really altered the configuration marks the document: a refused value does not.
    if (m_pDoc && m_pDoc->RecordUndoStep()) {
        m_pDoc->SetModifiedFlag(1);
        statusBar()->clearMessage();
        ClearResult(); // "Download complete..." is about a configuration that is no more
        const std::vector<ConfigDifference> differences =
            m_pDoc->GetZemUnit() ? m_changes.Take(*m_pDoc->GetZemUnit()) : std::vector<ConfigDifference>();
        IBrantSetupType* setup = source ? source->GetSetup() : nullptr;
        SetAlsoChanged(differences, setup ? setup->GetTitle() : std::string());
    }
    OnUpdateFrameTitle();
}

void CMainFrame::ShowStatus(const QString& text) {
    statusBar()->showMessage(text);
}

void CMainFrame::CommitEdits() {
    for (int i = 0; i < GetViewCount(); ++i)
        if (CTavikView* view = GetTavikView(i); view && view->GetGrid()) view->GetGrid()->CommitOpenEditor();
}

void CMainFrame::OnFileNew() {
    if (!m_pDoc) return;
    CommitEdits();
    // Unsaved changes are offered for saving first rather than silently thrown away.
    if (m_saveModified && !m_saveModified()) return;
    m_pDoc->OnNewDocument();
    m_pDoc->SetPathName(std::string());
    m_pDoc->SetModifiedFlag(0);
    ResetViews();
    OnUpdateFrameTitle();
}

bool CMainFrame::RunPrintDialog() {
    QPrintDialog dialog(m_pPrinter.get(), this);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    return dialog.exec() == QDialog::Accepted;
}

void CMainFrame::OnFilePrintAll() {
    if (m_pReport->HasPrinter() && RunPrintDialog()) PrintViews(*m_pPrinter, true);
}

void CMainFrame::OnFilePrintCurrent() {
    if (m_pReport->HasPrinter() && RunPrintDialog()) PrintViews(*m_pPrinter, false);
}

int CMainFrame::PrintViews(QPrinter& printer, bool allTabs) {
    CommitEdits();
    int jobs = 0;
    for (int i = 0; i < GetViewCount(); ++i) {
        if (!allTabs && i != GetActiveIndex()) continue;
        CTavikView* view = GetTavikView(i);
        if (!view) continue;
        m_pReport->PreparePrint(*view, printer);
        const bool ok = view->Print(printer);
        if (ok) ++jobs;
        emit printJobFinished(i, ok);
        if (!ok) {
            m_pReport->ShowPrintFailure(printer);
            break;
        }
    }
    return jobs;
}

void CMainFrame::OnHelpTopics() {
    if (!m_pHelp) m_pHelp = new CHelpDialog(this);
    m_pHelp->show();
    m_pHelp->raise();
    m_pHelp->activateWindow();
}

void CMainFrame::OnUpload() {
    m_pTransfer->Upload();
}

void CMainFrame::OnDownload() {
    m_pTransfer->Download();
}

void CMainFrame::OnComSetup() {
    m_pTransfer->OnComSetup();
}

void CMainFrame::OnCompare() {
    m_pTransfer->Compare();
}

void CMainFrame::showEvent(QShowEvent* event) {
    CTabbedFrameWnd::showEvent(event);
    if (!m_bViewsShown) ResetViews();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Never while the worker fills or sends the sheets (the progress window normally keeps this away).
    if (m_pTransfer && m_pTransfer->IsTransferring()) {
        event->ignore();
        return;
    }
    CommitEdits();
    if (m_saveModified && !m_saveModified()) {
        event->ignore();
        return;
    }
    emit closing();
    event->accept();
}

void CMainFrame::contextMenuEvent(QContextMenuEvent* event) {
    m_pContextMenu->popup(event->globalPos());
    event->accept();
}

QString CMainFrame::DroppedDocument(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && url.toLocalFile().endsWith(QLatin1String(".zmg"), Qt::CaseInsensitive))
            return url.toLocalFile();
    return {};
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedDocument(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString path = DroppedDocument(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    emit fileDropped(path);
}
