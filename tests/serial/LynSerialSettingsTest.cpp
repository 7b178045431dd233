#include "serial/CLynSerial.h"
#include "serial/TestPty.h"

#include <gtest/gtest.h>
#include <string>
#include <termios.h>

namespace {

class LynSerialSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.Ok());
        ASSERT_EQ(m_port.OpenCommPort(m_pty.SlavePath().c_str()), 0u) << m_port.GetLastErrorText();
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

// Compares every field the setters may change.
void ExpectSameSettings(const LynDcb& a, const LynDcb& b) {
    EXPECT_EQ(a.BaudRate, b.BaudRate);
    EXPECT_EQ(a.ByteSize, b.ByteSize);
    EXPECT_EQ(a.Parity, b.Parity);
    EXPECT_EQ(a.StopBits, b.StopBits);
    EXPECT_EQ(a.fParity, b.fParity);
    EXPECT_EQ(a.fOutxCtsFlow, b.fOutxCtsFlow);
    EXPECT_EQ(a.fOutxDsrFlow, b.fOutxDsrFlow);
    EXPECT_EQ(a.fDtrControl, b.fDtrControl);
    EXPECT_EQ(a.fRtsControl, b.fRtsControl);
    EXPECT_EQ(a.fOutX, b.fOutX);
    EXPECT_EQ(a.fInX, b.fInX);
    EXPECT_EQ(a.XonLim, b.XonLim);
    EXPECT_EQ(a.XoffLim, b.XoffLim);
    EXPECT_EQ(a.XonChar, b.XonChar);
    EXPECT_EQ(a.XoffChar, b.XoffChar);
}

TEST_F(LynSerialSettings, OpenAppliesTheDefaults) {
    const LynDcb dcb = State();
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, LYN_NOPARITY);
    EXPECT_EQ(dcb.StopBits, LYN_ONESTOPBIT);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    EXPECT_EQ(dcb.XonLim, 100);
    EXPECT_EQ(dcb.XoffLim, 100);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fNull, 0u);
    EXPECT_EQ(dcb.fDtrControl, LYN_DTR_CONTROL_ENABLE);
    EXPECT_EQ(dcb.fRtsControl, LYN_RTS_CONTROL_ENABLE);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
    EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);

    // The terminal itself is raw 9600 8N1 without handshakes, so bytes pass unchanged.
    const termios tio = Terminal();
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);

    std::uint32_t mask = 0;
    EXPECT_TRUE(m_port.GetCommMask(mask));
    EXPECT_EQ(mask, LYN_EV_RXCHAR);
    LynCommProp prop;
    ASSERT_TRUE(m_port.GetCommProperties(prop));
    EXPECT_EQ(prop.dwCurrentRxQueue, 4096u);
    EXPECT_EQ(prop.dwCurrentTxQueue, 4096u);
    EXPECT_GE(prop.dwMaxBaud, 115200u);
}

TEST_F(LynSerialSettings, SetBaudRateChangesOnlyTheRate) {
    ASSERT_TRUE(m_port.SetParityDataStop(LYN_EVENPARITY, 7, LYN_TWOSTOPBITS));
    LynDcb expected = State();
    ASSERT_TRUE(m_port.SetBaudRate(19200)) << m_port.GetLastErrorText();
    expected.BaudRate = 19200;
    ExpectSameSettings(State(), expected);
    const termios tio = Terminal();
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B19200));
    EXPECT_EQ(::cfgetispeed(&tio), static_cast<speed_t>(B19200));
}

TEST_F(LynSerialSettings, SetParityDataStopChangesOnlyTheFraming) {
    ASSERT_TRUE(m_port.SetBaudRate(4800));
    LynDcb expected = State();
    ASSERT_TRUE(m_port.SetParityDataStop(LYN_ODDPARITY, 7, LYN_TWOSTOPBITS));
    expected.Parity = LYN_ODDPARITY;
    expected.ByteSize = 7;
    expected.StopBits = LYN_TWOSTOPBITS;
    expected.fParity = 1;
    ExpectSameSettings(State(), expected);
    // A pseudo-terminal keeps 8 bits without parity on its own; the stop bits do reach it.
    EXPECT_NE(Terminal().c_cflag & CSTOPB, 0u);
}

TEST_F(LynSerialSettings, EveryParityReadsBackAsSet) {
    for (std::uint8_t parity :
         {LYN_NOPARITY, LYN_ODDPARITY, LYN_EVENPARITY, LYN_MARKPARITY, LYN_SPACEPARITY}) {
        ASSERT_TRUE(m_port.SetParityDataStop(parity, 8, LYN_ONESTOPBIT)) << m_port.GetLastErrorText();
        EXPECT_EQ(State().Parity, parity);
    }
    ASSERT_TRUE(m_port.SetParityDataStop(LYN_NOPARITY, 5, LYN_ONE5STOPBITS));
    EXPECT_EQ(State().StopBits, LYN_ONE5STOPBITS);
    EXPECT_EQ(State().ByteSize, 5);
}

TEST_F(LynSerialSettings, SetFlowControlSetsHandshakesLimitsAndCharacters) {
    LynDcb expected = State();
    ASSERT_TRUE(m_port.SetFlowControl(LYN_FLOW_CTS_RTS | LYN_FLOW_XON_XOFF, 50, 60, 0x01, 0x02))
        << m_port.GetLastErrorText();
    expected.fOutxCtsFlow = 1;
    expected.fRtsControl = LYN_RTS_CONTROL_HANDSHAKE;
    expected.fOutX = 1;
    expected.fInX = 1;
    expected.XonLim = 50;
    expected.XoffLim = 60;
    expected.XonChar = 0x01;
    expected.XoffChar = 0x02;
    ExpectSameSettings(State(), expected);
    const termios tio = Terminal();
    EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(tio.c_cc[VSTART], 0x01);
    EXPECT_EQ(tio.c_cc[VSTOP], 0x02);

    ASSERT_TRUE(m_port.SetFlowControl(0, 100, 100, 0x11, 0x13));
    const LynDcb off = State();
    EXPECT_EQ(off.fOutxCtsFlow, 0u);
    EXPECT_EQ(off.fRtsControl, LYN_RTS_CONTROL_ENABLE);
    EXPECT_EQ(off.fOutX, 0u);
    EXPECT_EQ(Terminal().c_cflag & CRTSCTS, 0u);
}

TEST_F(LynSerialSettings, SettingsThePortCannotHonourAreRefusedAndChangeNothing) {
    ASSERT_TRUE(m_port.SetBaudRate(19200));
    const LynDcb before = State();

    EXPECT_EQ(m_port.SetBaudRate(12345), 0);
    EXPECT_NE(std::string(m_port.GetLastErrorText()).find("12345"), std::string::npos);
    EXPECT_EQ(m_port.SetParityDataStop(LYN_NOPARITY, 9, LYN_ONESTOPBIT), 0);
    EXPECT_EQ(m_port.SetParityDataStop(7, 8, LYN_ONESTOPBIT), 0);
    EXPECT_EQ(m_port.SetParityDataStop(LYN_NOPARITY, 8, LYN_ONE5STOPBITS), 0);
    // DSR/DTR handshake has no POSIX counterpart; accepting it would leave the line unguarded.
    EXPECT_EQ(m_port.SetFlowControl(LYN_FLOW_DSR_DTR, 100, 100, 0x11, 0x13), 0);
    EXPECT_NE(std::string(m_port.GetLastErrorText()).find("DSR"), std::string::npos);
    EXPECT_EQ(m_port.SetFlowControl(LYN_FLOW_XON_XOFF, 100, 100, 0x11, 0x11), 0);

    ExpectSameSettings(State(), before);
    const termios tio = Terminal();
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B19200));
}

TEST_F(LynSerialSettings, SetCommStateAppliesAWholeRecord) {
    LynDcb dcb = State();
    dcb.BaudRate = 115200;
    dcb.ByteSize = 7;
    dcb.Parity = LYN_EVENPARITY;
    dcb.fOutX = 1;
    dcb.XonLim = 7;
    dcb.DCBlength = 0;
    ASSERT_TRUE(m_port.SetCommState(dcb)) << m_port.GetLastErrorText();
    EXPECT_EQ(dcb.DCBlength, 28u);
    ExpectSameSettings(State(), dcb);
}

TEST_F(LynSerialSettings, TimeoutsAndMaskAreKept) {
    LynCommTimeouts timeouts;
    ASSERT_TRUE(m_port.GetCommTimeouts(timeouts));
    timeouts.ReadTotalTimeoutConstant = 500;
    timeouts.WriteTotalTimeoutMultiplier = 3;
    ASSERT_TRUE(m_port.SetCommTimeouts(timeouts));
    LynCommTimeouts back;
    ASSERT_TRUE(m_port.GetCommTimeouts(back));
    EXPECT_EQ(back.ReadTotalTimeoutConstant, 500u);
    EXPECT_EQ(back.WriteTotalTimeoutMultiplier, 3u);

    ASSERT_TRUE(m_port.SetCommMask(0x0005));
    std::uint32_t mask = 0;
    ASSERT_TRUE(m_port.GetCommMask(mask));
    EXPECT_EQ(mask, 0x0005u);

    ASSERT_TRUE(m_port.SetBufferSizes(1024, 2048));
    LynCommProp prop;
    ASSERT_TRUE(m_port.GetCommProperties(prop));
    EXPECT_EQ(prop.dwCurrentRxQueue, 1024u);
    EXPECT_EQ(prop.dwCurrentTxQueue, 2048u);
}

} // namespace
