#include "ui/CCompareDialog.h"

#include "ui/Cp1252.h"

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

CCompareDialog::CCompareDialog(std::vector<ConfigDifference> differences, QWidget* parent)
    : QDialog(parent), m_differences(std::move(differences)) {
    setWindowTitle(tr("Compare with Unit"));
    auto* layout = new QVBoxLayout(this);
    auto* summary = new QLabel(
        m_differences.empty()
            ? tr("The unit holds the configuration of the document.")
            : (m_differences.size() == 1
                   ? tr("The unit differs from the document in 1 cell.")
                   : tr("The unit differs from the document in %1 cells.").arg(m_differences.size())),
        this);
    layout->addWidget(summary);

    m_pTable = new QTableWidget(static_cast<int>(m_differences.size()), 5, this);
    m_pTable->setHorizontalHeaderLabels({tr("Sheet"), tr("Row"), tr("Column"), tr("Document"), tr("Unit")});
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->verticalHeader()->hide();
    for (int row = 0; row < static_cast<int>(m_differences.size()); ++row) {
        const ConfigDifference& d = m_differences[static_cast<std::size_t>(row)];
        int col = 0;
        for (const std::string* text : {&d.sheet, &d.row, &d.column, &d.first, &d.second})
            m_pTable->setItem(row, col++, new QTableWidgetItem(FromCp1252(*text)));
    }
    m_pTable->resizeColumnsToContents();
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->setVisible(!m_differences.empty());
    layout->addWidget(m_pTable);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton(tr("&Copy"), QDialogButtonBox::ActionRole);
    QPushButton* print = buttons->addButton(tr("&Print..."), QDialogButtonBox::ActionRole);
    copy->setEnabled(!m_differences.empty());
    print->setEnabled(!m_differences.empty());
    connect(copy, &QPushButton::clicked, this, &CCompareDialog::OnCopy);
    connect(print, &QPushButton::clicked, this, &CCompareDialog::OnPrint);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(m_differences.empty() ? 420 : 720, m_differences.empty() ? 120 : 420);
}

QString CCompareDialog::GetText() const {
    return FromCp1252(FormatDifferences(m_differences, "Document", "Unit"));
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
