#include "model/CZemProtocol.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes Request(BR_ZEM_MSG code, BYTE address) {
    Bytes out(CZemProtocol::REQ_MSG_LEN, 0xEE);
    CZemProtocol::MakeReqMsg(code, address, out.data());
    return out;
}

Bytes DataMessage(BR_ZEM_MSG code, BYTE address, const std::array<BYTE, 32>& data) {
    Bytes out(CZemProtocol::DATA_MSG_LEN, 0xEE);
    EXPECT_EQ(CZemProtocol::MakeWriteMsg(code, address, data.data(), out.data()), 1);
    return out;
}

// "#" code, two address characters, two checksum characters, then `fill` for all 64 data characters, "$".
Bytes ZeroAnswer(BYTE code, BYTE addrHi, BYTE addrLo, BYTE sumHi, BYTE sumLo) {
    Bytes msg = {0x23, code, addrHi, addrLo, sumHi, sumLo};
    msg.insert(msg.end(), 64, 0x30);
    msg.push_back(0x24);
    return msg;
}

// Exposes the protected checksum helper.
class ProtocolProbe : public CZemProtocol {
public:
    static BYTE CheckSum(BR_ZEM_MSG code, BYTE address, const BYTE* data) {
        return CalCheckSum(code, address, data);
    }
};

} // namespace

TEST(ZemProtocolRequest, WireForm) {
    const struct {
        BR_ZEM_MSG code;
        BYTE address;
        const char* wire;
        const char* why;
    } cases[] = {
        {MSG_READ_GENERAL, 3, "#B0345$", "general block 3"},
        {MSG_READ_LOGINP, 2, "#@1:5:$", "logical block 2 travels as physical address 26"},
        {MSG_READ_ALARM, 47, "#A2?70$", "':' to '?' stand for ten to fifteen"},
        {MSG_READ_PHINP, 10, "#@0:4:$", "address ten"},
        {MSG_READ_PHINP, 255, "#@??3?$", "address 255; the checksum wraps"},
        {MSG_READ_LOGINP, 240, "#@0848$", "240 + 24 wraps to 8"},
        {MSG_WRITE_LOGINP, 1,
         "#\x97"
         "0198$",
         "only the read alias is mapped in a request"},
    };
    for (const auto& c : cases) {
        const Bytes wire(c.wire, c.wire + 7);
        EXPECT_EQ(Request(c.code, c.address), wire) << c.why;
    }
}

TEST(ZemProtocolDataMessage, PhysicalBlock5) {
    std::array<BYTE, 32> data{};
    data[0] = 0x7D;
    data[2] = 0x08;
    Bytes expected = {0x23, 0x44, 0x30, 0x35, 0x3C, 0x3E, 0x37, 0x3D, 0x30, 0x30, 0x30, 0x38};
    expected.insert(expected.end(), 58, 0x30);
    expected.push_back(0x24);
    ASSERT_EQ(expected.size(), 71u);
    EXPECT_EQ(DataMessage(MSG_WRITE_PHINP, 5, data), expected);
}

TEST(ZemProtocolDataMessage, LogicalWriteTravelsAsPhysicalAddressPlus24) {
    std::array<BYTE, 32> data{};
    data[31] = 0xAB;
    const Bytes msg = DataMessage(MSG_WRITE_LOGINP, 6, data);
    EXPECT_EQ(msg[1], 0x44);
    EXPECT_EQ(msg[2], '1'); // address 30 = 0x1E
    EXPECT_EQ(msg[3], '>');
    // 0x44 + 0x1E + 0xAB = 0x10D -> 0x0D
    EXPECT_EQ(msg[4], '0');
    EXPECT_EQ(msg[5], '=');
    EXPECT_EQ(msg[68], ':');
    EXPECT_EQ(msg[69], ';');
    EXPECT_EQ(msg[70], 0x24);
}

TEST(ZemProtocolDataMessage, ReadAliasIsNotMappedInADataMessage) {
    const std::array<BYTE, 32> data{};
    const Bytes msg = DataMessage(MSG_READ_LOGINP, 0, data);
    EXPECT_EQ(msg[1], 0x93);
    EXPECT_EQ(msg[3], '0');
}

TEST(ZemProtocolDataMessage, NullBuffersAreRefused) {
    Bytes out(71, 0xEE);
    EXPECT_EQ(CZemProtocol::MakeWriteMsg(MSG_WRITE_ALARM, 0, nullptr, out.data()), 0);
    EXPECT_EQ(out, Bytes(71, 0xEE));
}

TEST(ZemProtocolRead, ZeroAnswerForGeneralBlock3) {
    const Bytes msg = ZeroAnswer(0x42, '0', '3', '4', '5');
    ASSERT_EQ(msg.size(), 71u);
    BR_ZEM_MSG code = MSG_READ_ALARM;
    BYTE address = 0xFF;
    std::array<BYTE, 32> data;
    data.fill(0xEE);
    EXPECT_EQ(CZemProtocol::GetReadMsg(msg.data(), code, address, data.data()), 1);
    EXPECT_EQ(code, 0x42);
    EXPECT_EQ(address, 3);
    EXPECT_EQ(data, (std::array<BYTE, 32>{}));
}

TEST(ZemProtocolRead, ChangedLastCharacterFailsButStillDecodes) {
    Bytes msg = ZeroAnswer(0x42, '0', '3', '4', '5');
    msg[69] = 0x31;
    BR_ZEM_MSG code;
    BYTE address;
    std::array<BYTE, 32> data{};
    EXPECT_EQ(CZemProtocol::GetReadMsg(msg.data(), code, address, data.data()), 0);
    EXPECT_EQ(data[31], 1);
}

TEST(ZemProtocolRead, RoundTripOfEveryByteValue) {
    for (int first = 0; first < 256; first += 32) {
        std::array<BYTE, 32> data;
        for (int i = 0; i < 32; ++i)
            data[i] = static_cast<BYTE>(first + i);
        const Bytes msg = DataMessage(MSG_WRITE_ALARM, static_cast<BYTE>(first + 1), data);
        for (int i = 2; i < 70; ++i)
            EXPECT_TRUE(msg[i] >= 0x30 && msg[i] <= 0x3F) << "offset " << i;
        BR_ZEM_MSG code;
        BYTE address;
        std::array<BYTE, 32> back{};
        EXPECT_EQ(CZemProtocol::GetReadMsg(msg.data(), code, address, back.data()), 1);
        EXPECT_EQ(code, MSG_WRITE_ALARM);
        EXPECT_EQ(address, first + 1);
        EXPECT_EQ(back, data);
    }
}

TEST(ZemProtocolRead, LettersAToFDecodeByTheirLowBitsAndFailTheChecksum) {
    std::array<BYTE, 32> data{};
    data[0] = 0xAB;
    Bytes msg = DataMessage(MSG_READ_ALARM, 0, data);
    msg[6] = 'A';
    msg[7] = 'B';
    BR_ZEM_MSG code;
    BYTE address;
    EXPECT_EQ(CZemProtocol::GetReadMsg(msg.data(), code, address, data.data()), 0);
    EXPECT_EQ(data[0], 0x12);
}

TEST(ZemProtocolRead, OtherCodeAndAddressWithCorrectChecksumIsAccepted) {
    // Decoding does not tie an answer to its request: a good alarm block 9 passes where general 3 was asked
    // for. The comparison with the request is a step of its own.
    const std::array<BYTE, 32> data{};
    const Bytes msg = DataMessage(MSG_READ_ALARM, 9, data);
    BR_ZEM_MSG code;
    BYTE address;
    std::array<BYTE, 32> back{};
    EXPECT_EQ(CZemProtocol::GetReadMsg(msg.data(), code, address, back.data()), 1);
    EXPECT_EQ(code, MSG_READ_ALARM);
    EXPECT_EQ(address, 9);
}

TEST(ZemProtocolAnswer, MustCarryTheRequestedCodeAndBlock) {
    const struct {
        BR_ZEM_MSG asked;
        BYTE block;
        BYTE answerCode;
        BYTE answerAddress;
        const char* mismatch;
    } cases[] = {
        {MSG_READ_GENERAL, 3, 0x42, 3, ""},
        {MSG_READ_GENERAL, 3, 0x42, 2, "answer for block 2 while block 3 was asked"},
        {MSG_READ_GENERAL, 3, 0x41, 3, "answer with message 65 while message 66 was asked"},
        {MSG_READ_LOGINP, 2, 0x40, 26, ""},
        {MSG_READ_LOGINP, 2, 0x40, 27, "answer for block 3 while block 2 was asked"},
        {MSG_READ_LOGINP, 2, 0x40, 2, "answer for address 2 while block 2 was asked"},
        {MSG_READ_PHINP, 23, 0x40, 24, "answer for block 24 while block 23 was asked"},
        {MSG_READ_ALARM, 47, 0x45, 47, "answer with message 69 while message 65 was asked"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CZemProtocol::AnswerMismatch(c.asked, c.block, c.answerCode, c.answerAddress), c.mismatch)
            << c.asked << " " << int{c.block} << " answered by " << int{c.answerCode} << " "
            << int{c.answerAddress};
}

TEST(ZemProtocolRead, StartAndEndMarksAreNotExamined) {
    Bytes msg = ZeroAnswer(0x42, '0', '3', '4', '5');
    msg[0] = 0x00;
    msg[70] = 0xFF;
    BR_ZEM_MSG code;
    BYTE address;
    std::array<BYTE, 32> data{};
    EXPECT_EQ(CZemProtocol::GetReadMsg(msg.data(), code, address, data.data()), 1);
}

TEST(ZemProtocolRead, GarbageNeverWritesOutsideTheBlock) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        Bytes msg(71);
        for (BYTE& b : msg)
            b = static_cast<BYTE>(byte(rng));
        // Guard bytes around the 32-byte block catch any overrun.
        std::array<BYTE, 40> buffer;
        buffer.fill(0xA5);
        BR_ZEM_MSG code;
        BYTE address;
        const int ok = CZemProtocol::GetReadMsg(msg.data(), code, address, buffer.data() + 4);
        EXPECT_TRUE(ok == 0 || ok == 1);
        EXPECT_EQ(code, msg[1]);
        for (int i : {0, 1, 2, 3, 36, 37, 38, 39})
            ASSERT_EQ(buffer[i], 0xA5);
    }
}

TEST(ZemProtocolRead, NullBuffersFailWithoutWriting) {
    const Bytes msg = ZeroAnswer(0x42, '0', '3', '4', '5');
    BR_ZEM_MSG code = MSG_READ_ALARM;
    BYTE address = 7;
    std::array<BYTE, 32> data{};
    EXPECT_EQ(CZemProtocol::GetReadMsg(nullptr, code, address, data.data()), 0);
    EXPECT_EQ(CZemProtocol::GetReadMsg(msg.data(), code, address, nullptr), 0);
    EXPECT_EQ(code, MSG_READ_ALARM);
    EXPECT_EQ(address, 7);
}

TEST(ZemProtocolCompare, ComparesOnlyTheFirstSixteenDataBytes) {
    std::array<BYTE, 32> data{};
    const Bytes a = DataMessage(MSG_WRITE_ALARM, 0, data);
    Bytes b = a;
    b[1] = 0x41;  // code
    b[5] = '?';   // checksum
    b[38] = '1';  // data byte 16
    b[70] = 0x00; // end mark
    EXPECT_EQ(CZemProtocol::CmpRWData(a.data(), b.data()), 1);
    b[37] = '1'; // data byte 15
    EXPECT_EQ(CZemProtocol::CmpRWData(a.data(), b.data()), 0);
    b = a;
    b[6] = '1'; // data byte 0
    EXPECT_EQ(CZemProtocol::CmpRWData(a.data(), b.data()), 0);
    EXPECT_EQ(CZemProtocol::CmpRWData(a.data(), nullptr), 0);
}

TEST(ZemProtocolCheckSum, RequestCodesLeaveTheDataOut) {
    std::array<BYTE, 32> data;
    data.fill(1);
    EXPECT_EQ(ProtocolProbe::CheckSum(MSG_READ_GENERAL, 3, data.data()), 0x45);
    EXPECT_EQ(ProtocolProbe::CheckSum(MSG_READ_ALARM, 0x2F, nullptr), 0x70);
}

TEST(ZemProtocolCheckSum, WriteCodesAddTheData) {
    std::array<BYTE, 32> data{};
    data[0] = 0x7D;
    data[2] = 0x08;
    EXPECT_EQ(ProtocolProbe::CheckSum(MSG_WRITE_PHINP, 5, data.data()), 0xCE);
    EXPECT_EQ(ProtocolProbe::CheckSum(MSG_WRITE_PHINP, 5, nullptr), 0x49);
}

TEST(ZemProtocolCheckSum, HistoricalAliasesMoveTheAddress) {
    std::array<BYTE, 32> data{};
    data[0] = 0x10;
    // 67 -> 64 at address + 24, no data; 71 -> 68 at address + 24, with data; 75 -> 72.
    EXPECT_EQ(ProtocolProbe::CheckSum(static_cast<BR_ZEM_MSG>(67), 2, data.data()), 0x40 + 26);
    EXPECT_EQ(ProtocolProbe::CheckSum(static_cast<BR_ZEM_MSG>(71), 2, data.data()), 0x44 + 26 + 0x10);
    EXPECT_EQ(ProtocolProbe::CheckSum(static_cast<BR_ZEM_MSG>(75), 240, data.data()),
              (0x48 + 8 + 0x10) & 0xFF);
}

TEST(ZemProtocolCheckSum, AgreesWithTheBuiltMessages) {
    std::array<BYTE, 32> data;
    for (int i = 0; i < 32; ++i)
        data[i] = static_cast<BYTE>(i * 37);
    const Bytes msg = DataMessage(MSG_WRITE_GENERAL, 6, data);
    const BYTE sum = ProtocolProbe::CheckSum(MSG_WRITE_GENERAL, 6, data.data());
    EXPECT_EQ(msg[4], CZemProtocol::NibbleChar(sum >> 4));
    EXPECT_EQ(msg[5], CZemProtocol::NibbleChar(sum));
}
