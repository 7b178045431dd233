#pragma once

#include <QDateTime>
#include <QFont>
#include <QPageLayout>
#include <QRectF>
#include <QStringList>

#include <vector>

class CTavikDoc;
class IBrantSetupType;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

// One sheet as printed: a caption and its rows of texts, row 0 holding the column headers.
struct ReportTable {
    QString title;
    std::vector<QStringList> rows;
};

// What the title block of every page tells: which document, which unit, when, and by which program.
struct ReportHeading {
    QString fileName;
    QString deviceNumber;
    QString version;
    QDateTime printed;
};

// The printed form of sheets, used for printing a tab, for the whole-configuration report and for its PDF.
// No text is ever cut: every column is as wide as its widest value, the columns share the page width,
// headers wrap between words, the type shrinks a little for wide sheets and a sheet still too wide goes
// over several pages, each repeating the row names. Every page starts with the title block.
class CConfigReport {
public:
    void SetHeading(const ReportHeading& heading) { m_heading = heading; }
    const ReportHeading& GetHeading() const { return m_heading; }
    void AddTable(ReportTable table);
    const std::vector<ReportTable>& GetTables() const { return m_tables; }

    // Lays the tables out on pages of `page` (device pixels of `device`); returns the page count.
    int Layout(QPaintDevice& device, const QRectF& page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    // Draws page `number` (1-based) of the last layout with its top left corner at the painter's origin.
    void PaintPage(QPainter& painter, int number) const;
    // Lays out and draws every page on `device`, which `painter` paints on; false when a page failed.
    bool PaintAll(QPagedPaintDevice& device, QPainter& painter);

    // Landscape when a table does not fit the width of a portrait page of `layout` at full type size.
    QPageLayout::Orientation PreferredOrientation(QPaintDevice& device, const QPageLayout& layout,
                                                  int resolution) const;
    // Writes every page as a PDF file; on failure `error` says why and no file is left behind.
    bool WritePdf(const QString& path, QString& error);

    // The sheet of `setup` as the grid shows it: the rows the view shows and the columns printing covers;
    // a popup cell lists the names of its properties that are on.
    static ReportTable TableFromSetup(IBrantSetupType& setup);
    static ReportHeading HeadingFor(CTavikDoc& doc);
    // Every sheet of the document with its heading.
    static CConfigReport ForDocument(CTavikDoc& doc);

private:
    struct Part {
        int table = 0;
        std::vector<int> columns;
        std::vector<qreal> widths;
        qreal points = 0; // type size of the table's texts
        qreal rowHeight = 0;
        qreal headerHeight = 0;
        bool continued = false; // a later group of columns of the same table
    };
    struct Page {
        int part = 0;
        int firstRow = 1;
        int endRow = 1;
    };
    struct Fonts {
        QFont body, bold, title, caption;
    };

    static Fonts MakeFonts(qreal bodyPoints);
    // Column widths for `columns` of `table` within `width`; empty when their values alone do not fit.
    std::vector<qreal> FitColumns(const ReportTable& table, const std::vector<int>& columns, qreal width,
                                  const QFont& body, const QFont& bold, QPaintDevice& device) const;
    bool FitsAtFullSize(const ReportTable& table, qreal width, QPaintDevice& device) const;
    void PaintTitleBlock(QPainter& painter, int number) const;
    void PaintTableRows(QPainter& painter, const Page& page, qreal top) const;

    ReportHeading m_heading;
    std::vector<ReportTable> m_tables;
    std::vector<Part> m_parts;
    std::vector<Page> m_pages;
    QRectF m_page;
    qreal m_padding = 0;
    qreal m_titleHeight = 0;
    qreal m_captionHeight = 0;
};
