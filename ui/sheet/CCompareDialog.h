#pragma once

#include "unit/ConfigCompare.h"

#include <QDialog>
#include <QStringList>

#include <vector>

class QTableWidget;

// A list of cells in a table, with Copy (tab-separated, for a spreadsheet) and Print. It shows the result of
// Compare with Unit (sheet, row, column, value in the document, value in the unit), what an edit changed on
// other sheets, and what a paste did not take as it was given.
class CCompareDialog : public QDialog {
    Q_OBJECT
public:
    // Compare with Unit: the mirror columns are folded under the change that caused them.
    explicit CCompareDialog(std::vector<ConfigDifference> differences, QWidget* parent = nullptr);
    // Any list: a title, a line above the table, the column titles and the rows.
    CCompareDialog(const QString& title, const QString& summary, const QStringList& headers,
                   std::vector<QStringList> rows, QWidget* parent = nullptr);

    QTableWidget* GetTable() const { return m_pTable; }
    // The list as tab-separated text under a title line, as Copy puts it on the clipboard.
    QString GetText() const;
    void OnCopy();
    void OnPrint();

    // One row per folded difference; the mirror columns are named in the column cell.
    static std::vector<QStringList> Rows(const std::vector<FoldedDifference>& differences);

private:
    void Build(const QString& summary);

    QStringList m_headers;
    std::vector<QStringList> m_rows;
    QTableWidget* m_pTable = nullptr;
};
