#include "ui/transfer/CTransferCommands.h"

#include "link/CComSetupDialog.h"
#include "model/IPrompt.h"
#include "ui/app/IDocumentFrame.h"
#include "ui/sheet/CCompareDialog.h"
#include "ui/sheet/Cp1252.h"
#include "unit/BackupFolder.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"
#include "unit/ConfigCompare.h"
#include "unit/UploadReport.h"

#include <QMessageBox>

CTransferCommands::CTransferCommands(CTavikDoc* doc, IDocumentFrame* frame,
                                     std::function<bool()> saveModified, QObject* parent)
    : QObject(parent), m_pDoc(doc), m_pFrame(frame), m_pWindow(frame ? frame->GetWindow() : nullptr),
      m_saveModified(std::move(saveModified)), m_comUI(m_pWindow), m_progress(m_pWindow, &m_prompt) {
    if (CZemUnit* unit = m_pDoc ? m_pDoc->GetZemUnit() : nullptr) {
        unit->GetComSetup()->SetUI(&m_comUI);
        unit->SetTransferUI(&m_prompt);
    }
}

CTransferCommands::~CTransferCommands() {
    m_prompt.Close();
    if (CZemUnit* unit = m_pDoc ? m_pDoc->GetZemUnit() : nullptr) {
        if (!unit->IsTransEnd()) unit->StopTransfer();
        unit->JoinWorker();
        unit->SetTransferUI(nullptr);
        unit->SetUploadBackup(nullptr);
        if (unit->GetComSetup()->GetUI() == &m_comUI) unit->GetComSetup()->SetUI(nullptr);
    }
}

void CTransferCommands::ShowStatus(const QString& text, const QString& backupPath) {
    if (IDocumentFrame* frame = Frame()) frame->ShowResult(text, backupPath);
}

void CTransferCommands::Upload() {
    CZemUnit* unit = m_pDoc ? m_pDoc->GetZemUnit() : nullptr;
    if (!unit || m_bBusy) return;
    // The worker must not start while an open cell editor can still write into the sheets.
    if (IDocumentFrame* frame = Frame()) frame->CommitEdits();
    m_bBusy = true;
    m_backup.KeepInFolder(DefaultBackupFolder());
    unit->SetUploadBackup(&m_backup);
    bool again = true;
    while (again) {
        again = false;
        m_pDoc->m_nDirection = 0;
        unit->SetWriteAllBlocks(m_comUI.WriteEveryBlock());
        if (!unit->UploadData()) break; // the port was not set up: nothing was sent
        m_progress.StartTrans(*m_pDoc);
        const QString backupPath = QString::fromStdString(unit->GetBackupPath());
        const QString backup = FromCp1252(BackupText(*unit));
        if (unit->GetTransferResult()) {
            ShowStatus(tr("Upload complete: %1").arg(FromCp1252(UploadSummary(*unit))) +
                           (backup.isEmpty() ? QString() : QStringLiteral("; ") + backup),
                       backupPath);
            break;
        }
        // Only the blocks whose write message went out can have changed the unit.
        const bool wrote = !unit->GetWrittenBlockNames().empty();
        const QString written = FromCp1252(WrittenBlocksText(*unit));
        ShowStatus(wrote ? tr("Upload stopped: %1").arg(written)
                         : tr("Upload stopped: nothing was written to the unit"),
                   backupPath);
        QString text = wrote
                           ? tr("The upload did not finish. %1.").arg(written)
                           : tr("The upload did not finish. Nothing was written to the unit: it still holds "
                                "what it held before.");
        if (!backup.isEmpty()) text += QStringLiteral("\n\n") + backup[0].toUpper() + backup.mid(1) + '.';
        QMessageBox question(QMessageBox::Warning, QStringLiteral("Tavik Programmer"),
                             text + tr("\n\nUpload again?"), QMessageBox::Yes | QMessageBox::No, m_pWindow);
        question.setDefaultButton(QMessageBox::Yes);
        // Where and why it failed; a stop by the user needs no explanation.
        if (!unit->WasStopped()) question.setInformativeText(FromCp1252(unit->GetTransferError()));
        again = question.exec() == QMessageBox::Yes;
    }
    unit->SetUploadBackup(nullptr);
    m_bBusy = false;
}

bool CTransferCommands::RunDownload() {
    CZemUnit* unit = m_pDoc->GetZemUnit();
    if (IDocumentFrame* frame = Frame()) frame->CommitEdits();
    // The configuration as it is now, so that a download that does not finish can put it back.
    m_pDoc->RecordUndoStep();
    unit->Initialize();
    m_pDoc->m_nDirection = 1;
    if (!unit->DownloadData()) return false;
    m_progress.StartTrans(*m_pDoc);
    return unit->GetTransferResult() != 0;
}

void CTransferCommands::Download() {
    CZemUnit* unit = m_pDoc ? m_pDoc->GetZemUnit() : nullptr;
    if (!unit || m_bBusy) return;
    if (IDocumentFrame* frame = Frame()) frame->CommitEdits();
    if (m_saveModified && !m_saveModified()) return;
    m_bBusy = true;
    if (RunDownload()) {
        // One step for Undo, and a new unmodified "Untitled" document.
        m_pDoc->RecordUndoStep();
        m_pDoc->SetPathName(std::string());
        m_pDoc->SetModifiedFlag(0);
        if (IDocumentFrame* frame = Frame()) frame->ResetViews();
        ShowStatus(tr("Download complete: %1 blocks read").arg(unit->GetNumTransBlocks()));
        // The views already show the corrected values when the list of corrections is read.
        const std::string report = unit->GetCorrections().Report(kShownCorrections);
        if (!report.empty()) GetPrompt().ShowMessage(report, IPrompt::Warning);
    } else {
        m_pDoc->RevertToUndoStep();
        if (IDocumentFrame* frame = Frame()) frame->RefreshViews();
        ShowStatus(unit->WasStopped() || unit->GetTransferError().empty()
                       ? tr("Download stopped: the document is unchanged")
                       : tr("%1. The document is unchanged.").arg(FromCp1252(unit->GetTransferError())));
    }
    if (IDocumentFrame* frame = Frame()) frame->UpdateFrameTitle();
    m_bBusy = false;
}

void CTransferCommands::Compare() {
    CZemUnit* unit = m_pDoc ? m_pDoc->GetZemUnit() : nullptr;
    if (!unit || m_bBusy) return;
    if (IDocumentFrame* frame = Frame()) frame->CommitEdits();
    m_bBusy = true;
    const ConfigValues document = ReadConfigValues(*unit);
    const bool read = RunDownload();
    ConfigValues inUnit = ReadConfigValues(*unit);
    TakeUnitValues(inUnit, unit->GetCorrections().GetList());
    m_pDoc->RevertToUndoStep();
    if (IDocumentFrame* frame = Frame()) {
        frame->RefreshViews();
        frame->UpdateFrameTitle();
    }
    m_bBusy = false;
    if (!read) {
        ShowStatus(unit->WasStopped() || unit->GetTransferError().empty()
                       ? tr("Compare stopped: the unit could not be read")
                       : tr("Compare stopped: %1").arg(FromCp1252(unit->GetTransferError())));
        return;
    }
    const std::vector<ConfigDifference> differences = CompareConfigValues(document, inUnit);
    ShowStatus(differences.empty() ? tr("Compare complete: the unit holds this configuration")
                                   : (differences.size() == 1
                                          ? tr("Compare complete: 1 difference")
                                          : tr("Compare complete: %1 differences").arg(differences.size())));
    CCompareDialog dialog(differences, m_pWindow);
    dialog.exec();
}

void CTransferCommands::OnComSetup() {
    CZemUnit* unit = m_pDoc ? m_pDoc->GetZemUnit() : nullptr;
    if (!unit || m_bBusy) return;
    unit->CommSetup();
}
