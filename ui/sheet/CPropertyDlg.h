#pragma once

#include <QDialog>

class CBrChnData;
class CLynGridCtrl;
class QPushButton;

// The modal popup in which a cell's set of named properties (an alarm's flags) is edited: a two-column
// grid of name and value above OK and Cancel. It borrows the property cells; OK writes the chosen values
// back into them, Cancel leaves them alone.
class CPropertyDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxProperties = 100;

    explicit CPropertyDlg(QWidget* parent = nullptr);

    void SetProperties(CBrChnData** properties, int count);
    int GetCount() const { return m_nCount; }
    CLynGridCtrl* GetGrid() const { return m_pGrid; }
    QPushButton* GetOkButton() const { return m_pOk; }
    QPushButton* GetCancelButton() const { return m_pCancel; }

    // Lays out the grid and the buttons for the properties and fills the rows; runs when shown.
    void Fill();
    // Writes the grid's values back into the properties and closes with OK.
    void OnOK();

protected:
    void showEvent(QShowEvent* event) override;

private:
    CBrChnData* m_pProperties[kMaxProperties] = {};
    int m_nCount = 0;
    CLynGridCtrl* m_pGrid;
    QPushButton* m_pOk;
    QPushButton* m_pCancel;
    bool m_bFilled = false;
};
