// ui/sheet: one setup type's sheet on screen. CTavikView shows the sheet in its grid and hands every edit,
// paste and popup to the sheet's rules, showing what they answered; CPropertyDlg is the property popup, the
// small dialogs and the held messages serve it, and the Windows-1252 conversion and the message-box prompt
// are the one place where the document's text meets Qt's.
#pragma once

#include <QWidget>

#include <QString>

#include <functional>
#include <vector>

class CLynGridCtrl;
class CPropertyDlg;
class CTavikDoc;
class IBrantSetupType;
class QPainter;
class QPrinter;

// Shows one setup type's data sheet in a grid and turns the user's edits into calls on that setup type.
// It owns only its grid: every value shown is read from the cells, every change goes through the setup
// type, and after each edit every row is refreshed because one edit may change other cells and sheets (the
// grid repaints only the cells whose contents changed).
class CTavikView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGridId = 500;
    // Shows the property popup; returns QDialog::Accepted when the user confirmed. Replaceable for tests.
    using PopupRunner = std::function<int(CPropertyDlg&)>;

    // What a paste did not take as it was given: one entry per refused, corrected, cut or skipped cell, and
    // one for what reached past the sheet's last row or column.
    struct PasteReport {
        struct Entry {
            QString sheet, row, column; // as the grid titles them
            int gridRow = 0, gridCol = 0;
            QString pasted; // the pasted text
            QString stored; // what the cell holds now
            QString what;   // "refused", "corrected", "skipped (read-only)", ...
        };
        QString message; // the kept summary; empty when every cell took its value
        std::vector<Entry> entries;
    };
    // Shows a paste's report to the user. Replaceable for tests.
    using ReportRunner = std::function<void(const PasteReport&)>;

    explicit CTavikView(CTavikDoc* doc, QWidget* parent = nullptr);
    ~CTavikView() override;

    void InitalizeView(int setupIndex);
    void UpdateChannelView(int row);
    void UpdateAllRows();

    // Grid notifications (begin edit, end edit); ignored until the frame has made the view ready.
    void OnGridNotify(int code, int row, int col);
    void OnNotifyPopup(int code, int row, int col);

    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditSelectAll();
    void OnFilePrintPreview();
    // Prints the grid as one job on a printer already set up by a print dialog; false when it failed.
    bool Print(QPrinter& printer);
    // Draws every page on `printer` through `painter` (shared by printing and the preview).
    bool PrintPages(QPrinter& printer, QPainter& painter);

    void SetReady(bool ready) { m_bReady = ready ? 1 : 0; }
    bool IsReady() const { return m_bReady != 0; }
    void OnActivateView(bool activate);
    void SetPopupRunner(PopupRunner runner) { m_popupRunner = std::move(runner); }
    void SetReportRunner(ReportRunner runner) { m_reportRunner = std::move(runner); }
    const PasteReport& GetLastPasteReport() const { return m_pasteReport; }

    // Why a cell that the sheet would otherwise let the user edit is read-only here (an alarm without an
    // input, a value copied from another sheet); empty when the cell is not locked. Such a cell opens no
    // editor, takes no pasted value and tells why in its tool tip.
    QString LockReason(int row, int col) const;

    CLynGridCtrl* GetGrid() const { return m_pGrid; }
    IBrantSetupType* GetSetup() const { return m_pSetup; }
    int GetSetupIndex() const { return m_nSetupIndex; }

signals:
    // An edit, a popup change, a cut or a whole paste went through the setup type, which may have changed
    // other sheets too; this view already shows its own sheet again.
    void sheetsChanged();
    // A short note for the status bar (a value cut at its cell's length).
    void statusMessage(const QString& text);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void OnEndEdit(int row, int col);
    void PastePopupLetters(int row, int col);
    void ShowRefusal(int row, int col);
    void NotePasted(int row, int col, const QString& pasted, const std::string& before, const QString& what);
    QString CellTitle(int row, int col) const;

    CTavikDoc* m_pDoc;
    int m_nSetupIndex = -1;
    IBrantSetupType* m_pSetup = nullptr;
    int m_bActive = 0;
    int m_bPopupOpen = 0;
    int m_bPasting = 0;
    int m_bPasteError = 0;
    CLynGridCtrl* m_pGrid = nullptr;
    int m_bReady = 0;
    PopupRunner m_popupRunner;
    ReportRunner m_reportRunner;
    PasteReport m_pasteReport;
};
