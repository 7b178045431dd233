#include "ViewCheck.h"

#include "model/CBrantSetupType.h"
#include "model/CScriptedPrompt.h"
#include "model/CTavikDoc.h"
#include "model/CZemUnit.h"
#include "model/IBrantSetupType.h"
#include "ui/CAboutDlg.h"
#include "ui/CHelpDialog.h"
#include "ui/CLynGridCtrl.h"
#include "ui/CMainFrame.h"
#include "ui/CPropertyDlg.h"
#include "ui/CTavikApp.h"
#include "ui/CTavikView.h"
#include "ui/CommandIds.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {
// The application with its dialogs answered by the test.
class TestApp : public CTavikApp {
public:
    int saveAnswer = QMessageBox::Discard;
    int saveQuestions = 0;
    QString saveName;

protected:
    int AskSaveChanges(const QString&) override {
        ++saveQuestions;
        return saveAnswer;
    }
    QString AskOpenFileName() override { return {}; }
    QString AskSaveFileName(const QString&) override { return saveName; }
};

class FrameTest : public ::testing::Test {
protected:
    FrameTest() {
        // Installed first, so the application leaves it in place of its message boxes.
        prompt = std::make_unique<CScriptedPrompt>(false);
        app = std::make_unique<TestApp>();
        EXPECT_TRUE(app->InitInstance({QStringLiteral("tavik")}, false));
    }
    ~FrameTest() override {
        app.reset();
        prompt.reset();
    }

    CMainFrame& Frame() { return *app->GetMainFrame(); }
    CTavikView& View(int index) { return *Frame().GetTavikView(index); }
    std::string Value(int setup, int row, int col) {
        return View(setup).GetSetup()->GetDataSheet()->GetProperty(row, col)->GetDataAsString();
    }
    void ChangeDeviceNumber(const QString& number) {
        Frame().SetActiveView(0);
        View(0).GetGrid()->EditCell(3, 1, number);
    }

    QTemporaryDir dir;
    std::unique_ptr<TestApp> app;
    std::unique_ptr<CScriptedPrompt> prompt;
};

QStringList ActionTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}
} // namespace

TEST_F(FrameTest, FourTabsNamedAfterTheSetupTypesWithGeneralShown) {
    QTabWidget* tabs = Frame().GetTabCtrl();
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("General"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Physical Input"));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("Logical Input"));
    EXPECT_EQ(tabs->tabText(3), QStringLiteral("Alarm"));
    EXPECT_EQ(tabs->tabPosition(), QTabWidget::South);
    EXPECT_EQ(Frame().GetActiveIndex(), 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(View(i).IsReady());
        EXPECT_EQ(View(i).GetSetupIndex(), i);
        EXPECT_EQ(View(i).isEnabled(), i == 0) << "only the shown view takes input";
    }
    // Clicking a tab shows that view alone.
    Frame().GetTabCtrl()->setCurrentIndex(2);
    EXPECT_EQ(Frame().GetActiveIndex(), 2);
    EXPECT_EQ(Frame().GetActiveView(), &View(2));
    EXPECT_TRUE(View(2).isEnabled());
    EXPECT_FALSE(View(0).isEnabled());
}

TEST_F(FrameTest, MenusFollowTheCommandTable) {
    const QList<QAction*> menus = Frame().menuBar()->actions();
    ASSERT_EQ(menus.size(), 5);
    EXPECT_EQ(ActionTexts(menus[1]->menu()),
              (QStringList{"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C",
                           "&Paste\tCtrl+V"}));
    EXPECT_EQ(ActionTexts(menus[3]->menu()),
              (QStringList{"&Upload", "&Download", "Co&mpare with Unit...", "-", "&COM Setup..."}));
    EXPECT_EQ(ActionTexts(menus[4]->menu()), (QStringList{"&Help Topics", "-", "&About Tavik..."}));
    const QStringList file = ActionTexts(menus[0]->menu());
    EXPECT_EQ(file.first(), QStringLiteral("&New\tCtrl+N"));
    EXPECT_TRUE(file.contains(QStringLiteral("Recent File")));
    EXPECT_EQ(file.last(), QStringLiteral("E&xit"));
    EXPECT_FALSE(Frame().GetAction(ID_EDIT_UNDO)->isEnabled());
    EXPECT_EQ(Frame().GetAction(ID_FILE_PRINT)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_EQ(Frame().GetAction(ID_UPLOAD)->statusTip(), QStringLiteral("Upload data to Zemra unit"));
    EXPECT_EQ(ActionTexts(Frame().GetContextMenu()),
              (QStringList{"Cut", "Paste", "Copy", "-", "Select All"}));
}

TEST_F(FrameTest, TitleShowsTheDocumentNameAndItsModifiedState) {
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Untitled[*] - Brant Tavik Programmer"));
    EXPECT_FALSE(Frame().isWindowModified());
    ChangeDeviceNumber(QStringLiteral("5"));
    EXPECT_TRUE(Frame().isWindowModified());
    app->saveName = dir.filePath(QStringLiteral("plant"));
    ASSERT_TRUE(app->OnFileSave());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("plant.zmg"))));
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("plant.zmg[*] - Brant Tavik Programmer"));
    EXPECT_FALSE(Frame().isWindowModified());
}

TEST_F(FrameTest, NewResetsEveryViewAndShowsGeneral) {
    ChangeDeviceNumber(QStringLiteral("9"));
    Frame().SetActiveView(3);
    app->saveAnswer = QMessageBox::Discard;
    Frame().OnFileNew();
    EXPECT_EQ(app->saveQuestions, 1) << "a modified configuration is offered for saving first";
    EXPECT_EQ(Value(0, 3, 1), "1");
    EXPECT_EQ(View(0).GetGrid()->GetItemText(3, 1), QStringLiteral("1"));
    EXPECT_EQ(Frame().GetActiveIndex(), 0);
    EXPECT_FALSE(app->GetDoc()->IsModified());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Untitled[*] - Brant Tavik Programmer"));
}

TEST_F(FrameTest, CancellingTheSaveQuestionKeepsTheConfiguration) {
    ChangeDeviceNumber(QStringLiteral("9"));
    app->saveAnswer = QMessageBox::Cancel;
    Frame().OnFileNew();
    EXPECT_EQ(Value(0, 3, 1), "9");
    EXPECT_TRUE(app->GetDoc()->IsModified());
    EXPECT_FALSE(Frame().close()) << "closing is refused as well";
}

// A value still in its cell editor when the user saves is validated and saved, not lost.
TEST_F(FrameTest, SavingCommitsAnOpenCellEditor) {
    Frame().show();
    Frame().SetActiveView(0);
    CLynGridCtrl& grid = *View(0).GetGrid();
    grid.SetFocusCell(3, 1);
    grid.setFocus();
    QTest::keyClicks(&grid, QStringLiteral("2"));
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("7"));
    ASSERT_EQ(Value(0, 3, 1), "1") << "not yet committed";

    app->saveName = dir.filePath(QStringLiteral("typed.zmg"));
    ASSERT_TRUE(app->OnFileSave());
    EXPECT_EQ(Value(0, 3, 1), "27");
    EXPECT_FALSE(app->GetDoc()->IsModified());
    CTavikDoc reopened;
    std::string error;
    ASSERT_TRUE(reopened.OnOpenDocument(app->saveName.toStdString(), error)) << error;
    EXPECT_EQ(reopened.GetZemUnit()->GetSetupType(0)->GetDataSheet()->GetProperty(3, 1)->GetDataAsString(),
              "27");
}

TEST_F(FrameTest, OpenReinitialisesEveryViewAndShowsGeneral) {
    const QString path = dir.filePath(QStringLiteral("saved.zmg"));
    ChangeDeviceNumber(QStringLiteral("12"));
    View(1).GetGrid()->EditCell(1, 1, QStringLiteral("24 V"));
    ASSERT_TRUE(app->DoSave(path));
    Frame().OnFileNew();
    ASSERT_EQ(Value(0, 3, 1), "1");
    Frame().SetActiveView(3);

    ASSERT_TRUE(app->OpenDocumentFile(path));
    EXPECT_EQ(Frame().GetActiveIndex(), 0);
    EXPECT_EQ(View(0).GetGrid()->GetItemText(3, 1), QStringLiteral("12"));
    EXPECT_EQ(View(1).GetGrid()->GetItemText(1, 1), QStringLiteral("24 V"));
    EXPECT_TRUE(View(3).GetGrid()->GetListItems(1, 1).contains(QStringLiteral("IN 11")));
    EXPECT_EQ(app->GetRecentFiles().value(0), QFileInfo(path).absoluteFilePath());
    EXPECT_FALSE(app->GetDoc()->IsModified());
}

TEST_F(FrameTest, ADamagedFileIsReportedAndLeavesADefaultDocument) {
    const QString path = dir.filePath(QStringLiteral("broken.zmg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x03\x00\x00\x00\x07Gen", 8);
    file.close();
    ChangeDeviceNumber(QStringLiteral("4"));
    app->saveAnswer = QMessageBox::Discard;
    EXPECT_FALSE(app->OpenDocumentFile(path));
    ASSERT_EQ(prompt->Messages().size(), 1u);
    EXPECT_NE(prompt->Messages()[0].find("broken.zmg"), std::string::npos);
    EXPECT_EQ(Value(0, 3, 1), "1");
    EXPECT_EQ(View(0).GetGrid()->GetItemText(3, 1), QStringLiteral("1"));
}

TEST_F(FrameTest, RecentFilesKeepTheLastFour) {
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(app->DoSave(dir.filePath(QStringLiteral("f%1.zmg").arg(i))));
    const QStringList recent = app->GetRecentFiles();
    ASSERT_EQ(recent.size(), 4);
    EXPECT_TRUE(recent[0].endsWith(QStringLiteral("f5.zmg")));
    EXPECT_TRUE(recent[3].endsWith(QStringLiteral("f2.zmg")));
}

TEST_F(FrameTest, PrintAllGivesOneJobPerTabGeneralFirst) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString job = dir.filePath(QStringLiteral("job.pdf"));
    printer.setOutputFileName(job);
    QStringList order;
    QObject::connect(&Frame(), &CMainFrame::printJobFinished, [&](int tab, bool ok) {
        EXPECT_TRUE(ok);
        const QString name = dir.filePath(QStringLiteral("tab%1.pdf").arg(tab));
        QFile::remove(name);
        EXPECT_TRUE(QFile::rename(job, name));
        order << Frame().GetTabCtrl()->tabText(tab);
    });
    EXPECT_EQ(Frame().PrintViews(printer, true), 4);
    EXPECT_EQ(order, (QStringList{"General", "Physical Input", "Logical Input", "Alarm"}));
    for (int tab = 0; tab < 4; ++tab) {
        QFile pdf(dir.filePath(QStringLiteral("tab%1.pdf").arg(tab)));
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
        EXPECT_TRUE(pdf.read(5) == "%PDF-");
    }

    order.clear();
    Frame().SetActiveView(2);
    EXPECT_EQ(Frame().PrintViews(printer, false), 1);
    EXPECT_EQ(order, QStringList{"Logical Input"});
}

TEST_F(FrameTest, CommandLineFileIsOpenedAndAMissingOneEndsStartUp) {
    const QString path = dir.filePath(QStringLiteral("start.zmg"));
    ChangeDeviceNumber(QStringLiteral("33"));
    ASSERT_TRUE(app->DoSave(path));

    TestApp second;
    ASSERT_TRUE(second.InitInstance({QStringLiteral("tavik"), path}, false));
    IBrantSetupType* setups[4] = {};
    ASSERT_EQ(second.GetDoc()->GetBrSetup(setups), 4u);
    EXPECT_EQ(setups[0]->GetDataSheet()->GetProperty(3, 1)->GetDataAsString(), "33");
    EXPECT_EQ(second.GetMainFrame()->GetActiveIndex(), 0);

    TestApp third;
    EXPECT_FALSE(
        third.InitInstance({QStringLiteral("tavik"), dir.filePath(QStringLiteral("missing.zmg"))}, false));
}

// One edit may change other sheets (an input switched on or off changes what the logical inputs and alarms
// offer and hold): after every edit, tab change, New and Open, each view shows exactly what its sheet holds.
TEST_F(FrameTest, EveryViewShowsItsSheetAfterEachEditAndTabChange) {
    std::string step;
    const auto expectEveryView = [&] {
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(view_check::ShowsItsSheet(View(i))) << "after " << step;
    };
    const auto edit = [&](int tab, int row, int col, const QString& text) {
        step = "tab " + std::to_string(tab) + " (" + std::to_string(row) + "," + std::to_string(col) +
               ") = \"" + text.toStdString() + "\"";
        Frame().GetTabCtrl()->setCurrentIndex(tab);
        expectEveryView();
        View(tab).GetGrid()->EditCell(row, col, text);
        expectEveryView();
    };
    CLynGridCtrl& alarms = *View(3).GetGrid();

    // The reported case: IN 11 switched on is offered to alarm 1, and switched off again resets alarm 1
    // and logical input 1 in their tabs as well.
    Frame().OnFileNew();
    edit(1, 1, 1, QStringLiteral("24 V"));
    Frame().GetTabCtrl()->setCurrentIndex(3);
    EXPECT_EQ(alarms.GetCellType(1, 1), CLynGridCtrl::GVET_LIST);
    EXPECT_TRUE(alarms.GetListItems(1, 1).contains(QStringLiteral("IN 11")));
    edit(3, 1, 1, QStringLiteral("IN 11"));
    edit(3, 1, 4, QStringLiteral("12"));
    edit(3, 1, 5, QStringLiteral("Pump"));
    edit(2, 1, 1, QStringLiteral("IN 11"));
    ASSERT_EQ(alarms.GetItemText(1, 5), QStringLiteral("Pump"));
    edit(1, 1, 1, QStringLiteral("OFF"));
    EXPECT_EQ(alarms.GetItemText(1, 1), QStringLiteral("OFF"));
    EXPECT_EQ(alarms.GetItemText(1, 5), QString());

    // Random edits of the first channels of every sheet, where the sheets refer to each other most.
    std::mt19937 random(20261206);
    const auto pick = [&random](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(random);
    };
    const QStringList typed{"0", "5", "12", "100", "-3", "Tank 1"};
    for (int i = 0; i < 150 && !HasFatalFailure(); ++i) {
        const int tab = i % 3 == 0 ? 1 : pick(4);
        const CDataSheet* sheet = View(tab).GetSetup()->GetDataSheet();
        const int row = 1 + pick(std::min(3, sheet->GetNumSections() - 1));
        const int col = tab == 1 && i % 3 == 0 ? 1 : 1 + pick(sheet->GetNumCells(row) - 1);
        const CBrChnData* cell = sheet->GetCellChecked(row, col);
        if (cell->m_nStyle == CTRL_STYLE_POPUP) continue;
        const std::vector<std::string>& items = cell->GetData();
        edit(tab, row, col,
             items.size() > 1
                 ? FromCp1252(items[static_cast<std::size_t>(pick(static_cast<int>(items.size())))])
                 : typed[pick(static_cast<int>(typed.size()))]);
        if (i % 25 == 24) {
            step = "cutting row " + std::to_string(row) + " of tab " + std::to_string(tab);
            View(tab).GetGrid()->SetSelectedRange(row, 1, row, 2);
            View(tab).OnEditCut();
            expectEveryView();
        }
    }

    const QString path = dir.filePath(QStringLiteral("views.zmg"));
    ASSERT_TRUE(app->DoSave(path));
    step = "New";
    Frame().OnFileNew();
    expectEveryView();
    step = "Open";
    ASSERT_TRUE(app->OpenDocumentFile(path));
    expectEveryView();
}

TEST(About, VersionLineJoinsMinorAndPatch) {
    EXPECT_EQ(CAboutDlg::VersionText(1, 0, 1), QStringLiteral("Tavik-30 Programmer Version 1.01"));
    EXPECT_EQ(CAboutDlg::VersionText(2, 3, 4), QStringLiteral("Tavik-30 Programmer Version 2.34"));
    CAboutDlg about;
    EXPECT_TRUE(about.GetVersionLine().startsWith(QStringLiteral("Tavik-30 Programmer Version ")));
}

TEST(Help, ThePageExplainsEveryTab) {
    CHelpDialog help;
    const QString text = help.GetBrowser()->toPlainText();
    for (const char* heading : {"General tab", "Physical Input tab", "Logical Input tab", "Alarm tab"})
        EXPECT_TRUE(text.contains(QLatin1String(heading))) << heading;
    EXPECT_TRUE(text.contains(QString::fromUtf8("°C")));
}

// Pictures of every tab for a person to look at; the test checks only that each was taken.
TEST_F(FrameTest, ScreenshotsOfEveryTab) {
    Frame().resize(1100, 720);
    Frame().show();
    View(1).GetGrid()->EditCell(1, 1, QStringLiteral("20 mA"));
    View(1).GetGrid()->EditCell(1, 2, QString::fromUtf8("°C"));
    View(1).GetGrid()->EditCell(1, 6, QStringLiteral("120"));
    View(1).GetGrid()->EditCell(2, 1, QStringLiteral("20 mA"));
    View(1).GetGrid()->EditCell(2, 2, QString::fromUtf8("°C"));
    View(1).GetGrid()->EditCell(2, 6, QStringLiteral("120"));
    View(2).GetGrid()->EditCell(1, 1, QStringLiteral("IN 11"));
    View(2).GetGrid()->EditCell(1, 2, QStringLiteral("IN 12"));
    View(3).GetGrid()->EditCell(1, 1, QStringLiteral("IN 11"));
    View(3).GetGrid()->EditCell(1, 4, QStringLiteral("85"));
    View(3).GetGrid()->EditCell(1, 5, QStringLiteral("Oil temp"));
    View(3).GetGrid()->EditCell(2, 1, QStringLiteral("LOG1"));
    View(3).GetGrid()->EditCell(2, 3, QString::fromUtf8("±"));
    View(3).GetGrid()->SetFocusCell(1, 9);
    QApplication::clipboard()->setText(QStringLiteral("CH"));
    View(3).OnEditPaste();
    for (int tab = 0; tab < 4; ++tab) {
        Frame().GetTabCtrl()->setCurrentIndex(tab);
        QApplication::processEvents();
        const QString name = Frame().GetTabCtrl()->tabText(tab).replace(QLatin1Char(' '), QLatin1Char('-'));
        const QString path = QDir::temp().filePath(QStringLiteral("tavik-tab-%1.png").arg(name));
        EXPECT_TRUE(Frame().grab().save(path)) << path.toStdString();
    }
    // The flag popup of alarm 1 and the About box.
    View(3).SetPopupRunner([](CPropertyDlg& dlg) {
        dlg.show();
        QApplication::processEvents();
        EXPECT_TRUE(dlg.grab().save(QDir::temp().filePath(QStringLiteral("tavik-flags-popup.png"))));
        dlg.reject();
        return static_cast<int>(QDialog::Rejected);
    });
    View(3).GetGrid()->EditCell(1, 9, QString());
    CAboutDlg about(&Frame());
    about.show();
    QApplication::processEvents();
    EXPECT_TRUE(about.grab().save(QDir::temp().filePath(QStringLiteral("tavik-about.png"))));
}
