#pragma once

#include "ui/sheet/CMessageBoxPrompt.h"

#include <QObject>
#include <QStringList>

#include <memory>

class CMainFrame;
class CTavikDoc;
class QSettings;

// Starts the program and carries the document commands: open (dialog, recent list, command line, drop),
// save, save as, the prompt to save a modified document, and the About box.
class CTavikApp : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecentFiles = 4;
    static constexpr const char* kFilter = "Tavik Files (*.zmg)";

    explicit CTavikApp(QObject* parent = nullptr);
    ~CTavikApp() override;

    // Creates the document and the main window, installs the message boxes (unless a prompt is installed),
    // opens the file named on the command line (if any) and shows the window. False when the named file could
    // not be opened.
    bool InitInstance(const QStringList& arguments, bool show = true);

    // Opens a document: the first tab is shown afterwards; false when the user kept the current one or
    // the file could not be read (the document is then a new default one).
    bool OpenDocumentFile(const QString& path);
    void OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    bool DoSave(const QString& path);
    // Asks to save a modified document; false when the user cancelled.
    bool SaveModified();
    void OnAppAbout();
    // Where Open and Save As start: the document's folder, else the last one used, else Documents.
    QString GetDialogFolder() const;

    // `tavik --export-pdf FILE.zmg OUT.pdf`: writes the configuration report of `document` to `pdf` and
    // returns the exit status (0 written, 1 failed) without showing a window. Messages go to stderr.
    static int ExportPdfCommand(const QString& document, const QString& pdf);

    CTavikDoc* GetDoc() const { return m_pDoc.get(); }
    CMainFrame* GetMainFrame() const { return m_pFrame.get(); }
    QStringList GetRecentFiles() const { return m_recentFiles; }

protected:
    // The dialogs, replaceable in tests. AskSaveChanges returns QMessageBox::Save, Discard or Cancel.
    virtual int AskSaveChanges(const QString& name);
    virtual QString AskOpenFileName();
    virtual QString AskSaveFileName(const QString& suggestion);

private:
    void LoadStdProfileSettings();
    void AddToRecentFileList(const QString& path);
    void RemoveFromRecentFileList(const QString& path);
    void SaveRecentFileList();
    void RestoreWindowPlacement();
    void SaveWindowPlacement();
    QString DocumentName() const;

    CMessageBoxPrompt m_prompt;
    std::unique_ptr<CTavikDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    std::unique_ptr<QSettings> m_pSettings;
    QStringList m_recentFiles;
    bool m_bPromptInstalled = false;
};
