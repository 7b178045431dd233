#include "ui/report/CReportCommands.h"

#include "model/IPrompt.h"
#include "ui/app/DialogFolder.h"
#include "ui/app/IDocumentFrame.h"
#include "ui/grid/CLynGridCtrl.h"
#include "ui/report/CConfigReport.h"
#include "ui/sheet/CTavikView.h"
#include "ui/sheet/Cp1252.h"
#include "unit/CTavikDoc.h"

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

CReportCommands::CReportCommands(CTavikDoc* doc, IDocumentFrame& frame, QObject* parent)
    : QObject(parent), m_pDoc(doc), m_frame(frame) {}

bool CReportCommands::HasPrinter() {
    const bool found = m_hasPrinter ? m_hasPrinter() : !QPrinterInfo::availablePrinterNames().isEmpty();
    if (!found)
        GetPrompt().ShowMessage(
            "No printer is installed. File > Export PDF... writes the configuration report "
            "as a PDF file instead.",
            IPrompt::Warning);
    return found;
}

void CReportCommands::ShowPrintFailure(const QPrinter& printer) {
    const QString name = printer.printerName().isEmpty() ? tr("the printer") : printer.printerName();
    GetPrompt().ShowMessage(ToCp1252(tr("Printing on %1 could not be started or was broken off.").arg(name)),
                            IPrompt::Error);
}

void CReportCommands::PreparePrint(CTavikView& view, QPrinter& printer) {
    CLynGridCtrl* grid = view.GetGrid();
    if (!grid || !view.GetSetup() || !m_pDoc) return;
    grid->SetPrintHeading(CConfigReport::HeadingFor(*m_pDoc));
    CConfigReport sheet;
    sheet.AddTable(CConfigReport::TableFromSetup(*view.GetSetup()));
    SetOrientation(printer, sheet);
}

void CReportCommands::OnFilePrintPreview() {
    CTavikView* view = m_frame.GetActiveTavikView();
    if (!view) return;
    m_frame.CommitEdits();
    QPrinter printer(QPrinter::HighResolution);
    PreparePrint(*view, printer);
    QPrintPreviewDialog preview(&printer, m_frame.GetWindow());
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [view](QPrinter* target) {
        QPainter painter(target);
        view->PrintPages(*target, painter);
    });
    preview.exec();
}

void CReportCommands::OnFilePrintReport() {
    if (!m_pDoc || !HasPrinter()) return;
    m_frame.CommitEdits();
    CConfigReport report = CConfigReport::ForDocument(*m_pDoc);
    QPrinter& printer = m_frame.GetPrinter();
    SetOrientation(printer, report);
    if (!m_frame.RunPrintDialog()) return;
    printer.setDocName(tr("Tavik Programmer"));
    QPainter painter;
    bool ok = painter.begin(&printer);
    if (ok) {
        ok = report.PaintAll(printer, painter);
        if (!ok) printer.abort();
        painter.end();
    }
    if (!ok) ShowPrintFailure(printer);
}

void CReportCommands::OnFileReportPreview() {
    if (!m_pDoc) return;
    m_frame.CommitEdits();
    CConfigReport report = CConfigReport::ForDocument(*m_pDoc);
    QPrinter printer(QPrinter::HighResolution);
    SetOrientation(printer, report);
    QPrintPreviewDialog preview(&printer, m_frame.GetWindow());
    preview.setWindowTitle(tr("Report Preview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&report](QPrinter* target) {
        QPainter painter(target);
        report.PaintAll(*target, painter);
    });
    preview.exec();
}

void CReportCommands::OnFileExportPdf() {
    if (!m_pDoc) return;
    const QString documentPath = QString::fromStdString(m_pDoc->GetPathName());
    const QString base = documentPath.isEmpty() ? tr("Untitled") : QFileInfo(documentPath).completeBaseName();
    const QString suggestion = QDir(DialogFolder(documentPath)).filePath(base + QStringLiteral(".pdf"));
    QString path = m_askPdfName ? m_askPdfName(suggestion)
                                : QFileDialog::getSaveFileName(m_frame.GetWindow(), tr("Export PDF"),
                                                               suggestion, tr("PDF Files (*.pdf)"));
    if (path.isEmpty()) return;
    // A name without an extension gets ".pdf", as the file type says.
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    if (ExportPdf(path))
        m_frame.ShowStatus(
            tr("Report written to %1").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
}

bool CReportCommands::ExportPdf(const QString& path) {
    if (!m_pDoc) return false;
    m_frame.CommitEdits();
    CConfigReport report = CConfigReport::ForDocument(*m_pDoc);
    QString error;
    if (report.WritePdf(path, error)) return true;
    GetPrompt().ShowMessage(
        ToCp1252(tr("Cannot write the PDF file \"%1\": %2").arg(QDir::toNativeSeparators(path), error)),
        IPrompt::Error);
    return false;
}
