// The unit's side of a transfer: port preparation, the worker thread, progress queries.
#include "link/CComSetupDialog.h"
#include "link/ITransferUI.h"
#include "link/TransferControl.h"
#include "link/TransferWaits.h"
#include "model/CBrantSetupType.h"
#include "unit/CUnitBackup.h"
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
    const bool opened = !m_bPortReady || !m_pComSetup->IsPortOpen();
    if (m_bPortReady && !m_pComSetup->IsPortOpen() && !ReconnectPort(0)) m_bPortReady = 0;
    if (!m_bPortReady && !CommSetup()) return 0;
    if (direction == 1) m_pComSetup->PurgePort(LYN_PURGE_ALL);
    // A port opened for this transfer may still carry the end of an answer to a program that was ended in
    // the middle of an exchange: it is let fall quiet for one answer window, so that the first answer
    // taken is the one to this transfer's first request. (The unit begins an answer within that window.)
    if (opened && !m_pComSetup->SettleLine(TransferWaits::BlockWaitMs(), TransferWaits::SettleLimitMs(), {}))
        m_pComSetup->MarkUnsettled();
    // The count starts from 0 with the worker; the total is known before the worker moves a byte.
    m_nTotalTrans = GetTotalTransBytes(direction);
    m_nDirection = direction;
    m_bTransEnded.store(0);
    m_corrections.Clear();
    m_bUnitRead = false;
    m_nBlocksWritten = 0;
    m_nBlocksHeld = 0;
    if (m_pBackup) m_pBackup->Forget();
    m_worker = std::thread(&CZemUnit::TransThread, this);
    return 1;
}

int CZemUnit::ReadAndWrite() {
    // What the unit holds, block by block in unit order, as a download reads it.
    CUnitBackup::Images images;
    for (int i = 0; i < SETUP_TYPE_COUNT; ++i)
        if (!m_pSetupTypes[static_cast<std::size_t>(i)]->ReadImage(m_pComSetup,
                                                                   images[static_cast<std::size_t>(i)]))
            return i;
    // Kept before anything is written; a retry keeps the first reading, which is what the unit held.
    const bool firstReading = !m_bUnitRead;
    m_bUnitRead = true;
    if (m_pBackup && firstReading) {
        std::string error;
        if (!m_pBackup->Keep(images, error)) {
            m_strTransferError = "The unit's previous configuration could not be kept: " + error;
            return SETUP_TYPE_COUNT;
        }
    }
    // Progress now knows how many blocks are to be written.
    int blocks = 0, writes = 0;
    for (int i = 0; i < SETUP_TYPE_COUNT; ++i) {
        CBrantSetupType* setup = m_pSetupTypes[static_cast<std::size_t>(i)];
        const std::vector<CBrantSetupType::Block>& image = images[static_cast<std::size_t>(i)];
        blocks += static_cast<int>(image.size());
        writes += m_bWriteAll ? static_cast<int>(image.size()) : setup->CountDiffering(image);
    }
    m_nTotalTrans.store(static_cast<unsigned long>(blocks * READ_BYTES + writes * WRITE_BYTES));
    const int writtenBefore = TransferControl::WritesSent();
    for (int i = 0; i < SETUP_TYPE_COUNT; ++i)
        if (!m_pSetupTypes[static_cast<std::size_t>(i)]->WriteImage(
                m_pComSetup, images[static_cast<std::size_t>(i)], m_bWriteAll))
            return i;
    m_nBlocksWritten = TransferControl::WritesSent() - writtenBefore;
    m_nBlocksHeld = blocks - m_nBlocksWritten;
    return -1;
}

void CZemUnit::TransThread() {
    for (;;) {
        m_corrections.Clear(); // a retry fills the sheets again
        int failed = -1;
        if (m_nDirection == 0 && !IsPlainUpload()) failed = ReadAndWrite();
        if (failed == SETUP_TYPE_COUNT) break; // nothing was written: no retry helps a backup that failed
        for (int i = 0; i < SETUP_TYPE_COUNT && failed < 0 && (m_nDirection == 1 || IsPlainUpload()); ++i) {
            CBrantSetupType* setup = m_pSetupTypes[static_cast<std::size_t>(i)];
            const int ok =
                m_nDirection == 0 ? setup->UploadData(m_pComSetup) : setup->DownloadData(m_pComSetup);
            if (!ok) failed = i;
        }
        if (failed < 0) {
            m_strTransferError.clear(); // a failure that a retry overcame is no longer the result
            if (m_nDirection == 1) m_corrections.Resolve(m_pSetupTypes.data(), SETUP_TYPE_COUNT);
            if (m_nDirection == 0 && IsPlainUpload()) m_nBlocksWritten = GetNumTransBlocks();
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
        if (m_nDirection == 0 && !IsPlainUpload()) m_nTotalTrans.store(UploadTotal());
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

std::vector<std::string> CZemUnit::GetWrittenBlockNames() const {
    return TransferControl::WrittenBlocks();
}

std::string CZemUnit::GetBackupPath() const {
    return m_pBackup ? m_pBackup->GetPath() : std::string();
}

unsigned long CZemUnit::UploadTotal() const {
    // Before the unit is read, every block may differ.
    return static_cast<unsigned long>(GetNumTransBlocks() * (READ_BYTES + WRITE_BYTES));
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
    if (m_worker.joinable() && !m_bTransEnded.load())
        return direction == m_nDirection ? m_nTotalTrans.load() : 0;
    if (direction == 0 && !IsPlainUpload()) {
        CBrantSetupType::ResetTransData();
        return UploadTotal();
    }
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
