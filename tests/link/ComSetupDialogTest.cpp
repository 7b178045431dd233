#include "link/CComSetupDialog.h"
#include "link/CScriptedComSetupUI.h"
#include "serial/TestPty.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string kOpenFailed = "Error to open com port.\n";
const std::string kSetStateFailed = "Error to Set communication state";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class ComSetupDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.Ok());
        m_ui.AnswerPortName(m_pty.SlavePath());
    }

    LynDcb PortState() {
        LynDcb dcb;
        EXPECT_TRUE(m_com.GetPort()->GetCommState(dcb));
        return dcb;
    }

    // The unit sends bytes and they reach the port's input queue.
    void Arrive(const std::vector<std::uint8_t>& bytes) {
        ASSERT_TRUE(m_pty.Send(bytes));
        ASSERT_GE(TestPty::WaitUntilQueued(m_com.GetCommHandle(), static_cast<int>(bytes.size())),
                  static_cast<int>(bytes.size()));
    }

    TestPty m_pty;
    CScriptedComSetupUI m_ui;
    CComSetupDialog m_com{&m_ui};
};

TEST_F(ComSetupDialog, SetupOpensAndConfiguresTheNamedPort) {
    EXPECT_EQ(m_com.GetPortName(), "") << "no name until the dialog was confirmed once";
    ASSERT_EQ(m_com.DoCommSetup(), 1) << m_com.GetLastErrorText();
    EXPECT_TRUE(m_com.IsPortOpen());
    EXPECT_EQ(m_com.GetPortName(), m_pty.SlavePath());
    EXPECT_EQ(m_ui.PortNameAsks(), 1);
    EXPECT_TRUE(m_ui.Errors().empty());

    // The line-settings dialog starts from the library's defaults, for the chosen port.
    ASSERT_EQ(m_ui.LineSettingsShown().size(), 1u);
    const LynDcb& shown = m_ui.LineSettingsShown()[0];
    EXPECT_EQ(shown.BaudRate, 9600u);
    EXPECT_EQ(shown.ByteSize, 8);
    EXPECT_EQ(shown.Parity, LYN_NOPARITY);
    EXPECT_EQ(shown.StopBits, LYN_ONESTOPBIT);
    EXPECT_EQ(m_ui.LineSettingsPorts()[0], m_pty.SlavePath());
    EXPECT_EQ(m_com.GetPort()->GetNotifyMsg(), 1124u);
}

TEST_F(ComSetupDialog, EditedLineSettingsAreApplied) {
    m_ui.AnswerLineSettings([](LynDcb& dcb) {
        dcb.BaudRate = 19200;
        dcb.StopBits = LYN_TWOSTOPBITS;
        dcb.Parity = LYN_EVENPARITY;
    });
    ASSERT_EQ(m_com.DoCommSetup(), 1) << m_com.GetLastErrorText();
    const LynDcb dcb = PortState();
    EXPECT_EQ(dcb.BaudRate, 19200u);
    EXPECT_EQ(dcb.StopBits, LYN_TWOSTOPBITS);
    EXPECT_EQ(dcb.Parity, LYN_EVENPARITY);
}

TEST_F(ComSetupDialog, UntouchedPortDialogStoresCom1) {
    // A real serial device may be this machine's console: never open one from a test.
    if (::access("/dev/ttyS0", R_OK | W_OK) == 0) GTEST_SKIP() << "this user could open /dev/ttyS0";
    CScriptedComSetupUI ui; // as delivered: "Config" pressed with the list untouched
    CComSetupDialog com(&ui);
    EXPECT_EQ(com.DoCommSetup(), 0);
    EXPECT_EQ(com.GetPortName(), "COM1");
    EXPECT_FALSE(com.IsPortOpen());
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{kOpenFailed});
    ASSERT_EQ(ui.Errors().size(), 1u);
    EXPECT_TRUE(Contains(ui.Errors()[0].detail, "/dev/ttyS0")) << ui.Errors()[0].detail;
}

TEST_F(ComSetupDialog, MissingPortShowsTheOpenErrorWithItsReason) {
    m_ui.AnswerPortName("COM256"); // /dev/ttyS255, which no machine has
    EXPECT_EQ(m_com.DoCommSetup(), 0);
    EXPECT_EQ(m_com.GetPortName(), "COM256");
    EXPECT_FALSE(m_com.IsPortOpen());
    ASSERT_EQ(m_ui.Errors().size(), 1u);
    EXPECT_EQ(m_ui.Errors()[0].message, kOpenFailed);
    EXPECT_TRUE(Contains(m_ui.Errors()[0].detail, "COM256 (/dev/ttyS255): no such port"))
        << m_ui.Errors()[0].detail;
    EXPECT_TRUE(m_ui.LineSettingsShown().empty()) << "no settings dialog for a port that did not open";
}

TEST_F(ComSetupDialog, PortInUseIsRefused) {
    CLynSerial other;
    ASSERT_EQ(other.OpenCommPort(m_pty.SlavePath().c_str()), 0u);
    EXPECT_EQ(m_com.DoCommSetup(), 0);
    ASSERT_EQ(m_ui.Errors().size(), 1u);
    EXPECT_TRUE(Contains(m_ui.Errors()[0].detail, "in use")) << m_ui.Errors()[0].detail;
}

TEST_F(ComSetupDialog, CancellingThePortDialogLeavesThePortClosed) {
    ASSERT_EQ(m_com.DoCommSetup(), 1);
    m_ui.CancelPortName();
    EXPECT_EQ(m_com.DoCommSetup(), 0);
    EXPECT_FALSE(m_com.IsPortOpen()) << "a new setup closes the port first";
    EXPECT_EQ(m_com.GetPortName(), m_pty.SlavePath()) << "the name stays as it was";
    EXPECT_TRUE(m_ui.Errors().empty());
    const std::uint8_t space = 0x20;
    EXPECT_EQ(m_com.Write(&space, 1), -1);
}

TEST_F(ComSetupDialog, CancellingTheLineSettingsLeavesThePortOpenWithItsSettings) {
    m_ui.CancelLineSettings();
    EXPECT_EQ(m_com.DoCommSetup(), 0);
    EXPECT_TRUE(m_com.IsPortOpen());
    EXPECT_TRUE(m_ui.Errors().empty());
    const LynDcb dcb = PortState();
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, LYN_NOPARITY);
    EXPECT_EQ(dcb.StopBits, LYN_ONESTOPBIT);

    // A later configuration uses the open port as it is.
    m_ui.AnswerLineSettings([](LynDcb& d) { d.BaudRate = 38400; });
    EXPECT_EQ(m_com.DoConfig(), 1);
    EXPECT_EQ(PortState().BaudRate, 38400u);
}

TEST_F(ComSetupDialog, SettingsThatCannotBeAppliedShowTheSetStateError) {
    m_ui.AnswerLineSettings([](LynDcb& dcb) {
        dcb.BaudRate = 57600;
        dcb.fOutxDsrFlow = 1;
    });
    EXPECT_EQ(m_com.DoCommSetup(), 0);
    EXPECT_TRUE(m_com.IsPortOpen());
    ASSERT_EQ(m_ui.Errors().size(), 1u);
    EXPECT_EQ(m_ui.Errors()[0].message, kSetStateFailed);
    EXPECT_TRUE(Contains(m_ui.Errors()[0].detail, "DSR")) << m_ui.Errors()[0].detail;
    EXPECT_EQ(PortState().BaudRate, 9600u) << "the previous settings stay";
}

TEST_F(ComSetupDialog, NoUserInterfaceMeansNoSetup) {
    CComSetupDialog com;
    EXPECT_EQ(com.DoCommSetup(), 0);
    EXPECT_FALSE(com.IsPortOpen());
    EXPECT_EQ(com.DoConfig(), 0);
}

TEST_F(ComSetupDialog, WriteAndReadThroughTheOpenPort) {
    const std::vector<std::uint8_t> request = TestPty::Pattern(7, 0x23);
    EXPECT_EQ(m_com.Write(request.data(), 3), -1) << "nothing goes out before the setup";
    ASSERT_EQ(m_com.DoCommSetup(), 1);
    EXPECT_EQ(m_com.Write(request.data(), 7), 7);
    EXPECT_EQ(m_pty.Receive(7), request);

    const std::vector<std::uint8_t> answer = TestPty::Pattern(71, 0x24);
    Arrive(answer);
    std::vector<std::uint8_t> buffer(72, 0);
    int count = 72;
    EXPECT_EQ(m_com.ReadData(buffer.data(), count, 1), 1);
    ASSERT_EQ(count, 71);
    buffer.resize(71);
    EXPECT_EQ(buffer, answer);
}

TEST_F(ComSetupDialog, ReadDataTakesAtMostCountAndPurgeDropsTheRest) {
    std::uint8_t buffer[100];
    int count = 71;
    EXPECT_EQ(m_com.ReadData(buffer, count, 0), 1) << "a closed port reads nothing";
    EXPECT_EQ(count, 0);
    ASSERT_EQ(m_com.DoCommSetup(), 1);
    Arrive(TestPty::Pattern(100));
    count = 71;
    m_com.ReadData(buffer, count, 0);
    EXPECT_EQ(count, 71);
    ASSERT_EQ(m_com.PurgePort(LYN_PURGE_RXABORT | LYN_PURGE_RXCLEAR), 1);
    count = 100;
    EXPECT_EQ(m_com.ReadData(buffer, count, 0), 1);
    EXPECT_EQ(count, 0) << "the 29 left over were discarded";
}

TEST_F(ComSetupDialog, VanishedPortFailsWritesAndReadsNothing) {
    ASSERT_EQ(m_com.DoCommSetup(), 1);
    m_pty.CloseMaster();
    const std::vector<std::uint8_t> request = TestPty::Pattern(7);
    EXPECT_EQ(m_com.Write(request.data(), 7), -1);
    EXPECT_TRUE(m_com.IsPortLost());
    EXPECT_TRUE(Contains(m_com.GetLastErrorText(), "no longer available")) << m_com.GetLastErrorText();
    std::uint8_t buffer[71];
    int count = 71;
    EXPECT_EQ(m_com.ReadData(buffer, count, 0), 1);
    EXPECT_EQ(count, 0);

    // Setting up again finds the port gone.
    EXPECT_EQ(m_com.DoCommSetup(), 0);
    EXPECT_EQ(m_ui.Messages(), std::vector<std::string>{kOpenFailed});
    EXPECT_FALSE(m_com.IsPortOpen());
}

TEST_F(ComSetupDialog, DestroyingTheOwnerReleasesThePort) {
    {
        CComSetupDialog com(&m_ui);
        ASSERT_EQ(com.DoCommSetup(), 1);
    }
    ASSERT_EQ(m_com.DoCommSetup(), 1) << m_com.GetLastErrorText();
}

TEST(ComSetupReceiveBuffer, KeepsTheLastNotificationUpToItsSize) {
    CComSetupDialog com;
    EXPECT_EQ(com.GetReceivedCount(), 0);
    const std::vector<std::uint8_t> small = TestPty::Pattern(10, 1);
    EXPECT_EQ(com.OnData(small.data(), 10), 0);
    std::vector<std::uint8_t> out(CComSetupDialog::kReceiveBufferSize + 8, 0);
    ASSERT_EQ(com.GetReceivedData(out.data(), static_cast<int>(out.size())), 10);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + 10), small);

    const std::vector<std::uint8_t> big(CComSetupDialog::kReceiveBufferSize + 100, 0x77);
    com.OnData(big.data(), static_cast<long>(big.size()));
    EXPECT_EQ(com.GetReceivedCount(), CComSetupDialog::kReceiveBufferSize);

    com.OnData(small.data(), -3);
    EXPECT_EQ(com.GetReceivedCount(), 0);
    com.OnData(nullptr, 5);
    EXPECT_EQ(com.GetReceivedCount(), 0);
}

} // namespace
