// ui/report: the configuration on paper. CConfigReport lays out every sheet as one report (print, preview,
// PDF); CReportCommands carries out the report commands and prepares the per-tab print jobs.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class CTavikDoc;
class CTavikView;
class IDocumentFrame;
class QPrinter;

// The configuration report and the printing of the frame's tabs: File > Print Report..., Report Preview and
// Export PDF..., and what the per-tab Print and Print Preview need (the heading, the orientation, a printer).
// It reaches the frame only through IDocumentFrame.
class CReportCommands : public QObject {
    Q_OBJECT
public:
    CReportCommands(CTavikDoc* doc, IDocumentFrame& frame, QObject* parent = nullptr);

    void OnFilePrintReport();
    void OnFileReportPreview();
    void OnFileExportPdf();
    // Shows the pages of the current tab.
    void OnFilePrintPreview();
    // Writes the whole-configuration report to `path`; false (with a message shown) when it failed.
    bool ExportPdf(const QString& path);
    // Printing needs a printer; without one the user is told so and nothing else happens.
    bool HasPrinter();
    // Heading and orientation of one tab's print job.
    void PreparePrint(CTavikView& view, QPrinter& printer);
    void ShowPrintFailure(const QPrinter& printer);

    // Where Export PDF writes; replaceable in tests. Empty when the user cancelled.
    void SetPdfNameAsker(std::function<QString(const QString&)> asker) { m_askPdfName = std::move(asker); }
    // Whether a printer is installed; replaceable in tests.
    void SetPrinterProbe(std::function<bool()> probe) { m_hasPrinter = std::move(probe); }

private:
    CTavikDoc* m_pDoc;
    IDocumentFrame& m_frame;
    std::function<QString(const QString&)> m_askPdfName;
    std::function<bool()> m_hasPrinter;
};
