#include "serial/CLynSerial.h"
#include "serial/TestPty.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class LynSerialIo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.Ok());
        ASSERT_EQ(m_port.OpenCommPort(m_pty.SlavePath().c_str()), 0u) << m_port.GetLastErrorText();
    }

    // The far end sends bytes and they reach the port's input queue.
    void Arrive(const std::vector<std::uint8_t>& bytes) {
        ASSERT_TRUE(m_pty.Send(bytes));
        ASSERT_GE(TestPty::WaitUntilQueued(m_port.GetCommHandle(), static_cast<int>(bytes.size())),
                  static_cast<int>(bytes.size()));
    }

    TestPty m_pty;
    CLynSerial m_port;
};

TEST_F(LynSerialIo, SentBytesArriveInOrderAndUnchanged) {
    // Every byte value, including the XON/XOFF characters and CR/LF that a cooked terminal would alter.
    std::vector<std::uint8_t> bytes(256);
    for (int i = 0; i < 256; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(m_port.SendData(bytes.data(), static_cast<int>(bytes.size())), 256u);
    EXPECT_EQ(m_pty.Receive(bytes.size()), bytes);
}

TEST_F(LynSerialIo, ReceivedBytesAreReadUnchanged) {
    std::vector<std::uint8_t> bytes = TestPty::Pattern(71, 0x0D);
    bytes[0] = 0x11;
    bytes[1] = 0x13;
    bytes[2] = '\r';
    Arrive(bytes);
    std::vector<std::uint8_t> buffer(71);
    ASSERT_EQ(m_port.ReadData(buffer.data(), 71), 71);
    EXPECT_EQ(buffer, bytes);
}

TEST_F(LynSerialIo, ReadDataTakesAtMostTheMaximumAndPurgeDropsTheRest) {
    std::vector<std::uint8_t> buffer(100, 0xEE);
    EXPECT_EQ(m_port.ReadData(buffer.data(), 8), 0) << "nothing waiting";
    EXPECT_EQ(buffer[0], 0xEE);
    EXPECT_FALSE(m_port.IsPortLost());

    const std::vector<std::uint8_t> bytes = TestPty::Pattern(140, 3);
    Arrive(bytes);
    buffer.assign(100, 0);
    ASSERT_EQ(m_port.ReadData(buffer.data(), 71), 71);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + 71),
              std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 71));
    EXPECT_EQ(buffer[71], 0) << "nothing is written past the maximum";
    ASSERT_EQ(m_port.ReadData(buffer.data(), 29), 29);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + 29),
              std::vector<std::uint8_t>(bytes.begin() + 71, bytes.begin() + 100));

    ASSERT_TRUE(m_port.PurgeComm(LYN_PURGE_RXCLEAR | LYN_PURGE_RXABORT));
    EXPECT_EQ(m_port.ReadData(buffer.data(), 100), 0) << "the 40 left over were discarded";
    EXPECT_EQ(m_port.PurgeComm(0), 0) << "no queue named";
}

TEST_F(LynSerialIo, OpenDiscardsWhatArrivedBefore) {
    Arrive(TestPty::Pattern(10));
    ASSERT_EQ(m_port.OpenCommPort(m_pty.SlavePath().c_str()), 0u);
    std::uint8_t buffer[16];
    EXPECT_EQ(m_port.ReadData(buffer, 16), 0);
}

TEST_F(LynSerialIo, OddLengthsAndBuffers) {
    const std::uint8_t byte = 1;
    EXPECT_EQ(m_port.SendData(&byte, 0), 0u);
    EXPECT_EQ(m_port.SendData(&byte, -5), 0u);
    const std::uint8_t marker = 0x42;
    EXPECT_EQ(m_port.SendData(&marker, 1), 1u);
    EXPECT_EQ(m_pty.Receive(1), std::vector<std::uint8_t>{0x42}) << "nothing was sent before the marker";
    Arrive({1, 2, 3});
    std::uint8_t buffer[4];
    EXPECT_EQ(m_port.ReadData(nullptr, 4), 0);
    EXPECT_EQ(m_port.ReadData(buffer, 0), 0);
    EXPECT_EQ(m_port.ReadData(buffer, -1), 0);
    EXPECT_EQ(m_port.ReadData(buffer, 4), 3);
}

TEST_F(LynSerialIo, ClosedPortSendsNothingAndReadsNothing) {
    m_port.CloseCommPort();
    const std::vector<std::uint8_t> bytes = TestPty::Pattern(7);
    // Write errors are not reported in the result; the caller's read-back finds them.
    EXPECT_EQ(m_port.SendData(bytes.data(), 7), 7u);
    EXPECT_NE(std::string(m_port.GetLastErrorText()).find("not open"), std::string::npos);
    std::uint8_t buffer[8];
    EXPECT_EQ(m_port.ReadData(buffer, 8), 0);
}

TEST_F(LynSerialIo, VanishedPortFailsWithoutHanging) {
    Arrive(TestPty::Pattern(5));
    m_pty.CloseMaster();

    std::uint8_t buffer[16];
    EXPECT_EQ(m_port.ReadData(buffer, 16), 0);
    EXPECT_TRUE(m_port.IsPortLost());
    const std::string text = m_port.GetLastErrorText();
    EXPECT_NE(text.find("no longer available"), std::string::npos) << text;

    const std::vector<std::uint8_t> message = TestPty::Pattern(71);
    EXPECT_EQ(m_port.SendData(message.data(), 71), 71u);
    LynDcb dcb;
    EXPECT_EQ(m_port.GetCommState(dcb), 0);
    EXPECT_EQ(m_port.SetBaudRate(9600), 0);
    EXPECT_EQ(m_port.CloseCommPort(), 1u);
    EXPECT_FALSE(m_port.IsOpen());

    EXPECT_EQ(m_port.OpenCommPort(m_pty.SlavePath().c_str()), LYN_OPEN_FAILED);
    EXPECT_FALSE(std::string(m_port.GetLastErrorText()).empty());
}

TEST_F(LynSerialIo, VanishedPortIsNoticedByAWrite) {
    m_pty.CloseMaster();
    const std::uint8_t bytes[3] = {0x20, 0x20, 0x20};
    EXPECT_EQ(m_port.SendData(bytes, 3), 3u);
    EXPECT_TRUE(m_port.IsPortLost());
    EXPECT_NE(std::string(m_port.GetLastErrorText()).find("write"), std::string::npos);
}

TEST_F(LynSerialIo, DestructorClosesTheOpenPort) {
    {
        CLynSerial other;
        m_port.CloseCommPort();
        ASSERT_EQ(other.OpenCommPort(m_pty.SlavePath().c_str()), 0u);
    }
    EXPECT_EQ(m_port.OpenCommPort(m_pty.SlavePath().c_str()), 0u) << m_port.GetLastErrorText();
}

} // namespace
