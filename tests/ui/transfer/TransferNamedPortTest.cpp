// Download and Upload from the main window against a unit on a port named by TAVIK_TEST_PORT, at the unit's
// own pace. The Windows stage runs it under wine against the simulated unit on a wine COM port, and the
// Linux build beside it on the simulator's pseudo-terminal, and compares the times. The unit is started
// with General block 0 unanswered once (zemra-sim --fault general/0:noanswer:1), so that the retry question
// comes up and is answered. Without TAVIK_TEST_PORT the test is skipped.
#include "TransferTestHelpers.h"

#include "model/CScriptedPrompt.h"
#include "ui/app/CMainFrame.h"
#include "ui/app/CTavikApp.h"
#include "ui/app/CommandIds.h"
#include "ui/grid/CLynGridCtrl.h"
#include "ui/sheet/CTavikView.h"
#include "ui/transfer/CComPortDlg.h"
#include "ui/transfer/CLineSettingsDlg.h"
#include "ui/transfer/CUpDown.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <cstdio>

using transfer_test::ScriptedUser;

TEST(TransferNamedPort, DownloadWithARetryThenUploadAnEditAndReadItBack) {
    const QString port = qEnvironmentVariable("TAVIK_TEST_PORT");
    if (port.isEmpty()) GTEST_SKIP() << "TAVIK_TEST_PORT names no port";
    CScriptedPrompt prompt{false};
    CTavikApp app;
    ASSERT_TRUE(app.InitInstance({QStringLiteral("tavik")}, true));
    CMainFrame& frame = *app.GetMainFrame();
    ScriptedUser user;
    QStringList retries;
    user.onDialog = [&](QWidget* dialog) {
        if (auto* ports = qobject_cast<CComPortDlg*>(dialog)) {
            ports->GetPortList()->setEditText(port);
            ports->GetConfigButton()->click();
        } else if (auto* line = qobject_cast<CLineSettingsDlg*>(dialog)) {
            line->accept();
        } else if (auto* retry = qobject_cast<CUpDown*>(dialog)) {
            retries << retry->GetMessage();
            retry->GetRetryButton()->click();
        } else if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            box->button(box->button(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok)->click();
        }
    };
    // Runs a transfer from the menu; its seconds go to the log, for the comparison of the two systems.
    auto transfer = [&](int id, const char* name) {
        QElapsedTimer clock;
        clock.start();
        frame.GetAction(id)->trigger();
        std::printf("%s: %.1f s\n", name, static_cast<double>(clock.elapsed()) / 1000.0);
        std::fflush(stdout);
        return app.GetDoc()->GetZemUnit()->GetTransferResult();
    };
    CLynGridCtrl& general = *frame.GetTavikView(0)->GetGrid();

    ASSERT_EQ(transfer(ID_DOWNLOAD, "download"), 1) << app.GetDoc()->GetZemUnit()->GetTransferError();
    EXPECT_EQ(retries, QStringList{"Error to download General data"});
    EXPECT_EQ(frame.GetResultText(), QStringLiteral("Download complete: 87 blocks read"));

    // A device number unlike the unit's goes up, and comes back in a new download.
    const QString number =
        general.GetItemText(3, 1) == QStringLiteral("7") ? QStringLiteral("8") : QStringLiteral("7");
    general.EditCell(3, 1, number);
    ASSERT_EQ(transfer(ID_UPLOAD, "upload"), 1) << app.GetDoc()->GetZemUnit()->GetTransferError();
    EXPECT_TRUE(frame.GetResultText().startsWith(
        QStringLiteral("Upload complete: wrote 1 of 87 blocks; 86 already held these values; previous "
                       "configuration: ")))
        << frame.GetResultText().toStdString();
    app.GetDoc()->SetModifiedFlag(false);
    frame.GetAction(ID_FILE_NEW)->trigger();
    ASSERT_EQ(transfer(ID_DOWNLOAD, "download again"), 1);
    EXPECT_EQ(frame.GetTavikView(0)->GetGrid()->GetItemText(3, 1), number);
    EXPECT_EQ(retries.size(), 1) << "the fault fired once";
}
