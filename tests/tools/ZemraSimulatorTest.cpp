// The simulated Zemra-30 that the transfer tests talk to, without its terminal: what it answers and stores,
// byte for byte. Its faults and its terminal are exercised by every transfer test (tests/link).
#include "model/CZemProtocol.h"
#include "tools/zemra-sim/CZemraSimulator.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Block = CZemraMemory::Block;

Bytes Request(BR_ZEM_MSG code, int address) {
    Bytes msg(CZemProtocol::REQ_MSG_LEN);
    CZemProtocol::MakeReqMsg(code, static_cast<BYTE>(address), msg.data());
    return msg;
}

Bytes Write(BR_ZEM_MSG code, int address, const Block& data) {
    Bytes msg(CZemProtocol::DATA_MSG_LEN);
    CZemProtocol::MakeWriteMsg(code, static_cast<BYTE>(address), data.data(), msg.data());
    return msg;
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A block whose every byte differs from its neighbours, so misplaced bytes show.
Block Pattern(int seed) {
    Block block;
    for (int i = 0; i < CZemraMemory::BLOCK_LEN; ++i)
        block[i] = static_cast<std::uint8_t>(seed * 31 + i * 7 + 1);
    return block;
}

// Decodes the data of an answer by hand, independent of the framing code.
Block DataOf(const Bytes& answer) {
    Block block{};
    for (int i = 0; i < 32; ++i)
        block[i] =
            static_cast<std::uint8_t>((answer.at(6 + 2 * i) - 0x30) << 4 | (answer.at(7 + 2 * i) - 0x30));
    return block;
}

bool ChecksumOk(const Bytes& answer) {
    if (answer.size() < 71) return false;
    BR_ZEM_MSG code;
    BYTE address;
    Block data;
    return CZemProtocol::GetReadMsg(answer.data(), code, address, data.data()) == 1;
}

class ZemraSimulator : public ::testing::Test {
protected:
    // The one answer to `input`; fails the test when there is not exactly one.
    Bytes AnswerTo(const Bytes& input) {
        const std::vector<ZemReply> replies = sim.Feed(input);
        EXPECT_EQ(replies.size(), 1u);
        return replies.empty() ? Bytes() : replies.front().bytes;
    }
    CZemraSimulator sim;
};

} // namespace

TEST_F(ZemraSimulator, AnswersRequestsByteForByteAndStoresWrites) {
    Bytes general3 = Text("#B0345");
    general3.insert(general3.end(), 64, '0');
    general3.push_back('$');
    EXPECT_EQ(AnswerTo(Text("#B0345$")), general3) << "general block 3 of the factory memory is zero";
    EXPECT_EQ(AnswerTo(Text("  \r\n\xFF$0#B03#B0345$")), general3) << "noise and a broken start are skipped";
    EXPECT_TRUE(sim.Feed(Text("#B03")).empty());
    EXPECT_EQ(AnswerTo(Text("45$")), general3) << "a request split over two reads";

    const Bytes logical2 = AnswerTo(Request(MSG_READ_LOGINP, 2));
    EXPECT_EQ(Bytes(logical2.begin(), logical2.begin() + 4), Text("#@1:")) << "at input address 26";
    EXPECT_EQ(DataOf(logical2), *sim.Memory().Get(ZemBank::Input, 26));

    for (BR_ZEM_MSG code : {MSG_WRITE_GENERAL, MSG_WRITE_PHINP, MSG_WRITE_LOGINP, MSG_WRITE_ALARM}) {
        EXPECT_TRUE(sim.Feed(Write(code, 5, Pattern(code))).empty()) << "a write gets no answer";
        const Bytes answer = AnswerTo(Request(static_cast<BR_ZEM_MSG>(code - 4), 5));
        EXPECT_EQ(DataOf(answer), Pattern(code)) << "code " << code;
        EXPECT_TRUE(ChecksumOk(answer));
    }
    EXPECT_EQ(*sim.Memory().Get(ZemBank::Input, 29), Pattern(MSG_WRITE_LOGINP));
    EXPECT_EQ(sim.StoreCount(), 4u);

    // Blocks the unit does not have, and malformed messages, are ignored as line noise.
    const CZemraMemory before = sim.Memory();
    Bytes badWrite = Write(MSG_WRITE_ALARM, 2, Pattern(7));
    badWrite[40] ^= 0x01;
    for (const Bytes& ignored :
         {Request(MSG_READ_GENERAL, 8), Request(MSG_READ_ALARM, 48), Request(MSG_READ_PHINP, 32),
          Write(MSG_WRITE_ALARM, 200, Pattern(2)), badWrite, Text("#B0346$"), Text("#B0345%"),
          Text("#B0C4F$"), Text("#Z0345$")})
        EXPECT_TRUE(sim.Feed(ignored).empty());
    EXPECT_EQ(sim.Memory(), before);
    EXPECT_EQ(sim.StoreCount(), 4u);
}

TEST_F(ZemraSimulator, RandomNoiseNeverYieldsABadAnswer) {
    std::mt19937 rng(4711);
    // Noise made mostly of wire characters, so that real-looking messages occur now and then.
    const std::string alphabet = "#$@ABDEF0123456789:;<=>?#$ \r\n";
    for (int round = 0; round < 200; ++round) {
        Bytes noise(1 + rng() % 300);
        for (std::uint8_t& b : noise)
            b = rng() % 4 ? alphabet[rng() % alphabet.size()] : static_cast<std::uint8_t>(rng());
        for (const ZemReply& reply : sim.Feed(noise)) {
            ASSERT_EQ(reply.bytes.size(), 71u);
            EXPECT_TRUE(ChecksumOk(reply.bytes));
        }
    }
    sim.ResetFraming();
    EXPECT_EQ(AnswerTo(Request(MSG_READ_ALARM, 0)).size(), 71u) << "the unit still answers a clean request";
}
