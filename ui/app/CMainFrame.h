// ui/app: the desktop program's start-up and frame. CTavikApp starts the program (command line, settings,
// documents, recent files); CMainFrame is the main window with its tabs, command table, menus, toolbar and
// status bar, Undo and Redo, and the transfer result; CTabbedFrameWnd, CToolIcons, About and Help serve it.
// The other rooms reach the frame only through IDocumentFrame.
#pragma once

#include "ui/app/CTabbedFrameWnd.h"
#include "ui/app/IDocumentFrame.h"
#include "ui/report/CReportCommands.h"
#include "unit/CAlsoChanged.h"

#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class CTavikDoc;
class CTavikView;
class CTransferCommands;
class QAction;
class QLabel;
class QMenu;
class QMimeData;
class QPushButton;
class QPrinter;

// The main window: one sheet view per setup type in the tabs "General", "Physical Input", "Logical Input"
// and "Alarm", the menus, toolbar, status bar and context menu, and the frame-level commands (New,
// printing, Help, and the transfer commands).
class CMainFrame : public CTabbedFrameWnd, public IDocumentFrame {
    Q_OBJECT
public:
    static constexpr const char* kMainTitle = "Brant Tavik Programmer";

    explicit CMainFrame(CTavikDoc* doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // One view per setup type of the document; false when one could not be created.
    bool AddView() override;
    // Re-initialises every view from its setup type, names the tabs and shows the first one.
    void ResetViews() override;
    // Shows every view again from its sheet, keeping the current tab (after Undo, Redo, a failed download).
    void RefreshViews() override;
    void UpdateFrameTitle() override { OnUpdateFrameTitle(); }
    // A cell editor still open hands its text to the sheet now (validated as any edit), so that a save,
    // a print, a new document or a transfer sees what the user typed.
    void CommitEdits() override;

    CTavikView* GetTavikView(int index) const;
    CTavikView* GetActiveTavikView() const override;
    QAction* GetAction(int id) const;
    QMenu* GetContextMenu() const { return m_pContextMenu; }
    QPrinter& GetPrinter() override { return *m_pPrinter; }
    bool RunPrintDialog() override;
    QWidget* GetWindow() override { return this; }

    // Asked before the document is replaced or the window closes; false keeps things as they are.
    void SetSaveModifiedHook(std::function<bool()> hook) { m_saveModified = std::move(hook); }
    void SetRecentFiles(const QStringList& paths);

    void OnFileNew();
    void OnFilePrintAll();
    void OnFilePrintCurrent();
    // Prints every tab (or the current one) on `printer`, one job per view; returns the jobs printed.
    int PrintViews(QPrinter& printer, bool allTabs);
    void OnHelpTopics();

    // The whole-configuration report (every sheet in one job) beside the per-tab printing above, carried out
    // by the report commands.
    CReportCommands& GetReport() { return *m_pReport; }
    void OnFilePrintReport() { m_pReport->OnFilePrintReport(); }
    void OnFileExportPdf() { m_pReport->OnFileExportPdf(); }
    bool ExportPdf(const QString& path) { return m_pReport->ExportPdf(path); }
    void SetPdfNameAsker(std::function<QString(const QString&)> asker) { m_pReport->SetPdfNameAsker(asker); }
    void SetPrinterProbe(std::function<bool()> probe) { m_pReport->SetPrinterProbe(std::move(probe)); }
    // Tools > Upload, Download and COM Setup... (also on the toolbar): carried out for the document by its
    // transfer commands.
    void OnUpload();
    void OnDownload();
    void OnComSetup();
    // Tools > Compare with Unit: reads the unit and lists what differs; the document does not change.
    void OnCompare();
    // Edit > Undo and Redo: whole configurations, every sheet at once.
    void OnEditUndo();
    void OnEditRedo();
    void UpdateUndoActions();
    // Shows a short text in the status bar, until the pointer passes over a command.
    void ShowStatus(const QString& text) override;
    // The result of a transfer ("Upload complete: ..."), in a status-bar label that passing command texts
    // do not hide, until the next edit or another configuration. With `backupPath`, a button beside it
    // opens that document (the unit's previous configuration). (CMainFrameResult.cpp)
    void ShowResult(const QString& text, const QString& backupPath = QString()) override;
    void ClearResult();
    QString GetResultText() const;
    QPushButton* GetOpenBackupButton() const { return m_pOpenBackup; }
    // Tools > Unit backups...: a file dialog on the folder where uploads keep what the unit held; the file
    // chosen opens as a document. The asker is replaceable in tests (empty when cancelled).
    void OnUnitBackups();
    void SetBackupAsker(std::function<QString(const QString&)> asker) { m_askBackup = std::move(asker); }
    // "Also changed: 3 cells on Logical Input and Alarm" after the last change, empty when it changed no
    // other sheet; the list that one click on it opens.
    QString GetAlsoChangedText() const;
    const std::vector<ConfigDifference>& GetAlsoChanged() const { return m_alsoChanged; }
    void OnShowAlsoChanged();

signals:
    void fileOpenRequested();
    void fileSaveRequested();
    void fileSaveAsRequested();
    void recentFileRequested(const QString& path);
    void fileDropped(const QString& path);
    void openDocumentRequested(const QString& path);
    void aboutRequested();
    void printJobFinished(int tabIndex, bool ok);
    // The window is closing (the user did not keep it open): the last moment to note its placement.
    void closing();

protected:
    QWidget* CreateView() override;
    void OnUpdateFrameTitle() override;
    void OnActivateView(int index, bool activate) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* MakeAction(int id, const QString& text, const QString& status);
    void CreateCommands();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void OnEditFinished(const CTavikView* source);
    void SetAlsoChanged(const std::vector<ConfigDifference>& differences, const std::string& sheet);
    // After Undo or Redo: the tab of the change undone, with only its first changed cell selected.
    void ShowUndoneChange(const std::vector<ConfigDifference>& differences);
    static QString DroppedDocument(const QMimeData* data);
    // Another view's edit may have changed any sheet: every other view shows its cells again.
    void OnSheetsChanged(const CTavikView* source);
    // Shows the sheet `step` tabs to the right (negative: left), wrapping around.
    void StepSheet(int step);
    // The report's commands in the File menu (CMainFrameCommands.cpp).
    void CreateReportCommands();
    void CreateResultWidgets();

    CTavikDoc* m_pDoc;
    std::map<int, QAction*> m_actions;
    QMenu* m_pFileMenu = nullptr;
    QAction* m_pRecentSeparator = nullptr;
    QList<QAction*> m_recentActions;
    QMenu* m_pContextMenu = nullptr;
    std::unique_ptr<QPrinter> m_pPrinter;
    std::function<bool()> m_saveModified;
    bool m_bViewsShown = false;
    QWidget* m_pHelp = nullptr;
    std::unique_ptr<CTransferCommands> m_pTransfer;
    std::unique_ptr<CReportCommands> m_pReport;
    CAlsoChanged m_changes;
    std::vector<ConfigDifference> m_alsoChanged;
    QLabel* m_pAlsoChanged = nullptr;
    QLabel* m_pResult = nullptr;
    QPushButton* m_pOpenBackup = nullptr;
    QString m_strBackupPath;
    std::function<QString(const QString&)> m_askBackup;
};
