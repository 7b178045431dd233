// The main window with its four sheet views, end to end: documents, printing, the report, and what the
// views add to the grid and the sheets (an edit reaches ValidateData, a refusal shows its message, other
// rows are redrawn). The sheets' own rules are tested in tests/sheets.
#include "ViewCheck.h"

#include "model/CBrantSetupType.h"
#include "model/CScriptedPrompt.h"
#include "model/Cp1252.h"
#include "model/Messages.h"
#include "ui/CConfigReport.h"
#include "ui/CMainFrame.h"
#include "ui/CPropertyDlg.h"
#include "ui/CTavikApp.h"
#include "ui/CommandLine.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"
#include "unit/ConfigCompare.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {
// The application with its dialogs answered by the test.
class TestApp : public CTavikApp {
public:
    int saveAnswer = QMessageBox::Discard;
    int saveQuestions = 0;
    QString saveName;

protected:
    int AskSaveChanges(const QString&) override { return ++saveQuestions, saveAnswer; }
    QString AskOpenFileName() override { return {}; }
    QString AskSaveFileName(const QString&) override { return saveName; }
};

class FrameTest : public ::testing::Test {
protected:
    FrameTest() {
        EXPECT_TRUE(app.InitInstance({QStringLiteral("tavik")}, false));
        // A paste's report goes to the scripted prompt (its kept message) and is kept for the test.
        for (int i = 0; i < 4; ++i)
            View(i).SetReportRunner([this](const CTavikView::PasteReport& report) {
                reports.push_back(report);
                prompt.ShowMessage(report.message.toStdString(), IPrompt::Warning);
            });
    }

    CMainFrame& Frame() { return *app.GetMainFrame(); }
    CTavikView& View(int index) { return *Frame().GetTavikView(index); }
    CLynGridCtrl& Grid(int index) { return *View(index).GetGrid(); }
    std::string Value(int setup, int row, int col) {
        return View(setup).GetSetup()->GetDataSheet()->GetProperty(row, col)->GetDataAsString();
    }
    void ChangeDeviceNumber(const QString& number) {
        Frame().SetActiveView(0);
        Grid(0).EditCell(3, 1, number);
    }
    // IN 11 as a 20 mA input showing 0 to 100, watched by alarm 1 (and alarm 2 when asked).
    void ActivateAlarms(int count = 1) {
        ASSERT_TRUE(Grid(1).EditCell(1, 1, QStringLiteral("20 mA")));
        Grid(1).EditCell(1, 6, QStringLiteral("100"));
        View(3).UpdateAllRows();
        for (int row = 1; row <= count; ++row)
            ASSERT_TRUE(Grid(3).EditCell(row, 1, QStringLiteral("IN 11")) && Value(3, row, 1) == "IN 11");
        prompt.Clear();
    }
    // The values of alarm 1's flags, joined.
    std::string Flags() {
        CBrChnData* properties[CPropertyDlg::kMaxProperties] = {};
        int count = 0;
        View(3).GetSetup()->GetPopupProperties(1, 9, properties, count);
        std::string values;
        for (int i = 0; i < count; ++i) {
            values += (i ? "," : "") + properties[i]->GetDataAsString();
            delete properties[i];
        }
        return values;
    }

    QTemporaryDir dir;
    std::vector<CTavikView::PasteReport> reports;
    CScriptedPrompt prompt{false}; // installed first, so the application leaves it in place of its boxes
    TestApp app;
};

// pdftotext reads the PDFs back. The Windows build has none; there the installed program's report is compared
// with the Linux program's instead.
bool HavePdfToText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// The text of a PDF file as pdftotext (poppler-utils) reads it, laid out as on the page.
QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    EXPECT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0)
        << "pdftotext (scripts/install-deps.sh installs it) could not read " << path.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}
} // namespace

// Four tabs at the bottom (named in the print test), General shown; only the shown view takes input.
// Every toolbar button has an icon, from the theme or the resources.
TEST_F(FrameTest, TabsAndToolbar) {
    QTabWidget* tabs = Frame().GetTabCtrl();
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabPosition(), QTabWidget::South);
    for (const int shown : {0, 2}) {
        tabs->setCurrentIndex(shown);
        EXPECT_EQ(Frame().GetActiveView(), &View(shown));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(View(i).isEnabled(), i == shown) << i;
    }
    const QList<QToolBar*> bars = Frame().findChildren<QToolBar*>();
    ASSERT_EQ(bars.size(), 1);
    int buttons = 0;
    for (QAction* action : bars.front()->actions()) {
        if (action->isSeparator()) continue;
        ++buttons;
        EXPECT_FALSE(action->icon().pixmap(16, 16).isNull()) << action->text().toStdString();
    }
    EXPECT_EQ(buttons, 10);
    EXPECT_FALSE(Frame().windowIcon().pixmap(32, 32).isNull());
}

// Save (a value still in its cell editor is committed, not lost), New and Open, with the save question
// before a modified configuration is dropped; the title names the document and its modified state; the
// recent files are the last four, newest first; a document named on the command line is opened, and a
// missing one ends the start-up.
TEST_F(FrameTest, SaveNewAndOpenWithTheSaveQuestion) {
    const QString untitled = QStringLiteral("Untitled[*] - Brant Tavik Programmer");
    EXPECT_EQ(Frame().windowTitle(), untitled);
    Grid(1).EditCell(1, 1, QStringLiteral("24 V"));
    EXPECT_TRUE(Frame().isWindowModified());
    Frame().show();
    Frame().SetActiveView(0);
    Grid(0).SetFocusCell(3, 1);
    Grid(0).setFocus();
    QTest::keyClicks(&Grid(0), QStringLiteral("2"));
    auto* editor = Grid(0).findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("7"));
    ASSERT_EQ(Value(0, 3, 1), "1") << "not yet committed";
    app.saveName = dir.filePath(QStringLiteral("plant"));
    ASSERT_TRUE(app.OnFileSave());
    const QString path = dir.filePath(QStringLiteral("plant.zmg"));
    EXPECT_EQ(Value(0, 3, 1), "27");
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("plant.zmg[*] - Brant Tavik Programmer"));
    EXPECT_FALSE(Frame().isWindowModified());

    ChangeDeviceNumber(QStringLiteral("9"));
    app.saveAnswer = QMessageBox::Cancel;
    Frame().OnFileNew();
    EXPECT_EQ(Value(0, 3, 1), "9");
    EXPECT_FALSE(Frame().close()) << "closing is refused as well";
    app.saveAnswer = QMessageBox::Discard;
    Frame().SetActiveView(3);
    Frame().OnFileNew();
    EXPECT_EQ(app.saveQuestions, 3);
    EXPECT_EQ(Grid(0).GetItemText(3, 1), QStringLiteral("1"));
    EXPECT_EQ(Frame().GetActiveIndex(), 0);
    EXPECT_FALSE(app.GetDoc()->IsModified());
    EXPECT_EQ(Frame().windowTitle(), untitled);

    Frame().SetActiveView(3);
    ASSERT_TRUE(app.OpenDocumentFile(path));
    EXPECT_EQ(Frame().GetActiveIndex(), 0);
    EXPECT_EQ(Grid(0).GetItemText(3, 1), QStringLiteral("27"));
    EXPECT_EQ(Grid(1).GetItemText(1, 1), QStringLiteral("24 V"));
    EXPECT_TRUE(Grid(3).GetListItems(1, 1).contains(QStringLiteral("IN 11")));
    EXPECT_FALSE(app.GetDoc()->IsModified());
    EXPECT_EQ(app.GetRecentFiles().value(0), QFileInfo(path).absoluteFilePath());
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(app.DoSave(dir.filePath(QStringLiteral("f%1.zmg").arg(i))));
    EXPECT_EQ(app.GetRecentFiles(), (QStringList{dir.filePath("f4.zmg"), dir.filePath("f3.zmg"),
                                                 dir.filePath("f2.zmg"), dir.filePath("f1.zmg")}));

    TestApp second;
    ASSERT_TRUE(second.InitInstance({QStringLiteral("tavik"), path}, false));
    EXPECT_EQ(second.GetMainFrame()->GetTavikView(0)->GetGrid()->GetItemText(3, 1), QStringLiteral("27"));
    TestApp third;
    EXPECT_FALSE(
        third.InitInstance({QStringLiteral("tavik"), dir.filePath(QStringLiteral("missing.zmg"))}, false));

    // A damaged file, or one that is no document at all, is named in the message and leaves a new document.
    QByteArray noise(300, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>(i * 7919 % 251);
    const QString broken = dir.filePath(QStringLiteral("broken.zmg"));
    for (const QByteArray& bytes : {QByteArray("\x03\x00\x00\x00\x07Gen", 8),
                                    QByteArray("hello, this is text\n"), noise, QByteArray()}) {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        prompt.Clear();
        EXPECT_FALSE(app.OpenDocumentFile(broken));
        ASSERT_EQ(prompt.Messages().size(), 1u);
        const QString message = QString::fromStdString(prompt.Messages()[0]);
        EXPECT_TRUE(message.contains(QStringLiteral("broken.zmg")) &&
                    message.contains(QStringLiteral("not a Tavik document")) && !message.contains("newer"))
            << message.toStdString();
        EXPECT_EQ(Grid(0).GetItemText(3, 1), QStringLiteral("1"));
        EXPECT_TRUE(view_check::ShowsItsSheet(View(0)));
    }
}

// Print All gives one job per tab, General first. The whole-configuration report, from the menu and from
// the command line, shows every value and header of every active row whole, with a title block on every
// page. Without a printer, printing says so.
TEST_F(FrameTest, PrintingAndTheReportShowEveryActiveValueWhole) {
    if (!HavePdfToText()) GTEST_SKIP() << "no pdftotext to read the report back";
    ChangeDeviceNumber(QStringLiteral("17"));
    const struct {
        int tab, row, col;
        const char* text;
    } edits[] = {{1, 1, 1, "20 mA"},      {1, 1, 2, "bar"},   {1, 1, 6, "120"},       {1, 2, 1, "20 mA"},
                 {1, 2, 2, "psi"},        {2, 1, 1, "IN 11"}, {3, 1, 1, "IN 11"},     {3, 1, 4, "85"},
                 {3, 1, 5, "PUMP HIGH1"}, {3, 2, 1, "LOG1"},  {3, 2, 5, "LOW OIL PR"}};
    for (const auto& edit : edits) {
        View(edit.tab).UpdateAllRows();
        Grid(edit.tab).EditCell(edit.row, edit.col, QLatin1String(edit.text));
    }
    const QString document = dir.filePath(QStringLiteral("plant.zmg"));
    ASSERT_TRUE(app.DoSave(document));
    ASSERT_EQ(Value(3, 1, 5), "PUMP HIGH1");

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("job.pdf")));
    QStringList order;
    QObject::connect(&Frame(), &CMainFrame::printJobFinished, [&](int tab, bool ok) {
        EXPECT_TRUE(ok);
        const QString name = dir.filePath(QStringLiteral("tab%1.pdf").arg(tab));
        QFile::remove(name);
        EXPECT_TRUE(QFile::rename(dir.filePath(QStringLiteral("job.pdf")), name));
        order << Frame().GetTabCtrl()->tabText(tab);
    });
    EXPECT_EQ(Frame().PrintViews(printer, true), 4);
    for (int tab = 0; tab < 4; ++tab) {
        const QString text = PdfText(dir.filePath(QStringLiteral("tab%1.pdf").arg(tab)));
        EXPECT_TRUE(text.contains(QStringLiteral("Page 1 of ")) && !text.contains(QChar(0x2026))) << tab;
        EXPECT_TRUE(text.contains(Grid(tab).GetPrintTable().rows.front().value(1).simplified())) << tab;
    }
    Frame().SetActiveView(2);
    EXPECT_EQ(Frame().PrintViews(printer, false), 1);
    EXPECT_EQ(order, (QStringList{"General", "Physical Input", "Logical Input", "Alarm", "Logical Input"}));

    const QString fromMenu = dir.filePath(QStringLiteral("menu.pdf"));
    const QString fromCommand = dir.filePath(QStringLiteral("command.pdf"));
    ASSERT_TRUE(Frame().ExportPdf(fromMenu));
    // `tavik --export-pdf` takes FILE.zmg OUT.pdf (the order of tavik-cli export) and the older OUT.pdf
    // FILE.zmg.
    const auto exportPdf = [](const QString& first, const QString& second) {
        const TavikCommand command =
            ParseTavikCommandLine({"--export-pdf", first.toStdString(), second.toStdString()});
        EXPECT_EQ(command.action, TavikCommand::ExportPdf);
        return CTavikApp::ExportPdfCommand(QString::fromStdString(command.document),
                                           QString::fromStdString(command.pdf));
    };
    ASSERT_EQ(exportPdf(document, fromCommand), 0);
    EXPECT_EQ(exportPdf(dir.filePath(QStringLiteral("x.pdf")), dir.filePath("none.zmg")), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.pdf"))));
    const CConfigReport report = CConfigReport::ForDocument(*app.GetDoc());
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

    Frame().SetPrinterProbe([] { return false; });
    prompt.Clear();
    Frame().OnFilePrintAll();
    Frame().OnFilePrintCurrent();
    Frame().OnFilePrintReport();
    ASSERT_EQ(prompt.Messages().size(), 3u);
    for (const std::string& message : prompt.Messages())
        EXPECT_NE(message.find("No printer is installed"), std::string::npos) << message;
}

// One edit may change other sheets (an input switched on or off changes what the logical inputs and alarms
// offer and hold): after every random edit of the first channels, where the sheets refer to each other
// most, and after tab changes, cuts, New and Open, each view shows exactly what its sheet holds.
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
        Grid(tab).EditCell(row, col, text);
        expectEveryView();
    };
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
            Grid(tab).SetSelectedRange(row, 1, row, 2);
            View(tab).OnEditCut();
            expectEveryView();
        }
    }
    const QString path = dir.filePath(QStringLiteral("views.zmg"));
    ASSERT_TRUE(app.DoSave(path));
    step = "New";
    Frame().OnFileNew();
    expectEveryView();
    step = "Open";
    ASSERT_TRUE(app.OpenDocumentFile(path));
    expectEveryView();
}

// A sheet too wide for a portrait page goes landscape; one too wide even for that is split into groups of
// columns, each with the row names, and still no value is cut.
TEST(Report, WideSheetsTurnTheirPageAndSplitRatherThanCut) {
    if (!HavePdfToText()) GTEST_SKIP() << "no pdftotext to read the report back";
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
        QTemporaryDir dir;
        QPdfWriter probe(dir.filePath(QStringLiteral("probe.pdf")));
        EXPECT_EQ(report.PreferredOrientation(probe,
                                              QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                          QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter),
                                              probe.resolution()),
                  QPageLayout::Landscape);
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

// Edits, pastes and the flags popup all go through the sheet's ValidateData. A refusal shows its message
// (one for all refused pasted values; none for a declined confirmation or cells of a channel switched off)
// and the grid shows what the sheet kept; pasted letters set an alarm's flags and pasted text is cut where
// typing stops. Cut copies whole rows and resets them.
TEST_F(FrameTest, EditsPastesAndThePopupGoThroughValidateData) {
    ActivateAlarms(2);
    EXPECT_EQ(Grid(3).GetItemText(1, 10), QStringLiteral("20 mA")) << "mirror of the referenced input";
    Grid(1).EditCell(2, 1, QStringLiteral("10 V"));
    Grid(3).EditCell(1, 5, QStringLiteral("Pump"));
    app.GetDoc()->SetModifiedFlag(0);
    int popups = 0;
    View(3).SetPopupRunner([&](CPropertyDlg& dlg) {
        ++popups;
        View(3).OnNotifyPopup(CLynGridCtrl::GVN_BEGINLABELEDIT, 1, 9); // a second popup is not shown
        dlg.Fill();
        EXPECT_EQ(dlg.GetGrid()->GetItemText(1, 0), QStringLiteral("Control"));
        dlg.GetGrid()->SetItemText(1, 1, QStringLiteral("ON"));
        dlg.OnOK();
        return dlg.result();
    });
    const std::string refused = "Erroneous values have been detected. Appropriate values will be used.";
    const struct {
        bool pasted;
        int setup, row, col;
        const char* text;
        std::vector<std::string> messages;
        const char* shown; // at (row, col + at)
        int at;
        const char* flags;
    } rows[] = {
        {false, 0, 3, 1, "99", {LoadMessage(IDS_INVALID_VALUE) + "\nAllowed: 1 to 62"}, "1", 0, nullptr},
        {false,
         3,
         1,
         4,
         "250",
         {LoadMessage(IDS_OUT_OF_RANGE_NEAREST) + "\nAllowed: 0 to 100"},
         "100",
         0,
         nullptr}, // the input's range
        {false, 3, 1, 5, "5 Ω", {std::string(g_strNotCp1252) + "\nNot storable: U+03A9"}, "Pump", 0, nullptr},
        {false, 3, 5, 9, "", {}, "...", 0, nullptr},       // locked: alarm 5 has no input, no popup
        {false, 0, 1, 1, "CONFIG", {}, "OFF", 0, nullptr}, // declined
        {false, 0, 3, 1, "7", {}, "7", 0, nullptr},
        {false, 3, 1, 9, "", {}, "C", 0, "OFF,ON,OFF"},       // the popup sets Control
        {true, 1, 3, 3, "5\t1\t9\t2\n", {}, "0", 0, nullptr}, // IN 13 is switched off
        {true, 1, 2, 3, "-1\t0\t12\n", {refused}, "10", 2, nullptr},
        {true, 3, 1, 9, "BH", {LoadMessage(IDS_BLOCK_DISABLED)}, "BH", 0, "ON,OFF,ON"}, // Block kept
        {true, 3, 1, 9, "...", {}, "...", 0, "OFF,OFF,OFF"}, // a copied empty flag cell
        {true, 3, 1, 5, "HIGH LEVEL 2\n", {}, "HIGH LEVEL", 0, nullptr},
    };
    for (const auto& row : rows) {
        const std::string flags = Flags();
        prompt.Clear();
        if (row.pasted) {
            Grid(row.setup).SetFocusCell(row.row, row.col);
            QApplication::clipboard()->setText(QString::fromUtf8(row.text));
            View(row.setup).OnEditPaste();
        } else {
            Grid(row.setup).EditCell(row.row, row.col, QString::fromUtf8(row.text));
        }
        EXPECT_EQ(prompt.Messages(), row.messages) << row.text;
        EXPECT_EQ(prompt.Questions().size(), std::string(row.text) == "CONFIG" ? 1u : 0u) << row.text;
        EXPECT_EQ(Grid(row.setup).GetItemText(row.row, row.col + row.at), QString::fromUtf8(row.shown))
            << row.text;
        EXPECT_TRUE(view_check::ShowsItsSheet(View(row.setup))) << row.text;
        EXPECT_EQ(Flags(), row.flags ? row.flags : flags) << row.text;
    }
    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(app.GetDoc()->IsModified());

    Grid(3).EditCell(1, 4, QStringLiteral("50"));
    Grid(3).EditCell(2, 5, QStringLiteral("Pump"));
    app.GetDoc()->SetModifiedFlag(0);
    ASSERT_TRUE(Grid(3).SetSelectedRange(1, 4, 2, 5));
    View(3).OnEditCut();
    EXPECT_TRUE(app.GetDoc()->IsModified());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("50\tHIGH LEVEL\n0\tPump\n"));
    for (int row = 1; row <= 2; ++row)
        EXPECT_EQ(Value(3, row, 1) + '|' + Value(3, row, 4) + '|' + Value(3, row, 5), "OFF|0|") << row;
    EXPECT_TRUE(view_check::ShowsItsSheet(View(3)));
}

// A refresh reports exactly the cells whose text, choices or editability changed, one cell at a time, so
// the window repaints those and nothing else.
TEST_F(FrameTest, ARefreshReportsExactlyTheChangedCells) {
    ActivateAlarms(2);
    const CLynGridModel& model = *Grid(3).GetModel();
    std::set<std::pair<int, int>> reported;
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         EXPECT_EQ(from, to) << "one cell per report";
                         reported.insert({model.GridRow(from), model.GridColumn(from)});
                     });
    const auto snapshot = [&model] {
        std::vector<GridCell> cells;
        for (int row = 1; row < model.Rows(); ++row)
            for (int col = 1; col < model.Columns(); ++col)
                cells.push_back(*model.Cell(row, col));
        return cells;
    };
    const auto fields = [](const GridCell& c) {
        return std::tie(c.text, c.type, c.items, c.listEditable, c.textLen, c.background, c.popup, c.dataType,
                        c.tip);
    };
    // A set point; IN 12 joins the choices of every alarm; IN 11 leaves them, and alarms 1 and 2 are reset.
    for (const auto& [tab, row, col, text] :
         {std::tuple{3, 1, 4, "50"}, std::tuple{1, 2, 1, "24 V"}, std::tuple{1, 1, 1, "OFF"}}) {
        const std::vector<GridCell> before = snapshot();
        reported.clear();
        Grid(tab).EditCell(row, col, QLatin1String(text));
        View(3).UpdateAllRows();
        const std::vector<GridCell> after = snapshot();
        std::set<std::pair<int, int>> changed;
        for (std::size_t i = 0; i < after.size(); ++i)
            if (fields(before[i]) != fields(after[i]))
                changed.insert({1 + static_cast<int>(i) / (model.Columns() - 1),
                                1 + static_cast<int>(i) % (model.Columns() - 1)});
        EXPECT_FALSE(changed.empty()) << text;
        EXPECT_EQ(reported, changed) << text;
    }
}

// A block pasted into each sheet lists exactly the cells that typing the same values one by one, in the
// same order, would not store as given: refused (the value stays), corrected (another value is stored) and
// skipped (a locked cell, which takes no typing), each with what the cell holds; what lies past the sheet's
// end is counted. The configuration after the paste is the one after the typing.
TEST_F(FrameTest, APasteListsWhatTypingTheSameValuesWouldNotStore) {
    ActivateAlarms(1);
    CTavikDoc& doc = *app.GetDoc();
    const std::vector<std::uint8_t> start = doc.SaveToBytes();
    const auto restart = [&] {
        std::string error;
        ASSERT_TRUE(doc.LoadFromBytes(start, error)) << error;
        Frame().RefreshViews();
    };
    const auto everything = [&] {
        std::vector<std::string> values;
        for (int s = 0; s < 4; ++s) {
            const CDataSheet* sheet = View(s).GetSetup()->GetDataSheet();
            for (int row = 0; row < sheet->GetNumSections(); ++row)
                for (int col = 0; col < sheet->GetNumCells(row); ++col)
                    values.push_back(sheet->GetCellChecked(row, col)->GetDataAsString());
        }
        return values;
    };
    using Listed = std::set<std::tuple<int, int, std::string>>; // row, column, kind ("what" up to ':')
    const struct {
        int setup, row, col;
        const char* text;
    } blocks[] = {
        {0, 13, 1, "ON\n13\nlost\n"},                                    // above the hysteresis range
        {1, 1, 4, "-5\t30\t100\t7\tgone\n5\t1\n"},                       // IN 12 is off
        {2, 1, 1, "11\tLOG1\t12\n"},                                     // own name, IN 12 off
        {2, 2, 12, "OFF\tX\t20 mA\n"},                                   // the derived columns
        {3, 1, 4, "250\tHIGH LEVEL 22\t0.1\t99\t3\n7\tTANK\t1\t4\t2\n"}, // alarm 2 has no input
    };
    std::set<std::string> kinds;
    for (const auto& block : blocks) {
        SCOPED_TRACE(block.text);
        restart();
        reports.clear();
        Frame().SetActiveView(block.setup);
        Grid(block.setup).SetFocusCell(block.row, block.col);
        QApplication::clipboard()->setText(QString::fromUtf8(block.text));
        View(block.setup).OnEditPaste();
        ASSERT_EQ(reports.size(), 1u);
        Listed listed;
        int cut = 0;
        for (const CTavikView::PasteReport::Entry& e : reports.front().entries) {
            if (e.gridRow == 0) {
                ++cut;
                continue;
            }
            const std::string kind =
                e.what.section(QLatin1Char(':'), 0, 0).section(QLatin1Char(','), 0, 0).toStdString();
            listed.insert({e.gridRow, e.gridCol, kind});
            kinds.insert(kind);
            EXPECT_EQ(e.stored.toStdString(), Value(block.setup, e.gridRow, e.gridCol))
                << e.row.toStdString();
        }
        const std::vector<std::string> pasted = everything();

        restart();
        Listed typed;
        const QStringList lines = QString::fromUtf8(block.text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        bool past = false;
        for (int i = 0; i < lines.size(); ++i) {
            const QStringList values = lines[i].split(QLatin1Char('\t'));
            for (int j = 0; j < values.size(); ++j) {
                const int row = block.row + i, col = block.col + j;
                if (row >= Grid(block.setup).GetRowCount() || col >= Grid(block.setup).GetColumnCount()) {
                    past = true;
                    continue;
                }
                const std::string before = Value(block.setup, row, col);
                if (!Grid(block.setup).EditCell(row, col, values[j])) {
                    if (values[j] != Grid(block.setup).GetItemText(row, col))
                        typed.insert({row, col, "skipped"});
                    continue;
                }
                const CBrChnData* cell =
                    View(block.setup).GetSetup()->GetDataSheet()->GetCellChecked(row, col);
                // Another spelling of the same value ("11" for "IN 11") is the value as given.
                const std::string fitted = cell->FitToMaxLength(ToCp1252(values[j]));
                const auto* setup = dynamic_cast<const CBrantSetupType*>(View(block.setup).GetSetup());
                if (cell->GetDataAsString() != setup->CanonicalText(row, col, fitted))
                    typed.insert({row, col, cell->GetDataAsString() == before ? "refused" : "corrected"});
                else if (FromCp1252(fitted) != values[j])
                    typed.insert({row, col, "cut at 10 characters"});
            }
        }
        EXPECT_EQ(listed, typed);
        EXPECT_EQ(cut > 0, past);
        EXPECT_EQ(everything(), pasted) << "typing ends where the paste ended";
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"corrected", "cut at 10 characters", "refused", "skipped"}));
}

// The marks tell the truth: a refused value leaves the document unmodified; a change that reached other
// sheets says so (folded under its cause in the list); a transfer's result leaves the status bar once the
// document changed; Undo goes back to the tab of the change with one cell selected; Export PDF adds the
// extension and says where it wrote. Compare lists cells whose canonical texts differ, with both texts.
TEST_F(FrameTest, MarksAndStatusSayWhatHappened) {
    ActivateAlarms(1);
    app.GetDoc()->SetModifiedFlag(0);
    ChangeDeviceNumber(QStringLiteral("99"));
    EXPECT_FALSE(app.GetDoc()->IsModified());
    EXPECT_FALSE(Frame().isWindowModified());

    Frame().ShowStatus(QStringLiteral("Download complete: 5 blocks read"));
    Frame().SetActiveView(1);
    ASSERT_TRUE(Grid(1).EditCell(1, 1, QStringLiteral("OFF")));
    EXPECT_TRUE(app.GetDoc()->IsModified());
    EXPECT_FALSE(Frame().statusBar()->currentMessage().startsWith(QStringLiteral("Download")));
    const std::vector<ConfigDifference> also = Frame().GetAlsoChanged();
    EXPECT_EQ(Frame().GetAlsoChangedText(),
              QStringLiteral("Also changed: %1 cells on Alarm").arg(also.size()));
    const std::vector<FoldedDifference> folded = FoldMirrorColumns(also);
    ASSERT_EQ(folded.size(), 1u) << "alarm 1's input reference, its mirrors folded under it";
    EXPECT_EQ(folded[0].difference.column + folded[0].difference.first + folded[0].difference.second,
              "InpRefIN 11OFF");
    EXPECT_EQ(folded[0].mirrors.size() + 1, also.size());

    Frame().SetActiveView(0);
    Grid(1).SetSelectedRange(1, 1, 5, 5);
    Frame().OnEditUndo();
    EXPECT_EQ(Frame().GetActiveIndex(), 1);
    EXPECT_EQ(Value(1, 1, 1), "20 mA");
    EXPECT_EQ(Grid(1).selectionModel()->selectedIndexes().size(), 1);
    EXPECT_TRUE(Frame().GetAlsoChangedText().isEmpty());

    Frame().SetPdfNameAsker([this](const QString&) { return dir.filePath(QStringLiteral("report")); });
    Frame().OnFileExportPdf();
    const QString written = dir.filePath(QStringLiteral("report.pdf"));
    EXPECT_TRUE(QFileInfo::exists(written));
    EXPECT_TRUE(Frame().statusBar()->currentMessage().contains(QDir::toNativeSeparators(written)));

    const ConfigValues document = ReadConfigValues(*app.GetDoc()->GetZemUnit());
    ConfigValues unit = document;
    EXPECT_TRUE(CompareConfigValues(document, unit).empty());
    unit.sheets[SETUP_ALARM].rows[1][6] = "0.4";
    const std::vector<ConfigDifference> delay = CompareConfigValues(document, unit);
    ASSERT_EQ(delay.size(), 1u);
    EXPECT_EQ(delay[0].first + " " + delay[0].second, "0.3 0.4");
}
