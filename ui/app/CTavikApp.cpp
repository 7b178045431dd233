#include "ui/app/CTavikApp.h"

#include "model/IPrompt.h"
#include "ui/app/AppProfile.h"
#include "ui/app/CAboutDlg.h"
#include "ui/app/CMainFrame.h"
#include "ui/app/DialogFolder.h"
#include "ui/report/CConfigReport.h"
#include "ui/sheet/CSmallDialog.h"
#include "ui/sheet/Cp1252.h"
#include "unit/CTavikDoc.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

#include <cstdio>

namespace {
const QString g_strRecentGroup = QStringLiteral("Recent File List");
const QString g_strWindowKey = QStringLiteral("Window/Geometry");
} // namespace

CTavikApp::CTavikApp(QObject* parent) : QObject(parent) {}

CTavikApp::~CTavikApp() {
    m_pFrame.reset();
    if (m_bPromptInstalled && &GetPrompt() == &m_prompt) SetPrompt(nullptr);
}

bool CTavikApp::InitInstance(const QStringList& arguments, bool show) {
    // Message boxes, unless a prompt is already installed (a script or a test answers instead).
    if (IPrompt* previous = SetPrompt(&m_prompt))
        SetPrompt(previous);
    else
        m_bPromptInstalled = true;
    LoadStdProfileSettings();

    m_pDoc = std::make_unique<CTavikDoc>();
    if (!m_pDoc->OnNewDocument()) return false;
    m_pFrame = std::make_unique<CMainFrame>(m_pDoc.get());
    m_pFrame->SetSaveModifiedHook([this] { return SaveModified(); });
    m_pFrame->SetRecentFiles(m_recentFiles);
    connect(m_pFrame.get(), &CMainFrame::fileOpenRequested, this, &CTavikApp::OnFileOpen);
    connect(m_pFrame.get(), &CMainFrame::fileSaveRequested, this, &CTavikApp::OnFileSave);
    connect(m_pFrame.get(), &CMainFrame::fileSaveAsRequested, this, &CTavikApp::OnFileSaveAs);
    connect(m_pFrame.get(), &CMainFrame::recentFileRequested, this, &CTavikApp::OpenDocumentFile);
    connect(m_pFrame.get(), &CMainFrame::fileDropped, this, &CTavikApp::OpenDocumentFile);
    connect(m_pFrame.get(), &CMainFrame::openDocumentRequested, this, &CTavikApp::OpenDocumentFile);
    connect(m_pFrame.get(), &CMainFrame::aboutRequested, this, &CTavikApp::OnAppAbout);
    m_pFrame->ResetViews();
    connect(m_pFrame.get(), &CMainFrame::closing, this, &CTavikApp::SaveWindowPlacement);
    RestoreWindowPlacement();

    // The first argument that is not an option names a document to open.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i].startsWith(QLatin1Char('-'))) continue;
        if (!OpenDocumentFile(arguments[i])) return false;
        break;
    }
    if (show) m_pFrame->show();
    return true;
}

void CTavikApp::LoadStdProfileSettings() {
    m_pSettings.reset(NewAppProfile());
    m_recentFiles.clear();
    m_pSettings->beginGroup(g_strRecentGroup);
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString path = m_pSettings->value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty() && !m_recentFiles.contains(path)) m_recentFiles << path;
    }
    m_pSettings->endGroup();
}

void CTavikApp::RestoreWindowPlacement() {
    // Size, place and maximized state as the user left them; Qt moves a window whose screen is gone onto
    // one that is there.
    const QByteArray saved = m_pSettings ? m_pSettings->value(g_strWindowKey).toByteArray() : QByteArray();
    if (!saved.isEmpty()) m_pFrame->restoreGeometry(saved);
}

void CTavikApp::SaveWindowPlacement() {
    if (!m_pSettings || !m_pFrame) return;
    m_pSettings->setValue(g_strWindowKey, m_pFrame->saveGeometry());
    m_pSettings->sync();
}

void CTavikApp::SaveRecentFileList() {
    if (!m_pSettings) return;
    m_pSettings->remove(g_strRecentGroup);
    m_pSettings->beginGroup(g_strRecentGroup);
    for (qsizetype i = 0; i < m_recentFiles.size(); ++i)
        m_pSettings->setValue(QStringLiteral("File%1").arg(i + 1), m_recentFiles[i]);
    m_pSettings->endGroup();
    m_pSettings->sync();
    if (m_pFrame) m_pFrame->SetRecentFiles(m_recentFiles);
}

void CTavikApp::AddToRecentFileList(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_recentFiles.removeAll(absolute);
    m_recentFiles.prepend(absolute);
    while (m_recentFiles.size() > kRecentFiles)
        m_recentFiles.removeLast();
    SaveRecentFileList();
}

void CTavikApp::RemoveFromRecentFileList(const QString& path) {
    if (m_recentFiles.removeAll(QFileInfo(path).absoluteFilePath()) > 0) SaveRecentFileList();
}

QString CTavikApp::DocumentName() const {
    if (!m_pDoc || m_pDoc->GetPathName().empty()) return tr("Untitled");
    return QFileInfo(QString::fromStdString(m_pDoc->GetPathName())).fileName();
}

bool CTavikApp::OpenDocumentFile(const QString& path) {
    if (!m_pDoc || !m_pFrame) return false;
    m_pFrame->SetActiveView(0);
    if (!SaveModified()) return false;

    std::string error;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const bool ok = m_pDoc->OnOpenDocument(absolute.toStdString(), error) != 0;
    if (ok) {
        m_pDoc->SetPathName(absolute.toStdString());
        m_pDoc->SetModifiedFlag(0);
        AddToRecentFileList(absolute);
    } else {
        // A document that could not be read leaves a new default document behind.
        m_pDoc->SetPathName(std::string());
        m_pDoc->SetModifiedFlag(0);
        RemoveFromRecentFileList(absolute);
    }
    m_pFrame->ResetViews();
    m_pFrame->UpdateFrameTitle();
    if (!ok)
        GetPrompt().ShowMessage(
            ToCp1252(tr("Cannot open the document \"%1\".").arg(QDir::toNativeSeparators(absolute))) +
                (error.empty() ? std::string() : "\n" + error),
            IPrompt::Error);
    return ok;
}

void CTavikApp::OnFileOpen() {
    const QString path = AskOpenFileName();
    if (path.isEmpty()) return;
    NoteDialogFolder(path);
    OpenDocumentFile(path);
}

bool CTavikApp::OnFileSave() {
    if (!m_pDoc) return false;
    if (m_pDoc->GetPathName().empty()) return OnFileSaveAs();
    return DoSave(QString::fromStdString(m_pDoc->GetPathName()));
}

bool CTavikApp::OnFileSaveAs() {
    QString path = AskSaveFileName(DocumentName());
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".zmg");
    NoteDialogFolder(path);
    return DoSave(path);
}

bool CTavikApp::DoSave(const QString& path) {
    if (m_pFrame) m_pFrame->CommitEdits();
    std::string error;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!m_pDoc->OnSaveDocument(absolute.toStdString(), error)) {
        GetPrompt().ShowMessage(
            ToCp1252(tr("Cannot save the document \"%1\".").arg(QDir::toNativeSeparators(absolute))) +
                (error.empty() ? std::string() : "\n" + error),
            IPrompt::Error);
        return false;
    }
    m_pDoc->SetPathName(absolute.toStdString());
    m_pDoc->SetModifiedFlag(0);
    AddToRecentFileList(absolute);
    if (m_pFrame) m_pFrame->UpdateFrameTitle();
    return true;
}

bool CTavikApp::SaveModified() {
    if (m_pFrame) m_pFrame->CommitEdits();
    if (!m_pDoc || !m_pDoc->IsModified()) return true;
    switch (AskSaveChanges(DocumentName())) {
    case QMessageBox::Save:
        return OnFileSave();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

int CTavikApp::AskSaveChanges(const QString& name) {
    QMessageBox box(QMessageBox::Question, tr("Tavik Programmer"), tr("Save changes to %1?").arg(name),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_pFrame.get());
    box.setDefaultButton(QMessageBox::Save);
    CSmallDialog::FitTitle(box);
    return box.exec();
}

QString CTavikApp::GetDialogFolder() const {
    return DialogFolder(m_pDoc ? QString::fromStdString(m_pDoc->GetPathName()) : QString());
}

QString CTavikApp::AskOpenFileName() {
    return QFileDialog::getOpenFileName(m_pFrame.get(), tr("Open"), GetDialogFolder(),
                                        QString::fromLatin1(kFilter) + tr(";;All Files (*)"));
}

QString CTavikApp::AskSaveFileName(const QString& suggestion) {
    QFileDialog dialog(m_pFrame.get(), tr("Save As"), GetDialogFolder(), QString::fromLatin1(kFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("zmg"));
    QString name = suggestion;
    if (!name.endsWith(QLatin1String(".zmg"), Qt::CaseInsensitive)) name += QStringLiteral(".zmg");
    dialog.selectFile(QDir(GetDialogFolder()).filePath(QFileInfo(name).fileName()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void CTavikApp::OnAppAbout() {
    CAboutDlg about(m_pFrame.get());
    about.exec();
}

int CTavikApp::ExportPdfCommand(const QString& document, const QString& pdf) {
    const QString in = QFileInfo(document).absoluteFilePath();
    CTavikDoc doc;
    std::string error;
    if (!doc.OnOpenDocument(in.toStdString(), error)) {
        std::fprintf(stderr, "tavik: %s\n", error.c_str());
        return 1;
    }
    CConfigReport report = CConfigReport::ForDocument(doc);
    QString failure;
    if (!report.WritePdf(pdf, failure)) {
        std::fprintf(stderr, "tavik: cannot write '%s': %s\n", qPrintable(pdf), qPrintable(failure));
        return 1;
    }
    return 0;
}
