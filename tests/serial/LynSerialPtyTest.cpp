// The port opened on a pseudo-terminal whose master side plays the far end.
#include "serial/CLynSerial.h"
#include "serial/TestPty.h"

#include <gtest/gtest.h>
#include <termios.h>
#include <tuple>
#include <vector>

namespace {
using Bytes = std::vector<std::uint8_t>;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every field of the record the setters may change.
auto Settings(const LynDcb& d) {
    return std::make_tuple(d.BaudRate, d.ByteSize, d.Parity, d.StopBits, d.fParity, d.fOutxCtsFlow,
                           d.fOutxDsrFlow, d.fDtrControl, d.fRtsControl, d.fOutX, d.fInX, d.XonLim, d.XoffLim,
                           d.XonChar, d.XoffChar);
}

class LynSerialPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.Ok());
        ASSERT_EQ(m_port.OpenCommPort(Path()), 0u) << m_port.GetLastErrorText();
    }
    const char* Path() const { return m_pty.SlavePath().c_str(); }
    // The far end sends bytes and they reach the port's input queue.
    void Arrive(const Bytes& bytes) {
        ASSERT_TRUE(m_pty.Send(bytes));
        ASSERT_GE(TestPty::WaitUntilQueued(m_port.GetCommHandle(), static_cast<int>(bytes.size())),
                  static_cast<int>(bytes.size()));
    }
    LynDcb State() {
        LynDcb dcb;
        EXPECT_TRUE(m_port.GetCommState(dcb)) << m_port.GetLastErrorText();
        return dcb;
    }
    termios Terminal() {
        termios tio{};
        EXPECT_EQ(::tcgetattr(m_port.GetCommHandle(), &tio), 0);
        return tio;
    }
    TestPty m_pty;
    CLynSerial m_port;
};
} // namespace

TEST_F(LynSerialPty, OpenReopenCloseAndASecondOpener) {
    EXPECT_TRUE(m_port.IsOpen());
    EXPECT_GE(m_port.GetCommHandle(), 0);
    EXPECT_STREQ(m_port.GetLastErrorText(), "");
    // 9600 8N1 without handshakes (the byte tests show the terminal is raw).
    EXPECT_EQ(Settings(State()),
              std::make_tuple(9600u, std::uint8_t{8}, LYN_NOPARITY, LYN_ONESTOPBIT, 1u, 0u, 0u,
                              std::uint32_t{LYN_DTR_CONTROL_ENABLE}, std::uint32_t{LYN_RTS_CONTROL_ENABLE},
                              0u, 0u, std::uint16_t{100}, std::uint16_t{100}, '\x11', '\x13'));
    // Reopening releases the first descriptor (or the port would be found locked) and restores the defaults.
    ASSERT_TRUE(m_port.SetBaudRate(19200));
    ASSERT_EQ(m_port.OpenCommPort(Path()), 0u) << m_port.GetLastErrorText();
    EXPECT_EQ(State().BaudRate, 9600u) << "every open restores the defaults";

    auto second = std::make_unique<CLynSerial>();
    EXPECT_EQ(second->OpenCommPort(Path()), LYN_OPEN_FAILED);
    EXPECT_FALSE(second->IsOpen());
    EXPECT_TRUE(Contains(second->GetLastErrorText(), "in use")) << second->GetLastErrorText();
    EXPECT_TRUE(Contains(second->GetLastErrorText(), Path())) << second->GetLastErrorText();
    second.reset(); // destroying the refused opener must not disturb the owner
    const std::uint8_t byte = 0x5A;
    EXPECT_EQ(m_port.SendData(&byte, 1), 1u);
    EXPECT_EQ(m_pty.Receive(1), Bytes{0x5A});

    EXPECT_EQ(m_port.CloseCommPort(), 1u);
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(m_port.GetCommHandle(), LYN_INVALID_HANDLE);
    EXPECT_EQ(m_port.CloseCommPort(), 1u) << "closing a closed port still succeeds";
    {
        CLynSerial other;
        ASSERT_EQ(other.OpenCommPort(Path()), 0u) << other.GetLastErrorText();
        EXPECT_TRUE(CLynSerial::IsPortOpenFlagSet());
    } // the destructor closes it
    EXPECT_FALSE(CLynSerial::IsPortOpenFlagSet());
    EXPECT_EQ(m_port.OpenCommPort(Path()), 0u) << m_port.GetLastErrorText();
}

// Every byte value passes unchanged both ways, including XON/XOFF and CR/LF that a cooked terminal alters.
TEST_F(LynSerialPty, BytesPassUnchangedAndReadsTakeAtMostTheMaximum) {
    Bytes all(256);
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(m_port.SendData(all.data(), 256), 256u);
    EXPECT_EQ(m_pty.Receive(all.size()), all);

    Bytes buffer(300, 0xEE);
    EXPECT_EQ(m_port.ReadData(buffer.data(), 8), 0) << "nothing waiting";
    EXPECT_EQ(buffer[0], 0xEE);
    EXPECT_FALSE(m_port.IsPortLost());
    Arrive(all);
    ASSERT_EQ(m_port.ReadData(buffer.data(), 71), 71);
    EXPECT_EQ(buffer[71], 0xEE) << "nothing is written past the maximum";
    ASSERT_EQ(m_port.ReadData(buffer.data() + 71, 129), 129);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 200), Bytes(all.begin(), all.begin() + 200));
    ASSERT_TRUE(m_port.PurgeComm(LYN_PURGE_RXCLEAR | LYN_PURGE_RXABORT));
    EXPECT_EQ(m_port.ReadData(buffer.data(), 100), 0) << "the 56 left over were discarded";
    EXPECT_EQ(m_port.PurgeComm(0), 0) << "no queue named";

    Arrive(TestPty::Pattern(10));
    ASSERT_EQ(m_port.OpenCommPort(Path()), 0u);
    EXPECT_EQ(m_port.ReadData(buffer.data(), 16), 0) << "an open discards what arrived before";

    EXPECT_EQ(m_port.SendData(all.data(), 0), 0u);
    EXPECT_EQ(m_port.SendData(all.data(), -5), 0u);
    EXPECT_EQ(m_port.SendData(all.data() + 0x42, 1), 1u);
    EXPECT_EQ(m_pty.Receive(1), Bytes{0x42}) << "nothing was sent before the marker";
    Arrive({1, 2, 3});
    EXPECT_EQ(m_port.ReadData(nullptr, 4), 0);
    EXPECT_EQ(m_port.ReadData(buffer.data(), 0), 0);
    EXPECT_EQ(m_port.ReadData(buffer.data(), -1), 0);
    EXPECT_EQ(m_port.ReadData(buffer.data(), 4), 3);
}

// The far end goes away (as when a USB adapter is pulled) and the port notices it on a read with bytes
// still queued, on a read of nothing, or on a write. Write errors are not reported in SendData's result;
// the caller's read-back finds them.
TEST_F(LynSerialPty, ClosedAndVanishedPortsFailWithoutHanging) {
    const Bytes message = TestPty::Pattern(71);
    std::uint8_t buffer[16];
    m_port.CloseCommPort();
    EXPECT_EQ(m_port.SendData(message.data(), 7), 7u);
    EXPECT_TRUE(Contains(m_port.GetLastErrorText(), "not open"));
    EXPECT_EQ(m_port.ReadData(buffer, 8), 0);
    for (const auto& [queued, read, text] : std::vector<std::tuple<int, bool, const char*>>{
             {5, true, "no longer available"}, {0, true, "no longer available"}, {0, false, "write"}}) {
        SCOPED_TRACE(text);
        TestPty pty;
        CLynSerial port;
        ASSERT_EQ(port.OpenCommPort(pty.SlavePath().c_str()), 0u);
        ASSERT_TRUE(pty.Send(TestPty::Pattern(static_cast<std::size_t>(queued))));
        ASSERT_EQ(TestPty::WaitUntilQueued(port.GetCommHandle(), queued), queued);
        pty.CloseMaster();
        if (read) {
            EXPECT_EQ(port.ReadData(buffer, 16), 0);
        } else {
            EXPECT_EQ(port.SendData(message.data(), 71), 71u);
        }
        EXPECT_TRUE(port.IsPortLost());
        EXPECT_TRUE(Contains(port.GetLastErrorText(), text)) << port.GetLastErrorText();
        LynDcb dcb;
        EXPECT_EQ(port.GetCommState(dcb), 0);
        EXPECT_EQ(port.SetBaudRate(9600), 0);
        EXPECT_EQ(port.CloseCommPort(), 1u);
        EXPECT_EQ(port.OpenCommPort(pty.SlavePath().c_str()), LYN_OPEN_FAILED);
    }
}

// Each row sets the framing, then the rate; each setter changes only its own part, read back from the record
// and from the terminal. A pseudo-terminal keeps 8 bits without parity on its own; the parity's sense and
// the stop bits do reach it.
TEST_F(LynSerialPty, LineSettingsReachTheTerminal) {
    const std::tuple<std::uint32_t, speed_t, std::uint8_t, std::uint8_t, std::uint8_t> rows[] = {
        {19200, B19200, LYN_ODDPARITY, 7, LYN_TWOSTOPBITS},
        {9600, B9600, LYN_EVENPARITY, 8, LYN_ONESTOPBIT},
        {4800, B4800, LYN_MARKPARITY, 8, LYN_TWOSTOPBITS},
        {1200, B1200, LYN_SPACEPARITY, 8, LYN_ONESTOPBIT},
        {115200, B115200, LYN_NOPARITY, 5, LYN_ONE5STOPBITS},
        {38400, B38400, LYN_NOPARITY, 8, LYN_ONESTOPBIT}};
    for (const auto& [baud, speed, parity, bits, stop] : rows) {
        SCOPED_TRACE(baud);
        LynDcb expected = State();
        ASSERT_TRUE(m_port.SetParityDataStop(parity, bits, stop)) << m_port.GetLastErrorText();
        std::tie(expected.Parity, expected.ByteSize, expected.StopBits) = std::tie(parity, bits, stop);
        expected.fParity = 1; // parity errors checked whenever the framing is set
        EXPECT_EQ(Settings(State()), Settings(expected));
        ASSERT_TRUE(m_port.SetBaudRate(baud)) << m_port.GetLastErrorText();
        expected.BaudRate = baud;
        EXPECT_EQ(Settings(State()), Settings(expected));
        const termios tio = Terminal();
        EXPECT_EQ(::cfgetospeed(&tio), speed);
        EXPECT_EQ(::cfgetispeed(&tio), speed);
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, stop != LYN_ONESTOPBIT);
        EXPECT_EQ((tio.c_cflag & PARODD) != 0, parity == LYN_ODDPARITY || parity == LYN_MARKPARITY);
    }
    // Settings the port cannot honour are refused, named, and change nothing.
    const LynDcb before = State();
    EXPECT_EQ(m_port.SetBaudRate(12345), 0);
    EXPECT_TRUE(Contains(m_port.GetLastErrorText(), "12345"));
    EXPECT_EQ(m_port.SetParityDataStop(LYN_NOPARITY, 9, LYN_ONESTOPBIT), 0);
    EXPECT_EQ(m_port.SetParityDataStop(7, 8, LYN_ONESTOPBIT), 0);
    EXPECT_EQ(m_port.SetParityDataStop(LYN_NOPARITY, 8, LYN_ONE5STOPBITS), 0);
    // DSR/DTR handshake has no POSIX counterpart; accepting it would leave the line unguarded.
    EXPECT_EQ(m_port.SetFlowControl(LYN_FLOW_DSR_DTR, 100, 100, 0x11, 0x13), 0);
    EXPECT_TRUE(Contains(m_port.GetLastErrorText(), "DSR"));
    EXPECT_EQ(m_port.SetFlowControl(LYN_FLOW_XON_XOFF, 100, 100, 0x11, 0x11), 0);
    EXPECT_EQ(Settings(State()), Settings(before));
    const termios tio = Terminal();
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B38400));
}

TEST_F(LynSerialPty, FlowControlWholeRecordsAndQueues) {
    const LynDcb defaults = State();
    LynDcb expected = defaults;
    ASSERT_TRUE(m_port.SetFlowControl(LYN_FLOW_CTS_RTS | LYN_FLOW_XON_XOFF, 50, 60, 0x01, 0x02))
        << m_port.GetLastErrorText();
    expected.fOutxCtsFlow = expected.fOutX = expected.fInX = 1;
    expected.fRtsControl = LYN_RTS_CONTROL_HANDSHAKE;
    expected.XonLim = 50;
    expected.XoffLim = 60;
    expected.XonChar = 0x01;
    expected.XoffChar = 0x02;
    EXPECT_EQ(Settings(State()), Settings(expected));
    termios tio = Terminal();
    EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(tio.c_cc[VSTART], 0x01);
    EXPECT_EQ(tio.c_cc[VSTOP], 0x02);
    ASSERT_TRUE(m_port.SetFlowControl(0, 100, 100, 0x11, 0x13));
    EXPECT_EQ(Settings(State()), Settings(defaults)) << "no handshake is the default";
    EXPECT_EQ(Terminal().c_cflag & CRTSCTS, 0u);

    LynDcb dcb = State();
    dcb.BaudRate = 115200;
    dcb.ByteSize = 7;
    dcb.Parity = LYN_EVENPARITY;
    dcb.fOutX = 1;
    dcb.XonLim = 7;
    dcb.DCBlength = 0;
    ASSERT_TRUE(m_port.SetCommState(dcb)) << m_port.GetLastErrorText();
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(Settings(State()), Settings(dcb));

    ASSERT_TRUE(m_port.SetBufferSizes(1024, 2048));
    LynCommProp prop;
    ASSERT_TRUE(m_port.GetCommProperties(prop));
    EXPECT_EQ(std::make_pair(prop.dwCurrentRxQueue, prop.dwCurrentTxQueue), std::make_pair(1024u, 2048u));
    EXPECT_GE(prop.dwMaxBaud, 115200u);
}
