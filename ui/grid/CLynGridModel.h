#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

#include <vector>

// One cell of the grid as the callers set it up.
struct GridCell {
    QString text;
    int type = 1;              // 0 read-only text, 1 editable text, 4 drop-down list
    short dataType = 0;        // the parameter cell's data type (3 integer, 4 number, 30 text)
    int textLen = -1;          // most characters the user may type; -1 or 0: no limit
    QColor background;         // invalid: the grid's default
    QStringList items;         // the choices of a drop-down cell
    bool popup = false;        // read-only in place, edited by the owner through a popup; takes pasted text
    bool listEditable = false; // a drop-down that also takes a typed value
    QString tip;               // why a read-only cell cannot be edited (its tool tip)
};

// The cells of a grid in grid coordinates. The fixed header row and column are shown by the view's
// header sections, so the model's own rows and columns start after them.
class CLynGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        CellTypeRole = Qt::UserRole + 1,
        ItemsRole,
        TextLenRole,
        PopupRole,
        DataTypeRole,
        ListEditableRole
    };

    explicit CLynGridModel(QObject* parent = nullptr);

    void Resize(int rows, int columns);
    void SetFixed(int rows, int columns);
    int Rows() const { return m_nRows; }
    int Columns() const { return m_nColumns; }
    int FixedRows() const { return m_nFixedRows; }
    int FixedColumns() const { return m_nFixedColumns; }
    bool IsValid(int row, int col) const { return row >= 0 && col >= 0 && row < m_nRows && col < m_nColumns; }
    bool IsFixed(int row, int col) const { return row < m_nFixedRows || col < m_nFixedColumns; }

    const GridCell* Cell(int row, int col) const;
    // Changes one cell. The view hears of it only when the value differs, and then about that one cell, so
    // a refresh that rewrites a whole sheet repaints just the cells that really changed.
    bool SetText(int row, int col, const QString& text);
    bool SetType(int row, int col, int type);
    bool SetItems(int row, int col, const QStringList& items);
    bool SetDataType(int row, int col, short dataType);
    bool SetTextLen(int row, int col, int length);
    bool SetBackground(int row, int col, const QColor& colour);
    bool SetPopup(int row, int col, bool popup);
    bool SetListEditable(int row, int col, bool editable);
    bool SetTip(int row, int col, const QString& tip);

    QModelIndex IndexOf(int row, int col) const;
    int GridRow(const QModelIndex& index) const { return index.row() + m_nFixedRows; }
    int GridColumn(const QModelIndex& index) const { return index.column() + m_nFixedColumns; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // A text stored by an editor (not by the program); the grid turns it into an end-edit notification.
    void cellEdited(int row, int col);

private:
    GridCell* Mutable(int row, int col);
    void Changed(int row, int col);

    int m_nRows = 0;
    int m_nColumns = 0;
    int m_nFixedRows = 0;
    int m_nFixedColumns = 0;
    std::vector<GridCell> m_cells; // row-major, m_nRows * m_nColumns
};
