#include "tools/zemra-sim/CPseudoTerminal.h"
#include "tools/zemra-sim/CZemraSimServer.h"

#include "ZemraSimulatorTestHelpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace zemsim_test;

namespace {

// Generous bound on waiting for bytes, so a broken server fails the test instead of hanging it.
constexpr int GIVE_UP_MS = 5000;

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "zemra_srv_" + std::to_string(getpid()) + "_" + name;
}

// Runs a simulator on a fresh pseudo-terminal and plays the programmer on its slave side.
class ZemraSimulatorServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_EQ(pty.Open(error), 1) << error;
        server = std::make_unique<CZemraSimServer>(sim, pty.MasterFd());
    }

    void Start() {
        worker = std::thread([this] { runResult = server->Run(runError); });
        port = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(port, 0);
    }

    void TearDown() override {
        if (worker.joinable()) {
            server->Stop();
            worker.join();
        }
        if (port >= 0) close(port);
    }

    void Send(const Bytes& bytes) {
        ASSERT_EQ(write(port, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }

    // Reads until `count` bytes came or nothing more arrives for a while.
    Bytes Receive(std::size_t count) {
        Bytes got;
        while (got.size() < count) {
            pollfd p{port, POLLIN, 0};
            if (poll(&p, 1, GIVE_UP_MS) <= 0) break;
            std::uint8_t buffer[256];
            const ssize_t n = read(port, buffer, std::min(sizeof buffer, count - got.size()));
            if (n <= 0) break;
            got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }

    CZemraSimulator sim;
    CPseudoTerminal pty;
    std::unique_ptr<CZemraSimServer> server;
    std::thread worker;
    int port = -1;
    int runResult = -1;
    std::string runError;
};

} // namespace

TEST_F(ZemraSimulatorServerTest, TerminalIsRaw) {
    const int fd = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(tcgetattr(fd, &tio), 0);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_iflag & (ICRNL | IXON), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    close(fd);
}

TEST_F(ZemraSimulatorServerTest, AnswersARequestOverTheTerminal) {
    Start();
    Send(Concat(Text("   "), Request(MSG_READ_ALARM, 0)));
    const Bytes answer = Receive(71);
    ASSERT_EQ(answer.size(), 71u);
    EXPECT_EQ(answer[0], '#');
    EXPECT_EQ(answer[1], 'A');
    EXPECT_EQ(answer[70], '$');
}

TEST_F(ZemraSimulatorServerTest, StoresWritesAndKeepsTheMemoryFile) {
    const std::string path = TempPath("memory.txt");
    server->SetMemoryPath(path);
    Start();
    Send(Write(MSG_WRITE_LOGINP, 3, Pattern(6)));
    Send(Request(MSG_READ_LOGINP, 3));
    const Bytes answer = Receive(71);
    ASSERT_EQ(answer.size(), 71u);
    const Bytes written = Write(MSG_WRITE_LOGINP, 3, Pattern(6));
    EXPECT_EQ(Bytes(answer.begin() + 6, answer.end() - 1), Bytes(written.begin() + 6, written.end() - 1));
    server->Stop();
    worker.join();
    EXPECT_EQ(runResult, 1) << runError;

    CZemraMemory saved;
    std::string error;
    ASSERT_EQ(saved.Load(path, error), 1) << error;
    EXPECT_EQ(*saved.Get(ZemBank::Input, 27), Pattern(6));
    std::remove(path.c_str());
}

TEST_F(ZemraSimulatorServerTest, LateAnswerStillArrives) {
    sim.SetLateDelayMs(50);
    sim.Faults().Add({ZemBank::General, 0, 0, ZemFaultKind::LateAnswer, 1});
    Start();
    Send(Request(MSG_READ_GENERAL, 0));
    Send(Request(MSG_READ_GENERAL, 1));
    const Bytes both = Receive(142);
    ASSERT_EQ(both.size(), 142u);
    // The order depends on timing; both blocks must be there, each as a whole message.
    EXPECT_EQ(both[0], '#');
    EXPECT_EQ(both[71], '#');
    EXPECT_NE(both[3], both[71 + 3]);
    for (std::size_t at : {std::size_t(3), std::size_t(74)})
        EXPECT_TRUE(both[at] == '0' || both[at] == '1');
}

TEST_F(ZemraSimulatorServerTest, ServesTheNextProgrammerAfterOneCloses) {
    Start();
    close(port);
    port = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(port, 0);
    Send(Request(MSG_READ_PHINP, 0));
    EXPECT_EQ(Receive(71).size(), 71u);
}

TEST_F(ZemraSimulatorServerTest, StopEndsRun) {
    Start();
    server->Stop();
    worker.join();
    EXPECT_EQ(runResult, 1);
}

TEST_F(ZemraSimulatorServerTest, LinkPointsAtTheTerminalAndGoesAway) {
    const std::string link = TempPath("link");
    std::remove(link.c_str());
    ASSERT_EQ(symlink("/nonexistent", link.c_str()), 0); // stale link of a simulator that died
    std::string error;
    ASSERT_EQ(pty.PlaceLink(link, error), 1) << error;
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(pty.SlavePath(), target);
    pty.RemoveLink();
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0);
}

TEST_F(ZemraSimulatorServerTest, LinkNeverReplacesARealFile) {
    const std::string file = TempPath("regular");
    {
        std::ofstream out(file);
        out << "keep me";
    }
    std::string error;
    EXPECT_EQ(pty.PlaceLink(file, error), 0);
    EXPECT_NE(error.find("not a symlink"), std::string::npos) << error;
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "keep me");
    std::remove(file.c_str());
}
