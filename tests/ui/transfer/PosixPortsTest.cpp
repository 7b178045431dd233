// The port dialogs against POSIX devices: the port list read from a /dev folder, and the line settings
// applied to a pseudo-terminal. Windows reads its ports from the registry, and has no pseudo-terminals.
#include "TransferTestHelpers.h"
#include "serial/CLynSerial.h"
#include "tools/zemra-sim/CPseudoTerminal.h"
#include "ui/transfer/CComPortDlg.h"
#include "ui/transfer/CComSetupUI.h"
#include "ui/transfer/CLineSettingsDlg.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

namespace {
QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

void Touch(const QString& path) {
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly)) << path.toStdString();
}
} // namespace

using transfer_test::ScriptedUser;

// The adapters present (by-id link names included, built-in ttyS ports not), the one used last first;
// "COM1".."COM4" only where there is none. The list is read again on Refresh and whenever it is opened; a
// port that vanished stays as typed text. A typed name is taken trimmed; Cancel leaves the name alone.
TEST(TransferPortList, PresentPortsLastUsedFirstAndAVanishedPortStaysAsText) {
    QTemporaryDir dev;
    ASSERT_TRUE(QDir(dev.path()).mkpath(QStringLiteral("serial/by-id")));
    for (const char* name : {"ttyUSB0", "ttyACM1", "ttyS0", "serial/by-id/usb-FTDI_FT232R-if00-port0"})
        Touch(dev.filePath(QLatin1String(name)));
    const QString byId = dev.filePath("serial/by-id/usb-FTDI_FT232R-if00-port0");
    EXPECT_EQ(CComPortDlg::PortChoices(dev.path()),
              (QStringList{byId, dev.filePath("ttyACM1"), dev.filePath("ttyUSB0")}));
    EXPECT_EQ(CComPortDlg::PortChoices(dev.path(), dev.filePath("ttyUSB0")),
              (QStringList{dev.filePath("ttyUSB0"), byId, dev.filePath("ttyACM1")}));
    EXPECT_EQ(CComPortDlg::PortChoices(dev.filePath(QStringLiteral("missing")), QStringLiteral("COM3")),
              (QStringList{"COM3", "COM1", "COM2", "COM4"}));

    CComPortDlg dialog(nullptr, dev.path());
    EXPECT_EQ(dialog.GetPortName(), byId);
    Touch(dev.filePath(QStringLiteral("ttyUSB1")));
    ASSERT_TRUE(QFile::remove(dev.filePath(QStringLiteral("ttyUSB0"))));
    dialog.Refresh(dev.filePath(QStringLiteral("ttyUSB0")));
    const QStringList items = Items(dialog.GetPortList());
    EXPECT_TRUE(items.contains(dev.filePath("ttyUSB1")) && !items.contains(dev.filePath("ttyUSB0")));
    EXPECT_EQ(dialog.GetPortName(), dev.filePath(QStringLiteral("ttyUSB0")));
    dialog.Refresh(dev.filePath(QStringLiteral("ttyACM1")));
    EXPECT_EQ(dialog.GetPortList()->currentIndex(), 0);
    // An adapter plugged in while the dialog is shown is there when the list is opened.
    Touch(dev.filePath(QStringLiteral("ttyACM7")));
    dialog.show();
    dialog.GetPortList()->showPopup();
    EXPECT_TRUE(Items(dialog.GetPortList()).contains(dev.filePath("ttyACM7")));
    EXPECT_EQ(dialog.GetPortName(), dev.filePath(QStringLiteral("ttyACM1")));
    dialog.GetPortList()->hidePopup();
    dialog.hide();

    CComSetupUI ui(nullptr, dev.path());
    ScriptedUser user;
    user.onDialog = [](QWidget* shown) {
        auto* ports = qobject_cast<CComPortDlg*>(shown);
        ASSERT_NE(ports, nullptr);
        ports->GetPortList()->lineEdit()->setText(QStringLiteral("  COM7 "));
        ports->GetConfigButton()->click();
    };
    std::string name = "COM2";
    EXPECT_TRUE(ui.AskPortName(name));
    EXPECT_EQ(name, "COM7");
    user.onDialog = [](QWidget* shown) { qobject_cast<QDialog*>(shown)->reject(); };
    EXPECT_FALSE(ui.AskPortName(name));
    EXPECT_EQ(name, "COM7");
}

// Every choice the dialog offers must be one the serial library can carry out; the settings are shown as
// they came, those the dialog does not show are handed back alone (a DSR handshake, which this system has
// not, never), and the stop bits offered follow the data bits. Defaults are 9600 baud, 8N1, no handshake.
TEST(TransferLineSettings, EveryChoiceIsAcceptedByThePort) {
    CPseudoTerminal pty;
    std::string error;
    ASSERT_EQ(pty.Open(error), 1) << error;
    CLynSerial port;
    ASSERT_EQ(port.OpenCommPort(pty.SlavePath().c_str()), 0u) << port.GetLastErrorText();
    LynDcb start;
    ASSERT_NE(port.GetCommState(start), 0);
    start.BaudRate = 19200;
    start.Parity = LYN_EVENPARITY;
    start.StopBits = LYN_TWOSTOPBITS;
    start.fOutxCtsFlow = 1;
    start.fRtsControl = LYN_RTS_CONTROL_HANDSHAKE;
    start.XonLim = 123;
    start.fOutxDsrFlow = 1;
    start.fDtrControl = LYN_DTR_CONTROL_HANDSHAKE;
    CLineSettingsDlg dialog(QStringLiteral("pty"));
    dialog.SetSettings(start);
    EXPECT_EQ((QStringList{dialog.GetBaudRate()->currentText(), dialog.GetParity()->currentText(),
                           dialog.GetStopBits()->currentText()}),
              (QStringList{"19200", "Even", "2"}));
    EXPECT_EQ(dialog.GetFlowControl()->currentData().toInt(), CLineSettingsDlg::FlowHardware);
    const LynDcb back = dialog.GetSettings();
    EXPECT_EQ(
        std::make_tuple(back.BaudRate, back.Parity, back.StopBits, +back.fOutxCtsFlow, +back.fRtsControl),
        std::make_tuple(start.BaudRate, start.Parity, start.StopBits, 1u, +start.fRtsControl));
    for (int baud = 0; baud < dialog.GetBaudRate()->count(); ++baud)
        for (int bits = 0; bits < dialog.GetDataBits()->count(); ++bits)
            for (int flow = 0; flow < dialog.GetFlowControl()->count(); ++flow) {
                dialog.GetBaudRate()->setCurrentIndex(baud);
                dialog.GetDataBits()->setCurrentIndex(bits);
                dialog.GetFlowControl()->setCurrentIndex(flow);
                for (int stop = 0; stop < dialog.GetStopBits()->count(); ++stop) {
                    dialog.GetStopBits()->setCurrentIndex(stop);
                    LynDcb dcb = dialog.GetSettings();
                    EXPECT_TRUE(port.SetCommState(dcb) && dcb.XonLim == 123 && !dcb.fOutxDsrFlow)
                        << "baud " << baud << ", bits " << bits << ", flow " << flow << ", stop " << stop
                        << ": " << port.GetLastErrorText();
                }
            }
    port.CloseCommPort();
    dialog.GetDataBits()->setCurrentIndex(dialog.GetDataBits()->findData(5));
    EXPECT_EQ(Items(dialog.GetStopBits()), (QStringList{"1", "1.5"}));
    dialog.GetStopBits()->setCurrentIndex(1);
    EXPECT_EQ(dialog.GetSettings().StopBits, LYN_ONE5STOPBITS);
    dialog.RestoreDefaults();
    const LynDcb defaults = dialog.GetSettings();
    EXPECT_EQ(std::make_tuple(defaults.BaudRate, defaults.ByteSize, defaults.Parity, defaults.StopBits,
                              +defaults.fOutX, +defaults.fOutxCtsFlow),
              std::make_tuple(9600u, 8, LYN_NOPARITY, LYN_ONESTOPBIT, 0u, 0u));
}
