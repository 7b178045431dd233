#include "ViewCheck.h"

#include "model/CBrantSetupType.h"
#include "model/CScriptedPrompt.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"
#include "model/IBrantSetupType.h"
#include "ui/CAboutDlg.h"
#include "ui/CConfigReport.h"
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
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>

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

// The text of a PDF file as pdftotext (poppler-utils) reads it, laid out as on the page.
QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    const bool ran = process.waitForFinished(30000) && process.exitCode() == 0;
    EXPECT_TRUE(ran) << "pdftotext (scripts/install-deps.sh installs it) could not read "
                     << path.toStdString();
    return ran ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

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
    for (const char* report : {"Print Re&port...", "Report Previe&w", "&Export PDF..."})
        EXPECT_TRUE(file.contains(QLatin1String(report))) << report;
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
        const QString text = PdfText(dir.filePath(QStringLiteral("tab%1.pdf").arg(tab)));
        EXPECT_TRUE(text.contains(QStringLiteral("Page 1 of "))) << tab;
        EXPECT_FALSE(text.contains(QChar(0x2026))) << "nothing is cut short";
        const ReportTable table = View(tab).GetGrid()->GetPrintTable();
        for (const QString& header : table.rows.front())
            EXPECT_TRUE(text.contains(header.simplified())) << header.toStdString();
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

// The whole-configuration report, from the menu and from the command line: every value and header of
// every active row whole, and a title block on every page.
TEST_F(FrameTest, ReportOfAConfiguredDocumentShowsEveryActiveValueWhole) {
    ChangeDeviceNumber(QStringLiteral("17"));
    CLynGridCtrl& physical = *View(1).GetGrid();
    physical.EditCell(1, 1, QStringLiteral("20 mA"));
    physical.EditCell(1, 2, QStringLiteral("bar"));
    physical.EditCell(1, 6, QStringLiteral("120"));
    physical.EditCell(2, 1, QStringLiteral("20 mA"));
    physical.EditCell(2, 2, QStringLiteral("psi"));
    View(2).UpdateAllRows();
    View(2).GetGrid()->EditCell(1, 1, QStringLiteral("IN 11"));
    CLynGridCtrl& alarms = *View(3).GetGrid();
    View(3).UpdateAllRows();
    alarms.EditCell(1, 1, QStringLiteral("IN 11"));
    alarms.EditCell(1, 4, QStringLiteral("85"));
    alarms.EditCell(1, 5, QStringLiteral("PUMP HIGH1"));
    alarms.EditCell(2, 1, QStringLiteral("LOG1"));
    alarms.EditCell(2, 5, QStringLiteral("LOW OIL PR"));
    const QString document = dir.filePath(QStringLiteral("plant.zmg"));
    ASSERT_TRUE(app->DoSave(document));
    ASSERT_EQ(Value(3, 1, 5), "PUMP HIGH1");

    const QString fromMenu = dir.filePath(QStringLiteral("menu.pdf"));
    const QString fromCommand = dir.filePath(QStringLiteral("command.pdf"));
    ASSERT_TRUE(Frame().ExportPdf(fromMenu));
    ASSERT_EQ(CTavikApp::ExportPdfCommand(
                  {QStringLiteral("tavik"), QStringLiteral("--export-pdf"), fromCommand, document}),
              0);
    EXPECT_EQ(CTavikApp::ExportPdfCommand({QStringLiteral("tavik"), QStringLiteral("--export-pdf"),
                                           dir.filePath(QStringLiteral("x.pdf")), dir.filePath("none.zmg")}),
              1);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.pdf"))));

    const CConfigReport report = CConfigReport::ForDocument(*app->GetDoc());
    for (const QString& pdf : {fromMenu, fromCommand}) {
        const QString text = PdfText(pdf);
        EXPECT_FALSE(text.contains(QChar(0x2026))) << "nothing is cut short";
        int active = 0;
        for (const ReportTable& table : report.GetTables()) {
            const bool general = &table == &report.GetTables().front(); // its rows are settings, all in use
            for (std::size_t row = 0; row < table.rows.size(); ++row) {
                const QStringList& cells = table.rows[row];
                if (row > 0 && !general && cells.value(1) == QStringLiteral("OFF")) continue;
                active += row > 0 ? 1 : 0;
                for (const QString& value : cells)
                    EXPECT_TRUE(text.contains(value.simplified()))
                        << table.title.toStdString() << " row " << row << ": " << value.toStdString();
            }
        }
        EXPECT_GE(active, 14 + 2 + 1 + 2) << "the General rows and the configured channels";
        for (const char* expected :
             {"PUMP HIGH1", "LOW OIL PR", "psi", "Block", "Device Number 17", "plant.zmg"})
            EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;
        EXPECT_TRUE(text.contains(report.GetHeading().version));
        const int pages = static_cast<int>(text.count(QLatin1Char('\f')));
        ASSERT_GE(pages, 4);
        for (int page = 1; page <= pages; ++page)
            EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages))) << page;
    }

    // Pictures of the pages for a person to look at.
    QProcess pictures;
    pictures.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("70"), fromMenu,
                    QDir::temp().filePath(QStringLiteral("tavik-report"))});
    EXPECT_TRUE(pictures.waitForFinished(30000) && pictures.exitCode() == 0);
}

// A sheet too wide for a portrait page goes landscape; one too wide even for that is split into groups of
// columns, each with the row names, and still no value is cut.
TEST(Report, WideSheetsTurnTheirPageAndSplitRatherThanCut) {
    for (int columns : {12, 40}) {
        ReportTable table{QStringLiteral("Wide"), {}};
        for (int row = 0; row < 5; ++row) {
            QStringList cells;
            for (int col = 0; col < columns; ++col)
                cells << (row == 0 ? QStringLiteral("Header %1").arg(col)
                                   : QStringLiteral("V%1x%2WIDE").arg(row).arg(col));
            table.rows.push_back(cells);
        }
        CConfigReport report;
        report.AddTable(table);
        QPdfWriter probe(QDir::temp().filePath(QStringLiteral("tavik-probe.pdf")));
        EXPECT_EQ(report.PreferredOrientation(probe,
                                              QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                          QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter),
                                              probe.resolution()),
                  QPageLayout::Landscape);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("wide.pdf"));
        QString error;
        ASSERT_TRUE(report.WritePdf(path, error)) << error.toStdString();
        EXPECT_EQ(report.GetPageCount() > 1, columns == 40);
        const QString text = PdfText(path);
        for (const QStringList& cells : table.rows)
            for (const QString& cell : cells)
                EXPECT_TRUE(text.contains(cell)) << cell.toStdString();
    }
}

TEST_F(FrameTest, WithoutAPrinterPrintingSaysSo) {
    Frame().SetPrinterProbe([] { return false; });
    Frame().OnFilePrintAll();
    Frame().OnFilePrintCurrent();
    Frame().OnFilePrintReport();
    ASSERT_EQ(prompt->Messages().size(), 3u);
    for (const std::string& message : prompt->Messages())
        EXPECT_NE(message.find("No printer is installed"), std::string::npos) << message;
}

// Files that are no document at all are named so, and a cancelled CONFIG confirmation shows nothing more.
TEST_F(FrameTest, MessagesTellWhatHappened) {
    QByteArray noise(300, '\0');
    QRandomGenerator generator(7);
    for (char& byte : noise)
        byte = static_cast<char>(generator.bounded(256));
    for (const QByteArray& bytes : {QByteArray("hello, this is text\n"), noise, QByteArray()}) {
        const QString path = dir.filePath(QStringLiteral("other.zmg"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        prompt->Clear();
        EXPECT_FALSE(app->OpenDocumentFile(path));
        ASSERT_EQ(prompt->Messages().size(), 1u);
        EXPECT_NE(prompt->Messages()[0].find("not a Tavik document"), std::string::npos)
            << prompt->Messages()[0];
        EXPECT_EQ(prompt->Messages()[0].find("newer"), std::string::npos) << prompt->Messages()[0];
    }

    ChangeDeviceNumber(QStringLiteral("99"));
    ASSERT_EQ(prompt->Messages().size(), 2u) << "the refused device number was reported";
    prompt->Clear();
    View(0).GetGrid()->EditCell(1, 1, QStringLiteral("CONFIG"));
    EXPECT_EQ(prompt->Questions().size(), 1u);
    EXPECT_TRUE(prompt->Messages().empty()) << prompt->Messages().front();
    EXPECT_EQ(Value(0, 1, 1), "OFF");
}

TEST_F(FrameTest, ToolbarIconsComeFromTheThemeOrTheResources) {
    const QList<QToolBar*> bars = Frame().findChildren<QToolBar*>();
    ASSERT_EQ(bars.size(), 1);
    int icons = 0;
    for (QAction* action : bars.front()->actions()) {
        if (action->isSeparator()) continue;
        EXPECT_FALSE(action->icon().pixmap(16, 16).isNull()) << action->text().toStdString();
        ++icons;
    }
    EXPECT_EQ(icons, 10);
    EXPECT_FALSE(Frame().windowIcon().pixmap(32, 32).isNull());
}
