#include "ui/grid/CLynGridModel.h"

#include <algorithm>

CLynGridModel::CLynGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void CLynGridModel::Resize(int rows, int columns) {
    rows = std::max(rows, 0);
    columns = std::max(columns, 0);
    if (rows == m_nRows && columns == m_nColumns) return;
    beginResetModel();
    std::vector<GridCell> cells(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    for (int r = 0; r < std::min(rows, m_nRows); ++r)
        for (int c = 0; c < std::min(columns, m_nColumns); ++c)
            cells[static_cast<std::size_t>(r * columns + c)] =
                m_cells[static_cast<std::size_t>(r * m_nColumns + c)];
    m_cells = std::move(cells);
    m_nRows = rows;
    m_nColumns = columns;
    endResetModel();
}

void CLynGridModel::SetFixed(int rows, int columns) {
    rows = std::clamp(rows, 0, 1);
    columns = std::clamp(columns, 0, 1);
    if (rows == m_nFixedRows && columns == m_nFixedColumns) return;
    beginResetModel();
    m_nFixedRows = rows;
    m_nFixedColumns = columns;
    endResetModel();
}

const GridCell* CLynGridModel::Cell(int row, int col) const {
    if (!IsValid(row, col)) return nullptr;
    return &m_cells[static_cast<std::size_t>(row * m_nColumns + col)];
}

GridCell* CLynGridModel::Mutable(int row, int col) {
    if (!IsValid(row, col)) return nullptr;
    return &m_cells[static_cast<std::size_t>(row * m_nColumns + col)];
}

void CLynGridModel::Changed(int row, int col) {
    if (row < m_nFixedRows && col >= m_nFixedColumns)
        emit headerDataChanged(Qt::Horizontal, col - m_nFixedColumns, col - m_nFixedColumns);
    else if (col < m_nFixedColumns && row >= m_nFixedRows)
        emit headerDataChanged(Qt::Vertical, row - m_nFixedRows, row - m_nFixedRows);
    else if (!IsFixed(row, col)) {
        const QModelIndex index = IndexOf(row, col);
        emit dataChanged(index, index);
    }
}

bool CLynGridModel::SetText(int row, int col, const QString& text) {
    GridCell* cell = Mutable(row, col);
    if (!cell) return false;
    if (cell->text != text) {
        cell->text = text;
        Changed(row, col);
    }
    return true;
}

bool CLynGridModel::SetType(int row, int col, int type) {
    GridCell* cell = Mutable(row, col);
    if (!cell) return false;
    if (cell->type != type) {
        cell->type = type;
        Changed(row, col);
    }
    return true;
}

bool CLynGridModel::SetItems(int row, int col, const QStringList& items) {
    GridCell* cell = Mutable(row, col);
    if (!cell) return false;
    if (cell->items != items) {
        cell->items = items;
        Changed(row, col);
    }
    return true;
}

bool CLynGridModel::SetDataType(int row, int col, short dataType) {
    GridCell* cell = Mutable(row, col);
    if (!cell) return false;
    if (cell->dataType != dataType) {
        cell->dataType = dataType;
        Changed(row, col);
    }
    return true;
}

bool CLynGridModel::SetTextLen(int row, int col, int length) {
    GridCell* cell = Mutable(row, col);
    if (!cell) return false;
    if (cell->textLen != length) {
        cell->textLen = length;
        Changed(row, col);
    }
    return true;
}

bool CLynGridModel::SetBackground(int row, int col, const QColor& colour) {
    GridCell* cell = Mutable(row, col);
    if (!cell) return false;
    if (cell->background != colour) {
        cell->background = colour;
        Changed(row, col);
    }
    return true;
}

bool CLynGridModel::SetPopup(int row, int col, bool popup) {
    GridCell* cell = Mutable(row, col);
    if (!cell) return false;
    if (cell->popup != popup) {
        cell->popup = popup;
        Changed(row, col);
    }
    return true;
}

bool CLynGridModel::SetListEditable(int row, int col, bool editable) {
    GridCell* cell = Mutable(row, col);
    if (!cell) return false;
    if (cell->listEditable != editable) {
        cell->listEditable = editable;
        Changed(row, col);
    }
    return true;
}

bool CLynGridModel::SetTip(int row, int col, const QString& tip) {
    GridCell* cell = Mutable(row, col);
    if (!cell) return false;
    if (cell->tip != tip) {
        cell->tip = tip;
        Changed(row, col);
    }
    return true;
}

QModelIndex CLynGridModel::IndexOf(int row, int col) const {
    if (!IsValid(row, col) || IsFixed(row, col)) return {};
    return index(row - m_nFixedRows, col - m_nFixedColumns);
}

int CLynGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_nRows - m_nFixedRows;
}

int CLynGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_nColumns - m_nFixedColumns;
}

QVariant CLynGridModel::data(const QModelIndex& index, int role) const {
    const GridCell* cell = index.isValid() ? Cell(GridRow(index), GridColumn(index)) : nullptr;
    if (!cell) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell->text;
    case Qt::BackgroundRole:
        if (cell->background.isValid()) return cell->background;
        // A cell that cannot be edited looks it, also where the sheet gives it no colour of its own.
        if (cell->type == 0 && !cell->popup) return QColor(0xE4, 0xE4, 0xE4);
        return {};
    case Qt::ForegroundRole:
        // Values the user cannot change in place read softer than editable ones.
        if (cell->type == 0 && !cell->popup) return QColor(0x6E, 0x6E, 0x6E);
        return {};
    case Qt::TextAlignmentRole:
        if (cell->type == 1 && (cell->dataType == 3 || cell->dataType == 4))
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (!cell->tip.isEmpty()) return cell->tip;
        if (cell->popup) return tr("Click or press Enter to edit");
        return {};
    case CellTypeRole:
        return cell->type;
    case ItemsRole:
        return cell->items;
    case TextLenRole:
        return cell->textLen;
    case PopupRole:
        return cell->popup;
    case DataTypeRole:
        return cell->dataType;
    case ListEditableRole:
        return cell->listEditable;
    default:
        return {};
    }
}

bool CLynGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    const int row = GridRow(index);
    const int col = GridColumn(index);
    const GridCell* cell = Cell(row, col);
    if (!cell) return false;
    const QString text = value.toString();
    if (text == cell->text) return true;
    SetText(row, col, text);
    emit cellEdited(row, col);
    return true;
}

Qt::ItemFlags CLynGridModel::flags(const QModelIndex& index) const {
    const GridCell* cell = index.isValid() ? Cell(GridRow(index), GridColumn(index)) : nullptr;
    if (!cell) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (cell->type == 1 || cell->type == 4) flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant CLynGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const int row = orientation == Qt::Horizontal ? 0 : section + m_nFixedRows;
    const int col = orientation == Qt::Horizontal ? section + m_nFixedColumns : 0;
    const bool shown = orientation == Qt::Horizontal ? m_nFixedRows > 0 : m_nFixedColumns > 0;
    if (!shown) return QAbstractTableModel::headerData(section, orientation, role);
    const GridCell* cell = Cell(row, col);
    if (!cell) return {};
    switch (role) {
    case Qt::DisplayRole:
        return cell->text;
    case Qt::TextAlignmentRole:
        return orientation == Qt::Horizontal ? QVariant(Qt::AlignCenter)
                                             : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}
