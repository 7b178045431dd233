#include "link/CZemProtocol.h"

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

TEST(ZemProtocolRequest, GeneralBlock3) {
    EXPECT_EQ(Request(MSG_READ_GENERAL, 3), (Bytes{0x23, 0x42, 0x30, 0x33, 0x34, 0x35, 0x24}));
}

TEST(ZemProtocolRequest, LogicalBlock2TravelsAsPhysicalAddress26) {
    EXPECT_EQ(Request(MSG_READ_LOGINP, 2), (Bytes{0x23, 0x40, 0x31, 0x3A, 0x35, 0x3A, 0x24}));
}

TEST(ZemProtocolRequest, AlarmBlock47UsesColonToQuestionMarkForTenToFifteen) {
    EXPECT_EQ(Request(MSG_READ_ALARM, 47), (Bytes{0x23, 0x41, 0x32, 0x3F, 0x37, 0x30, 0x24}));
}

TEST(ZemProtocolRequest, AddressTenAndAddress255) {
    const Bytes ten = Request(MSG_READ_PHINP, 10);
    EXPECT_EQ(ten[2], '0');
    EXPECT_EQ(ten[3], ':');
    const Bytes top = Request(MSG_READ_PHINP, 255);
    EXPECT_EQ(top[2], '?');
    EXPECT_EQ(top[3], '?');
    // 0x40 + 0xFF wraps to 0x3F.
    EXPECT_EQ(top[4], '3');
    EXPECT_EQ(top[5], '?');
}

TEST(ZemProtocolRequest, LogicalAliasAddressWrapsModulo256) {
    // 240 + 24 = 264 goes out as 8; checksum 0x40 + 0x08.
    EXPECT_EQ(Request(MSG_READ_LOGINP, 240), (Bytes{0x23, 0x40, 0x30, 0x38, 0x34, 0x38, 0x24}));
}

TEST(ZemProtocolRequest, WriteAliasIsNotMappedInARequest) {
    // Only the read alias becomes a physical-input request; 151 goes out as its own byte 0x97.
    EXPECT_EQ(Request(MSG_WRITE_LOGINP, 1), (Bytes{0x23, 0x97, 0x30, 0x31, 0x39, 0x38, 0x24}));
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
    // Nothing ties an answer to its request: a good alarm block 9 passes where general 3 was asked for.
    const std::array<BYTE, 32> data{};
    const Bytes msg = DataMessage(MSG_READ_ALARM, 9, data);
    BR_ZEM_MSG code;
    BYTE address;
    std::array<BYTE, 32> back{};
    EXPECT_EQ(CZemProtocol::GetReadMsg(msg.data(), code, address, back.data()), 1);
    EXPECT_EQ(code, MSG_READ_ALARM);
    EXPECT_EQ(address, 9);
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
