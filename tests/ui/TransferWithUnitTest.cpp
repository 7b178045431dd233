// Upload and Download from the main window against the simulated unit on a pseudo-terminal, with every
// dialog answered the way a user would.
#include "TransferTestHelpers.h"
#include "ViewCheck.h"

#include "link/CComSetupDialog.h"
#include "model/CScriptedPrompt.h"
#include "tests/support/SimulatedUnit.h"
#include "ui/CComPortDlg.h"
#include "ui/CLineSettingsDlg.h"
#include "ui/CLynGridCtrl.h"
#include "ui/CMainFrame.h"
#include "ui/CTavikApp.h"
#include "ui/CTavikView.h"
#include "ui/CUpDown.h"
#include "ui/CommandIds.h"
#include "ui/Cp1252.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

#include <QAction>
#include <QComboBox>
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

// Equal as the unit keeps them: the device image pads texts and carries numbers, not their spelling
// ("Oil temp  " for "Oil temp", "0.300" for "0.3").
::testing::AssertionResult AsTheUnitKeepsIt(const Configuration& actual, const Configuration& expected) {
    for (std::size_t s = 0; s < expected.size(); ++s)
        for (std::size_t row = 0; row < expected[s].size(); ++row)
            for (std::size_t col = 0; col < expected[s][row].size(); ++col) {
                const QString x = FromCp1252(actual.at(s).at(row).at(col)).trimmed();
                const QString y = FromCp1252(expected[s][row][col]).trimmed();
                bool xNumber = false;
                bool yNumber = false;
                if (x != y && !(x.toDouble(&xNumber) == y.toDouble(&yNumber) && xNumber && yNumber))
                    return ::testing::AssertionFailure()
                           << "sheet " << s << " row " << row << " col " << col << ": " << x.toStdString()
                           << " for " << y.toStdString();
            }
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
    EXPECT_EQ(Frame().statusBar()->currentMessage(),
              QStringLiteral("Upload complete: 87 blocks written and verified"));

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
    EXPECT_EQ(Frame().statusBar()->currentMessage(), QStringLiteral("Download complete: 87 blocks read"));
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

TEST_F(TransferWithUnit, EscapeStopsTheTransferAtTheNextBlock) {
    StartUnit();
    bool pressed = false;
    user.onProgress = [&](CProgressWnd* progress) {
        QObject::connect(progress, &CProgressWnd::positionSet, progress, [&, progress](int pos) {
            if (pressed || pos < progress->GetUpper() / 5) return;
            pressed = true;
            QTimer::singleShot(0, progress, [progress] { QTest::keyClick(progress, Qt::Key_Escape); });
        });
    };
    Trigger(ID_DOWNLOAD);
    ASSERT_TRUE(pressed);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Stop the transfer?")));
    EXPECT_TRUE(retryMessages.isEmpty()) << "a stop ends the transfer like Cancel, without asking";
    EXPECT_EQ(Unit().GetTransferResult(), 0);
    EXPECT_TRUE(Frame().isEnabled());
    EXPECT_FALSE(ProgressWindowOpen());
    ExpectProgressForward(false);
    EXPECT_LT(user.positions.back().pos, user.positions.back().upper);
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
