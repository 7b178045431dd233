#include "ui/CTransferCommands.h"

#include "link/CComSetupDialog.h"
#include "model/CTavikDoc.h"
#include "model/CZemUnit.h"
#include "model/IPrompt.h"
#include "ui/CMainFrame.h"

CTransferCommands::CTransferCommands(CTavikDoc* doc, CMainFrame* frame, std::function<bool()> saveModified,
                                     QObject* parent)
    : QObject(parent), m_pDoc(doc), m_pFrame(frame), m_saveModified(std::move(saveModified)), m_comUI(frame),
      m_progress(frame, &m_prompt) {
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
        if (unit->GetComSetup()->GetUI() == &m_comUI) unit->GetComSetup()->SetUI(nullptr);
    }
}

void CTransferCommands::Upload() {
    CZemUnit* unit = m_pDoc ? m_pDoc->GetZemUnit() : nullptr;
    if (!unit || m_bBusy) return;
    // The worker must not start while an open cell editor can still write into the sheets.
    if (m_pFrame) m_pFrame->CommitEdits();
    m_bBusy = true;
    m_pDoc->m_nDirection = 0;
    if (unit->UploadData()) m_progress.StartTrans(*m_pDoc);
    m_bBusy = false;
}

void CTransferCommands::Download() {
    CZemUnit* unit = m_pDoc ? m_pDoc->GetZemUnit() : nullptr;
    if (!unit || m_bBusy) return;
    if (m_pFrame) m_pFrame->CommitEdits();
    if (m_saveModified && !m_saveModified()) return;
    m_bBusy = true;
    unit->Initialize();
    m_pDoc->m_nDirection = 1;
    if (unit->DownloadData()) m_progress.StartTrans(*m_pDoc);
    // The sheets now hold what was downloaded, or the defaults where nothing arrived (also when the port
    // could not be set up): the views show that either way.
    m_pDoc->SetPathName(std::string());
    m_pDoc->SetModifiedFlag(0);
    if (m_pFrame) {
        m_pFrame->ResetViews();
        m_pFrame->UpdateFrameTitle();
    }
    // The views already show the corrected values when the list of corrections is read.
    if (unit->IsTransEnd() && unit->GetTransferResult()) {
        const std::string report = unit->GetCorrections().Report(kShownCorrections);
        if (!report.empty()) GetPrompt().ShowMessage(report, IPrompt::Warning);
    }
    m_bBusy = false;
}

void CTransferCommands::OnComSetup() {
    CZemUnit* unit = m_pDoc ? m_pDoc->GetZemUnit() : nullptr;
    if (!unit || m_bBusy) return;
    unit->CommSetup();
}
