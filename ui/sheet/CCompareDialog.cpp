#include "ui/sheet/CCompareDialog.h"

#include "ui/sheet/Cp1252.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>

std::vector<QStringList> CCompareDialog::Rows(const std::vector<FoldedDifference>& differences) {
    std::vector<QStringList> rows;
    for (const FoldedDifference& f : differences) {
        const ConfigDifference& d = f.difference;
        QString column = FromCp1252(d.column);
        if (!f.mirrors.empty()) {
            QStringList names;
            for (const ConfigDifference& m : f.mirrors)
                names << FromCp1252(m.column);
            column += QStringLiteral(" (+ %1)").arg(names.join(QStringLiteral(", ")));
        }
        rows.push_back(
            {FromCp1252(d.sheet), FromCp1252(d.row), column, FromCp1252(d.first), FromCp1252(d.second)});
    }
    return rows;
}

CCompareDialog::CCompareDialog(std::vector<ConfigDifference> differences, QWidget* parent)
    : QDialog(parent), m_headers({tr("Sheet"), tr("Row"), tr("Column"), tr("Document"), tr("Unit")}),
      m_rows(Rows(FoldMirrorColumns(differences))) {
    setWindowTitle(tr("Compare with Unit"));
    Build(differences.empty()
              ? tr("The unit holds the configuration of the document.")
              : (differences.size() == 1
                     ? tr("The unit differs from the document in 1 cell.")
                     : tr("The unit differs from the document in %1 cells.").arg(differences.size())));
}

CCompareDialog::CCompareDialog(const QString& title, const QString& summary, const QStringList& headers,
                               std::vector<QStringList> rows, QWidget* parent)
    : QDialog(parent), m_headers(headers), m_rows(std::move(rows)) {
    setWindowTitle(title);
    Build(summary);
}

void CCompareDialog::Build(const QString& summary) {
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(summary, this);
    label->setWordWrap(true);
    layout->addWidget(label);

    m_pTable = new QTableWidget(static_cast<int>(m_rows.size()), static_cast<int>(m_headers.size()), this);
    m_pTable->setHorizontalHeaderLabels(m_headers);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->verticalHeader()->hide();
    m_pTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
        const QStringList& cells = m_rows[static_cast<std::size_t>(row)];
        for (int col = 0; col < cells.size() && col < m_headers.size(); ++col)
            m_pTable->setItem(row, col, new QTableWidgetItem(cells[col]));
    }
    m_pTable->resizeColumnsToContents();
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->setVisible(!m_rows.empty());
    layout->addWidget(m_pTable);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton(tr("&Copy"), QDialogButtonBox::ActionRole);
    QPushButton* print = buttons->addButton(tr("&Print..."), QDialogButtonBox::ActionRole);
    copy->setEnabled(!m_rows.empty());
    print->setEnabled(!m_rows.empty());
    connect(copy, &QPushButton::clicked, this, &CCompareDialog::OnCopy);
    connect(print, &QPushButton::clicked, this, &CCompareDialog::OnPrint);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(m_rows.empty() ? 420 : 720, m_rows.empty() ? 120 : 420);
}

QString CCompareDialog::GetText() const {
    QString text = m_headers.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const QStringList& row : m_rows)
        text += row.join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text;
}

void CCompareDialog::OnCopy() {
    QApplication::clipboard()->setText(GetText());
}

void CCompareDialog::OnPrint() {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        QMessageBox::information(this, windowTitle(), tr("No printer is installed."));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    QString html = QStringLiteral("<h3>%1</h3><table border=1 cellspacing=0 cellpadding=3><tr>")
                       .arg(windowTitle().toHtmlEscaped());
    for (int col = 0; col < m_pTable->columnCount(); ++col)
        html +=
            QStringLiteral("<th>%1</th>").arg(m_pTable->horizontalHeaderItem(col)->text().toHtmlEscaped());
    html += QStringLiteral("</tr>");
    for (int row = 0; row < m_pTable->rowCount(); ++row) {
        html += QStringLiteral("<tr>");
        for (int col = 0; col < m_pTable->columnCount(); ++col)
            html += QStringLiteral("<td>%1</td>").arg(m_pTable->item(row, col)->text().toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    QTextDocument document;
    document.setHtml(html + QStringLiteral("</table>"));
    document.print(&printer);
}
