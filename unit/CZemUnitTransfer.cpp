// The unit's side of a transfer: port preparation, the worker thread, progress queries.
#include "link/CComSetupDialog.h"
#include "link/ITransferUI.h"
#include "link/TransferControl.h"
#include "link/TransferWaits.h"
#include "model/CBrantSetupType.h"
#include "unit/CZemUnit.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {
// Three spaces wake the unit's serial interface before the first message.
void WakeUp(CComSetupDialog& com) {
    const BYTE wakeUp[3] = {0x20, 0x20, 0x20};
    com.Write(wakeUp, 3);
}
} // namespace

int CZemUnit::CommSetup() {
    m_bPortReady = 0;
    if (m_pComSetup->DoCommSetup()) {
        WakeUp(*m_pComSetup);
        m_bPortReady = 1;
    }
    return m_bPortReady;
}

int CZemUnit::ReconnectPort(int graceMs) {
    using Clock = std::chrono::steady_clock;
    // An adapter that was plugged in again takes a moment to reappear under its name.
    const Clock::time_point limit = Clock::now() + std::chrono::milliseconds(graceMs);
    while (!m_pComSetup->ReopenPort()) {
        if (Clock::now() >= limit || CBrantSetupType::IsStopRequested()) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(TransferWaits::ReopenStepMs()));
    }
    WakeUp(*m_pComSetup);
    return 1;
}

int CZemUnit::UploadData() {
    return StartWorker(0);
}

int CZemUnit::DownloadData() {
    return StartWorker(1);
}

int CZemUnit::StartWorker(int direction) {
    // One transfer at a time.
    if (m_worker.joinable() && !m_bTransEnded.load()) return 0;
    JoinWorker();
    // Nothing of an earlier transfer is told about this one, also when it cannot start.
    m_nTransferResult.store(0);
    m_strTransferError.clear();
    TransferControl::Reset();
    // A port that went away (adapter pulled, unit restarted) is closed once it says so: the purge before the
    // first request tells of one that went while nothing was sent. It is opened again by its name, with its
    // line settings; only when it is not back is the user asked for a port. (Every request purges the input
    // anyway, so an upload loses nothing here.)
    if (m_bPortReady && m_pComSetup->IsPortOpen())
        m_pComSetup->PurgePort(direction == 1 ? LYN_PURGE_ALL : LYN_PURGE_RXABORT | LYN_PURGE_RXCLEAR);
    if (m_bPortReady && !m_pComSetup->IsPortOpen() && !ReconnectPort(0)) m_bPortReady = 0;
    if (!m_bPortReady && !CommSetup()) return 0;
    if (direction == 1) m_pComSetup->PurgePort(LYN_PURGE_ALL);
    // The count starts from 0 with the worker; the total is known before the worker moves a byte.
    m_nTotalTrans = GetTotalTransBytes(direction);
    m_nDirection = direction;
    m_bTransEnded.store(0);
    m_corrections.Clear();
    m_worker = std::thread(&CZemUnit::TransThread, this);
    return 1;
}

void CZemUnit::TransThread() {
    for (;;) {
        m_corrections.Clear(); // a retry fills the sheets again
        int failed = -1;
        for (int i = 0; i < SETUP_TYPE_COUNT && failed < 0; ++i) {
            CBrantSetupType* setup = m_pSetupTypes[static_cast<std::size_t>(i)];
            const int ok =
                m_nDirection == 0 ? setup->UploadData(m_pComSetup) : setup->DownloadData(m_pComSetup);
            if (!ok) failed = i;
        }
        if (failed < 0) {
            m_strTransferError.clear(); // a failure that a retry overcame is no longer the result
            if (m_nDirection == 1) m_corrections.Resolve(m_pSetupTypes.data(), SETUP_TYPE_COUNT);
            m_nTransferResult.store(1);
            break;
        }
        char message[96];
        std::snprintf(message, sizeof message,
                      m_nDirection == 0 ? "Error to upload %s data" : "Error to download %s data",
                      GetTitle(failed).c_str());
        m_strTransferError = message;
        const std::string& reason = m_pSetupTypes[static_cast<std::size_t>(failed)]->GetExchangeError();
        if (!reason.empty()) m_strTransferError += ": " + reason;
        // A pause asked for while the failing block was on its way is answered before the retry question.
        if (CBrantSetupType::IsStopRequested() || !TransferControl::Pass()) break;
        const bool retry = m_pTransferUI && m_pTransferUI->AskRetry(message, reason);
        if (!retry || CBrantSetupType::IsStopRequested()) break;
        CBrantSetupType::ResetTransData();
        // A port that went away is looked for again; when it is not back, the first block says so.
        if (!m_pComSetup->IsPortOpen()) ReconnectPort(TransferWaits::ReconnectGraceMs());
    }
    m_bTransEnded.store(1);
}

void CZemUnit::StopTransfer() {
    TransferControl::Stop();
}

void CZemUnit::PauseTransfer() {
    TransferControl::Pause();
}

void CZemUnit::ResumeTransfer() {
    TransferControl::Resume();
}

bool CZemUnit::IsTransferHeld() const {
    return TransferControl::IsHeld();
}

bool CZemUnit::WasStopped() const {
    return CBrantSetupType::IsStopRequested();
}

int CZemUnit::GetWrittenBlocks() const {
    return TransferControl::WritesSent();
}

std::string CZemUnit::GetTransferDetail() const {
    return m_bTransEnded.load() ? TransferControl::LastFailure() : std::string();
}

void CZemUnit::JoinWorker() {
    if (m_worker.joinable()) m_worker.join();
}

std::string CZemUnit::GetTransferError() const {
    return m_bTransEnded.load() ? m_strTransferError : std::string();
}

unsigned long CZemUnit::GetTotalTransBytes(int direction) {
    // Asked while the worker runs (the progress window opens after the start), the total must not reset
    // the count: the bytes already moved would be lost and progress would end short of the total.
    // Nor may a question about the other direction reset it.
    if (m_worker.joinable() && !m_bTransEnded.load()) return direction == m_nDirection ? m_nTotalTrans : 0;
    unsigned long total = 0;
    for (CBrantSetupType* setup : m_pSetupTypes)
        total += setup->GetTotalTransBytes(direction);
    return total;
}

unsigned long CZemUnit::GetCurSendedNumBytes() {
    return CBrantSetupType::ReadProgressData();
}

int CZemUnit::IsTransEnd() {
    return m_bTransEnded.load();
}

std::string CZemUnit::GetTransTitle() {
    for (CBrantSetupType* setup : m_pSetupTypes)
        if (setup->GetTransState() != -1) return setup->GetTitle();
    return std::string();
}
