#include "model/CZemProtocol.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;
using Block = std::array<BYTE, 32>;

Bytes Wire(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// The data part of a message written out here: two characters '0'..'?' a byte, high nibble first.
std::string DataChars(const Block& data) {
    std::string chars;
    for (BYTE b : data)
        chars += {static_cast<char>(0x30 + (b >> 4)), static_cast<char>(0x30 + (b & 0x0F))};
    return chars;
}

} // namespace

TEST(ZemProtocol, MessagesCarryTheirWireBytes) {
    Block pattern;
    for (int i = 0; i < 32; ++i)
        pattern[i] = static_cast<BYTE>(i * 37);
    // clang-format off
    // The changed bytes of a zero block (none for a request), and '#', code, address and checksum.
    const struct {
        BR_ZEM_MSG code; BYTE address; std::vector<std::pair<int, BYTE>> data; const char* head, *why;
    } cases[] = {
        {MSG_READ_GENERAL, 3, {}, "#B0345", "general block 3"},
        {MSG_READ_LOGINP, 2, {}, "#@1:5:", "logical block 2 travels as physical address 26"},
        {MSG_READ_ALARM, 47, {}, "#A2?70", "':' to '?' stand for ten to fifteen"},
        {MSG_READ_PHINP, 255, {}, "#@??3?", "address 255; the checksum wraps"},
        {MSG_READ_LOGINP, 240, {}, "#@0848", "240 + 24 wraps to 8"},
        {MSG_WRITE_LOGINP, 1, {}, "#\x97" "0198", "only the read alias is mapped in a request"},
        {MSG_WRITE_PHINP, 5, {{0, 0x7D}, {2, 0x08}}, "#D05<>", "the data is in the checksum"},
        {MSG_WRITE_LOGINP, 6, {{31, 0xAB}}, "#D1>0=", "logical block 6 written at physical address 30"},
        {MSG_READ_LOGINP, 0, {{0, 0}}, "#\x93" "0093", "the read alias is not mapped in a data message"},
        {MSG_WRITE_GENERAL, 6, {{-1, 0}}, "#F06?<", "a block of varied bytes"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        if (c.data.empty()) {
            Bytes out(CZemProtocol::REQ_MSG_LEN, 0xEE);
            CZemProtocol::MakeReqMsg(c.code, c.address, out.data());
            EXPECT_EQ(out, Wire(std::string(c.head) + "$"));
            continue;
        }
        Block data{};
        for (const auto& [at, value] : c.data) {
            if (at < 0)
                data = pattern;
            else
                data[at] = value;
        }
        Bytes out(CZemProtocol::DATA_MSG_LEN, 0xEE);
        EXPECT_EQ(CZemProtocol::MakeWriteMsg(c.code, c.address, data.data(), out.data()), 1);
        EXPECT_EQ(out, Wire(c.head + DataChars(data) + "$"));
    }
}

TEST(ZemProtocol, ReadAnswersAreCheckedButDecodedEvenWhenWrong) {
    const std::string zeros(64, '0');
    // clang-format off
    const struct { std::string wire; int ok; BYTE address, data0, data31; } cases[] = {
        {"#B0345" + zeros + "$", 1, 3, 0, 0},
        {"#B0345" + zeros.substr(0, 63) + "1$", 0, 3, 0, 1},      // last data character changed
        {"#A0000AB" + zeros.substr(2) + "$", 0, 0, 0x12, 0},     // letters decode by their low bits
        {std::string("\0B0345", 6) + zeros + "\xFF", 1, 3, 0, 0}, // start and end marks are not examined
        {"#A0945" + zeros + "$", 0, 9, 0, 0},                     // checksum of code 0x41 + 9 is 0x4A
        {"#A094:" + zeros + "$", 1, 9, 0, 0},                     // another block than asked still decodes
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wire);
        BR_ZEM_MSG code = MSG_WRITE_ALARM;
        BYTE address = 0xFF;
        Block data;
        data.fill(0xEE);
        EXPECT_EQ(CZemProtocol::GetReadMsg(Wire(c.wire).data(), code, address, data.data()), c.ok);
        EXPECT_EQ(code, static_cast<BYTE>(c.wire[1]));
        EXPECT_EQ(address, c.address);
        EXPECT_EQ(data[0], c.data0);
        EXPECT_EQ(data[31], c.data31);
    }
    BR_ZEM_MSG code = MSG_READ_ALARM;
    BYTE address = 7;
    EXPECT_EQ(CZemProtocol::GetReadMsg(Wire("#B0345" + zeros + "$").data(), code, address, nullptr), 0);
    EXPECT_EQ(address, 7) << "a refused read writes nothing";
}

TEST(ZemProtocol, GarbageNeverWritesOutsideTheBlock) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 2000; ++round) {
        Bytes msg(71);
        for (BYTE& b : msg)
            b = static_cast<BYTE>(rng());
        std::array<BYTE, 40> buffer; // guard bytes around the 32-byte block catch any overrun
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

TEST(ZemProtocol, AnswerMustCarryTheRequestedCodeAndBlock) {
    // clang-format off
    const struct {
        BR_ZEM_MSG asked; BYTE block, answerCode, answerAddress; const char* mismatch;
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
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(CZemProtocol::AnswerMismatch(c.asked, c.block, c.answerCode, c.answerAddress), c.mismatch)
            << c.asked << " " << int{c.block} << " answered by " << int{c.answerCode} << " "
            << int{c.answerAddress};
}
