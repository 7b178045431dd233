#include "ui/CMainFrame.h"

#include "model/IBrantSetupType.h"
#include "ui/CCompareDialog.h"
#include "ui/CHelpDialog.h"
#include "ui/CLynGridCtrl.h"
#include "ui/CTavikView.h"
#include "ui/CToolIcons.h"
#include "ui/CTransferCommands.h"
#include "ui/CommandIds.h"
#include "ui/Cp1252.h"
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

namespace {
const QString g_strReady = QStringLiteral("Ready");
} // namespace

CMainFrame::CMainFrame(CTavikDoc* doc, QWidget* parent)
    : CTabbedFrameWnd(parent), m_pDoc(doc), m_pPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    setWindowIcon(CToolIcons::App());
    setAcceptDrops(true);
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

QAction* CMainFrame::MakeAction(int id, const QString& text, const QString& status) {
    auto* action = new QAction(text, this);
    const int split = status.indexOf(QLatin1Char('\n'));
    action->setStatusTip(split < 0 ? status : status.left(split));
    action->setToolTip(split < 0 ? status : status.mid(split + 1));
    action->setData(id);
    addAction(action); // accelerators work wherever the focus is in the window
    m_actions[id] = action;
    return action;
}

QAction* CMainFrame::GetAction(int id) const {
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

void CMainFrame::CreateCommands() {
    QAction* a = MakeAction(ID_FILE_NEW, tr("&New\tCtrl+N"), tr("Create a new document\nNew"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    a->setIcon(CToolIcons::New());
    connect(a, &QAction::triggered, this, &CMainFrame::OnFileNew);

    a = MakeAction(ID_FILE_OPEN, tr("&Open...\tCtrl+O"), tr("Open an existing document\nOpen"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    a->setIcon(CToolIcons::Open());
    connect(a, &QAction::triggered, this, &CMainFrame::fileOpenRequested);

    a = MakeAction(ID_FILE_SAVE, tr("&Save\tCtrl+S"), tr("Save the active document\nSave"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    a->setIcon(CToolIcons::Save());
    connect(a, &QAction::triggered, this, &CMainFrame::fileSaveRequested);

    // Ctrl+A selects the whole sheet, as everywhere else; Save As takes the keys other programs give it.
    a = MakeAction(ID_FILE_SAVE_AS, tr("Save &As...\tCtrl+Shift+S"),
                   tr("Save the active document with a new name\nSave As"));
    a->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), QKeySequence(Qt::Key_F12)});
    connect(a, &QAction::triggered, this, &CMainFrame::fileSaveAsRequested);

    a = MakeAction(ID_FILE_PRINT_ALL, tr("&Print...\tCtrl+P"),
                   tr("Print every tab of the configuration\nPrint"));
    a->setIcon(CToolIcons::Print());
    connect(a, &QAction::triggered, this, &CMainFrame::OnFilePrintAll);

    a = MakeAction(ID_FILE_PRINT, tr("Print Tab"), tr("Print the current tab\nPrint Tab"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(a, &QAction::triggered, this, &CMainFrame::OnFilePrintCurrent);

    a = MakeAction(ID_FILE_PRINT_PREVIEW, tr("Print Pre&view\tCtrl+W"),
                   tr("Display full pages\nPrint Preview"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(a, &QAction::triggered, this, &CMainFrame::OnFilePrintPreview);

    CreateReportCommands();

    a = MakeAction(ID_FILE_PRINT_SETUP, tr("P&rint Setup...\tCtrl+U"),
                   tr("Change the printer and printing options\nPrint Setup"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    connect(a, &QAction::triggered, this, [this] {
        QPageSetupDialog dialog(m_pPrinter.get(), this);
        dialog.exec();
    });

    a = MakeAction(ID_APP_EXIT, tr("E&xit"), tr("Quit the application; prompts to save documents\nExit"));
    connect(a, &QAction::triggered, this, &QWidget::close);

    a = MakeAction(ID_EDIT_UNDO, tr("&Undo\tCtrl+Z"), tr("Undo the last action\nUndo"));
    a->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    a->setEnabled(false);
    connect(a, &QAction::triggered, this, &CMainFrame::OnEditUndo);

    a = MakeAction(ID_EDIT_REDO, tr("&Redo\tCtrl+Y"), tr("Redo the action undone last\nRedo"));
    a->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    a->setEnabled(false);
    connect(a, &QAction::triggered, this, &CMainFrame::OnEditRedo);

    a = MakeAction(ID_EDIT_CUT_CHANNELS, tr("Cu&t\tCtrl+X"),
                   tr("Cut the selection: copy it and reset the selected channels\nCut"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    a->setIcon(CToolIcons::Cut());
    connect(a, &QAction::triggered, this, [this] {
        if (CTavikView* view = GetActiveTavikView()) view->OnEditCut();
    });

    a = MakeAction(ID_EDIT_COPY, tr("&Copy\tCtrl+C"),
                   tr("Copy the selection and put it on the Clipboard\nCopy"));
    a->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    connect(a, &QAction::triggered, this, [this] {
        if (CTavikView* view = GetActiveTavikView()) view->OnEditCopy();
    });

    a = MakeAction(ID_EDIT_PASTE, tr("&Paste\tCtrl+V"), tr("Insert Clipboard contents\nPaste"));
    connect(a, &QAction::triggered, this, [this] {
        // Through the view, so that a paste is one change and its refusals one message.
        if (CTavikView* view = GetActiveTavikView()) view->OnEditPaste();
    });

    a = MakeAction(ID_EDIT_CUT_GRID, tr("Copy"), tr("Copy the selection and put it on the Clipboard\nCopy"));
    a->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    connect(a, &QAction::triggered, this, [this] {
        if (CTavikView* view = GetActiveTavikView()) view->OnEditCopy();
    });

    a = MakeAction(ID_EDIT_PASTE_VIEW, tr("Paste"), tr("Insert Clipboard contents\nPaste"));
    a->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    a->setIcon(CToolIcons::Paste());
    connect(a, &QAction::triggered, this, [this] {
        if (CTavikView* view = GetActiveTavikView()) view->OnEditPaste();
    });

    a = MakeAction(ID_EDIT_COPY_VIEW, tr("Copy"), tr("Copy the selection and put it on the Clipboard\nCopy"));
    a->setIcon(CToolIcons::Copy());
    connect(a, &QAction::triggered, this, [this] {
        if (CTavikView* view = GetActiveTavikView()) view->OnEditCopy();
    });

    a = MakeAction(ID_EDIT_SELECT_ALL, tr("Select All"), tr("Select the entire grid\nSelect All"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(a, &QAction::triggered, this, [this] {
        if (CTavikView* view = GetActiveTavikView()) view->OnEditSelectAll();
    });

    // The next and previous sheet, with the keys of tabbed programs.
    a = MakeAction(ID_NEXT_SHEET, tr("Ne&xt Sheet\tCtrl+Tab"), tr("Show the next sheet\nNext Sheet"));
    a->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    connect(a, &QAction::triggered, this, [this] { StepSheet(1); });
    a = MakeAction(ID_PREV_SHEET, tr("Pre&vious Sheet\tCtrl+Shift+Tab"),
                   tr("Show the previous sheet\nPrevious Sheet"));
    a->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                     QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    connect(a, &QAction::triggered, this, [this] { StepSheet(-1); });

    a = MakeAction(ID_VIEW_TOOLBAR, tr("&Toolbar"), tr("Show or hide the toolbar\nToggle ToolBar"));
    a->setCheckable(true);
    a->setChecked(true);
    a = MakeAction(ID_VIEW_STATUS_BAR, tr("&Status Bar"),
                   tr("Show or hide the status bar\nToggle StatusBar"));
    a->setCheckable(true);
    a->setChecked(true);

    a = MakeAction(ID_UPLOAD, tr("&Upload"), tr("Upload data to Zemra unit\nUpload data to Zemra"));
    a->setIcon(CToolIcons::Upload());
    connect(a, &QAction::triggered, this, &CMainFrame::OnUpload);
    a = MakeAction(ID_DOWNLOAD, tr("&Download"),
                   tr("Download data from Zemra unit\nDownload data from Zemra"));
    a->setIcon(CToolIcons::Download());
    connect(a, &QAction::triggered, this, &CMainFrame::OnDownload);
    a = MakeAction(ID_COM_SETUP, tr("&COM Setup..."),
                   tr("Set up the serial port to the Zemra unit\nCOM Setup"));
    connect(a, &QAction::triggered, this, &CMainFrame::OnComSetup);
    a = MakeAction(ID_COMPARE, tr("Co&mpare with Unit..."),
                   tr("Read the unit and list where it differs from the document\nCompare with Unit"));
    connect(a, &QAction::triggered, this, &CMainFrame::OnCompare);
    a = MakeAction(ID_UNIT_BACKUPS, tr("Unit backups\u2026"),
                   tr("Open a configuration the unit held before an upload\nUnit backups"));
    connect(a, &QAction::triggered, this, &CMainFrame::OnUnitBackups);

    a = MakeAction(ID_HELP_FINDER, tr("&Help Topics"), tr("List Help topics\nHelp Topics"));
    a->setShortcut(QKeySequence(Qt::Key_F1));
    connect(a, &QAction::triggered, this, &CMainFrame::OnHelpTopics);

    a = MakeAction(ID_APP_ABOUT, tr("&About Tavik..."),
                   tr("Display program information, version number and copyright\nAbout"));
    a->setIcon(CToolIcons::About());
    connect(a, &QAction::triggered, this, &CMainFrame::aboutRequested);
}

void CMainFrame::CreateMenus() {
    m_pFileMenu = menuBar()->addMenu(tr("&File"));
    m_pFileMenu->addAction(GetAction(ID_FILE_NEW));
    m_pFileMenu->addAction(GetAction(ID_FILE_OPEN));
    m_pFileMenu->addAction(GetAction(ID_FILE_SAVE));
    m_pFileMenu->addAction(GetAction(ID_FILE_SAVE_AS));
    m_pFileMenu->addSeparator();
    m_pFileMenu->addAction(GetAction(ID_FILE_PRINT_ALL));
    m_pFileMenu->addAction(GetAction(ID_FILE_PRINT_PREVIEW));
    m_pFileMenu->addAction(GetAction(ID_FILE_PRINT_REPORT));
    m_pFileMenu->addAction(GetAction(ID_FILE_REPORT_PREVIEW));
    m_pFileMenu->addAction(GetAction(ID_FILE_EXPORT_PDF));
    m_pFileMenu->addAction(GetAction(ID_FILE_PRINT_SETUP));
    m_pRecentSeparator = m_pFileMenu->addSeparator();
    m_pFileMenu->addSeparator();
    m_pFileMenu->addAction(GetAction(ID_APP_EXIT));
    SetRecentFiles({});

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(GetAction(ID_EDIT_UNDO));
    edit->addAction(GetAction(ID_EDIT_REDO));
    edit->addSeparator();
    edit->addAction(GetAction(ID_EDIT_CUT_CHANNELS));
    edit->addAction(GetAction(ID_EDIT_COPY));
    edit->addAction(GetAction(ID_EDIT_PASTE));
    edit->addSeparator();
    edit->addAction(GetAction(ID_EDIT_SELECT_ALL));

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(GetAction(ID_VIEW_TOOLBAR));
    view->addAction(GetAction(ID_VIEW_STATUS_BAR));
    view->addSeparator();
    view->addAction(GetAction(ID_NEXT_SHEET));
    view->addAction(GetAction(ID_PREV_SHEET));

    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    tools->addAction(GetAction(ID_UPLOAD));
    tools->addAction(GetAction(ID_DOWNLOAD));
    tools->addAction(GetAction(ID_COMPARE));
    tools->addAction(GetAction(ID_UNIT_BACKUPS));
    tools->addSeparator();
    tools->addAction(GetAction(ID_COM_SETUP));

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(GetAction(ID_HELP_FINDER));
    help->addSeparator();
    help->addAction(GetAction(ID_APP_ABOUT));

    m_pContextMenu = new QMenu(this);
    m_pContextMenu->addAction(GetAction(ID_EDIT_CUT_CHANNELS)->icon(), tr("Cut"),
                              GetAction(ID_EDIT_CUT_CHANNELS), &QAction::trigger);
    m_pContextMenu->addAction(GetAction(ID_EDIT_PASTE_VIEW));
    m_pContextMenu->addAction(GetAction(ID_EDIT_COPY_VIEW));
    m_pContextMenu->addSeparator();
    m_pContextMenu->addAction(GetAction(ID_EDIT_SELECT_ALL));
}

void CMainFrame::CreateToolBar() {
    QToolBar* bar = addToolBar(tr("Toolbar"));
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setIconSize(QSize(20, 20));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    bar->setMovable(true);
    for (int id : std::initializer_list<int>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EDIT_CUT_CHANNELS,
                                             ID_EDIT_COPY_VIEW, ID_EDIT_PASTE_VIEW, 0, ID_FILE_PRINT_ALL, 0,
                                             ID_APP_ABOUT, ID_UPLOAD, ID_DOWNLOAD}) {
        if (id == 0)
            bar->addSeparator();
        else
            bar->addAction(GetAction(id));
    }
    QAction* toggle = GetAction(ID_VIEW_TOOLBAR);
    connect(toggle, &QAction::toggled, bar, &QWidget::setVisible);
    connect(bar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->showMessage(g_strReady);
    // Between command texts the bar says "Ready".
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& text) {
        if (text.isEmpty()) bar->showMessage(g_strReady);
    });
    connect(GetAction(ID_VIEW_STATUS_BAR), &QAction::toggled, bar, &QWidget::setVisible);
    // What the last change did on other sheets; a permanent widget, so passing command texts do not hide
    // it. One click opens the list.
    m_pAlsoChanged = new QLabel(bar);
    m_pAlsoChanged->setObjectName(QStringLiteral("alsoChanged"));
    m_pAlsoChanged->setTextFormat(Qt::RichText);
    m_pAlsoChanged->setToolTip(tr("Click to list the cells: sheet, row, column, before, after"));
    m_pAlsoChanged->hide();
    connect(m_pAlsoChanged, &QLabel::linkActivated, this, [this](const QString&) { OnShowAlsoChanged(); });
    bar->addPermanentWidget(m_pAlsoChanged);
    CreateResultWidgets();
}

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
    if (HasPrinter() && RunPrintDialog()) PrintViews(*m_pPrinter, true);
}

void CMainFrame::OnFilePrintCurrent() {
    if (HasPrinter() && RunPrintDialog()) PrintViews(*m_pPrinter, false);
}

int CMainFrame::PrintViews(QPrinter& printer, bool allTabs) {
    CommitEdits();
    int jobs = 0;
    for (int i = 0; i < GetViewCount(); ++i) {
        if (!allTabs && i != GetActiveIndex()) continue;
        CTavikView* view = GetTavikView(i);
        if (!view) continue;
        PreparePrint(*view, printer);
        const bool ok = view->Print(printer);
        if (ok) ++jobs;
        emit printJobFinished(i, ok);
        if (!ok) {
            ShowPrintFailure(printer);
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
