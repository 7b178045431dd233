// One block exchange with the unit: a read is a 7-byte request answered by a 71-byte data message; a write
// is a 71-byte data message followed by a read-back that must equal what was written.
#include "link/CComSetupDialog.h"
#include "link/ITransferTrace.h"
#include "link/TransferControl.h"
#include "link/TransferWaits.h"
#include "model/CBrantSetupType.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <sstream>
#include <thread>

namespace {
void Pause(int milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::string BlockName(BR_ZEM_MSG code, int block) {
    return "message " + std::to_string(static_cast<int>(code)) + ", block " + std::to_string(block);
}

// The row name with its padding taken out: "18  (A36)" reads "18 (A36)".
std::string SingleSpaced(const std::string& text) {
    std::istringstream words(text);
    std::string word, result;
    while (words >> word)
        result += (result.empty() ? "" : " ") + word;
    return result;
}

// The port's own reason for its failure.
std::string PortError(const CComSetupDialog& com) {
    return "port error: " + com.GetLastErrorText();
}

// Empty when the line needs no settling or has fallen quiet; else why the exchange cannot start.
std::string Settle(CComSetupDialog& com, bool honourStop) {
    if (!com.IsUnsettled()) return std::string();
    const auto stop = [honourStop] { return honourStop && CBrantSetupType::IsStopRequested(); };
    if (com.SettleLine(TransferWaits::QuietMs(), TransferWaits::SettleLimitMs(), stop)) return std::string();
    return stop() ? "stopped by the user"
                  : "the line did not fall quiet within " + std::to_string(TransferWaits::SettleLimitMs()) +
                        " ms";
}
// Where a technician finds the block: the row it carries ("Alarm 18 (A36)", "Physical Input IN 13"); the
// General constants have no row of their own per block ("General, block 5").
std::string WhereIs(const CBrantSetupType& setup, int block) {
    const CDataSheet* sheet = setup.GetDataSheet();
    const CBrChnData* name =
        setup.GetSetupType() == SETUP_GENERAL || !sheet || block + 1 >= sheet->GetNumSections()
            ? nullptr
            : sheet->GetCellChecked(block + 1, 0);
    if (!name) return setup.GetTitle() + ", block " + std::to_string(block + 1);
    return setup.GetTitle() + " " + SingleSpaced(name->GetDataAsString());
}

} // namespace

bool CBrantSetupType::ExchangeFailed(const std::string& reason, BR_ZEM_MSG code, int block) {
    m_strExchangeError = WhereIs(*this, block) + ": " + reason;
    TransferControl::NoteFailure(BlockName(code, block));
    return false;
}

BYTE* CBrantSetupType::DoDownload(BR_ZEM_MSG code, int block, CComSetupDialog* com) {
    return ReadBlock(code, block, com, true);
}

BYTE* CBrantSetupType::ReadBlock(BR_ZEM_MSG code, int block, CComSetupDialog* com, bool honourStop) {
    std::memset(m_ReqMsg, 0, sizeof m_ReqMsg);
    std::memset(m_ReadMsg, 0, sizeof m_ReadMsg);
    std::memset(m_DataBlock, 0, sizeof m_DataBlock);
    if (!com) return ExchangeFailed("no port", code, block), nullptr;
    // A pause holds the worker here, between two blocks, until the user has decided.
    if (honourStop && !TransferControl::Pass())
        return ExchangeFailed("stopped by the user", code, block), nullptr;
    const std::string unsettled = Settle(*com, honourStop);
    if (!unsettled.empty()) return ExchangeFailed(unsettled, code, block), nullptr;

    // Whatever is still waiting (the tail of a long or late answer) must not be taken for this answer.
    com->PurgePort(LYN_PURGE_RXABORT | LYN_PURGE_RXCLEAR);
    MakeReqMsg(code, static_cast<BYTE>(block), m_ReqMsg);
    const int sent = com->Write(m_ReqMsg, REQ_MSG_LEN);
    Trace(true, m_ReqMsg, sent > 0 ? sent : 0);
    if (sent > 0) UpdateTransData(static_cast<BYTE>(sent));
    // From here on a failure may leave an answer on its way.
    const auto failed = [&](const std::string& reason) {
        com->MarkUnsettled();
        ExchangeFailed(reason, code, block);
        return nullptr;
    };
    if (sent != REQ_MSG_LEN) return failed(PortError(*com));

    // One byte more than a message holds, so that a long answer is told from a good one.
    BYTE answer[DATA_MSG_LEN + 1] = {};
    int received = DATA_MSG_LEN + 1;
    com->ReadData(answer, received, TransferWaits::BlockWaitMs());
    Trace(false, answer, received);
    if (received == 0) return failed(com->IsPortLost() ? PortError(*com) : "no answer");
    if (received < DATA_MSG_LEN) return failed("short answer of " + std::to_string(received) + " bytes");
    if (received > DATA_MSG_LEN) return failed("long answer of more than 71 bytes");
    std::memcpy(m_ReadMsg, answer, DATA_MSG_LEN);

    BR_ZEM_MSG answerCode{};
    BYTE address = 0;
    if (!GetReadMsg(m_ReadMsg, answerCode, address, m_DataBlock)) return failed("wrong checksum");
    const std::string mismatch =
        AnswerMismatch(code, static_cast<BYTE>(block), static_cast<BYTE>(answerCode), address);
    if (!mismatch.empty()) {
        std::memset(m_DataBlock, 0, sizeof m_DataBlock);
        failed("the unit answered for another block");
        TransferControl::NoteFailure(BlockName(code, block) + ": " + mismatch); // the blocks, for a trace
        return nullptr;
    }
    UpdateTransData(DATA_MSG_LEN);
    return m_DataBlock;
}

int CBrantSetupType::DoUpload(BR_ZEM_MSG code, int block, CComSetupDialog* com) {
    std::memset(m_WriteMsg, 0, sizeof m_WriteMsg);
    std::memset(m_CmpBlock, 0, sizeof m_CmpBlock);
    if (!com) return ExchangeFailed("no port", code, block);
    if (!TransferControl::Pass()) return ExchangeFailed("stopped by the user", code, block);
    const std::string unsettled = Settle(*com, true);
    if (!unsettled.empty()) return ExchangeFailed(unsettled, code, block);

    MakeWriteMsg(code, static_cast<BYTE>(block), m_DataBlock, m_WriteMsg);
    std::memcpy(m_CmpBlock, m_DataBlock, sizeof m_CmpBlock);
    // A port that fails half-way through the message may have passed part of it: the unit may hold a
    // changed block, so it counts as written.
    if (com->IsPortOpen() && !com->IsPortLost()) TransferControl::NoteWriteSent(GetBlockName(block));
    const int sent = com->Write(m_WriteMsg, DATA_MSG_LEN);
    Trace(true, m_WriteMsg, sent > 0 ? sent : 0);
    if (sent < DATA_MSG_LEN) {
        com->MarkUnsettled();
        return ExchangeFailed(PortError(*com), code, block);
    }
    UpdateTransData(DATA_MSG_LEN);
    Pause(TransferWaits::BlockWaitMs());

    // A stop asked for meanwhile waits for the read-back: a block the unit has taken is always verified.
    if (!ReadBlock(static_cast<BR_ZEM_MSG>(code - 4), block, com, false)) return 0;
    if (std::memcmp(m_DataBlock, m_CmpBlock, sizeof m_CmpBlock) != 0)
        return ExchangeFailed("read-back differs from what was written", code, block);
    Pause(TransferWaits::BlockWaitMs());
    return 1;
}

std::string CBrantSetupType::GetBlockName(int block) const {
    return WhereIs(*this, block);
}

int CBrantSetupType::ReadImage(CComSetupDialog* com, std::vector<Block>& image) {
    const auto code = static_cast<BR_ZEM_MSG>(GetWriteCode() - 4);
    image.assign(static_cast<std::size_t>(std::max(0, GetNumTransBlocks())), Block{});
    m_nTransState = 0;
    int ok = 1;
    for (std::size_t block = 0; block < image.size() && ok; ++block) {
        const BYTE* data = DoDownload(code, static_cast<int>(block), com);
        ok = data != nullptr;
        if (ok) std::memcpy(image[block].data(), data, image[block].size());
    }
    m_nTransState = -1;
    return ok;
}

int CBrantSetupType::CountDiffering(const std::vector<Block>& image) {
    int differing = 0;
    for (std::size_t block = 0; block < image.size(); ++block) {
        Block filled = image[block];
        FillBlock(static_cast<int>(block), filled.data());
        differing += filled != image[block];
    }
    return differing;
}

int CBrantSetupType::WriteImage(CComSetupDialog* com, const std::vector<Block>& image, bool writeAll) {
    m_nTransState = 0;
    int ok = 1;
    for (std::size_t block = 0; block < image.size() && ok; ++block) {
        // Bytes the sheet does not map keep what the unit holds, so they never make a block differ.
        std::memcpy(m_DataBlock, image[block].data(), sizeof m_DataBlock);
        FillBlock(static_cast<int>(block), m_DataBlock);
        if (!writeAll && std::memcmp(m_DataBlock, image[block].data(), sizeof m_DataBlock) == 0) continue;
        ok = DoUpload(GetWriteCode(), static_cast<int>(block), com);
    }
    m_nTransState = -1;
    return ok;
}

std::atomic<int> CBrantSetupType::m_bStopTransfer{0};
std::atomic<ITransferTrace*> CBrantSetupType::m_pTrace{nullptr};

void CBrantSetupType::Trace(bool sent, const BYTE* data, int count) {
    if (ITransferTrace* trace = m_pTrace.load()) trace->OnMessage(sent, data, count);
}

int CBrantSetupType::UploadBlocks(BR_ZEM_MSG code, int count, CComSetupDialog* com,
                                  const std::function<bool(int)>& fill) {
    m_nTransState = 0;
    int ok = 1;
    for (int block = 0; block < count && ok; ++block)
        ok = fill(block) && DoUpload(code, block, com);
    m_nTransState = -1;
    return ok;
}

int CBrantSetupType::DownloadBlocks(BR_ZEM_MSG code, int count, CComSetupDialog* com,
                                    const std::function<void(int, BYTE*)>& apply) {
    m_nTransState = 1;
    int ok = 1;
    for (int block = 0; block < count && ok; ++block) {
        BYTE* data = DoDownload(code, block, com);
        ok = data != nullptr;
        if (ok) apply(block, data);
    }
    m_nTransState = -1;
    return ok;
}
