// The dialogs and the progress window of a transfer, each on its own; TransferWithUnitTest runs them
// together against the simulated unit.
#include "TransferTestHelpers.h"

#include "serial/CLynSerial.h"
#include "tools/zemra-sim/CPseudoTerminal.h"
#include "ui/CComPortDlg.h"
#include "ui/CComSetupUI.h"
#include "ui/CLineSettingsDlg.h"
#include "ui/CProgressWnd.h"
#include "ui/CUpDown.h"
#include "ui/CUpDownPrompt.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <tuple>

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
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly)) << path.toStdString();
}

} // namespace

// The title carries the whole percentage of the position, clamped to the range, and changes only with it.
TEST(TransferProgressWnd, TitleCarriesTheWholePercentage) {
    const struct {
        int upper, pos;
        const char* title;
        int bar;
    } rows[] = {{200, 1, "Progress [0%]", 1},    {200, 2, "Progress [1%]", 2},
                {200, 90, "Progress [45%]", 90}, {1000, 1500, "Progress [100%]", 1000},
                {1000, -5, "Progress [0%]", 0},  {0, 5, "Progress [0%]", 0}};
    for (const auto& row : rows) {
        CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
        wnd.SetRange(0, row.upper, 1);
        wnd.SetPos(row.pos);
        EXPECT_EQ(wnd.windowTitle(), QLatin1String(row.title)) << row.pos << " of " << row.upper;
        EXPECT_EQ(wnd.GetProgressBar()->value(), row.bar) << row.pos << " of " << row.upper;
    }
    CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
    wnd.SetRange(0, 200);
    QSignalSpy titles(&wnd, &QWidget::windowTitleChanged);
    for (int pos : {1, 2, 3})
        wnd.SetPos(pos);
    EXPECT_EQ(titles.count(), 2) << "1.5 % is still 1 %";
}

// With a handler (a transfer's stop question) Stop, Escape and the window manager's close ask it; without
// one, Escape cancels, and a cancelled window still handles events while it waits, so a transfer's loop can
// end.
TEST(TransferProgressWnd, EscapeAsksTheHandlerOrCancels) {
    CProgressWnd asking(nullptr, QStringLiteral("Progress"));
    int asked = 0;
    asking.SetEscapeHandler([&asked] { ++asked; });
    QTest::keyClick(&asking, Qt::Key_Escape);
    EXPECT_FALSE(asking.close()) << "the window manager's close is refused";
    QTest::mouseClick(asking.GetStopButton(), Qt::LeftButton);
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(asking.GetStopButton()->geometry().right() < asking.width() &&
                asking.GetStopButton()->geometry().left() > asking.GetProgressBar()->geometry().right())
        << "Stop sits beside the bar, inside the window";
    EXPECT_FALSE(asking.GetCancelled());
    EXPECT_TRUE(asking.isVisible());

    CProgressWnd wnd(nullptr, QStringLiteral("Progress"));
    ASSERT_TRUE(wnd.PeekAndPump(true));
    QTest::keyClick(&wnd, Qt::Key_Escape);
    EXPECT_TRUE(wnd.GetCancelled());
    EXPECT_FALSE(wnd.isVisible());
    int handled = 0;
    QTimer::singleShot(0, &wnd, [&handled] { ++handled; });
    EXPECT_FALSE(wnd.PeekAndPump(true));
    EXPECT_EQ(handled, 0) << "a cancelled window handles nothing in PeekAndPump";
    EXPECT_FALSE(wnd.WaitAndPump(20));
    EXPECT_EQ(handled, 1);
}

// COM names first, then the adapters present (by-id link names included, built-in ttyS ports not). The
// list is read again on Refresh; a port that vanished stays as typed text. A typed name is taken trimmed;
// Cancel leaves the name alone.
TEST(TransferPortList, ComNamesThenAdaptersAndAVanishedPortStaysAsText) {
    QTemporaryDir dev;
    ASSERT_TRUE(QDir(dev.path()).mkpath(QStringLiteral("serial/by-id")));
    for (const char* name : {"ttyUSB0", "ttyACM1", "ttyS0", "serial/by-id/usb-FTDI_FT232R-if00-port0"})
        Touch(dev.filePath(QLatin1String(name)));
    EXPECT_EQ(
        CComPortDlg::PortChoices(dev.path()),
        (QStringList{"COM1", "COM2", "COM3", "COM4", dev.filePath("serial/by-id/usb-FTDI_FT232R-if00-port0"),
                     dev.filePath("ttyACM1"), dev.filePath("ttyUSB0")}));
    EXPECT_EQ(CComPortDlg::PortChoices(dev.filePath(QStringLiteral("missing"))).size(), 4);

    CComPortDlg dialog(nullptr, dev.path());
    EXPECT_EQ(dialog.GetPortName(), QStringLiteral("COM1"));
    Touch(dev.filePath(QStringLiteral("ttyUSB1")));
    ASSERT_TRUE(QFile::remove(dev.filePath(QStringLiteral("ttyUSB0"))));
    dialog.Refresh(dev.filePath(QStringLiteral("ttyUSB0")));
    const QStringList items = Items(dialog.GetPortList());
    EXPECT_TRUE(items.contains(dev.filePath("ttyUSB1")) && !items.contains(dev.filePath("ttyUSB0")));
    EXPECT_EQ(dialog.GetPortName(), dev.filePath(QStringLiteral("ttyUSB0")));
    dialog.Refresh(QStringLiteral("COM3"));
    EXPECT_EQ(dialog.GetPortList()->currentIndex(), 2);

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

// The worker asks on its own thread; the dialog runs on the window thread and the worker waits for it.
// Closing the prompt frees a waiting worker.
TEST(TransferRetryDialog, WorkerWaitsForTheAnswerOnTheWindowThreadOrAClose) {
    CUpDownPrompt prompt;
    QThread* dialogThread = nullptr;
    QStringList shown;
    std::atomic<int> answered{0};
    bool answeredBeforeClick = true;
    ScriptedUser user;
    user.onDialog = [&](QWidget* dialog) {
        auto* upDown = qobject_cast<CUpDown*>(dialog);
        ASSERT_NE(upDown, nullptr);
        dialogThread = QThread::currentThread();
        shown = QStringList{upDown->windowTitle(), upDown->GetMessage(), upDown->GetReason(),
                            upDown->GetRetryButton()->text(), upDown->GetCancelButton()->text()};
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
    EXPECT_EQ(shown, (QStringList{"Upload/Download", "Error to download Physical Input data",
                                  "no answer (message 64, block 3)", "Retry", "Cancel"}));

    // Closing (the window thread busy elsewhere, never showing the dialog) answers Cancel, now and later.
    user.onDialog = [](QWidget*) { ADD_FAILURE() << "a dialog after Close"; };
    retry = true;
    std::thread waiting([&] { retry = prompt.AskRetry("Error to upload General data"); });
    QThread::msleep(50);
    prompt.Close();
    waiting.join();
    EXPECT_FALSE(retry);
    EXPECT_FALSE(prompt.AskRetry("Error to upload General data"));
    QApplication::processEvents();
}
