#include "ui/grid/CLynGridCtrl.h"

#include "ui/grid/CLynGridDelegate.h"
#include "ui/grid/CLynGridModel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QTimer>

CLynGridCtrl::CLynGridCtrl(QWidget* parent, int controlId)
    : QTableView(parent), m_nControlId(controlId), m_pModel(new CLynGridModel(this)),
      m_pDelegate(new CLynGridDelegate(this)) {
    setModel(m_pModel);
    setItemDelegate(m_pDelegate);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectItems);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setAlternatingRowColors(true);
    setCornerButtonEnabled(true);
    QPalette colours = palette();
    colours.setColor(QPalette::AlternateBase, QColor(0xF4, 0xF7, 0xFB));
    // The grid is disabled only while a transfer holds the window (or its tab is hidden): its rows are
    // drawn as at any other time, not greyed.
    for (const QPalette::ColorRole role :
         {QPalette::Text, QPalette::Base, QPalette::AlternateBase, QPalette::WindowText, QPalette::Window,
          QPalette::Button, QPalette::ButtonText, QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Disabled, role, colours.color(QPalette::Active, role));
    setPalette(colours);

    horizontalHeader()->setHighlightSections(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setMinimumSectionSize(24);
    verticalHeader()->setHighlightSections(true);
    verticalHeader()->setDefaultSectionSize(RowHeight());
    verticalHeader()->setMinimumSectionSize(RowHeight());
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // The corner shows the title of the header column (cell 0,0).
    if (auto* corner = findChild<QAbstractButton*>()) corner->installEventFilter(this);

    connect(m_pModel, &CLynGridModel::cellEdited, this, &CLynGridCtrl::OnCellEdited);
    connect(m_pModel, &QAbstractItemModel::dataChanged, this, &CLynGridCtrl::MarkChanged);
    connect(m_pModel, &QAbstractItemModel::modelReset, this, [this] {
        m_changedCells.clear();
        m_cellChanged.clear();
    });
    connect(m_pModel, &QAbstractItemModel::headerDataChanged, this, [this](Qt::Orientation, int, int) {
        if (auto* corner = findChild<QAbstractButton*>()) corner->update();
    });
    ApplyHeaderVisibility();
}

CLynGridCtrl::~CLynGridCtrl() = default;

int CLynGridCtrl::RowHeight() const {
    return fontMetrics().height() + 8;
}

BOOL CLynGridCtrl::SetRowCount(int rows) {
    if (rows < 0) return 0;
    m_pModel->Resize(rows, m_pModel->Columns());
    return 1;
}

BOOL CLynGridCtrl::SetColumnCount(int columns) {
    if (columns < 0) return 0;
    m_pModel->Resize(m_pModel->Rows(), columns);
    return 1;
}

void CLynGridCtrl::SetFixedRowCount(int rows) {
    m_pModel->SetFixed(rows, m_pModel->FixedColumns());
    ApplyHeaderVisibility();
}

void CLynGridCtrl::SetFixedColumnCount(int columns) {
    m_pModel->SetFixed(m_pModel->FixedRows(), columns);
    ApplyHeaderVisibility();
}

int CLynGridCtrl::GetRowCount() const {
    return m_pModel->Rows();
}

int CLynGridCtrl::GetColumnCount() const {
    return m_pModel->Columns();
}

int CLynGridCtrl::GetFixedRowCount() const {
    return m_pModel->FixedRows();
}

int CLynGridCtrl::GetFixedColumnCount() const {
    return m_pModel->FixedColumns();
}

void CLynGridCtrl::ApplyHeaderVisibility() {
    horizontalHeader()->setVisible(m_pModel->FixedRows() > 0);
    verticalHeader()->setVisible(m_pModel->FixedColumns() > 0);
}

void CLynGridCtrl::SetRowResize(BOOL allow) {
    verticalHeader()->setSectionResizeMode(allow ? QHeaderView::Interactive : QHeaderView::Fixed);
}

BOOL CLynGridCtrl::AutoSizeColumn(int col) {
    if (col < 0 || col >= m_pModel->Columns()) return 0;
    if (col < m_pModel->FixedColumns()) {
        const QFontMetrics metrics(verticalHeader()->font());
        int width = 0;
        for (int row = 0; row < m_pModel->Rows(); ++row)
            width = std::max(width, metrics.horizontalAdvance(m_pModel->Cell(row, col)->text));
        SetColumnWidth(col, width + 20);
        return 1;
    }
    const int column = col - m_pModel->FixedColumns();
    resizeColumnToContents(column);
    // Room for every value the column can take: its list items and as many characters as a cell takes.
    // A column that fits them need not grow after an edit, so the cells beside it stay where they are.
    const QFontMetrics metrics(font());
    const int padding = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 8;
    int width = columnWidth(column);
    for (int row = m_pModel->FixedRows(); row < m_pModel->Rows(); ++row) {
        const GridCell* cell = m_pModel->Cell(row, col);
        if (!cell) continue;
        if (cell->type == GVET_LIST)
            for (const QString& item : cell->items)
                width =
                    std::max(width, metrics.horizontalAdvance(item) + padding + CLynGridDelegate::kMarkWidth);
        if ((cell->type == GVET_EDIT || cell->listEditable) && cell->textLen > 0 && cell->textLen <= 64)
            width = std::max(width,
                             metrics.horizontalAdvance(QString(cell->textLen, QLatin1Char('N'))) + padding);
    }
    setColumnWidth(column, width);
    return 1;
}

int CLynGridCtrl::GetColumnWidth(int col) const {
    if (col < 0 || col >= m_pModel->Columns()) return 0;
    if (col < m_pModel->FixedColumns())
        return verticalHeader()->minimumWidth() > 0 ? verticalHeader()->minimumWidth()
                                                    : verticalHeader()->sizeHint().width();
    return columnWidth(col - m_pModel->FixedColumns());
}

void CLynGridCtrl::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= m_pModel->Columns() || width < 0) return;
    if (col < m_pModel->FixedColumns()) {
        verticalHeader()->setFixedWidth(width);
        return;
    }
    setColumnWidth(col - m_pModel->FixedColumns(), width);
}

void CLynGridCtrl::ExpandToFit() {
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void CLynGridCtrl::MarkChanged(const QModelIndex& from, const QModelIndex& to) {
    const int columns = m_pModel->columnCount();
    const std::size_t cells =
        static_cast<std::size_t>(m_pModel->rowCount()) * static_cast<std::size_t>(columns);
    if (m_cellChanged.size() != cells) {
        m_cellChanged.assign(cells, 0);
        m_changedCells.clear();
    }
    for (int row = std::max(from.row(), 0); row <= to.row() && row < m_pModel->rowCount(); ++row)
        for (int col = std::max(from.column(), 0); col <= to.column() && col < columns; ++col) {
            const int at = row * columns + col;
            if (m_cellChanged[static_cast<std::size_t>(at)]) continue;
            m_cellChanged[static_cast<std::size_t>(at)] = 1;
            m_changedCells.push_back(at);
        }
}

void CLynGridCtrl::FitChangedColumns() {
    const int columns = m_pModel->columnCount();
    if (m_changedCells.empty() || columns <= 0) {
        m_nFitFrom = 0;
        return;
    }
    std::vector<int> needed(static_cast<std::size_t>(columns), 0);
    std::vector<int> deferred;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    for (const int at : m_changedCells) {
        if (static_cast<std::size_t>(at) >= m_cellChanged.size()) continue;
        const QModelIndex index = m_pModel->index(at / columns, at % columns);
        // Columns left of the edited cell keep their width for now, so the cell under the pointer stays
        // put; they are fitted when the grid is next refreshed without an edit (a tab shown again).
        if (index.isValid() && index.column() < m_nFitFrom) {
            deferred.push_back(at);
            continue;
        }
        m_cellChanged[static_cast<std::size_t>(at)] = 0;
        if (!index.isValid()) continue;
        int& width = needed[static_cast<std::size_t>(index.column())];
        if (width == 0) width = horizontalHeader()->sectionSizeHint(index.column());
        // As QTableView measures a column: the delegate's hint plus the grid line.
        const int hint = itemDelegateForIndex(index)->sizeHint(option, index).width() + (showGrid() ? 1 : 0);
        width = std::max(width, hint);
    }
    m_changedCells = std::move(deferred);
    m_nFitFrom = 0;
    for (int column = 0; column < columns; ++column)
        if (needed[static_cast<std::size_t>(column)] > columnWidth(column))
            setColumnWidth(column, needed[static_cast<std::size_t>(column)]);
}

BOOL CLynGridCtrl::SetItemText(int row, int col, const QString& text) {
    return m_pModel->SetText(row, col, text) ? 1 : 0;
}

QString CLynGridCtrl::GetItemText(int row, int col) const {
    const GridCell* cell = m_pModel->Cell(row, col);
    return cell ? cell->text : QString();
}

BOOL CLynGridCtrl::SetCellType(int row, int col, int type) {
    if (type != GVET_READONLY && type != GVET_EDIT && type != GVET_LIST) return 0;
    return m_pModel->SetType(row, col, type) ? 1 : 0;
}

int CLynGridCtrl::GetCellType(int row, int col) const {
    const GridCell* cell = m_pModel->Cell(row, col);
    return cell ? cell->type : -1;
}

BOOL CLynGridCtrl::FillListItems(int row, int col, const QStringList& items) {
    return m_pModel->SetItems(row, col, items) ? 1 : 0;
}

QStringList CLynGridCtrl::GetListItems(int row, int col) const {
    const GridCell* cell = m_pModel->Cell(row, col);
    return cell ? cell->items : QStringList();
}

BOOL CLynGridCtrl::SetCellDataType(int row, int col, short dataType) {
    return m_pModel->SetDataType(row, col, dataType) ? 1 : 0;
}

BOOL CLynGridCtrl::SetTextLen(int row, int col, int length) {
    return m_pModel->SetTextLen(row, col, length) ? 1 : 0;
}

int CLynGridCtrl::GetTextLen(int row, int col) const {
    const GridCell* cell = m_pModel->Cell(row, col);
    return cell ? cell->textLen : -1;
}

BOOL CLynGridCtrl::SetItemBkColour(int row, int col, unsigned long colour) {
    QColor background;
    if ((colour & 0xFF000000UL) == 0)
        background = QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                            static_cast<int>((colour >> 16) & 0xFF));
    return m_pModel->SetBackground(row, col, background) ? 1 : 0;
}

QColor CLynGridCtrl::GetItemBkColour(int row, int col) const {
    const GridCell* cell = m_pModel->Cell(row, col);
    return cell ? cell->background : QColor();
}

BOOL CLynGridCtrl::SetCellPopup(int row, int col, BOOL popup) {
    return m_pModel->SetPopup(row, col, popup != 0) ? 1 : 0;
}

BOOL CLynGridCtrl::SetListEditable(int row, int col, BOOL editable) {
    return m_pModel->SetListEditable(row, col, editable != 0) ? 1 : 0;
}

BOOL CLynGridCtrl::SetCellTip(int row, int col, const QString& tip) {
    return m_pModel->SetTip(row, col, tip) ? 1 : 0;
}

BOOL CLynGridCtrl::IsCellFixed(int row, int col) const {
    return m_pModel->IsValid(row, col) && m_pModel->IsFixed(row, col) ? 1 : 0;
}

void CLynGridCtrl::NoteEditedColumn(int col) {
    m_nFitFrom = std::max(0, col - m_pModel->FixedColumns());
}

BOOL CLynGridCtrl::EditCell(int row, int col, const QString& text) {
    const GridCell* cell = m_pModel->Cell(row, col);
    if (!cell || m_pModel->IsFixed(row, col)) return 0;
    if (cell->type == GVET_READONLY && !cell->popup) return 0;
    FlushPendingEdit();
    NoteEditedColumn(col);
    emit notify(GVN_BEGINLABELEDIT, row, col);
    cell = m_pModel->Cell(row, col);
    if (!cell || cell->type == GVET_READONLY) return 1;
    if (cell->text == text) return 1;
    m_pModel->SetText(row, col, text);
    emit notify(GVN_ENDLABELEDIT, row, col);
    return 1;
}

bool CLynGridCtrl::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool byUser = trigger == AllEditTriggers || (editTriggers() & trigger);
    if (index.isValid() && byUser && state() != EditingState) {
        const int row = m_pModel->GridRow(index);
        const int col = m_pModel->GridColumn(index);
        const GridCell* cell = m_pModel->Cell(row, col);
        if (!cell || (cell->type == GVET_READONLY && !cell->popup)) return false;
        FlushPendingEdit();
        NoteEditedColumn(col);
        emit notify(GVN_BEGINLABELEDIT, row, col);
        // The owner has handled a popup cell itself (and may have redrawn it).
        cell = m_pModel->Cell(row, col);
        if (!cell || cell->type == GVET_READONLY) return false;
        // A typed key goes into the editor; a list opens for a click, and for Enter unless it takes text.
        const bool typed = trigger == AnyKeyPressed;
        m_pDelegate->SetOpenListOnEdit(!typed && !(cell->listEditable && trigger == EditKeyPressed));
        m_pDelegate->SetTypedEntry(typed && cell->type == GVET_LIST);
    }
    return QTableView::edit(index, trigger, event);
}

void CLynGridCtrl::OnCellEdited(int row, int col) {
    m_bPendingEdit = true;
    m_nPendingRow = row;
    m_nPendingCol = col;
    // The editor normally closes right after committing; the timer covers a commit without a close.
    QTimer::singleShot(0, this, &CLynGridCtrl::FlushPendingEdit);
}

void CLynGridCtrl::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    m_escaped = hint == QAbstractItemDelegate::RevertModelCache ? QPersistentModelIndex(currentIndex())
                                                                : QPersistentModelIndex();
    QTableView::closeEditor(editor, hint);
    // The end-edit goes out once the editor is gone, so a message box it raises cannot commit it twice.
    FlushPendingEdit();
}

void CLynGridCtrl::CommitOpenEditor() {
    if (state() != EditingState) return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void CLynGridCtrl::FlushPendingEdit() {
    if (!m_bPendingEdit) return;
    m_bPendingEdit = false;
    emit notify(GVN_ENDLABELEDIT, m_nPendingRow, m_nPendingCol);
}

void CLynGridCtrl::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState &&
        currentIndex().isValid()) {
        // Enter right after Escape confirms that the value stays: it does not open the cell again.
        if (m_escaped.isValid() && m_escaped == currentIndex()) {
            m_escaped = QPersistentModelIndex();
            event->accept();
            return;
        }
        if (edit(currentIndex(), EditKeyPressed, event)) return;
    }
    // Escape that reaches the grid has just closed a list or an editor (or found none open).
    m_escaped =
        event->key() == Qt::Key_Escape ? QPersistentModelIndex(currentIndex()) : QPersistentModelIndex();
    if (event == QKeySequence::Copy) {
        OnEditCopy();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CLynGridCtrl::mousePressEvent(QMouseEvent* event) {
    // A plain click on a drop-down or popup cell opens it when the button is released in the same cell; a
    // drag or a click with Shift or Ctrl still selects.
    const QModelIndex index = indexAt(event->position().toPoint());
    const GridCell* cell =
        index.isValid() ? m_pModel->Cell(m_pModel->GridRow(index), m_pModel->GridColumn(index)) : nullptr;
    const bool opens = cell && (cell->type == GVET_LIST || (cell->popup && cell->type == GVET_READONLY));
    m_pressed = event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier && opens &&
                        state() != EditingState
                    ? QPersistentModelIndex(index)
                    : QPersistentModelIndex();
    QTableView::mousePressEvent(event);
}

void CLynGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex pressed = m_pressed;
    m_pressed = QPersistentModelIndex();
    QTableView::mouseReleaseEvent(event);
    if (!pressed.isValid() || event->button() != Qt::LeftButton || state() == EditingState) return;
    if (indexAt(event->position().toPoint()) != pressed) return;
    setCurrentIndex(pressed);
    selectionModel()->select(pressed, QItemSelectionModel::ClearAndSelect);
    m_escaped = QPersistentModelIndex();
    edit(pressed, AllEditTriggers, event);
}

bool CLynGridCtrl::eventFilter(QObject* watched, QEvent* event) {
    auto* corner = qobject_cast<QAbstractButton*>(watched);
    if (corner && event->type() == QEvent::Paint && m_pModel->FixedRows() > 0 &&
        m_pModel->FixedColumns() > 0) {
        QStyleOptionHeader option;
        option.initFrom(corner);
        option.rect = corner->rect();
        option.position = QStyleOptionHeader::OnlyOneSection;
        option.text = GetItemText(0, 0);
        option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        QStylePainter painter(corner);
        painter.drawControl(QStyle::CE_Header, option);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}
