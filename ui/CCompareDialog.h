#pragma once

#include "unit/ConfigCompare.h"

#include <QDialog>

#include <vector>

class QTableWidget;

// The result of Compare with Unit: every cell where the unit differs from the document (sheet, row, column,
// value in the document, value in the unit), with Copy (tab-separated, for a spreadsheet) and Print.
class CCompareDialog : public QDialog {
    Q_OBJECT
public:
    explicit CCompareDialog(std::vector<ConfigDifference> differences, QWidget* parent = nullptr);

    QTableWidget* GetTable() const { return m_pTable; }
    // The list as tab-separated text under a title line, as Copy puts it on the clipboard.
    QString GetText() const;
    void OnCopy();
    void OnPrint();

private:
    std::vector<ConfigDifference> m_differences;
    QTableWidget* m_pTable = nullptr;
};
