#include "link/CComSetupDialog.h"
#include "link/CScriptedComSetupUI.h"
#include "serial/TestPty.h"

#include <gtest/gtest.h>

namespace {

const std::string kOpenFailed = "Error to open com port.\n";

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
    TestPty m_pty;
    CScriptedComSetupUI m_ui;
    CComSetupDialog m_com{&m_ui};
};

TEST_F(ComSetupDialog, SetupOpensThePortAndAppliesTheEditedLineSettings) {
    {
        CComSetupDialog earlier(&m_ui);
        ASSERT_EQ(earlier.DoCommSetup(), 1) << earlier.GetLastErrorText();
    } // its owner gone, the port is free again
    m_ui.AnswerLineSettings([](LynDcb& dcb) {
        dcb.BaudRate = 19200;
        dcb.StopBits = LYN_TWOSTOPBITS;
        dcb.Parity = LYN_EVENPARITY;
    });
    EXPECT_EQ(m_com.GetPortName(), "") << "no name until the dialog was confirmed once";
    ASSERT_EQ(m_com.DoCommSetup(), 1) << m_com.GetLastErrorText();
    EXPECT_TRUE(m_com.IsPortOpen());
    EXPECT_EQ(m_com.GetPortName(), m_pty.SlavePath());

    // The line-settings dialog starts from the library's defaults, for the chosen port.
    ASSERT_EQ(m_ui.LineSettingsShown().size(), 2u);
    const LynDcb& shown = m_ui.LineSettingsShown()[1];
    EXPECT_EQ(shown.BaudRate, 9600u);
    EXPECT_EQ(shown.ByteSize, 8);
    EXPECT_EQ(shown.Parity, LYN_NOPARITY);
    EXPECT_EQ(shown.StopBits, LYN_ONESTOPBIT);
    EXPECT_EQ(m_ui.LineSettingsPorts()[1], m_pty.SlavePath());
    const LynDcb dcb = PortState();
    EXPECT_EQ(dcb.BaudRate, 19200u);
    EXPECT_EQ(dcb.StopBits, LYN_TWOSTOPBITS);
    EXPECT_EQ(dcb.Parity, LYN_EVENPARITY);

    // Settings that cannot be applied leave the port open with the previous ones.
    m_ui.AnswerLineSettings([](LynDcb& d) {
        d.BaudRate = 57600;
        d.fOutxDsrFlow = 1;
    });
    EXPECT_EQ(m_com.DoConfig(), 0);
    EXPECT_TRUE(m_com.IsPortOpen());
    ASSERT_EQ(m_ui.Errors().size(), 1u);
    EXPECT_EQ(m_ui.Errors()[0].message, "Error to Set communication state");
    EXPECT_TRUE(Contains(m_ui.Errors()[0].detail, "DSR")) << m_ui.Errors()[0].detail;
    EXPECT_EQ(PortState().BaudRate, 19200u);

    // Cancelled line settings leave the port as it is; a cancelled port choice closes it, name kept.
    m_ui.CancelLineSettings();
    EXPECT_EQ(m_com.DoConfig(), 0);
    EXPECT_EQ(PortState().BaudRate, 19200u);
    m_ui.CancelPortName();
    EXPECT_EQ(m_com.DoCommSetup(), 0);
    EXPECT_FALSE(m_com.IsPortOpen()) << "a new setup closes the port first";
    EXPECT_EQ(m_com.GetPortName(), m_pty.SlavePath());
    const std::uint8_t space = 0x20;
    EXPECT_EQ(m_com.Write(&space, 1), -1) << "nothing goes out of a closed port";
}

TEST_F(ComSetupDialog, PortsThatCannotBeOpenedShowTheOpenErrorWithItsReason) {
    CLynSerial other;
    ASSERT_EQ(other.OpenCommPort(m_pty.SlavePath().c_str()), 0u);
    EXPECT_EQ(m_com.DoCommSetup(), 0);
    m_ui.AnswerPortName("COM256"); // /dev/ttyS255, which no machine has
    EXPECT_EQ(m_com.DoCommSetup(), 0);
    EXPECT_EQ(m_com.GetPortName(), "COM256");
    EXPECT_FALSE(m_com.IsPortOpen());
    ASSERT_EQ(m_ui.Errors().size(), 2u);
    EXPECT_EQ(m_ui.Errors()[1].message, kOpenFailed);
    EXPECT_TRUE(Contains(m_ui.Errors()[0].detail, "in use")) << m_ui.Errors()[0].detail;
    EXPECT_TRUE(Contains(m_ui.Errors()[1].detail, "COM256 (/dev/ttyS255): no such port"))
        << m_ui.Errors()[1].detail;
    EXPECT_TRUE(m_ui.LineSettingsShown().empty()) << "no settings dialog for a port that did not open";
}

} // namespace
