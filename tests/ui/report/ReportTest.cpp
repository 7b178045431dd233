// Printing and the configuration report: every active value whole, wide sheets turned and split, never cut.
#include "FrameFixture.h"

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
