#pragma once

#include <cstdint>
#include <string>

using BYTE = std::uint8_t;

// Message codes of the unit. The code travels as one byte; the two logical-input codes are aliases that go on
// the wire as the physical-input codes with the block address moved up by 24.
enum BR_ZEM_MSG : int {
    MSG_READ_PHINP = 64,    // '@'
    MSG_READ_ALARM = 65,    // 'A'
    MSG_READ_GENERAL = 66,  // 'B'
    MSG_WRITE_PHINP = 68,   // 'D'
    MSG_WRITE_ALARM = 69,   // 'E'
    MSG_WRITE_GENERAL = 70, // 'F'
    MSG_READ_LOGINP = 147,  // '@' at address + 24
    MSG_WRITE_LOGINP = 151, // 'D' at address + 24
};

// Framing of the messages exchanged with the unit over RS-232. Every setup type derives from it; it holds no
// state, so every operation is a pure function over caller-owned buffers.
//
// Request (7 bytes):       '#' code addr-hi addr-lo sum-hi sum-lo '$'
// Data message (71 bytes): '#' code addr-hi addr-lo sum-hi sum-lo 64 data characters '$'
// Every address, checksum and data byte is two nibble characters, high nibble first, nibble n as 0x30 + n.
class CZemProtocol {
public:
    static constexpr int REQ_MSG_LEN = 7;
    static constexpr int DATA_MSG_LEN = 71;
    static constexpr int BLOCK_LEN = 32;
    static constexpr BYTE MSG_START = 0x23; // '#'
    static constexpr BYTE MSG_END = 0x24;   // '$'
    // Logical-input blocks sit behind the 24 physical-input blocks.
    static constexpr int LOGINP_ADDRESS_OFFSET = 24;

    CZemProtocol() = default;
    virtual ~CZemProtocol() = default;

    // Writes the 7-byte request for `code` and `address` into `out`.
    static void MakeReqMsg(BR_ZEM_MSG code, BYTE address, BYTE* out);
    // Writes the 71-byte data message carrying the 32 bytes at `data` into `out`. Returns 1.
    static int MakeWriteMsg(BR_ZEM_MSG code, BYTE address, const BYTE* data, BYTE* out);
    // Decodes a received 71-byte data message. The code comes back as received (no alias mapping); the data
    // are decoded whatever the checksum says. Returns 1 when the checksum matches, 0 otherwise.
    static int GetReadMsg(const BYTE* msg, BR_ZEM_MSG& code, BYTE& address, BYTE* data);
    // The code byte and address that a message for `code` and `address` carries on the wire: the
    // logical-input codes go as the physical-input codes at address + 24 (modulo 256), every other code as
    // itself.
    static void WireCodeAndAddress(BR_ZEM_MSG code, BYTE address, BYTE& wireCode, BYTE& wireAddress);
    // Why a received data message with a good checksum is not the answer to the request for `code` and
    // `address` ("answer for block 2 while block 3 was asked"); empty when it is. A late answer to an
    // earlier request is well formed, so only its code and address tell it apart.
    static std::string AnswerMismatch(BR_ZEM_MSG code, BYTE address, BYTE answerCode, BYTE answerAddress);
    // 1 when the characters of the first 16 data bytes (message bytes 6 to 37) of two messages are equal.
    static int CmpRWData(const BYTE* a, const BYTE* b);

    // Wire character of a nibble (only the low 4 bits of `nibble` count), and the nibble of a character.
    static BYTE NibbleChar(int nibble) { return static_cast<BYTE>(0x30 + (nibble & 0x0F)); }
    static int NibbleValue(BYTE ch) { return ch & 0x0F; }

protected:
    // Checksum of a message of `code`, with the historical aliases 67, 71 and 75 mapped to 64, 68 and 72 at
    // address + 24; the data count only for codes 68 and up. `data` may be null for a request.
    static BYTE CalCheckSum(BR_ZEM_MSG code, BYTE address, const BYTE* data);
};
