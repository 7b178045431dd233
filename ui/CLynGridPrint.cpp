// Printing of the grid: the first columns scaled to the page width, rows spread over as many pages as
// needed, the header row repeated on every page and a footer with the title and page number.
#include "ui/CLynGridCtrl.h"

#include "ui/CLynGridModel.h"

#include <QFontInfo>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace {
const QColor g_headerFill(0xE6, 0xE9, 0xEE);
const QColor g_gridLine(0xA0, 0xA4, 0xAA);
constexpr int kPadding = 4;
} // namespace

int CLynGridCtrl::OnBeginPrinting(QPainter& painter, const QRect& page) {
    m_print = PrintLayout();
    m_print.page = page;
    const int columns = m_pModel->Columns();
    m_print.columns = m_nColsToPrint > 0 ? std::min(m_nColsToPrint, columns) : columns;

    int total = 0;
    for (int col = 0; col < m_print.columns; ++col) {
        const int width = std::max(GetColumnWidth(col), 30);
        m_print.widths.push_back(width);
        total += width;
    }
    m_print.rowHeight = fontMetrics().height() + 2 * kPadding;

    // Screen pixels become device pixels at the device's resolution, shrunk when the columns are too wide.
    const int screenDpi = std::max(logicalDpiX(), 1);
    const int deviceDpi = painter.device() ? painter.device()->logicalDpiX() : screenDpi;
    qreal scale = static_cast<qreal>(deviceDpi) / screenDpi;
    if (total > 0 && total * scale > page.width()) scale = static_cast<qreal>(page.width()) / total;
    m_print.scale = scale > 0 ? scale : 1.0;
    m_print.logicalPageWidth = static_cast<int>(page.width() / m_print.scale);
    m_print.logicalPageHeight = static_cast<int>(page.height() / m_print.scale);

    const int footer = m_print.rowHeight * 2;
    const int header = m_pModel->FixedRows() > 0 ? m_print.rowHeight : 0;
    const int usable = m_print.logicalPageHeight - footer - header;
    m_print.rowsPerPage = std::max(1, usable / std::max(m_print.rowHeight, 1));
    const int bodyRows = std::max(0, m_pModel->Rows() - m_pModel->FixedRows());
    m_nPrintPages = std::max(1, (bodyRows + m_print.rowsPerPage - 1) / m_print.rowsPerPage);
    return m_nPrintPages;
}

void CLynGridCtrl::PrintRow(QPainter& painter, int row, int y, bool header) const {
    int x = 0;
    for (int col = 0; col < m_print.columns; ++col) {
        const QRect box(x, y, m_print.widths[static_cast<std::size_t>(col)], m_print.rowHeight);
        const GridCell* cell = m_pModel->Cell(row, col);
        const bool fixed = header || col < m_pModel->FixedColumns();
        if (fixed)
            painter.fillRect(box, g_headerFill);
        else if (cell && cell->background.isValid())
            painter.fillRect(box, cell->background);
        painter.setPen(QPen(g_gridLine, 0));
        painter.drawRect(box);
        if (cell) {
            QFont font = painter.font();
            font.setBold(header);
            painter.setFont(font);
            painter.setPen(Qt::black);
            const QRect textBox = box.adjusted(kPadding, 0, -kPadding, 0);
            const QString text =
                painter.fontMetrics().elidedText(cell->text, Qt::ElideRight, textBox.width());
            const bool number = !fixed && (cell->dataType == 3 || cell->dataType == 4) && cell->type == 1;
            const Qt::Alignment align = header   ? Qt::AlignCenter
                                        : number ? (Qt::AlignRight | Qt::AlignVCenter)
                                                 : (Qt::AlignLeft | Qt::AlignVCenter);
            painter.drawText(textBox, static_cast<int>(align), text);
        }
        x += box.width();
    }
}

void CLynGridCtrl::OnPrint(QPainter& painter, int page) {
    if (page < 1 || page > m_nPrintPages || m_print.columns == 0) return;
    painter.save();
    painter.translate(m_print.page.topLeft());
    painter.scale(m_print.scale, m_print.scale);
    // Text in the same pixel size as on screen, so that it keeps its proportion to the columns.
    QFont font = this->font();
    font.setPixelSize(std::max(1, QFontInfo(this->font()).pixelSize()));
    painter.setFont(font);

    int y = 0;
    if (m_pModel->FixedRows() > 0) {
        PrintRow(painter, 0, y, true);
        y += m_print.rowHeight;
    }
    const int first = m_pModel->FixedRows() + (page - 1) * m_print.rowsPerPage;
    const int last = std::min(m_pModel->Rows(), first + m_print.rowsPerPage);
    for (int row = first; row < last; ++row) {
        PrintRow(painter, row, y, false);
        y += m_print.rowHeight;
    }

    font.setBold(false);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRect footer(0, m_print.logicalPageHeight - m_print.rowHeight, m_print.logicalPageWidth,
                       m_print.rowHeight);
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, m_strPrintTitle);
    painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter,
                     tr("Page %1 of %2").arg(page).arg(m_nPrintPages));
    painter.restore();
}

void CLynGridCtrl::OnEndPrinting() {
    m_print = PrintLayout();
    m_nPrintPages = 0;
}
