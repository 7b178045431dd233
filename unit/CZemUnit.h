#pragma once

#include "model/CDownloadCorrections.h"
#include "unit/IBrantAlarm.h"

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class CBrantSetupType;
class CComSetupDialog;
class CUnitBackup;
class ITransferUI;

// The whole configuration of one annunciator: the four setup types in unit order and the COM port
// through which the unit is reached.
class CZemUnit : public IBrantAlarm {
public:
    CZemUnit();
    ~CZemUnit() override;
    CZemUnit(const CZemUnit&) = delete;
    CZemUnit& operator=(const CZemUnit&) = delete;

    int Initialize() override;
    int GetNumTypeSetup(SETUP_TYPE* types, std::string* titles, unsigned& count) override;
    int GetBrSetups(IBrantSetupType** setups, int* count) override;
    int GetDataSheet(SETUP_TYPE type, CDataSheet** sheet) override;
    // Reads or writes the whole configuration; a failed read raises CArchiveException(badSchema) after
    // resetting the setup type it was reading.
    int Serialize(CArchive& archive) override;
    int CommSetup() override;
    int UploadData() override;
    int DownloadData() override;
    unsigned long GetTotalTransBytes(int direction) override;
    unsigned long GetCurSendedNumBytes() override;
    int IsTransEnd() override;
    std::string GetTransTitle() override;

    // "General", "Physical Input", "Logical Input", "Alarm"; empty outside 0..3.
    std::string GetTitle(int index) const;
    // The blocks a whole transfer moves (each written block is also read back).
    int GetNumTransBlocks() const;
    CBrantSetupType* GetSetupType(int index) const;
    CComSetupDialog* GetComSetup() const { return m_pComSetup; }
    // The version number of the last document read.
    unsigned GetReadVersion() const { return m_nReadVersion; }

    // Who answers the retry question of a failed transfer (not owned); without one a failure cancels.
    void SetTransferUI(ITransferUI* ui) { m_pTransferUI = ui; }
    // Asks the running transfer to stop at the next block; it then ends as after Cancel. A written block is
    // still read back and compared first.
    void StopTransfer();
    // Holds the running transfer at its next block (after the block in flight, read back when written)
    // until ResumeTransfer or StopTransfer; meanwhile nothing goes out on the line.
    void PauseTransfer();
    void ResumeTransfer();
    // True while the worker waits at a pause.
    bool IsTransferHeld() const;
    // After the worker ended: true when it ended because a stop was asked for.
    bool WasStopped() const;
    // Write messages that went out since the transfer started, over every retry: 0 means the unit holds
    // what it held before.
    int GetWrittenBlocks() const;
    // After the worker ended: 1 when every setup type was transferred, 0 after Cancel or a stop.
    int GetTransferResult() const { return m_nTransferResult.load(); }
    // After a failure: which setup type failed and why ("Error to download Alarm data: no answer ...").
    std::string GetTransferError() const;
    // After a failure: the message and block of the failed exchange, for traces ("message 65, block 17").
    std::string GetTransferDetail() const;
    // How uploads go. By default the unit is read first, block by block, and only the blocks that differ
    // from what it holds are written; `all` writes every block. Every block with no backup is the plain
    // sequence of writes, without reading the unit first.
    void SetWriteAllBlocks(bool all) { m_bWriteAll = all; }
    bool GetWriteAllBlocks() const { return m_bWriteAll; }
    // Where an upload keeps what the unit held, on disk before its first write (not owned; null keeps none).
    // A retry reads the unit again but keeps the backup of the first reading.
    void SetUploadBackup(CUnitBackup* backup) { m_pBackup = backup; }
    CUnitBackup* GetUploadBackup() const { return m_pBackup; }
    // After an upload ended: whether the unit was read in full; the blocks its last attempt wrote and those
    // the unit already held; every block whose write message went out, over every retry, by name
    // ("Alarm 3 (A15)"); where its backup was kept (empty when none was).
    bool WasUnitRead() const { return m_bUnitRead; }
    int GetBlocksWritten() const { return m_nBlocksWritten; }
    int GetBlocksHeld() const { return m_nBlocksHeld; }
    std::vector<std::string> GetWrittenBlockNames() const;
    std::string GetBackupPath() const;
    // Waits for the worker to end (it ends by itself after success, Cancel or a stop).
    void JoinWorker();
    int GetDirection() const { return m_nDirection; }
    // After a download ended with success: every value the sheets did not take as the unit holds it.
    const CDownloadCorrections& GetCorrections() const { return m_corrections; }
    CDownloadCorrections& GetCorrections() { return m_corrections; }

    static constexpr unsigned FILE_VERSION = 3;

private:
    int StartWorker(int direction);
    // Opens a port that went away again, trying for up to graceMs; then wakes the unit. 1 when it is back.
    int ReconnectPort(int graceMs);
    void TransThread();
    // One attempt of an upload that reads the unit first: the index of the setup type that failed, -1 when
    // every block went through, SETUP_TYPE_COUNT when the backup could not be kept.
    int ReadAndWrite();
    // Every block written and no backup kept: the plain sequence of writes.
    bool IsPlainUpload() const { return m_bWriteAll && !m_pBackup; }
    unsigned long UploadTotal() const;
    // Bytes a block read moves (request and answer), and a block written (message and read-back).
    static constexpr int READ_BYTES = 78;
    static constexpr int WRITE_BYTES = 149;

    std::array<CBrantSetupType*, 4> m_pSetupTypes{};
    CComSetupDialog* m_pComSetup = nullptr;
    int m_nDirection = 0;
    std::atomic<unsigned long> m_nTotalTrans{0}; // the running transfer's total; known in full once read
    std::atomic<int> m_bTransEnded{0};
    int m_bPortReady = 0;
    std::thread m_worker;
    unsigned m_nReadVersion = FILE_VERSION;
    ITransferUI* m_pTransferUI = nullptr;
    std::atomic<int> m_nTransferResult{0};
    std::string m_strTransferError;     // written by the worker before it sets the ended flag
    CDownloadCorrections m_corrections; // likewise
    bool m_bWriteAll = false;
    CUnitBackup* m_pBackup = nullptr;
    bool m_bUnitRead = false; // likewise, and what follows
    int m_nBlocksWritten = 0;
    int m_nBlocksHeld = 0;
};
