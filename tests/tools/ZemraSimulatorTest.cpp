#include "tools/zemra-sim/CZemraSimulator.h"

#include "ZemraSimulatorTestHelpers.h"

#include <gtest/gtest.h>

#include <random>

using namespace zemsim_test;

namespace {

// Decodes the data of an answer by hand, independent of the framing code under test elsewhere.
CZemraMemory::Block DataOf(const Bytes& answer) {
    CZemraMemory::Block block{};
    for (int i = 0; i < 32; ++i)
        block[i] =
            static_cast<std::uint8_t>((answer.at(6 + 2 * i) - 0x30) << 4 | (answer.at(7 + 2 * i) - 0x30));
    return block;
}

CZemraMemory::Block Bytes32(std::initializer_list<int> head) {
    CZemraMemory::Block block{};
    int i = 0;
    for (int b : head)
        block[i++] = static_cast<std::uint8_t>(b);
    return block;
}

class ZemraSimulatorTest : public ::testing::Test {
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

TEST_F(ZemraSimulatorTest, FactoryMemoryMatchesANewConfiguration) {
    CZemraMemory::Block expected = Bytes32({0x30, 0x00, 0x00, 0x20, 0x1E, 0x00, 0x18, 0x0E, 0x00});
    for (int i = 9; i < 19; ++i)
        expected[i] = 0x20;
    EXPECT_EQ(*sim.Memory().Get(ZemBank::Alarm, 0), expected);
    EXPECT_EQ(*sim.Memory().Get(ZemBank::Alarm, 47), expected);
    // Inputs are off with blank units.
    const CZemraMemory::Block& physical = *sim.Memory().Get(ZemBank::Input, 23);
    EXPECT_EQ(physical[0], 0);
    EXPECT_EQ(physical[16], 0);
    EXPECT_EQ(physical[28], 0x20);
    EXPECT_EQ(physical[31], 0x20);
    const CZemraMemory::Block& logical = *sim.Memory().Get(ZemBank::Input, 24);
    for (int i = 16; i < 28; ++i)
        EXPECT_EQ(logical[i], 48) << "reference " << i - 16;
    EXPECT_EQ(logical[28], 0x20);
    // The general constants match a new configuration.
    const CZemraMemory::Block& block0 = *sim.Memory().Get(ZemBank::General, 0);
    EXPECT_EQ(block0[8], 1);                       // protocol MODBUS
    EXPECT_EQ(block0[12], 1);                      // device number
    EXPECT_EQ(block0[20] | block0[21] << 8, 9600); // RS 232 baud rate
    EXPECT_EQ(block0[24] | block0[25] << 8, 9600); // RS 485 baud rate
    EXPECT_EQ(*sim.Memory().Get(ZemBank::General, 7), CZemraMemory::Block{});
}

TEST_F(ZemraSimulatorTest, AnswersGeneralBlock3ByteForByte) {
    Bytes expected = {0x23, 0x42, 0x30, 0x33, 0x34, 0x35};
    expected.insert(expected.end(), 64, 0x30);
    expected.push_back(0x24);
    EXPECT_EQ(AnswerTo(Text("#B0345$")), expected);
    EXPECT_EQ(sim.RequestCount(), 1u);
}

TEST_F(ZemraSimulatorTest, SkipsEverythingBeforeTheStartMark) {
    const Bytes answer = AnswerTo(Concat(Text("   \r\n\xFF$0"), Request(MSG_READ_ALARM, 3)));
    ASSERT_EQ(answer.size(), 71u);
    EXPECT_EQ(answer[1], 'A');
    EXPECT_EQ(answer[3], '3');
}

TEST_F(ZemraSimulatorTest, RequestSplitOverSeveralReads) {
    const Bytes request = Request(MSG_READ_PHINP, 7);
    EXPECT_TRUE(sim.Feed(Bytes(request.begin(), request.begin() + 3)).empty());
    EXPECT_TRUE(sim.Feed(Bytes(request.begin() + 3, request.end() - 1)).empty());
    EXPECT_EQ(AnswerTo(Bytes(request.end() - 1, request.end())).size(), 71u);
}

TEST_F(ZemraSimulatorTest, LogicalBlocksAnswerAtTheirInputAddress) {
    const Bytes answer = AnswerTo(Request(MSG_READ_LOGINP, 2));
    ASSERT_EQ(answer.size(), 71u);
    EXPECT_EQ(answer[1], 0x40);
    EXPECT_EQ(answer[2], '1');
    EXPECT_EQ(answer[3], ':'); // 26
    EXPECT_EQ(DataOf(answer), *sim.Memory().Get(ZemBank::Input, 26));
}

TEST_F(ZemraSimulatorTest, AnswerChecksumCoversCodeAddressAndData) {
    sim.Memory().Put(ZemBank::Alarm, 9, Pattern(3));
    const Bytes answer = AnswerTo(Request(MSG_READ_ALARM, 9));
    unsigned sum = 0x41 + 9;
    for (std::uint8_t b : Pattern(3))
        sum += b;
    EXPECT_EQ(((answer[4] & 0x0F) << 4 | (answer[5] & 0x0F)), static_cast<int>(sum & 0xFF));
    EXPECT_EQ(answer[70], 0x24);
}

TEST_F(ZemraSimulatorTest, WrittenBlocksReadBackEqual) {
    for (BR_ZEM_MSG code : {MSG_WRITE_GENERAL, MSG_WRITE_PHINP, MSG_WRITE_LOGINP, MSG_WRITE_ALARM}) {
        const Bytes write = Write(code, 5, Pattern(code));
        EXPECT_TRUE(sim.Feed(write).empty()) << "a write gets no answer";
        const BR_ZEM_MSG read = static_cast<BR_ZEM_MSG>(code - 4);
        EXPECT_EQ(DataOf(AnswerTo(Request(read, 5))), Pattern(code)) << "code " << code;
    }
    EXPECT_EQ(sim.StoreCount(), 4u);
    EXPECT_EQ(*sim.Memory().Get(ZemBank::Input, 29), Pattern(MSG_WRITE_LOGINP));
}

TEST_F(ZemraSimulatorTest, WriteAndRequestInOneChunk) {
    const Bytes both = Concat(Write(MSG_WRITE_ALARM, 1, Pattern(1)), Request(MSG_READ_ALARM, 1));
    EXPECT_EQ(DataOf(AnswerTo(both)), Pattern(1));
}

TEST_F(ZemraSimulatorTest, BlocksTheUnitDoesNotHaveGetNoAnswer) {
    EXPECT_TRUE(sim.Feed(Request(MSG_READ_GENERAL, 8)).empty());
    EXPECT_TRUE(sim.Feed(Request(MSG_READ_ALARM, 48)).empty());
    EXPECT_TRUE(sim.Feed(Request(MSG_READ_PHINP, 32)).empty());
    const CZemraMemory before = sim.Memory();
    EXPECT_TRUE(sim.Feed(Write(MSG_WRITE_ALARM, 200, Pattern(2))).empty());
    EXPECT_EQ(sim.Memory(), before);
    EXPECT_EQ(sim.StoreCount(), 0u);
}

TEST_F(ZemraSimulatorTest, MalformedRequestsAreIgnored) {
    EXPECT_TRUE(sim.Feed(Text("#B0346$")).empty()); // wrong checksum
    EXPECT_TRUE(sim.Feed(Text("#B0345%")).empty()); // wrong end mark
    EXPECT_TRUE(sim.Feed(Text("#B0C4F$")).empty()); // letters instead of nibble characters
    EXPECT_TRUE(sim.Feed(Text("#Z0345$")).empty()); // unknown code
    EXPECT_EQ(sim.RejectCount(), 4u);
    // The unit is still listening afterwards.
    EXPECT_EQ(AnswerTo(Text("#B0345$")).size(), 71u);
    // A start mark inside a message starts over.
    EXPECT_EQ(AnswerTo(Text("#B03#B0345$")).size(), 71u);
    EXPECT_EQ(sim.RejectCount(), 5u);
}

TEST_F(ZemraSimulatorTest, WriteWithWrongChecksumIsNotStored) {
    Bytes write = Write(MSG_WRITE_ALARM, 2, Pattern(7));
    write[40] ^= 0x01;
    const CZemraMemory before = sim.Memory();
    EXPECT_TRUE(sim.Feed(write).empty());
    EXPECT_EQ(sim.Memory(), before);
}

TEST_F(ZemraSimulatorTest, NoAnswerFaultFiresItsCountThenHeals) {
    sim.Faults().Add({ZemBank::Alarm, 5, 5, ZemFaultKind::NoAnswer, 2});
    EXPECT_TRUE(sim.Feed(Request(MSG_READ_ALARM, 5)).empty());
    EXPECT_EQ(AnswerTo(Request(MSG_READ_ALARM, 6)).size(), 71u) << "other blocks are not hit";
    EXPECT_TRUE(sim.Feed(Request(MSG_READ_ALARM, 5)).empty());
    EXPECT_EQ(AnswerTo(Request(MSG_READ_ALARM, 5)).size(), 71u);
}

TEST_F(ZemraSimulatorTest, ShortAnswerLacksTheEndMark) {
    const Bytes good = AnswerTo(Request(MSG_READ_GENERAL, 1));
    sim.Faults().Add({ZemBank::General, 1, 1, ZemFaultKind::ShortAnswer, 1});
    const Bytes answer = AnswerTo(Request(MSG_READ_GENERAL, 1));
    ASSERT_EQ(answer.size(), 70u);
    EXPECT_EQ(answer, Bytes(good.begin(), good.end() - 1));
}

TEST_F(ZemraSimulatorTest, LongAnswerCarriesOneExtraByte) {
    sim.Faults().Add({ZemBank::General, 1, 1, ZemFaultKind::LongAnswer, 1});
    const Bytes answer = AnswerTo(Request(MSG_READ_GENERAL, 1));
    ASSERT_EQ(answer.size(), 72u);
    BR_ZEM_MSG code;
    BYTE address;
    CZemraMemory::Block data;
    EXPECT_EQ(CZemProtocol::GetReadMsg(answer.data(), code, address, data.data()), 1);
}

TEST_F(ZemraSimulatorTest, ChecksumFaultKeepsTheDataButFailsTheCheck) {
    sim.Memory().Put(ZemBank::Input, 3, Pattern(4));
    sim.Faults().Add({ZemBank::Input, 3, 3, ZemFaultKind::BadChecksum, -1});
    for (int round = 0; round < 3; ++round) {
        const Bytes answer = AnswerTo(Request(MSG_READ_PHINP, 3));
        BR_ZEM_MSG code;
        BYTE address;
        CZemraMemory::Block data;
        EXPECT_EQ(CZemProtocol::GetReadMsg(answer.data(), code, address, data.data()), 0);
        EXPECT_EQ(data, Pattern(4));
    }
}

TEST_F(ZemraSimulatorTest, LateAnswerIsDelayed) {
    sim.SetAnswerDelayMs(5);
    sim.SetLateDelayMs(450);
    sim.Faults().Add({ZemBank::Alarm, 0, 0, ZemFaultKind::LateAnswer, 1});
    std::vector<ZemReply> replies = sim.Feed(Request(MSG_READ_ALARM, 0));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].delayMs, 450);
    EXPECT_EQ(replies[0].bytes.size(), 71u);
    replies = sim.Feed(Request(MSG_READ_ALARM, 0));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].delayMs, 5);
}

TEST_F(ZemraSimulatorTest, FlipStoresOneBitChanged) {
    sim.Faults().Add({ZemBank::Alarm, 4, 4, ZemFaultKind::FlipBit, 1});
    sim.Feed(Write(MSG_WRITE_ALARM, 4, Pattern(9)));
    const CZemraMemory::Block stored = DataOf(AnswerTo(Request(MSG_READ_ALARM, 4)));
    int bitsChanged = 0;
    for (int i = 0; i < 32; ++i)
        bitsChanged += __builtin_popcount(stored[i] ^ Pattern(9)[i]);
    EXPECT_EQ(bitsChanged, 1);
    // The count is used up: writing again stores the block as sent.
    sim.Feed(Write(MSG_WRITE_ALARM, 4, Pattern(9)));
    EXPECT_EQ(DataOf(AnswerTo(Request(MSG_READ_ALARM, 4))), Pattern(9));
}

TEST_F(ZemraSimulatorTest, NoStoreKeepsTheOldBlock) {
    sim.Faults().Add({ZemBank::General, 0, 7, ZemFaultKind::NoStore, -1});
    const CZemraMemory::Block before = *sim.Memory().Get(ZemBank::General, 2);
    sim.Feed(Write(MSG_WRITE_GENERAL, 2, Pattern(5)));
    EXPECT_EQ(DataOf(AnswerTo(Request(MSG_READ_GENERAL, 2))), before);
    EXPECT_EQ(sim.StoreCount(), 0u);
}

TEST_F(ZemraSimulatorTest, StoreFaultsDoNotTouchAnswersAndViceVersa) {
    sim.Faults().Add({ZemBank::Alarm, 0, 47, ZemFaultKind::FlipBit, -1});
    EXPECT_EQ(AnswerTo(Request(MSG_READ_ALARM, 0)), AnswerTo(Request(MSG_READ_ALARM, 0)));
    sim.Faults().Clear();
    sim.Faults().Add({ZemBank::Alarm, 0, 47, ZemFaultKind::NoAnswer, -1});
    sim.Feed(Write(MSG_WRITE_ALARM, 0, Pattern(1)));
    EXPECT_EQ(*sim.Memory().Get(ZemBank::Alarm, 0), Pattern(1));
}

TEST_F(ZemraSimulatorTest, TraceNamesRequestsFaultsAndNoise) {
    std::vector<std::string> lines;
    sim.SetTrace([&](const std::string& line) { lines.push_back(line); });
    sim.Faults().Add({ZemBank::Input, 26, 26, ZemFaultKind::BadChecksum, 1});
    sim.Feed(Concat(Text("   "), Request(MSG_READ_LOGINP, 2)));
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    EXPECT_NE(all.find("skipped    "), std::string::npos) << all;
    EXPECT_NE(all.find("request #@1:5:$"), std::string::npos) << all;
    EXPECT_NE(all.find("fault checksum on logical/2"), std::string::npos) << all;
    EXPECT_NE(all.find("answer logical/2 #@1:"), std::string::npos) << all;
}

TEST_F(ZemraSimulatorTest, ResetFramingDropsAHalfMessage) {
    sim.Feed(Text("#B03"));
    sim.ResetFraming();
    EXPECT_TRUE(sim.Feed(Text("45$")).empty());
}

TEST_F(ZemraSimulatorTest, PrintableEscapesControlBytes) {
    const Bytes bytes = {'#', 0x00, 'A', 0xFF};
    EXPECT_EQ(CZemraSimulator::Printable(bytes.data(), bytes.size()), "#\\x00A\\xFF");
}

TEST_F(ZemraSimulatorTest, RandomNoiseNeverYieldsABadAnswer) {
    std::mt19937 rng(4711);
    // Noise made mostly of wire characters, so that real-looking messages occur now and then.
    const std::string alphabet = "#$@ABDEF0123456789:;<=>?#$ \r\n";
    for (int round = 0; round < 200; ++round) {
        Bytes noise(1 + rng() % 300);
        for (std::uint8_t& b : noise)
            b = rng() % 4 ? alphabet[rng() % alphabet.size()] : static_cast<std::uint8_t>(rng());
        for (const ZemReply& reply : sim.Feed(noise)) {
            ASSERT_EQ(reply.bytes.size(), 71u);
            BR_ZEM_MSG code;
            BYTE address;
            CZemraMemory::Block data;
            EXPECT_EQ(CZemProtocol::GetReadMsg(reply.bytes.data(), code, address, data.data()), 1);
        }
    }
    // Whatever the noise stored, the unit still answers a clean request.
    sim.ResetFraming();
    EXPECT_EQ(AnswerTo(Request(MSG_READ_ALARM, 0)).size(), 71u);
}
