// The main frame's command table: every command with its text, keys, icon and status text, and the menus,
// toolbar, status bar and context menu that show them. The handlers are in CMainFrame.cpp.
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

namespace {
const QString g_strReady = QStringLiteral("Ready");
} // namespace

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
    connect(a, &QAction::triggered, m_pReport.get(), &CReportCommands::OnFilePrintPreview);

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

void CMainFrame::CreateReportCommands() {
    QAction* a = MakeAction(ID_FILE_PRINT_REPORT, tr("Print Re&port..."),
                            tr("Print every sheet of the configuration as one report\nPrint Report"));
    connect(a, &QAction::triggered, m_pReport.get(), &CReportCommands::OnFilePrintReport);
    a = MakeAction(ID_FILE_REPORT_PREVIEW, tr("Report Previe&w"),
                   tr("Display the pages of the configuration report\nReport Preview"));
    connect(a, &QAction::triggered, m_pReport.get(), &CReportCommands::OnFileReportPreview);
    a = MakeAction(ID_FILE_EXPORT_PDF, tr("&Export PDF..."),
                   tr("Write the configuration report as a PDF file\nExport PDF"));
    connect(a, &QAction::triggered, m_pReport.get(), &CReportCommands::OnFileExportPdf);
}
