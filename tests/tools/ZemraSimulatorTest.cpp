// The simulated Zemra-30 that the transfer tests talk to: what it answers, how each fault bends an answer or
// a stored block, and its terminal. A mistake here would let a transfer test pass for the wrong reason.
#include "model/CZemProtocol.h"
#include "tools/zemra-sim/CPseudoTerminal.h"
#include "tools/zemra-sim/CZemraSimServer.h"
#include "tools/zemra-sim/CZemraSimulator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <random>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
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

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "zemra_" + std::to_string(getpid()) + "_" + name;
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

TEST_F(ZemraSimulator, EachFaultBendsItsBlockAsManyTimesAsCounted) {
    sim.Memory().Put(ZemBank::Alarm, 3, Pattern(4));
    const Bytes good = AnswerTo(Request(MSG_READ_ALARM, 3));
    sim.SetLateDelayMs(450);
    const struct {
        ZemFaultKind kind;
        std::size_t size; // of the answer, 0 for none
        bool checksumOk;
    } answerFaults[] = {{ZemFaultKind::NoAnswer, 0, false},   {ZemFaultKind::ShortAnswer, 70, false},
                        {ZemFaultKind::LongAnswer, 72, true}, {ZemFaultKind::BadChecksum, 71, false},
                        {ZemFaultKind::LateAnswer, 71, true}, {ZemFaultKind::OtherBlock, 71, true}};
    for (const auto& f : answerFaults) {
        SCOPED_TRACE(CZemraFaultTable::KindName(f.kind));
        sim.Faults().Add({ZemBank::Alarm, 3, 3, f.kind, 2});
        for (int round = 0; round < 2; ++round) {
            EXPECT_TRUE(ChecksumOk(AnswerTo(Request(MSG_READ_ALARM, 4)))) << "other blocks are not hit";
            const std::vector<ZemReply> replies = sim.Feed(Request(MSG_READ_ALARM, 3));
            ASSERT_EQ(replies.size(), f.size ? 1u : 0u);
            if (!f.size) continue;
            const Bytes& answer = replies[0].bytes;
            EXPECT_EQ(answer.size(), f.size);
            EXPECT_EQ(ChecksumOk(answer), f.checksumOk);
            EXPECT_EQ(replies[0].delayMs, f.kind == ZemFaultKind::LateAnswer ? 450 : 0);
            EXPECT_EQ(DataOf(answer) == Pattern(4), f.kind != ZemFaultKind::OtherBlock);
            EXPECT_EQ(answer[3], f.kind == ZemFaultKind::OtherBlock ? '4' : '3');
        }
        EXPECT_EQ(AnswerTo(Request(MSG_READ_ALARM, 3)), good) << "the count is used up";
    }

    sim.Faults().Add({ZemBank::Alarm, 5, 5, ZemFaultKind::FlipBit, 1});
    sim.Faults().Add({ZemBank::Alarm, 6, 6, ZemFaultKind::NoStore, 1});
    const Block old6 = *sim.Memory().Get(ZemBank::Alarm, 6);
    for (int round = 0; round < 2; ++round) {
        sim.Feed(Write(MSG_WRITE_ALARM, 5, Pattern(9)));
        sim.Feed(Write(MSG_WRITE_ALARM, 6, Pattern(9)));
        Block flipped = Pattern(9);
        flipped[0] ^= 0x01;
        EXPECT_EQ(DataOf(AnswerTo(Request(MSG_READ_ALARM, 5))), round ? Pattern(9) : flipped);
        EXPECT_EQ(DataOf(AnswerTo(Request(MSG_READ_ALARM, 6))), round ? Pattern(9) : old6);
    }
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

// The server on a fresh pseudo-terminal, with the test as the programmer on its slave side.
TEST(ZemraSimulatorServer, ServesOverARawTerminalAndKeepsTheMemoryFile) {
    CZemraSimulator sim;
    CPseudoTerminal pty;
    std::string error;
    ASSERT_EQ(pty.Open(error), 1) << error;
    CZemraSimServer server(sim, pty.MasterFd());
    const std::string path = TempPath("served.txt");
    server.SetMemoryPath(path);
    int result = -1;
    std::thread worker([&] { result = server.Run(error); });
    const auto exchange = [&](const Bytes& out, std::size_t count) {
        const int port = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        EXPECT_EQ(tcgetattr(port, &tio), 0);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u) << "raw: no echo of the request";
        EXPECT_EQ(write(port, out.data(), out.size()), static_cast<ssize_t>(out.size()));
        Bytes got;
        std::uint8_t buffer[256];
        for (pollfd p{port, POLLIN, 0}; got.size() < count && poll(&p, 1, 5000) > 0;) {
            const ssize_t n = read(port, buffer, std::min(sizeof buffer, count - got.size()));
            if (n <= 0) break;
            got.insert(got.end(), buffer, buffer + n);
        }
        close(port); // the next programmer is served as well
        return got;
    };
    Bytes both = Write(MSG_WRITE_LOGINP, 3, Pattern(6));
    const Bytes request = Request(MSG_READ_LOGINP, 3);
    both.insert(both.end(), request.begin(), request.end());
    EXPECT_EQ(DataOf(exchange(both, 71)), Pattern(6));
    // A late answer still comes, after the next one.
    sim.SetLateDelayMs(50);
    sim.Faults().Add({ZemBank::General, 0, 0, ZemFaultKind::LateAnswer, 1});
    Bytes requests = Request(MSG_READ_GENERAL, 0);
    const Bytes general1 = Request(MSG_READ_GENERAL, 1);
    requests.insert(requests.end(), general1.begin(), general1.end());
    const Bytes answers = exchange(requests, 142);
    ASSERT_EQ(answers.size(), 142u);
    EXPECT_EQ(answers[3], '1');
    EXPECT_EQ(answers[71 + 3], '0');
    server.Stop();
    worker.join();
    EXPECT_EQ(result, 1) << error;
    CZemraMemory saved;
    ASSERT_EQ(saved.Load(path, error), 1) << error;
    EXPECT_EQ(*saved.Get(ZemBank::Input, 27), Pattern(6));
    std::remove(path.c_str());

    // A stale link of a simulator that died is replaced; a real file never is.
    const std::string link = TempPath("link");
    std::remove(link.c_str());
    ASSERT_EQ(symlink("/nonexistent", link.c_str()), 0);
    ASSERT_EQ(pty.PlaceLink(link, error), 1) << error;
    EXPECT_EQ(fs::read_symlink(link).string(), pty.SlavePath());
    pty.RemoveLink();
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    std::ofstream(link) << "keep me";
    EXPECT_EQ(pty.PlaceLink(link, error), 0);
    EXPECT_NE(error.find("not a symlink"), std::string::npos) << error;
    EXPECT_EQ(fs::file_size(link), 7u);
    fs::remove(link);
}
