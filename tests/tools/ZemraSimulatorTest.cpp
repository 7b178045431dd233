// The simulated Zemra-30 that the transfer tests talk to: what it answers, how each fault bends an answer or
// a stored block, its memory file, its command line and its terminal. A mistake here would let a transfer
// test pass for the wrong reason.
#include "model/CZemProtocol.h"
#include "tools/zemra-sim/CPseudoTerminal.h"
#include "tools/zemra-sim/CZemraSimOptions.h"
#include "tools/zemra-sim/CZemraSimServer.h"
#include "tools/zemra-sim/CZemraSimulator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <random>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

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

TEST(ZemraSimulatorFaults, TextsNameBlocksAsTheProgramNumbersThem) {
    const struct {
        const char* text;
        ZemBank bank;
        int first, last;
        ZemFaultKind kind;
        int count;
    } good[] = {{"general/7:noanswer", ZemBank::General, 7, 7, ZemFaultKind::NoAnswer, -1},
                {"logical/2:checksum:3", ZemBank::Input, 26, 26, ZemFaultKind::BadChecksum, 3},
                {"physical/23:flip:1", ZemBank::Input, 23, 23, ZemFaultKind::FlipBit, 1},
                {"physical/*:short", ZemBank::Input, 0, 23, ZemFaultKind::ShortAnswer, -1},
                {"logical/*:late", ZemBank::Input, 24, 31, ZemFaultKind::LateAnswer, -1},
                {"alarm/47:long", ZemBank::Alarm, 47, 47, ZemFaultKind::LongAnswer, -1},
                {"alarm/0:nostore", ZemBank::Alarm, 0, 0, ZemFaultKind::NoStore, -1},
                {"alarm/0:other", ZemBank::Alarm, 0, 0, ZemFaultKind::OtherBlock, -1}};
    for (const auto& g : good) {
        ZemFault f;
        std::string error;
        ASSERT_EQ(CZemraFaultTable::Parse(g.text, f, error), 1) << g.text << ": " << error;
        EXPECT_TRUE(f.bank == g.bank && f.first == g.first && f.last == g.last && f.kind == g.kind &&
                    f.remaining == g.count)
            << g.text;
    }
    EXPECT_EQ(CZemraFaultTable::BlockName(ZemBank::Input, 5), "physical/5");
    EXPECT_EQ(CZemraFaultTable::BlockName(ZemBank::Input, 30), "logical/6");
    const std::pair<const char*, const char*> bad[] = {
        {"alarm5:noanswer", "BLOCK:KIND"},   {"relay/1:noanswer", "unknown block kind"},
        {"alarm/48:noanswer", "0..47"},      {"logical/8:noanswer", "0..7"},
        {"physical/-1:noanswer", "0..23"},   {"general/99999999999:late", "0..7"},
        {"alarm/1:explode", "unknown kind"}, {"alarm/1:late:0", "count"},
        {"alarm/1:late:", "count"}};
    for (const auto& [text, reason] : bad) {
        ZemFault f;
        std::string error;
        EXPECT_EQ(CZemraFaultTable::Parse(text, f, error), 0) << text;
        EXPECT_NE(error.find(reason), std::string::npos) << text << ": " << error;
    }
}

TEST(ZemraSimulatorFaults, RandomFaultsRepeatWithTheirSeedAndKeepToTheirClass) {
    const auto draw = [](unsigned seed, int perMille) {
        CZemraFaultTable table;
        table.SetRandom(seed, perMille);
        std::string drawn;
        for (int i = 0; i < 400; ++i) {
            ZemFaultKind kind{};
            const bool store = i % 2 == 1;
            if (!(store ? table.TakeStoreFault(ZemBank::Alarm, 0, kind)
                        : table.TakeAnswerFault(ZemBank::Alarm, 0, kind))) {
                drawn += '.';
                continue;
            }
            EXPECT_EQ(CZemraFaultTable::IsStoreFault(kind), store) << CZemraFaultTable::KindName(kind);
            drawn += static_cast<char>('0' + static_cast<int>(kind));
        }
        const int late = table.LateDelayMs(12);
        EXPECT_TRUE(late >= 1 && late <= 12) << late;
        return drawn;
    };
    EXPECT_EQ(draw(5, 100), draw(5, 100));
    EXPECT_NE(draw(5, 100), draw(6, 100));
    EXPECT_EQ(draw(5, 0), std::string(400, '.'));
    EXPECT_EQ(draw(5, 1000).find('.'), std::string::npos) << "every message misbehaves at 1000 in 1000";
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

TEST(ZemraSimulatorMemory, TextAndFileKeepEveryBlockAndBadLinesChangeNothing) {
    CZemraMemory memory;
    memory.Put(ZemBank::General, 3, Pattern(1));
    memory.Put(ZemBank::Input, 30, Pattern(2));
    memory.Put(ZemBank::Alarm, 47, Pattern(3));
    CZemraMemory copy;
    std::string error;
    ASSERT_EQ(copy.FromText(memory.ToText(), error), 1) << error;
    EXPECT_EQ(copy, memory);
    const std::string path = TempPath("memory.txt");
    ASSERT_EQ(memory.Save(path, error), 1) << error;
    CZemraMemory loaded;
    ASSERT_EQ(loaded.Load(path, error), 1) << error;
    EXPECT_EQ(loaded, memory);
    EXPECT_NE(access((path + ".tmp").c_str(), F_OK), 0) << "no temporary file left behind";
    std::remove(path.c_str());
    EXPECT_EQ(loaded.Load(TempPath("does-not-exist"), error), 0);
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
    EXPECT_EQ(memory.Save(TempPath("no-such-dir") + "/memory.txt", error), 0);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;

    const std::string hex(64, '0');
    const std::string good = "# a comment\n\ngeneral 0 " + std::string(64, '1') + "\r\n";
    const std::pair<std::string, std::string> bad[] = {{"relay 0 " + hex, "unknown bank"},
                                                       {"alarm 48 " + hex, "no block"},
                                                       {"input -1 " + hex, "no block"},
                                                       {"input 99999999999 " + hex, "no block"},
                                                       {"alarm 1 " + hex.substr(2), "64 hex digits"},
                                                       {"alarm 1 " + std::string(64, 'g'), "not a hex digit"},
                                                       {"alarm 1", "expected"},
                                                       {"alarm 1 " + hex + " extra", "unexpected text"}};
    for (const auto& [line, reason] : bad) {
        CZemraMemory fresh;
        EXPECT_EQ(fresh.FromText(good + line + "\n", error), 0) << line;
        EXPECT_NE(error.find("line 4"), std::string::npos) << error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_EQ(fresh, CZemraMemory()) << "the good line before must not be applied either";
    }
    CZemraMemory one;
    ASSERT_EQ(one.FromText(good, error), 1) << error;
    Block ones;
    ones.fill(0x11);
    CZemraMemory expected;
    expected.Put(ZemBank::General, 0, ones);
    EXPECT_EQ(one, expected) << "blocks not named keep their contents";
}

TEST(ZemraSimulatorOptions, CommandLinesAreTakenOrRefused) {
    const char* argv[] = {"zemra-sim", "--link",       "/tmp/zemra", "--memory",          "m.txt",
                          "--fault",   "alarm/1:late", "--fault",    "general/0:short:2", "--late-ms",
                          "250",       "--answer-ms",  "20",         "--trace",           "--random-faults",
                          "25",        "--seed",       "7"};
    CZemraSimOptions options;
    std::string error;
    ASSERT_EQ(options.Parse(static_cast<int>(std::size(argv)), argv, error), 1) << error;
    EXPECT_EQ(options.linkPath, "/tmp/zemra");
    EXPECT_EQ(options.memoryPath, "m.txt");
    ASSERT_EQ(options.faults.size(), 2u);
    EXPECT_EQ(options.faults[1].remaining, 2);
    EXPECT_EQ(options.lateDelayMs, 250);
    EXPECT_EQ(options.answerDelayMs, 20);
    EXPECT_TRUE(options.trace);
    EXPECT_EQ(options.randomPerMille, 25);
    EXPECT_EQ(options.seed, 7u);

    const std::vector<std::vector<const char*>> bad = {{"zemra-sim", "--link"},
                                                       {"zemra-sim", "--memory", ""},
                                                       {"zemra-sim", "--fault", "alarm/99:late"},
                                                       {"zemra-sim", "--late-ms", "-5"},
                                                       {"zemra-sim", "--answer-ms", "60001"},
                                                       {"zemra-sim", "--bogus"},
                                                       {"zemra-sim", "--random-faults", "1001"},
                                                       {"zemra-sim", "--seed", "x"}};
    for (const auto& line : bad) {
        CZemraSimOptions refused;
        EXPECT_EQ(refused.Parse(static_cast<int>(line.size()), line.data(), error), 0) << line.back();
    }
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
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u) << "raw";
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
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
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(pty.SlavePath(), target);
    pty.RemoveLink();
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0);
    std::ofstream(link) << "keep me";
    EXPECT_EQ(pty.PlaceLink(link, error), 0);
    EXPECT_NE(error.find("not a symlink"), std::string::npos) << error;
    std::ifstream in(link);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "keep me");
    std::remove(link.c_str());
}
