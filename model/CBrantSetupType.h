#pragma once

#include "model/CZemProtocol.h"
#include "model/IBrantSetupType.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CComSetupDialog;
class CDownloadCorrections;
class ITransferTrace;

// An input type as the device knows it: the electrical range the physical-input checks use.
struct INPUT_TYPE {
    std::string m_strName;
    std::string m_strUnit;
    float m_fLower;
    float m_fUpper;
    BYTE m_nCode; // the input type as the unit stores it
};

// Common base of the four setup types: value codings shared by the device images, input checks, the
// error memory, the transfer byte counter, the document record and the block exchanges with the unit.
class CBrantSetupType : public IBrantSetupType, public CZemProtocol {
public:
    CBrantSetupType();
    ~CBrantSetupType() override;

    int GetLastError() override { return static_cast<int>(m_nLastErrId); }
    // Forgets the last error, so that an edit the sheet refuses without a message is not taken for one
    // that recorded the message of an earlier edit.
    void ClearLastError() { m_nLastErrId = 0; }
    void DoFileReadWrite(CArchive& archive, unsigned version) override;

    virtual int UploadData(CComSetupDialog* com) = 0;
    virtual int DownloadData(CComSetupDialog* com) = 0;
    // Resets the byte counter and returns the bytes the coming transfer moves (0 upload, 1 download).
    virtual unsigned long GetTotalTransBytes(int direction);

    void GetError(int& row, UINT& id) const;
    static void UpdateTransData(BYTE count);
    static unsigned long ReadProgressData();
    static void ResetTransData();

    // Value codings, public so that the device images and their tests share one implementation.
    static std::string GetFormatedString(WORD value, int divider, int sign);
    static int GetDevider(const std::string& text);
    static BOOL IsValidFloat(const std::string& text, float& out);
    static BOOL IsValidInt(const std::string& text, int& out);
    // The 3-byte number at `out` for a cell text; bits 0-2 and 5-6 of byte 2 are left alone. A text the unit
    // holds (Check3Bytes) is encoded exactly, with its own scale; any other text (only from a document
    // written before the check) as the nearest number the unit holds, never wrapped.
    static void Encode3Bytes(const std::string& text, BYTE* out);
    // 0 when the unit holds the text exactly as a 3-byte number; otherwise the id of the message that says
    // why not (no plain decimal number, a fourth decimal, too large for 16 bits at its scale).
    static UINT Check3Bytes(const std::string& text);
    static std::string Decode3Bytes(const BYTE* in);

    static constexpr int m_nInpTypes = 4;

    // Why the last block exchange of this setup type failed ("no answer (message 65, block 3)").
    const std::string& GetExchangeError() const { return m_strExchangeError; }
    // A stop asked for by the user ends the running transfer at the next block exchange.
    static void RequestStop(bool stop) { m_bStopTransfer.store(stop ? 1 : 0); }
    static bool IsStopRequested() { return m_bStopTransfer.load() != 0; }
    // Observer of every message sent and received (set before a transfer starts; not owned).
    static void SetTrace(ITransferTrace* trace) { m_pTrace.store(trace); }

    // Where a download notes what the unit holds for each cell it fills (not owned; null notes nothing).
    void SetCorrections(CDownloadCorrections* corrections) { m_pCorrections = corrections; }
    // True when cell (row, col) went back to its default only because its channel is switched off: what
    // the unit holds there does not count as corrected.
    virtual bool IsOffChannelCell(int row, int col) const;

    // Blocks the block loops move: one per section below the title row unless a sheet says otherwise.
    virtual int GetNumTransBlocks();

    // The sheet's device image, block by block, as every transfer and the backup of an upload use it. Blocks
    // are written with GetWriteCode and read with that code - 4. FillBlock puts the cells into `data`, which
    // holds what the unit holds: bytes the sheet does not map keep it. ApplyBlock takes a block as read from
    // the unit; EndApply runs once every block of the sheet was applied.
    virtual BR_ZEM_MSG GetWriteCode() const { return MSG_WRITE_GENERAL; }
    virtual void FillBlock(int block, BYTE* data) { (void)block, (void)data; }
    virtual void ApplyBlock(int block, BYTE* data) { (void)block, (void)data; }
    virtual void EndApply() {}

    // An upload that knows what the unit holds. ReadImage reads every block into `image` (32 bytes each);
    // WriteImage then writes, in order, the blocks whose image differs from `image` (every block when
    // `writeAll`), each read back and compared; a block the unit already holds was verified by the read.
    // Both return 1 when every exchange went through. CountDiffering tells how many blocks WriteImage
    // would write.
    using Block = std::array<BYTE, 32>;
    int ReadImage(CComSetupDialog* com, std::vector<Block>& image);
    int WriteImage(CComSetupDialog* com, const std::vector<Block>& image, bool writeAll);
    int CountDiffering(const std::vector<Block>& image);
    // Where a technician finds block `block` of this sheet: "Alarm 18 (A36)", "General, block 5".
    std::string GetBlockName(int block) const;

    // The one text of the value `text` gives cell (row, col): what a download of the unit's image gives back
    // for it (see model/CanonicalText.h). A text that is no value of the cell comes back unchanged.
    virtual std::string CanonicalText(int row, int col, const std::string& text) const;
    // Rewrites every value cell into its canonical text, without notices: a document of an older version
    // holds texts as they were typed.
    void CanonicalizeCells();
    // An input's characteristic parameter `parameter` (0 type, 1 unit, 2..6 InpLo, LCDLo, InpUp, LCDUp,
    // Misc.) in its canonical text: the physical inputs hold them, logical inputs and alarms copy them.
    static std::string CanonicalInputParameter(int parameter, const std::string& text);

protected:
    virtual void FileRead(CArchive& archive, unsigned version);
    virtual void FileWrite(CArchive& archive, unsigned version);

    BYTE GetInputType(int row, int col);
    void SetInputType(int row, int col, BYTE code);
    void Get3BytesParm(int row, BYTE* out, int col);
    void Set3ByteParm(int row, BYTE* in, int col);
    void Get3ByteInpParms(BYTE* out, int row, const int* cols, int count);
    void Set3ByteParms(BYTE* in, int row, const int* cols, int count);
    void GetLCDU(int row, int col, BYTE* out);
    void SetLCDU(int row, int col, BYTE* in);

    // Records the last error; shows it once per (row, id) when `show` is set. Error(row, 0, 0) clears it.
    void Error(int row, UINT id, BOOL show);

    // Cell (row, col) of this sheet or another one; null when absent.
    CBrChnData* GetCell(int row, int col) const;
    static CBrChnData* GetCellOf(SETUP_TYPE type, int row, int col);
    // Sends UpdateModify(own type, row, col, text) to every setup type in unit order.
    void NotifyAll(int row, int col, const std::string& text);
    // Deletes the data sheet with its sections and cells.
    void FreeDataSheet();
    // Makes sure the holder and an array of `sections` empty sections exist.
    void PrepareDataSheet(int sections);

    const INPUT_TYPE* FindInputType(const std::string& name) const;

    // During a download: the unit holds `unitValue` for cell (row, col).
    void NoteReceived(int row, int col, const std::string& unitValue);
    // What the unit holds when a code names no item of its list: "code 30".
    static std::string CodeText(unsigned code);

    // Reads block `block` with `code`; the data block, or null when the exchange failed.
    BYTE* DoDownload(BR_ZEM_MSG code, int block, CComSetupDialog* com);
    // Writes the data block, reads it back with `code` - 4 and compares; 1 on success.
    int DoUpload(BR_ZEM_MSG code, int block, CComSetupDialog* com);
    // A sheet's block loops, with the transfer state set while they run. Uploading, `fill` prepares the data
    // block of each block in turn (false ends the loop as a failure); downloading, `apply` takes each block
    // read. Both stop at the first failed exchange and return 0, or 1 when every block went through.
    int UploadBlocks(BR_ZEM_MSG code, int count, CComSetupDialog* com, const std::function<bool(int)>& fill);
    int DownloadBlocks(BR_ZEM_MSG code, int count, CComSetupDialog* com,
                       const std::function<void(int, BYTE*)>& apply);

    // Transfer buffers: one block exchange with the unit.
    BYTE m_WriteMsg[71] = {};
    BYTE m_ReadMsg[71] = {};
    BYTE m_DataBlock[32] = {};
    BYTE m_ReqMsg[7] = {};
    std::array<std::unique_ptr<INPUT_TYPE>, 8> m_pInpTypes;
    BYTE m_CmpBlock[32] = {};
    int m_nLastErrRow = 0;
    UINT m_nLastErrId = 0;

    std::string m_strExchangeError;
    CDownloadCorrections* m_pCorrections = nullptr;

    static unsigned long m_cbTrans;
    static std::mutex m_CritSec;

private:
    bool ExchangeFailed(const std::string& reason, BR_ZEM_MSG code, int block);
    // DoDownload; the read-back of a write ignores a stop, so that a stop ends a transfer between blocks.
    BYTE* ReadBlock(BR_ZEM_MSG code, int block, CComSetupDialog* com, bool honourStop);
    static void Trace(bool sent, const BYTE* data, int count);

    static std::atomic<int> m_bStopTransfer;
    static std::atomic<ITransferTrace*> m_pTrace;
};
