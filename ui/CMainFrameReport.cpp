// The main frame's printing helpers and the whole-configuration report: Print Report..., Report Preview and
// Export PDF... in the File menu, next to the per-tab printing.
#include "ui/CMainFrame.h"

#include "model/IPrompt.h"
#include "ui/CConfigReport.h"
#include "ui/CLynGridCtrl.h"
#include "ui/CTavikView.h"
#include "ui/CommandIds.h"
#include "ui/Cp1252.h"
#include "ui/DialogFolder.h"
#include "unit/CTavikDoc.h"

#include "ui/DialogFolder.h"
#include <QAction>
#include <QDir>

#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
void SetOrientation(QPrinter& printer, const CConfigReport& report) {
    printer.setPageOrientation(
        report.PreferredOrientation(printer, printer.pageLayout(), printer.resolution()));
}
} // namespace

void CMainFrame::CreateReportCommands() {
    QAction* a = MakeAction(ID_FILE_PRINT_REPORT, tr("Print Re&port..."),
                            tr("Print every sheet of the configuration as one report\nPrint Report"));
    connect(a, &QAction::triggered, this, &CMainFrame::OnFilePrintReport);
    a = MakeAction(ID_FILE_REPORT_PREVIEW, tr("Report Previe&w"),
                   tr("Display the pages of the configuration report\nReport Preview"));
    connect(a, &QAction::triggered, this, &CMainFrame::OnFileReportPreview);
    a = MakeAction(ID_FILE_EXPORT_PDF, tr("&Export PDF..."),
                   tr("Write the configuration report as a PDF file\nExport PDF"));
    connect(a, &QAction::triggered, this, &CMainFrame::OnFileExportPdf);
}

bool CMainFrame::HasPrinter() {
    const bool found = m_hasPrinter ? m_hasPrinter() : !QPrinterInfo::availablePrinterNames().isEmpty();
    if (!found)
        GetPrompt().ShowMessage(
            "No printer is installed. File > Export PDF... writes the configuration report "
            "as a PDF file instead.",
            IPrompt::Warning);
    return found;
}

void CMainFrame::ShowPrintFailure(const QPrinter& printer) {
    const QString name = printer.printerName().isEmpty() ? tr("the printer") : printer.printerName();
    GetPrompt().ShowMessage(ToCp1252(tr("Printing on %1 could not be started or was broken off.").arg(name)),
                            IPrompt::Error);
}

void CMainFrame::PreparePrint(CTavikView& view, QPrinter& printer) {
    CLynGridCtrl* grid = view.GetGrid();
    if (!grid || !view.GetSetup() || !m_pDoc) return;
    grid->SetPrintHeading(CConfigReport::HeadingFor(*m_pDoc));
    CConfigReport sheet;
    sheet.AddTable(CConfigReport::TableFromSetup(*view.GetSetup()));
    SetOrientation(printer, sheet);
}

void CMainFrame::OnFilePrintPreview() {
    CTavikView* view = GetActiveTavikView();
    if (!view) return;
    CommitEdits();
    QPrinter printer(QPrinter::HighResolution);
    PreparePrint(*view, printer);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [view](QPrinter* target) {
        QPainter painter(target);
        view->PrintPages(*target, painter);
    });
    preview.exec();
}

void CMainFrame::OnFilePrintReport() {
    if (!m_pDoc || !HasPrinter()) return;
    CommitEdits();
    CConfigReport report = CConfigReport::ForDocument(*m_pDoc);
    SetOrientation(*m_pPrinter, report);
    if (!RunPrintDialog()) return;
    m_pPrinter->setDocName(tr("Tavik Programmer"));
    QPainter painter;
    bool ok = painter.begin(m_pPrinter.get());
    if (ok) {
        ok = report.PaintAll(*m_pPrinter, painter);
        if (!ok) m_pPrinter->abort();
        painter.end();
    }
    if (!ok) ShowPrintFailure(*m_pPrinter);
}

void CMainFrame::OnFileReportPreview() {
    if (!m_pDoc) return;
    CommitEdits();
    CConfigReport report = CConfigReport::ForDocument(*m_pDoc);
    QPrinter printer(QPrinter::HighResolution);
    SetOrientation(printer, report);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(tr("Report Preview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&report](QPrinter* target) {
        QPainter painter(target);
        report.PaintAll(*target, painter);
    });
    preview.exec();
}

void CMainFrame::OnFileExportPdf() {
    if (!m_pDoc) return;
    const QString documentPath = QString::fromStdString(m_pDoc->GetPathName());
    const QString base = documentPath.isEmpty() ? tr("Untitled") : QFileInfo(documentPath).completeBaseName();
    const QString suggestion = QDir(DialogFolder(documentPath)).filePath(base + QStringLiteral(".pdf"));
    QString path = m_askPdfName ? m_askPdfName(suggestion)
                                : QFileDialog::getSaveFileName(this, tr("Export PDF"), suggestion,
                                                               tr("PDF Files (*.pdf)"));
    if (path.isEmpty()) return;
    // A name without an extension gets ".pdf", as the file type says.
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    if (ExportPdf(path))
        ShowStatus(
            tr("Report written to %1").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
}

bool CMainFrame::ExportPdf(const QString& path) {
    if (!m_pDoc) return false;
    CommitEdits();
    CConfigReport report = CConfigReport::ForDocument(*m_pDoc);
    QString error;
    if (report.WritePdf(path, error)) return true;
    GetPrompt().ShowMessage(
        ToCp1252(tr("Cannot write the PDF file \"%1\": %2").arg(QDir::toNativeSeparators(path), error)),
        IPrompt::Error);
    return false;
}
