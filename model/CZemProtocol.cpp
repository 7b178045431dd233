#include "model/CZemProtocol.h"

#include <cstring>

namespace {

constexpr int OFS_CODE = 1;
constexpr int OFS_ADDRESS = 2;
constexpr int OFS_CHECKSUM = 4;
constexpr int OFS_DATA = 6;

void PutByte(BYTE value, BYTE* out) {
    out[0] = CZemProtocol::NibbleChar(value >> 4);
    out[1] = CZemProtocol::NibbleChar(value);
}

BYTE GetByte(const BYTE* in) {
    return static_cast<BYTE>((CZemProtocol::NibbleValue(in[0]) << 4) | CZemProtocol::NibbleValue(in[1]));
}

BYTE SumOf(const BYTE* data) {
    unsigned sum = 0;
    for (int i = 0; i < CZemProtocol::BLOCK_LEN; ++i)
        sum += data[i];
    return static_cast<BYTE>(sum);
}

// Head shared by both message kinds: start mark, code, address and checksum.
void PutHead(BYTE code, BYTE address, BYTE checksum, BYTE* out) {
    out[0] = CZemProtocol::MSG_START;
    out[OFS_CODE] = code;
    PutByte(address, out + OFS_ADDRESS);
    PutByte(checksum, out + OFS_CHECKSUM);
}

} // namespace

void CZemProtocol::WireCodeAndAddress(BR_ZEM_MSG code, BYTE address, BYTE& wireCode, BYTE& wireAddress) {
    wireCode = static_cast<BYTE>(code);
    wireAddress = address;
    if (code == MSG_READ_LOGINP || code == MSG_WRITE_LOGINP) {
        wireCode = static_cast<BYTE>(code == MSG_READ_LOGINP ? MSG_READ_PHINP : MSG_WRITE_PHINP);
        wireAddress = static_cast<BYTE>(address + LOGINP_ADDRESS_OFFSET);
    }
}

void CZemProtocol::MakeReqMsg(BR_ZEM_MSG code, BYTE address, BYTE* out) {
    if (!out) return;
    // Only the read alias is mapped in a request, only the write alias in a data message.
    BYTE wireCode = static_cast<BYTE>(code);
    if (code == MSG_READ_LOGINP) WireCodeAndAddress(code, address, wireCode, address);
    PutHead(wireCode, address, static_cast<BYTE>(wireCode + address), out);
    out[REQ_MSG_LEN - 1] = MSG_END;
}

int CZemProtocol::MakeWriteMsg(BR_ZEM_MSG code, BYTE address, const BYTE* data, BYTE* out) {
    if (!data || !out) return 0;
    BYTE wireCode = static_cast<BYTE>(code);
    if (code == MSG_WRITE_LOGINP) WireCodeAndAddress(code, address, wireCode, address);
    PutHead(wireCode, address, static_cast<BYTE>(wireCode + address + SumOf(data)), out);
    for (int i = 0; i < BLOCK_LEN; ++i)
        PutByte(data[i], out + OFS_DATA + 2 * i);
    out[DATA_MSG_LEN - 1] = MSG_END;
    return 1;
}

int CZemProtocol::GetReadMsg(const BYTE* msg, BR_ZEM_MSG& code, BYTE& address, BYTE* data) {
    if (!msg || !data) return 0;
    code = static_cast<BR_ZEM_MSG>(msg[OFS_CODE]);
    address = GetByte(msg + OFS_ADDRESS);
    const BYTE checksum = GetByte(msg + OFS_CHECKSUM);
    for (int i = 0; i < BLOCK_LEN; ++i)
        data[i] = GetByte(msg + OFS_DATA + 2 * i);
    const BYTE expected = static_cast<BYTE>(msg[OFS_CODE] + address + SumOf(data));
    return expected == checksum ? 1 : 0;
}

std::string CZemProtocol::AnswerMismatch(BR_ZEM_MSG code, BYTE address, BYTE answerCode, BYTE answerAddress) {
    BYTE wireCode = 0;
    BYTE wireAddress = 0;
    WireCodeAndAddress(code, address, wireCode, wireAddress);
    if (answerCode != wireCode)
        return "answer with message " + std::to_string(answerCode) + " while message " +
               std::to_string(wireCode) + " was asked";
    if (answerAddress == wireAddress) return std::string();
    // Named as the request names its blocks: logical inputs count from their first address.
    const bool logical = code == MSG_READ_LOGINP || code == MSG_WRITE_LOGINP;
    const int offset = logical ? LOGINP_ADDRESS_OFFSET : 0;
    const std::string answered = answerAddress >= offset ? "block " + std::to_string(answerAddress - offset)
                                                         : "address " + std::to_string(answerAddress);
    return "answer for " + answered + " while block " + std::to_string(address) + " was asked";
}

int CZemProtocol::CmpRWData(const BYTE* a, const BYTE* b) {
    if (!a || !b) return 0;
    constexpr int HALF_BLOCK_CHARS = BLOCK_LEN; // 16 data bytes, two characters each
    return std::memcmp(a + OFS_DATA, b + OFS_DATA, HALF_BLOCK_CHARS) == 0 ? 1 : 0;
}

BYTE CZemProtocol::CalCheckSum(BR_ZEM_MSG code, BYTE address, const BYTE* data) {
    int wireCode = code;
    if (wireCode == 67 || wireCode == 71 || wireCode == 75) {
        wireCode -= 3;
        address = static_cast<BYTE>(address + LOGINP_ADDRESS_OFFSET);
    }
    unsigned sum = static_cast<unsigned>(wireCode) + address;
    if (wireCode >= MSG_WRITE_PHINP && data) sum += SumOf(data);
    return static_cast<BYTE>(sum);
}
