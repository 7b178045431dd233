// Upload and Download from the main window against the simulated unit on a pseudo-terminal, with every
// dialog answered the way a user would.
#include "TransferTestHelpers.h"
#include "ViewCheck.h"

#include "link/CComSetupDialog.h"
#include "link/ITransferTrace.h"
#include "model/CBrantSetupType.h"
#include "model/CScriptedPrompt.h"
#include "tests/support/SimulatedUnit.h"
#include "ui/app/CMainFrame.h"
#include "ui/app/CTavikApp.h"
#include "ui/app/CommandIds.h"
#include "ui/grid/CLynGridCtrl.h"
#include "ui/sheet/CTavikView.h"
#include "ui/sheet/Cp1252.h"
#include "ui/transfer/CComPortDlg.h"
#include "ui/transfer/CLineSettingsDlg.h"
#include "ui/transfer/CTransferProgress.h"
#include "ui/transfer/CUpDown.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using transfer_test::ScriptedUser;

namespace {

// Shorter than the unit's 100 ms so the tests run quickly.
constexpr int kBlockWaitMs = 40;

using Sheet = std::vector<std::vector<std::string>>;
using Configuration = std::vector<Sheet>;

// Equal texts: the sheets hold the texts the unit gives back ("Oil temp", not "Oil temp  ").
::testing::AssertionResult AsTheUnitKeepsIt(const Configuration& actual, const Configuration& expected) {
    for (std::size_t s = 0; s < expected.size(); ++s)
        for (std::size_t row = 0; row < expected[s].size(); ++row)
            for (std::size_t col = 0; col < expected[s][row].size(); ++col)
                if (actual.at(s).at(row).at(col) != expected[s][row][col])
                    return ::testing::AssertionFailure()
                           << "sheet " << s << " row " << row << " col " << col << ": "
                           << FromCp1252(actual.at(s).at(row).at(col)).toStdString() << " for "
                           << FromCp1252(expected[s][row][col]).toStdString();
    return ::testing::AssertionSuccess();
}

class TransferApp : public CTavikApp {
public:
    int saveAnswer = QMessageBox::Discard;
    int saveQuestions = 0;

protected:
    int AskSaveChanges(const QString&) override {
        ++saveQuestions;
        return saveAnswer;
    }
};

class TransferWithUnit : public ::testing::Test {
protected:
    void SetUp() override {
        TransferWaits::SetBlockWaitMsForTests(kBlockWaitMs);
        app = std::make_unique<TransferApp>();
        ASSERT_TRUE(app->InitInstance({QStringLiteral("tavik")}, false));
        Frame().show();
        user.onDialog = [this](QWidget* dialog) { Answer(dialog); };
    }

    void TearDown() override {
        app.reset();
        TransferWaits::SetBlockWaitMsForTests(TransferWaits::UNIT_BLOCK_WAIT_MS);
    }

    void StartUnit() {
        unit.Start();
        portName = QString::fromStdString(unit.Path());
    }

    // The user: names the pseudo-terminal as the port, keeps the line settings, answers the retry dialog
    // as retryAgain says and confirms every message.
    void Answer(QWidget* dialog) {
        if (auto* ports = qobject_cast<CComPortDlg*>(dialog)) {
            ++portQuestions;
            ports->GetPortList()->setEditText(portName);
            ports->GetConfigButton()->click();
        } else if (auto* line = qobject_cast<CLineSettingsDlg*>(dialog)) {
            line->accept();
        } else if (auto* retry = qobject_cast<CUpDown*>(dialog)) {
            retryMessages << retry->GetMessage();
            mainEnabledDuringRetry = Frame().isEnabled();
            retryAnswered.push_back(user.positions.size());
            retriesChosen += retryAgain;
            (retryAgain ? retry->GetRetryButton() : retry->GetCancelButton())->click();
        } else if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            messages << box->text();
            details << box->informativeText();
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            (yes ? yes : box->button(QMessageBox::Ok))->click();
        }
    }

    CMainFrame& Frame() { return *app->GetMainFrame(); }
    CTavikDoc& Doc() { return *app->GetDoc(); }
    CZemUnit& Unit() { return *Doc().GetZemUnit(); }
    CTavikView& View(int index) { return *Frame().GetTavikView(index); }
    void Trigger(int id) { Frame().GetAction(id)->trigger(); }

    // Every cell of every sheet, hidden rows included.
    Configuration Snapshot() {
        IBrantSetupType* setups[SETUP_TYPE_COUNT] = {};
        EXPECT_EQ(Doc().GetBrSetup(setups), static_cast<unsigned>(SETUP_TYPE_COUNT));
        Configuration all;
        for (IBrantSetupType* setup : setups) {
            Sheet sheet;
            const CDataSheet* data = setup->GetDataSheet();
            for (int row = 0; row < data->GetNumSections(); ++row) {
                sheet.emplace_back();
                for (int col = 0; col < data->GetNumCells(row); ++col)
                    sheet.back().push_back(data->GetCellChecked(row, col)->GetDataAsString());
            }
            all.push_back(sheet);
        }
        return all;
    }

    // A configuration unlike the defaults in every sheet, typed into the grids.
    void EditEverySheet() {
        // clang-format off
        const struct { int view, row, col; const char* text; } edits[] = {
            {0, 3, 1, "7"}, {0, 4, 1, "BRANT BUS"}, {1, 1, 1, "20 mA"}, {1, 1, 2, "°C"}, {1, 1, 6, "120"},
            {1, 2, 1, "20 mA"}, {2, 1, 1, "IN 11"}, {2, 1, 2, "IN 12"}, {3, 1, 1, "IN 11"}, {3, 1, 4, "85"},
            {3, 1, 5, "Oil temp"}};
        // clang-format on
        for (const auto& e : edits)
            View(e.view).GetGrid()->EditCell(e.row, e.col, QString::fromUtf8(e.text));
    }

    // Each view shows what its setup type holds.
    void ExpectViewsShowTheCells() {
        for (int i = 0; i < SETUP_TYPE_COUNT; ++i)
            EXPECT_TRUE(view_check::ShowsItsSheet(View(i)));
    }

    // The positions shown: never backwards except right after a Retry, and the last one the whole range.
    // Returns how often they went back.
    int ExpectProgressForward(bool endsAtTop) {
        const auto& shown = user.positions;
        EXPECT_FALSE(shown.empty());
        if (shown.empty()) return 0;
        int drops = 0;
        for (std::size_t i = 1; i < shown.size(); ++i)
            if (shown[i].window == shown[i - 1].window && shown[i].pos < shown[i - 1].pos) ++drops;
        EXPECT_LE(drops, retriesChosen) << "the count starts again only on Retry";
        if (endsAtTop) {
            EXPECT_EQ(shown.back().pos, shown.back().upper);
            EXPECT_EQ(shown.back().title, QStringLiteral("Progress [100%]"));
        }
        return drops;
    }
    bool ProgressWindowOpen() const {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<CProgressWnd*>(widget) && widget->isVisible()) return true;
        return false;
    }

    SimulatedUnit unit;
    QString portName = QStringLiteral("/nonexistent/ttyUSB9");
    CScriptedPrompt prompt{false}; // the model's own messages, installed before the application
    std::unique_ptr<TransferApp> app;
    ScriptedUser user;

    int portQuestions = 0;
    QStringList messages;
    QStringList details;
    QStringList retryMessages;
    bool retryAgain = true;
    int retriesChosen = 0;
    std::vector<std::size_t> retryAnswered;
    bool mainEnabledDuringRetry = true;
};

} // namespace

TEST_F(TransferWithUnit, UploadWritesTheUnitAndDownloadBringsEveryTabBack) {
    StartUnit();
    Trigger(ID_COM_SETUP); // the port is set up once, for every transfer after
    EXPECT_EQ(portQuestions, 1);
    EXPECT_EQ(Unit().GetComSetup()->GetPortName(), unit.Path());
    EditEverySheet();
    const Configuration edited = Snapshot();
    const bool modified = Doc().IsModified();

    Trigger(ID_UPLOAD);
    EXPECT_EQ(Unit().GetTransferResult(), 1) << Unit().GetTransferError();
    ExpectProgressForward(true);
    EXPECT_EQ(Snapshot(), edited) << "an upload leaves the document alone";
    EXPECT_EQ(Doc().IsModified(), modified);
    const QString result = Frame().GetResultText();
    const QString kept = qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/tavik/backups/unit-1-");
    EXPECT_TRUE(result.startsWith(QStringLiteral("Upload complete: wrote "))) << result.toStdString();
    EXPECT_TRUE(
        result.contains(QStringLiteral(" already held these values; previous configuration: ") + kept))
        << result.toStdString();
    // The button beside the result opens what the unit held before: the factory configuration.
    ASSERT_TRUE(Frame().GetOpenBackupButton()->isVisible());
    Frame().GetOpenBackupButton()->click();
    const QString opened = QString::fromStdString(Doc().GetPathName());
    EXPECT_TRUE(opened.startsWith(kept) && result.endsWith(opened)) << opened.toStdString();
    EXPECT_EQ(View(0).GetGrid()->GetItemText(3, 1), QStringLiteral("1")) << "the unit's device number before";

    // Back to the defaults, under a file name, with a change: the download asks to save it first.
    Trigger(ID_FILE_NEW);
    View(0).GetGrid()->EditCell(3, 1, QStringLiteral("9"));
    Doc().SetPathName("/tmp/before-download.zmg");
    user.positions.clear();
    app->saveQuestions = 0;
    prompt.Clear();

    Trigger(ID_DOWNLOAD);
    EXPECT_TRUE(prompt.Messages().empty()) << "what the program uploaded downloads without corrections";
    EXPECT_EQ(app->saveQuestions, 1);
    EXPECT_EQ(portQuestions, 1) << "the port stays set up";
    EXPECT_EQ(Unit().GetTransferResult(), 1) << Unit().GetTransferError();
    const Configuration downloaded = Snapshot();
    EXPECT_TRUE(AsTheUnitKeepsIt(downloaded, edited)) << "every tab holds the unit's configuration";
    ExpectViewsShowTheCells();
    EXPECT_EQ(Doc().GetPathName(), "");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(user.positions.front().text, QStringLiteral("Downloading General data ..."));
    EXPECT_EQ(user.positions.back().text, QStringLiteral("Downloading Alarm data ..."));
    ExpectProgressForward(true);
    EXPECT_EQ(Frame().GetResultText(), QStringLiteral("Download complete: 87 blocks read"));
}

// A result stays beside the texts of the commands under the pointer until the next edit. An upload of a
// configuration the unit holds writes nothing; with "Write every block" in the line settings it writes all.
// Tools > Unit backups... opens the backup chosen in its folder.
TEST_F(TransferWithUnit, TheResultStaysUntilTheNextEditAndEveryBackupCanBeOpened) {
    StartUnit();
    Frame().GetAction(ID_UPLOAD)->trigger();
    Frame().GetAction(ID_UPLOAD)->showStatusText(&Frame()); // the pointer on the toolbar button
    const QString result = Frame().GetResultText();
    EXPECT_TRUE(
        result.startsWith(QStringLiteral("Upload complete: wrote 0 of 87 blocks; 87 already held these "
                                         "values; previous configuration: ")))
        << result.toStdString();
    EXPECT_EQ(Frame().statusBar()->currentMessage(), QStringLiteral("Upload data to Zemra unit"));
    EXPECT_TRUE(Frame().findChild<QLabel*>(QStringLiteral("transferResult"))->isVisible());

    user.onDialog = [&](QWidget* dialog) {
        if (auto* line = qobject_cast<CLineSettingsDlg*>(dialog)) {
            EXPECT_FALSE(line->GetWriteEveryBlock()->isChecked()) << "off by default";
            line->GetWriteEveryBlock()->setChecked(true);
        }
        Answer(dialog);
    };
    Trigger(ID_COM_SETUP);
    Trigger(ID_UPLOAD);
    EXPECT_TRUE(
        Frame().GetResultText().startsWith(QStringLiteral("Upload complete: wrote 87 of 87 blocks; 0")));
    const QString second = Frame().GetResultText().section(QStringLiteral("previous configuration: "), 1);

    View(0).GetGrid()->EditCell(3, 1, QStringLiteral("9"));
    EXPECT_EQ(Frame().GetResultText(), QString()) << "the next edit clears the result";
    EXPECT_FALSE(Frame().GetOpenBackupButton()->isVisible());

    QString folder;
    Frame().SetBackupAsker([&](const QString& where) {
        folder = where;
        return second;
    });
    Trigger(ID_UNIT_BACKUPS);
    EXPECT_EQ(folder, qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/tavik/backups"));
    EXPECT_EQ(QString::fromStdString(Doc().GetPathName()), second);
    EXPECT_EQ(View(0).GetGrid()->GetItemText(3, 1), QStringLiteral("1"));
    EXPECT_EQ(Frame().GetAction(ID_UNIT_BACKUPS)->text(), QStringLiteral("Unit backups\u2026"));
}

TEST_F(TransferWithUnit, RetryDialogRetriesAfterAFaultTheSheetsListTheirCorrectionsAndCancelEnds) {
    // The 21st alarm block goes unanswered once: the second attempt gets through.
    unit.Sim().Faults().Add(ZemFault{ZemBank::Alarm, 20, 20, ZemFaultKind::NoAnswer, 1});
    unit.HoldASetPointAboveItsRange();
    StartUnit();
    prompt.Clear();
    Trigger(ID_DOWNLOAD);
    ASSERT_EQ(retryMessages, QStringList{"Error to download Alarm data"});
    EXPECT_FALSE(mainEnabledDuringRetry) << "the main window stays disabled while the worker waits";
    EXPECT_EQ(Unit().GetTransferResult(), 1) << Unit().GetTransferError();
    EXPECT_GE(ExpectProgressForward(true), 1) << "after Retry the count starts again";
    ASSERT_GT(retryAnswered[0], 0u);
    EXPECT_EQ(user.positions[retryAnswered[0] - 1].text, QStringLiteral("Downloading Alarm data ..."))
        << "shown before the question: the alarms had been reached";
    EXPECT_FALSE(Doc().IsModified());
    ASSERT_EQ(prompt.Messages().size(), 1u) << "the corrections of the attempt that got through, once";
    EXPECT_THAT(
        prompt.Messages()[0],
        ::testing::HasSubstr("Alarm 1 (A11), SetPoint: the unit holds \"150\", the sheet shows \"100\""));
    EXPECT_EQ(View(3).GetGrid()->GetItemText(1, 4), QStringLiteral("100"));

    // Now the alarms never answer, and the user cancels: what arrived before is dropped.
    unit.Stop();
    unit.Sim().Faults().Add(ZemFault{ZemBank::Alarm, 0, 47, ZemFaultKind::NoAnswer, -1});
    unit.Resume();
    View(0).GetGrid()->EditCell(3, 1, QStringLiteral("9"));
    const Configuration before = Snapshot();
    retryAgain = false;
    user.positions.clear();
    Trigger(ID_DOWNLOAD);
    EXPECT_EQ(retryMessages.size(), 2);
    EXPECT_FALSE(ProgressWindowOpen());
    EXPECT_TRUE(Frame().isEnabled());
    EXPECT_EQ(Unit().GetTransferResult(), 0);
    ExpectProgressForward(false);
    EXPECT_EQ(Snapshot(), before);
    ExpectViewsShowTheCells();
    EXPECT_TRUE(Doc().IsModified());
}

// Stop pauses the download after the block in flight and asks; while the question is open the unit hears
// no request. No goes on, and Escape later with Yes ends the download there.
TEST_F(TransferWithUnit, StopPausesTheTransferUntilTheQuestionIsAnswered) {
    StartUnit();
    int asked = 0;
    std::size_t heldRequests = 0, requestsAfterHold = 0;
    bool held = false;
    user.onProgress = [&](CProgressWnd* progress) {
        QObject::connect(progress, &CProgressWnd::positionSet, progress, [&, progress](int pos) {
            const int at = asked == 0 ? progress->GetUpper() / 5 : progress->GetUpper() / 2;
            if (asked >= 2 || pos < at || QApplication::activeModalWidget() != progress) return;
            QTimer::singleShot(0, progress, [progress, first = asked == 0] {
                if (first)
                    progress->GetStopButton()->click();
                else
                    QTest::keyClick(progress, Qt::Key_Escape);
            });
            ++asked;
        });
    };
    user.onDialog = [&](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        if (!box) return Answer(dialog);
        messages << box->text();
        // Asked only once the worker waits between two blocks, and the window says so.
        held = Unit().IsTransferHeld();
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<CProgressWnd*>(widget);
            if (progress && progress->isVisible()) {
                EXPECT_EQ(progress->GetText(), CTransferProgress::PausedText());
            }
        }
        // The user thinks it over for ten blocks' time.
        heldRequests = unit.Requests();
        QTest::qWait(10 * kBlockWaitMs);
        requestsAfterHold = unit.Requests();
        box->button(messages.size() == 1 ? QMessageBox::No : QMessageBox::Yes)->click();
    };
    Trigger(ID_DOWNLOAD);

    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], CTransferProgress::StopQuestionText());
    EXPECT_TRUE(held);
    EXPECT_EQ(requestsAfterHold, heldRequests) << "a request went out while the question was open";
    EXPECT_TRUE(retryMessages.isEmpty()) << "a stop ends the transfer like Cancel, without asking";
    EXPECT_EQ(Unit().GetTransferResult(), 0);
    EXPECT_GT(unit.Requests(), 87u / 2) << "No went on with the download";
    EXPECT_LT(unit.Requests(), 87u) << "Yes ended it";
    EXPECT_EQ(Frame().GetResultText(), QStringLiteral("Download stopped: the document is unchanged"));
    EXPECT_TRUE(Frame().isEnabled());
    EXPECT_FALSE(ProgressWindowOpen());
}

// The unit restarts in the middle of a download: the port that went away is closed. Cancel, then the next
// download opens it again by its name; the same again with Retry once the unit is back. Nobody is asked for
// a port again, and the retry question names the row.
TEST_F(TransferWithUnit, ARestartedUnitIsFoundAgainByTheNextTransferOrARetry) {
    unit.UseLink(QDir::temp()
                     .filePath(QStringLiteral("tavik-ui-link-%1").arg(QCoreApplication::applicationPid()))
                     .toStdString());
    StartUnit();
    struct VanishAt : ITransferTrace {
        SimulatedUnit* unit = nullptr;
        std::atomic<bool> armed{false};
        void OnMessage(bool sent, const std::uint8_t* data, int count) override {
            if (sent && count == 7 && data[1] == '@' && data[3] == '3' && armed.exchange(false))
                unit->Vanish();
        }
    } vanish;
    vanish.unit = &unit;
    CBrantSetupType::SetTrace(&vanish);
    QStringList reasons;
    user.onDialog = [&](QWidget* dialog) {
        if (auto* retry = qobject_cast<CUpDown*>(dialog)) {
            reasons << retry->GetReason();
            if (retryAgain) unit.Start(); // back under the same name before Retry is pressed
        }
        Answer(dialog);
    };
    for (const bool retry : {false, true}) {
        SCOPED_TRACE(retry ? "Retry" : "the next transfer");
        vanish.armed = true;
        retryAgain = retry;
        Trigger(ID_DOWNLOAD);
        ASSERT_EQ(reasons.size(), retry ? 2 : 1);
        EXPECT_TRUE(reasons.back().startsWith(QStringLiteral("Physical Input IN 21: port error")))
            << reasons.back().toStdString();
        EXPECT_FALSE(reasons.back().contains(QStringLiteral("message"))) << "no protocol words";
        EXPECT_EQ(Unit().GetTransferResult(), retry ? 1 : 0) << Unit().GetTransferError();
        if (!retry) {
            EXPECT_FALSE(Unit().GetComSetup()->IsPortOpen()) << "a port that went away is closed";
            unit.Start();
        }
    }
    CBrantSetupType::SetTrace(nullptr);
    EXPECT_EQ(portQuestions, 1) << "the port is opened by its name, not asked for again";
    EXPECT_EQ(Frame().GetResultText(), QStringLiteral("Download complete: 87 blocks read"));
}

// An upload that fails before any write message went out says that nothing was written.
TEST_F(TransferWithUnit, AnUploadThatWroteNothingSaysSo) {
    unit.Sim().Faults().Add(ZemFault{ZemBank::General, 0, 0, ZemFaultKind::NoAnswer, -1});
    StartUnit();
    retryAgain = false;
    user.onDialog = [&](QWidget* dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            messages << box->text();
            details << box->informativeText();
            box->button(QMessageBox::No)->click();
            return;
        }
        Answer(dialog);
    };
    Trigger(ID_UPLOAD);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(
        messages[0].startsWith(QStringLiteral("The upload did not finish. Nothing was written to the unit")));
    EXPECT_EQ(details[0], QStringLiteral("Error to upload General data: General, block 1: no answer"));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("No backup was kept: the unit was not read in full.")))
        << messages[0].toStdString();
    EXPECT_EQ(Frame().GetResultText(), QStringLiteral("Upload stopped: nothing was written to the unit"));
}

TEST_F(TransferWithUnit, NoTransferStartsOnAPortThatCannotBeOpenedOrACancelledSaveQuestion) {
    const Configuration before = Snapshot();
    Trigger(ID_UPLOAD);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Error to open com port."));
    EXPECT_TRUE(details[0].contains(portName)) << details[0].toStdString();
    EXPECT_EQ(user.progressWindows, 0);
    EXPECT_EQ(Snapshot(), before);

    // A download that cannot start leaves the document as it was, edits and modified mark included.
    View(0).GetGrid()->EditCell(3, 1, QStringLiteral("9"));
    const Configuration edited = Snapshot();
    Trigger(ID_DOWNLOAD);
    EXPECT_EQ(messages.size(), 2);
    app->saveAnswer = QMessageBox::Cancel;
    Trigger(ID_DOWNLOAD);
    EXPECT_EQ(messages.size(), 2) << "Cancel in the save question asks for no port";
    EXPECT_EQ(app->saveQuestions, 2);
    EXPECT_EQ(portQuestions, 2);
    EXPECT_EQ(user.progressWindows, 0);
    EXPECT_EQ(Snapshot(), edited);
    EXPECT_TRUE(Doc().IsModified());
}
