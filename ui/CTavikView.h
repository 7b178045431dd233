#pragma once

#include <QWidget>

#include <functional>

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

    CLynGridCtrl* GetGrid() const { return m_pGrid; }
    IBrantSetupType* GetSetup() const { return m_pSetup; }
    int GetSetupIndex() const { return m_nSetupIndex; }

signals:
    // The document was marked modified by this view.
    void documentModified();
    // An edit, a popup change, a cut or a whole paste went through the setup type, which may have changed
    // other sheets too; this view already shows its own sheet again.
    void sheetsChanged();

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void MarkModified();
    void OnEndEdit(int row, int col);
    void PastePopupLetters(int row, int col);

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
};
