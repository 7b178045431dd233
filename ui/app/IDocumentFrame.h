#pragma once

#include <QString>

class CTavikView;
class QPrinter;
class QWidget;

// The main frame as the transfer commands and the report see it: the narrow door through which they reach
// the frame without knowing its class. CMainFrame implements it.
class IDocumentFrame {
public:
    virtual ~IDocumentFrame() = default;

    // The window that dialogs are shown over; null once the frame is gone.
    virtual QWidget* GetWindow() = 0;
    // A cell editor still open hands its text to the sheet now, as any edit.
    virtual void CommitEdits() = 0;
    // Every view shows its sheet again, keeping the current tab.
    virtual void RefreshViews() = 0;
    // Every view is initialised anew from its setup type, the first tab shown.
    virtual void ResetViews() = 0;
    virtual void UpdateFrameTitle() = 0;
    // A result that stays in the status bar until the next edit; a backup's path adds a button opening it.
    virtual void ShowResult(const QString& text, const QString& backupPath = QString()) = 0;
    // A short message in the status bar.
    virtual void ShowStatus(const QString& text) = 0;
    virtual CTavikView* GetActiveTavikView() const = 0;
    // The printer chosen in the print dialogs, and the print dialog on it; false when cancelled.
    virtual QPrinter& GetPrinter() = 0;
    virtual bool RunPrintDialog() = 0;
};
