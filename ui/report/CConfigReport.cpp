#include "ui/report/CConfigReport.h"

#include "model/IBrantSetupType.h"
#include "sheets/alarms/CAlarm.h"
#include "sheets/general/GeneralTables.h"
#include "ui/app/CAboutDlg.h"
#include "ui/sheet/Cp1252.h"
#include "unit/CTavikDoc.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <numeric>

namespace {
constexpr qreal kFullPoints = 9.0;   // type size of a table that fits
constexpr qreal kSmallestPoints = 7; // smallest type a wide table shrinks to before it is split
constexpr qreal kPointStep = 0.5;
const QColor g_headerFill(0xE6, 0xE9, 0xEE);
const QColor g_gridLine(0x80, 0x84, 0x8A);

qreal Dpi(const QPaintDevice& device) {
    return std::max(1, device.logicalDpiY());
}

// Widths are measured with the metrics of the device; a hair more keeps rounding in the printer driver
// from ever clipping the last letter.
qreal TextWidth(const QFontMetricsF& metrics, const QString& text) {
    return metrics.horizontalAdvance(text) * 1.02 + 1;
}

qreal WidestWord(const QFontMetricsF& metrics, const QString& text) {
    qreal widest = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, TextWidth(metrics, word));
    return widest;
}

QString CellText(const ReportTable& table, int row, int col) {
    const QStringList& cells = table.rows[static_cast<std::size_t>(row)];
    return col < cells.size() ? cells[col] : QString();
}
} // namespace

void CConfigReport::AddTable(ReportTable table) {
    m_tables.push_back(std::move(table));
}

CConfigReport::Fonts CConfigReport::MakeFonts(qreal bodyPoints) {
    Fonts fonts;
    fonts.body = QGuiApplication::font();
    fonts.body.setPointSizeF(bodyPoints);
    fonts.body.setStyleStrategy(QFont::PreferAntialias);
    fonts.bold = fonts.body;
    fonts.bold.setBold(true);
    fonts.title = fonts.bold;
    fonts.title.setPointSizeF(kFullPoints + 2);
    fonts.caption = fonts.bold;
    fonts.caption.setPointSizeF(kFullPoints + 1);
    return fonts;
}

std::vector<qreal> CConfigReport::FitColumns(const ReportTable& table, const std::vector<int>& columns,
                                             qreal width, const QFont& body, const QFont& bold,
                                             QPaintDevice& device) const {
    const QFontMetricsF valueMetrics(body, &device);
    const QFontMetricsF headerMetrics(bold, &device);
    const qreal padding = 2 * m_padding;
    std::vector<qreal> least, natural;
    for (int col : columns) {
        qreal values = 0;
        for (std::size_t row = 1; row < table.rows.size(); ++row)
            values = std::max(values, TextWidth(valueMetrics, CellText(table, static_cast<int>(row), col)));
        const QString header = CellText(table, 0, col);
        least.push_back(std::max(values, WidestWord(headerMetrics, header)) + padding);
        natural.push_back(std::max(values, TextWidth(headerMetrics, header)) + padding);
    }
    const qreal needed = std::accumulate(least.begin(), least.end(), 0.0);
    if (needed > width) return {};

    // Spare width first unwraps the headers that need least of it, then is shared by all columns.
    std::vector<qreal> widths = least;
    qreal spare = width - needed;
    std::vector<std::size_t> order(columns.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return natural[a] - least[a] < natural[b] - least[b]; });
    for (std::size_t i : order) {
        const qreal more = natural[i] - least[i];
        if (more <= spare) {
            widths[i] = natural[i];
            spare -= more;
        }
    }
    const qreal total = std::accumulate(widths.begin(), widths.end(), 0.0);
    for (qreal& column : widths)
        column += spare * column / total;
    return widths;
}

bool CConfigReport::FitsAtFullSize(const ReportTable& table, qreal width, QPaintDevice& device) const {
    if (table.rows.empty()) return true;
    std::vector<int> columns(static_cast<std::size_t>(table.rows.front().size()));
    std::iota(columns.begin(), columns.end(), 0);
    const Fonts fonts = MakeFonts(kFullPoints);
    return !FitColumns(table, columns, width, fonts.body, fonts.bold, device).empty();
}

int CConfigReport::Layout(QPaintDevice& device, const QRectF& page) {
    m_parts.clear();
    m_pages.clear();
    m_page = page;
    m_padding = Dpi(device) * 0.05;
    const Fonts full = MakeFonts(kFullPoints);
    const QFontMetricsF titleMetrics(full.title, &device);
    const QFontMetricsF bodyMetrics(full.body, &device);
    const QFontMetricsF captionMetrics(full.caption, &device);
    m_titleHeight = titleMetrics.lineSpacing() + 2 * bodyMetrics.lineSpacing() + Dpi(device) * 0.12;
    m_captionHeight = captionMetrics.lineSpacing() * 1.5;

    for (std::size_t t = 0; t < m_tables.size(); ++t) {
        const ReportTable& table = m_tables[t];
        if (table.rows.empty() || table.rows.front().isEmpty()) continue;
        const int columnCount = static_cast<int>(table.rows.front().size());
        std::vector<int> all(static_cast<std::size_t>(columnCount));
        std::iota(all.begin(), all.end(), 0);

        // The largest type at which every column fits; below the smallest, groups of columns, each with
        // the row names, go on pages of their own.
        std::vector<Part> parts;
        for (qreal points = kFullPoints; points >= kSmallestPoints && parts.empty(); points -= kPointStep) {
            const Fonts fonts = MakeFonts(points);
            std::vector<qreal> widths = FitColumns(table, all, page.width(), fonts.body, fonts.bold, device);
            if (widths.empty()) continue;
            Part part;
            part.columns = all;
            part.widths = std::move(widths);
            part.points = points;
            parts.push_back(std::move(part));
        }
        if (parts.empty()) {
            const Fonts fonts = MakeFonts(kSmallestPoints);
            const auto fit = [&](const std::vector<int>& group) {
                return FitColumns(table, group, page.width(), fonts.body, fonts.bold, device);
            };
            const auto addPart = [&](const std::vector<int>& group) {
                Part part;
                part.columns = group;
                part.widths = fit(group);
                // Only a single value wider than the page itself gets here; it keeps the page width.
                if (part.widths.empty()) part.widths.assign(group.size(), page.width() / group.size());
                part.points = kSmallestPoints;
                part.continued = !parts.empty();
                parts.push_back(std::move(part));
            };
            std::vector<int> group{0};
            for (int col = 1; col < columnCount; ++col) {
                std::vector<int> wider = group;
                wider.push_back(col);
                if (group.size() == 1 || !fit(wider).empty()) {
                    group = std::move(wider);
                    continue;
                }
                addPart(group);
                group = {0, col};
            }
            addPart(group);
        }

        for (Part& part : parts) {
            part.table = static_cast<int>(t);
            const Fonts fonts = MakeFonts(part.points);
            const QFontMetricsF body(fonts.body, &device);
            const QFontMetricsF bold(fonts.bold, &device);
            part.rowHeight = body.lineSpacing() + m_padding * 0.8;
            part.headerHeight = part.rowHeight;
            for (std::size_t i = 0; i < part.columns.size(); ++i) {
                const QRectF room(0, 0, part.widths[i] - 2 * m_padding, 1e6);
                const QRectF text =
                    bold.boundingRect(room, Qt::TextWordWrap, CellText(table, 0, part.columns[i]));
                part.headerHeight = std::max(part.headerHeight, text.height() + m_padding * 0.8);
            }
            m_parts.push_back(part);

            // Rows flow over as many pages as they need, the caption and header row on each.
            const qreal room = page.height() - m_titleHeight - m_captionHeight - part.headerHeight;
            const int perPage = std::max(1, static_cast<int>(room / part.rowHeight));
            const int rows = static_cast<int>(table.rows.size());
            for (int first = 1; first < rows || first == 1; first += perPage) {
                Page sheet;
                sheet.part = static_cast<int>(m_parts.size()) - 1;
                sheet.firstRow = first;
                sheet.endRow = std::min(rows, first + perPage);
                m_pages.push_back(sheet);
                if (sheet.endRow >= rows) break;
            }
        }
    }
    return GetPageCount();
}

void CConfigReport::PaintTitleBlock(QPainter& painter, int number) const {
    const Fonts fonts = MakeFonts(kFullPoints);
    const QFontMetricsF titleMetrics(fonts.title, painter.device());
    const QFontMetricsF bodyMetrics(fonts.body, painter.device());
    const qreal width = m_page.width();
    painter.setPen(Qt::black);

    QRectF line(0, 0, width, titleMetrics.lineSpacing());
    painter.setFont(fonts.title);
    const QString name = m_heading.fileName.isEmpty() ? QStringLiteral("Untitled") : m_heading.fileName;
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, name);
    painter.setFont(fonts.body);
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Page %1 of %2").arg(number).arg(GetPageCount()));

    line = QRectF(0, line.bottom(), width, bodyMetrics.lineSpacing());
    const QString device = m_heading.deviceNumber.isEmpty()
                               ? QString()
                               : QStringLiteral("Device Number %1").arg(m_heading.deviceNumber);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, device);
    if (m_heading.printed.isValid())
        painter.drawText(
            line, Qt::AlignRight | Qt::AlignVCenter,
            QStringLiteral("Printed %1").arg(m_heading.printed.toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    line.translate(0, bodyMetrics.lineSpacing());
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, m_heading.version);

    const qreal rule = line.bottom() + Dpi(*painter.device()) * 0.04;
    painter.setPen(QPen(Qt::black, Dpi(*painter.device()) / 150.0));
    painter.drawLine(QPointF(0, rule), QPointF(width, rule));
}

void CConfigReport::PaintTableRows(QPainter& painter, const Page& page, qreal top) const {
    const Part& part = m_parts[static_cast<std::size_t>(page.part)];
    const ReportTable& table = m_tables[static_cast<std::size_t>(part.table)];
    const Fonts fonts = MakeFonts(part.points);
    const qreal line = Dpi(*painter.device()) / 300.0;

    QString caption = table.title;
    if (part.continued || page.firstRow > 1) caption += QStringLiteral(" (continued)");
    painter.setFont(fonts.caption);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, top, m_page.width(), m_captionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     caption);
    top += m_captionHeight;

    const auto paintRow = [&](int row, qreal y, qreal height, bool header) {
        qreal x = 0;
        painter.setFont(header ? fonts.bold : fonts.body);
        for (std::size_t i = 0; i < part.columns.size(); ++i) {
            const QRectF box(x, y, part.widths[i], height);
            if (header || part.columns[i] == 0) painter.fillRect(box, g_headerFill);
            painter.setPen(QPen(g_gridLine, line));
            painter.drawRect(box);
            painter.setPen(Qt::black);
            const QRectF text = box.adjusted(m_padding, 0, -m_padding, 0);
            const int flags = header ? (Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap)
                                     : (Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine);
            painter.drawText(text, flags, CellText(table, row, part.columns[i]));
            x += part.widths[i];
        }
    };
    paintRow(0, top, part.headerHeight, true);
    top += part.headerHeight;
    for (int row = page.firstRow; row < page.endRow; ++row) {
        paintRow(row, top, part.rowHeight, false);
        top += part.rowHeight;
    }
}

void CConfigReport::PaintPage(QPainter& painter, int number) const {
    if (number < 1 || number > GetPageCount() || !painter.device()) return;
    painter.save();
    painter.translate(m_page.topLeft());
    PaintTitleBlock(painter, number);
    PaintTableRows(painter, m_pages[static_cast<std::size_t>(number - 1)], m_titleHeight);
    painter.restore();
}

bool CConfigReport::PaintAll(QPagedPaintDevice& device, QPainter& painter) {
    const QRect paint = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const int pages = Layout(device, QRectF(0, 0, paint.width(), paint.height()));
    for (int number = 1; number <= pages; ++number) {
        if (number > 1 && !device.newPage()) return false;
        PaintPage(painter, number);
    }
    return true;
}

QPageLayout::Orientation CConfigReport::PreferredOrientation(QPaintDevice& device, const QPageLayout& layout,
                                                             int resolution) const {
    QPageLayout portrait = layout;
    portrait.setOrientation(QPageLayout::Portrait);
    const qreal width = portrait.paintRectPixels(resolution).width();
    for (const ReportTable& table : m_tables)
        if (!FitsAtFullSize(table, width, device)) return QPageLayout::Landscape;
    return QPageLayout::Portrait;
}

bool CConfigReport::WritePdf(const QString& path, QString& error) {
    // Written aside and renamed over the target when complete: a failure never leaves half a report.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    bool ok = true;
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(600);
        pdf.setCreator(m_heading.version);
        pdf.setTitle(m_heading.fileName);
        const bool letter = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
        const QPageLayout portrait(QPageSize(letter ? QPageSize::Letter : QPageSize::A4),
                                   QPageLayout::Portrait, QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        QPageLayout layout = portrait;
        layout.setOrientation(PreferredOrientation(pdf, portrait, pdf.resolution()));
        pdf.setPageLayout(layout);
        QPainter painter;
        if (!painter.begin(&pdf)) {
            error = QStringLiteral("the PDF could not be started");
            ok = false;
        } else {
            ok = PaintAll(pdf, painter);
            painter.end();
            if (!ok) error = QStringLiteral("a page could not be written");
        }
    }
    if (!ok) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

ReportTable CConfigReport::TableFromSetup(IBrantSetupType& setup) {
    ReportTable table;
    table.title = FromCp1252(setup.GetTitle());
    const CDataSheet* sheet = setup.GetDataSheet();
    if (!sheet || sheet->GetNumSections() == 0) return table;
    const int rows = std::min(setup.GetNumChannels(), sheet->GetNumSections());
    const int printed = setup.GetNumColumns() > 0 ? setup.GetNumColumns() : sheet->GetNumCells(0);
    const int columns = std::min(printed, sheet->GetNumCells(0));
    const auto* alarm = dynamic_cast<const CAlarm*>(&setup);
    for (int row = 0; row < rows; ++row) {
        QStringList cells;
        for (int col = 0; col < columns; ++col) {
            const CBrChnData* cell = sheet->GetCellChecked(row, col);
            QString text = cell ? FromCp1252(cell->GetDataAsString()) : QString();
            // The flags cell shows "..." on screen; on paper it names the flags that are on.
            const CAlarm::CFlagGroup* flags = row > 0 && alarm && cell && cell->m_nStyle == CTRL_STYLE_POPUP
                                                  ? alarm->GetFlagGroup(row)
                                                  : nullptr;
            if (flags) {
                QStringList on;
                for (const auto& flag : *flags)
                    if (flag && flag->GetDataAsString() == "ON") on << FromCp1252(flag->GetName());
                text = on.isEmpty() ? QStringLiteral("none") : on.join(QStringLiteral(", "));
            }
            cells << text;
        }
        table.rows.push_back(std::move(cells));
    }
    return table;
}

ReportHeading CConfigReport::HeadingFor(CTavikDoc& doc) {
    ReportHeading heading;
    heading.fileName = doc.GetPathName().empty()
                           ? QStringLiteral("Untitled")
                           : QFileInfo(QString::fromStdString(doc.GetPathName())).fileName();
    IBrantSetupType* setups[SETUP_TYPE_COUNT] = {};
    if (doc.GetBrSetup(setups) == SETUP_TYPE_COUNT && setups[SETUP_GENERAL]) {
        const CDataSheet* general = setups[SETUP_GENERAL]->GetDataSheet();
        if (const CBrChnData* number = general ? general->GetCellChecked(GEN_ROW_DEVICE_NUMBER, 1) : nullptr)
            heading.deviceNumber = FromCp1252(number->GetDataAsString());
    }
    heading.version = CAboutDlg::VersionText(TAVIK_VERSION_MAJOR, TAVIK_VERSION_MINOR, TAVIK_VERSION_PATCH);
    heading.printed = QDateTime::currentDateTime();
    return heading;
}

CConfigReport CConfigReport::ForDocument(CTavikDoc& doc) {
    CConfigReport report;
    report.SetHeading(HeadingFor(doc));
    IBrantSetupType* setups[SETUP_TYPE_COUNT] = {};
    if (doc.GetBrSetup(setups) != SETUP_TYPE_COUNT) return report;
    for (IBrantSetupType* setup : setups)
        if (setup) report.AddTable(TableFromSetup(*setup));
    return report;
}
