#pragma once

#include <QStyledItemDelegate>

// Draws and edits the grid's cells: a line editor for text cells (limited to the cell's text length), a
// combo box for drop-down cells, and marks that tell drop-down and popup cells apart at a glance.
class CLynGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CLynGridDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Room kept at the right of a drop-down or popup cell for its mark.
    static constexpr int kMarkWidth = 16;

    // Whether the next drop-down editor opens its list at once: yes for a click or Enter, no when the edit
    // began with a typed key, which then picks the item (or, in a cell that takes new values, starts the
    // text).
    void SetOpenListOnEdit(bool open) { m_bOpenList = open; }
    // The edit of a list cell was started by typing: its drop-down takes text, as a paste would give it,
    // and completes it from the items.
    void SetTypedEntry(bool typed) { m_bTyped = typed; }
    // What a text typed into a list cell names: the item it spells in any letter case, else the first item
    // that begins with it. Anything else goes to the owner as typed, as a paste of it would (the sheets take
    // two digits for an input).
    static QString TypedListItem(const QStringList& items, const QString& text);

private:
    bool m_bOpenList = true;
    bool m_bTyped = false;
    static const QPixmap& MarkPixmap(bool list, const QColor& ink, const QSize& size, qreal ratio);
};
