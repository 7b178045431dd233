// Printing of the grid: its texts laid out by the report, which never cuts a text, with the title block
// and the header row on every page.
#include "ui/grid/CLynGridCtrl.h"

#include "ui/grid/CLynGridModel.h"

#include <QPainter>

void CLynGridCtrl::SetPrintHeading(const ReportHeading& heading) {
    m_pPrintHeading = std::make_unique<ReportHeading>(heading);
}

ReportTable CLynGridCtrl::GetPrintTable() const {
    ReportTable table;
    table.title = m_strPrintTitle;
    const int columns =
        m_nColsToPrint > 0 ? std::min(m_nColsToPrint, m_pModel->Columns()) : m_pModel->Columns();
    for (int row = 0; row < m_pModel->Rows(); ++row) {
        QStringList cells;
        for (int col = 0; col < columns; ++col)
            cells << GetItemText(row, col);
        table.rows.push_back(std::move(cells));
    }
    return table;
}

int CLynGridCtrl::OnBeginPrinting(QPainter& painter, const QRect& page) {
    m_pPrintReport = std::make_unique<CConfigReport>();
    if (m_pPrintHeading) m_pPrintReport->SetHeading(*m_pPrintHeading);
    m_pPrintReport->AddTable(GetPrintTable());
    m_nPrintPages = painter.device() ? m_pPrintReport->Layout(*painter.device(), page) : 0;
    return m_nPrintPages;
}

void CLynGridCtrl::OnPrint(QPainter& painter, int page) {
    if (m_pPrintReport && page >= 1 && page <= m_nPrintPages) m_pPrintReport->PaintPage(painter, page);
}

void CLynGridCtrl::OnEndPrinting() {
    m_pPrintReport.reset();
    m_nPrintPages = 0;
}
