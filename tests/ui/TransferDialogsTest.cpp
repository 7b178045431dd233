#include "TransferTestHelpers.h"

#include "link/CComSetupDialog.h"
#include "serial/CLynSerial.h"
#include "tools/zemra-sim/CPseudoTerminal.h"
#include "ui/CComPortDlg.h"
#include "ui/CComSetupUI.h"
#include "ui/CLineSettingsDlg.h"
#include "ui/CUpDown.h"
#include "ui/CUpDownPrompt.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using transfer_test::PumpUntil;
using transfer_test::ScriptedUser;

namespace {

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

// A device folder with two adapters, a by-id link name and a port that is not offered.
class TransferPortList : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dev.isValid());
        ASSERT_TRUE(QDir(dev.path()).mkpath(QStringLiteral("serial/by-id")));
        Touch(dev.filePath(QStringLiteral("ttyUSB0")));
        Touch(dev.filePath(QStringLiteral("ttyACM1")));
        Touch(dev.filePath(QStringLiteral("ttyS0")));
        Touch(dev.filePath(QStringLiteral("serial/by-id/usb-FTDI_FT232R-if00-port0")));
    }
    QTemporaryDir dev;
};

} // namespace

TEST_F(TransferPortList, OffersComNamesThenTheAdaptersPresent) {
    EXPECT_EQ(
        CComPortDlg::PortChoices(dev.path()),
        (QStringList{"COM1", "COM2", "COM3", "COM4", dev.filePath("serial/by-id/usb-FTDI_FT232R-if00-port0"),
                     dev.filePath("ttyACM1"), dev.filePath("ttyUSB0")}));
    EXPECT_EQ(CComPortDlg::PortChoices(dev.filePath(QStringLiteral("missing"))).size(), 4);
}

TEST_F(TransferPortList, ListIsRefreshedAndAVanishedPortStaysAsText) {
    CComPortDlg dialog(nullptr, dev.path());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("COM Port Setup"));
    EXPECT_EQ(dialog.GetConfigButton()->text(), QStringLiteral("Config"));
    EXPECT_TRUE(dialog.GetPortList()->isEditable());
    EXPECT_EQ(dialog.GetPortName(), QStringLiteral("COM1"));

    Touch(dev.filePath(QStringLiteral("ttyUSB1")));
    ASSERT_TRUE(QFile::remove(dev.filePath(QStringLiteral("ttyUSB0"))));
    dialog.Refresh(dev.filePath(QStringLiteral("ttyUSB0")));
    EXPECT_TRUE(Items(dialog.GetPortList()).contains(dev.filePath(QStringLiteral("ttyUSB1"))));
    EXPECT_FALSE(Items(dialog.GetPortList()).contains(dev.filePath(QStringLiteral("ttyUSB0"))));
    EXPECT_EQ(dialog.GetPortName(), dev.filePath(QStringLiteral("ttyUSB0")));

    dialog.Refresh(QStringLiteral("COM3"));
    EXPECT_EQ(dialog.GetPortList()->currentIndex(), 2);
}

TEST_F(TransferPortList, ConfigTakesATypedNameAndCancelLeavesTheNameAlone) {
    CComSetupUI ui(nullptr, dev.path());
    ScriptedUser user;
    user.onDialog = [](QWidget* dialog) {
        auto* ports = qobject_cast<CComPortDlg*>(dialog);
        ASSERT_NE(ports, nullptr);
        ports->GetPortList()->lineEdit()->setText(QStringLiteral("  COM7 "));
        ports->GetConfigButton()->click();
    };
    std::string name = "COM2";
    EXPECT_TRUE(ui.AskPortName(name));
    EXPECT_EQ(name, "COM7");

    user.onDialog = [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); };
    EXPECT_FALSE(ui.AskPortName(name));
    EXPECT_EQ(name, "COM7");
}

TEST(TransferLineSettings, ShowsAndReturnsTheSettings) {
    LynDcb dcb;
    dcb.BaudRate = 19200;
    dcb.ByteSize = 7;
    dcb.Parity = LYN_EVENPARITY;
    dcb.StopBits = LYN_TWOSTOPBITS;
    dcb.fOutxCtsFlow = 1;
    dcb.fRtsControl = LYN_RTS_CONTROL_HANDSHAKE;
    dcb.XonLim = 123;
    CLineSettingsDlg dialog(QStringLiteral("COM1"));
    dialog.SetSettings(dcb);
    EXPECT_EQ(dialog.GetBaudRate()->currentText(), QStringLiteral("19200"));
    EXPECT_EQ(dialog.GetParity()->currentText(), QStringLiteral("Even"));
    EXPECT_EQ(dialog.GetStopBits()->currentText(), QStringLiteral("2"));
    EXPECT_EQ(dialog.GetFlowControl()->currentData().toInt(), CLineSettingsDlg::FlowHardware);
    const LynDcb back = dialog.GetSettings();
    EXPECT_EQ(back.BaudRate, 19200u);
    EXPECT_EQ(back.ByteSize, 7);
    EXPECT_EQ(back.Parity, LYN_EVENPARITY);
    EXPECT_EQ(back.StopBits, LYN_TWOSTOPBITS);
    EXPECT_EQ(back.fOutxCtsFlow, 1u);
    EXPECT_EQ(back.fRtsControl, LYN_RTS_CONTROL_HANDSHAKE);
    EXPECT_EQ(back.XonLim, 123) << "fields the dialog does not show are kept";
}

TEST(TransferLineSettings, StopBitsFollowTheDataBits) {
    CLineSettingsDlg dialog(QStringLiteral("COM1"));
    dialog.GetStopBits()->setCurrentIndex(1);
    dialog.GetDataBits()->setCurrentIndex(dialog.GetDataBits()->findData(5));
    EXPECT_EQ(Items(dialog.GetStopBits()), (QStringList{"1", "1.5"}));
    EXPECT_EQ(dialog.GetSettings().StopBits, LYN_ONE5STOPBITS);
    dialog.GetDataBits()->setCurrentIndex(dialog.GetDataBits()->findData(8));
    EXPECT_EQ(Items(dialog.GetStopBits()), (QStringList{"1", "2"}));
    EXPECT_EQ(dialog.GetSettings().StopBits, LYN_TWOSTOPBITS);
}

// Every choice the dialog offers must be one the serial library can carry out.
TEST(TransferLineSettings, EveryChoiceIsAcceptedByThePort) {
    CPseudoTerminal pty;
    std::string error;
    ASSERT_EQ(pty.Open(error), 1) << error;
    CLynSerial port;
    ASSERT_EQ(port.OpenCommPort(pty.SlavePath().c_str()), 0u) << port.GetLastErrorText();
    LynDcb start;
    ASSERT_NE(port.GetCommState(start), 0);
    start.fOutxDsrFlow = 1; // a handshake this system has not: never handed back
    start.fDtrControl = LYN_DTR_CONTROL_HANDSHAKE;
    CLineSettingsDlg dialog(QStringLiteral("pty"));
    dialog.SetSettings(start);
    for (int baud = 0; baud < dialog.GetBaudRate()->count(); ++baud)
        for (int bits = 0; bits < dialog.GetDataBits()->count(); ++bits)
            for (int flow = 0; flow < dialog.GetFlowControl()->count(); ++flow) {
                dialog.GetBaudRate()->setCurrentIndex(baud);
                dialog.GetDataBits()->setCurrentIndex(bits);
                dialog.GetFlowControl()->setCurrentIndex(flow);
                for (int stop = 0; stop < dialog.GetStopBits()->count(); ++stop) {
                    dialog.GetStopBits()->setCurrentIndex(stop);
                    LynDcb dcb = dialog.GetSettings();
                    EXPECT_NE(port.SetCommState(dcb), 0)
                        << dialog.GetBaudRate()->currentText().toStdString() << " baud, "
                        << dialog.GetDataBits()->currentText().toStdString() << " bits, stop "
                        << dialog.GetStopBits()->currentText().toStdString() << ", flow " << flow << ": "
                        << port.GetLastErrorText();
                }
            }
    dialog.RestoreDefaults();
    const LynDcb defaults = dialog.GetSettings();
    EXPECT_EQ(defaults.BaudRate, 9600u);
    EXPECT_EQ(defaults.ByteSize, 8);
    EXPECT_EQ(defaults.Parity, LYN_NOPARITY);
    EXPECT_EQ(defaults.StopBits, LYN_ONESTOPBIT);
    EXPECT_EQ(defaults.fOutX, 0u);
    EXPECT_EQ(defaults.fOutxCtsFlow, 0u);
    port.CloseCommPort();
}

TEST(TransferComSetup, ConfigOpensAndConfiguresThePort) {
    CPseudoTerminal pty;
    std::string error;
    ASSERT_EQ(pty.Open(error), 1) << error;
    CComSetupUI ui;
    CComSetupDialog com(&ui);
    QString settingsTitle;
    ScriptedUser user;
    user.onDialog = [&](QWidget* dialog) {
        if (auto* ports = qobject_cast<CComPortDlg*>(dialog)) {
            ports->GetPortList()->setEditText(QString::fromStdString(pty.SlavePath()));
            ports->GetConfigButton()->click();
        } else if (auto* line = qobject_cast<CLineSettingsDlg*>(dialog)) {
            settingsTitle = line->windowTitle();
            line->GetBaudRate()->setCurrentText(QStringLiteral("19200"));
            line->accept();
        }
    };
    ASSERT_EQ(com.DoCommSetup(), 1);
    EXPECT_EQ(com.GetPortName(), pty.SlavePath());
    EXPECT_TRUE(settingsTitle.contains(QString::fromStdString(pty.SlavePath())));
    LynDcb dcb;
    ASSERT_NE(com.GetPort()->GetCommState(dcb), 0);
    EXPECT_EQ(dcb.BaudRate, 19200u);
}

TEST(TransferRetryDialog, OffersRetryAndCancel) {
    CUpDown dialog;
    dialog.SetMessage(QStringLiteral("Error to upload Alarm data"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Upload/Download"));
    EXPECT_EQ(dialog.GetRetryButton()->text(), QStringLiteral("Retry"));
    EXPECT_EQ(dialog.GetCancelButton()->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(dialog.GetMessage(), QStringLiteral("Error to upload Alarm data"));
    QTimer::singleShot(0, dialog.GetRetryButton(), &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    QTimer::singleShot(0, dialog.GetCancelButton(), &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}

// The worker asks on its own thread; the dialog runs on the window thread and the worker waits for it.
TEST(TransferRetryDialog, WorkerWaitsForTheAnswerGivenOnTheWindowThread) {
    CUpDownPrompt prompt;
    QThread* dialogThread = nullptr;
    QString message;
    QString reason;
    std::atomic<int> answered{0};
    bool answeredBeforeClick = true;
    ScriptedUser user;
    user.onDialog = [&](QWidget* dialog) {
        auto* upDown = qobject_cast<CUpDown*>(dialog);
        ASSERT_NE(upDown, nullptr);
        dialogThread = QThread::currentThread();
        message = upDown->GetMessage();
        reason = upDown->GetReason();
        QTimer::singleShot(30, upDown, [&, upDown] {
            answeredBeforeClick = answered.load() != 0;
            upDown->GetRetryButton()->click();
        });
    };
    bool retry = false;
    std::thread worker([&] {
        retry = prompt.AskRetry("Error to download Physical Input data", "no answer (message 64, block 3)");
        answered = 1;
    });
    EXPECT_TRUE(PumpUntil([&] { return answered.load() != 0; }));
    worker.join();
    EXPECT_TRUE(retry);
    EXPECT_FALSE(answeredBeforeClick);
    EXPECT_EQ(dialogThread, QApplication::instance()->thread());
    EXPECT_EQ(message, QStringLiteral("Error to download Physical Input data"));
    EXPECT_EQ(reason, QStringLiteral("no answer (message 64, block 3)")) << "the dialog tells why";
}

TEST(TransferRetryDialog, ClosingAnswersCancelToAWaitingWorker) {
    CUpDownPrompt prompt;
    int dialogs = 0;
    ScriptedUser user;
    user.onDialog = [&dialogs](QWidget*) { ++dialogs; };
    bool retry = true;
    std::atomic<int> answered{0};
    std::thread worker([&] {
        retry = prompt.AskRetry("Error to upload General data");
        answered = 1;
    });
    // The window thread is busy elsewhere and never shows the dialog; closing must still free the worker.
    QThread::msleep(50);
    prompt.Close();
    worker.join();
    EXPECT_FALSE(retry);
    EXPECT_FALSE(prompt.AskRetry("Error to upload General data")) << "closed: Cancel without a dialog";
    QApplication::processEvents();
    EXPECT_EQ(dialogs, 0);
}
