#include "ui/grid/CLynGridDelegate.h"

#include "ui/grid/CLynGridModel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QHash>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QStatusTipEvent>
#include <QStyleOptionComboBox>
#include <QTimer>

namespace {
const char* const kTypedProperty = "typedEntry";

// A drop-down editor that remembers whether its list was shown: an item picked in the list ends the edit,
// while an item reached by typing a letter waits for Enter.
class CGridComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override {
        m_bListShown = true;
        QComboBox::showPopup();
    }
    bool WasListShown() const { return m_bListShown; }

private:
    bool m_bListShown = false;
};
} // namespace

CLynGridDelegate::CLynGridDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QString CLynGridDelegate::TypedListItem(const QStringList& items, const QString& text) {
    if (text.isEmpty() || items.contains(text)) return text;
    for (const QString& item : items)
        if (item.compare(text, Qt::CaseInsensitive) == 0) return item;
    for (const QString& item : items)
        if (item.startsWith(text, Qt::CaseInsensitive)) return item;
    return text;
}

QWidget* CLynGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    const int type = index.data(CLynGridModel::CellTypeRole).toInt();
    if (type == 4) {
        auto* combo = new CGridComboBox(parent);
        combo->addItems(index.data(CLynGridModel::ItemsRole).toStringList());
        combo->setMaxVisibleItems(16);
        // The open list is as wide as its longest choice, even when the column is narrower.
        int widest = 0;
        for (int i = 0; i < combo->count(); ++i)
            widest = std::max(widest, combo->fontMetrics().horizontalAdvance(combo->itemText(i)));
        combo->view()->setMinimumWidth(widest + 24);
        const bool editable = index.data(CLynGridModel::ListEditableRole).toBool();
        if (editable || m_bTyped) {
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            if (!editable) {
                // The typed text is read when the edit ends (TypedListItem); no completion in between.
                combo->setCompleter(nullptr);
                combo->setProperty(kTypedProperty, true);
            }
            const int length = index.data(CLynGridModel::TextLenRole).toInt();
            if (editable && length > 0 && combo->lineEdit()) combo->lineEdit()->setMaxLength(length);
        }
        // Picking an item is the whole edit: commit at once instead of waiting for Enter or a focus change.
        connect(combo, &QComboBox::activated, this, [this, combo](int) {
            if (!combo->WasListShown()) return;
            auto* self = const_cast<CLynGridDelegate*>(this);
            emit self->commitData(combo);
            emit self->closeEditor(combo, QAbstractItemDelegate::NoHint);
        });
        if (m_bOpenList)
            QTimer::singleShot(0, combo, [combo] {
                if (combo->isVisible()) combo->showPopup();
            });
        return combo;
    }
    auto* line = qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
    if (!line) line = new QLineEdit(parent);
    const int length = index.data(CLynGridModel::TextLenRole).toInt();
    if (length > 0) {
        line->setMaxLength(length);
        // Typing stops at the limit; the status bar says why the keys do nothing more.
        connect(line, &QLineEdit::textEdited, line, [line, length](const QString& text) {
            if (text.size() < length) return;
            QStatusTipEvent tip(tr("This cell takes at most %1 characters.").arg(length));
            QCoreApplication::sendEvent(line, &tip);
        });
    }
    line->setFrame(false);
    return line;
}

void CLynGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const int found = combo->findText(text, Qt::MatchExactly);
        if (found >= 0 || !combo->isEditable())
            combo->setCurrentIndex(found >= 0 ? found : 0);
        else
            combo->setEditText(text);
        // A key that starts the edit replaces the value, as in a text cell.
        if (combo->lineEdit()) combo->lineEdit()->selectAll();
        return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(text);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void CLynGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        QString text = combo->currentText();
        if (combo->property(kTypedProperty).toBool()) {
            QStringList items;
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
            text = TypedListItem(items, text);
        }
        model->setData(index, text, Qt::EditRole);
        return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, line->text(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

void CLynGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const {
    // A narrow column (the logical inputs' I1..I12) still shows the whole value in the editor: the editor
    // grows to the right over its neighbours while it is open.
    QRect rect = option.rect;
    const QFontMetrics metrics(editor->font());
    int needed = metrics.horizontalAdvance(index.data(Qt::EditRole).toString());
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        for (int i = 0; i < combo->count(); ++i)
            needed = std::max(needed, metrics.horizontalAdvance(combo->itemText(i)));
        QStyleOptionComboBox box;
        box.initFrom(combo);
        box.editable = combo->isEditable();
        needed = combo->style()
                     ->sizeFromContents(QStyle::CT_ComboBox, &box, QSize(needed, metrics.height()), combo)
                     .width();
    } else {
        needed += 2 * metrics.averageCharWidth() + 4;
    }
    if (rect.width() < needed) rect.setWidth(needed);
    editor->setGeometry(rect);
}

void CLynGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const int type = index.data(CLynGridModel::CellTypeRole).toInt();
    const bool popup = index.data(CLynGridModel::PopupRole).toBool();
    const bool marked = type == 4 || popup;

    QStyleOptionViewItem textOption(option);
    if (marked) textOption.rect.setRight(textOption.rect.right() - kMarkWidth);
    // Cell colours come from the sheet; the selection still shows through as a tint.
    const bool selected = option.state & QStyle::State_Selected;
    const QVariant background = index.data(Qt::BackgroundRole);
    if (selected && marked) {
        const QPalette::ColorGroup group =
            option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    } else if (background.isValid()) {
        painter->fillRect(option.rect, background.value<QColor>());
    }
    QStyledItemDelegate::paint(painter, textOption, index);
    if (!marked) return;

    const QColor ink = selected ? option.palette.color(QPalette::HighlightedText) : QColor(0x5A, 0x5A, 0x5A);
    const QRect mark(option.rect.right() - kMarkWidth + 1, option.rect.top(), kMarkWidth - 2,
                     option.rect.height());
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QPixmap& pixmap = MarkPixmap(type == 4, ink, mark.size(), ratio);
    painter->drawPixmap(mark.topLeft(), pixmap);
}

const QPixmap& CLynGridDelegate::MarkPixmap(bool list, const QColor& ink, const QSize& size, qreal ratio) {
    // Drawn once per look and size: a grid repaints hundreds of marks after every edit.
    static QHash<QString, QPixmap> cache;
    const QString key = QStringLiteral("%1-%2-%3x%4-%5")
                            .arg(list)
                            .arg(ink.rgba())
                            .arg(size.width())
                            .arg(size.height())
                            .arg(ratio);
    const auto found = cache.constFind(key);
    if (found != cache.constEnd()) return *found;

    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPointF centre = QRectF(QPointF(0, 0), QSizeF(size)).center();
    if (list) {
        // A small chevron: the cell opens a list of choices.
        QPainterPath path;
        path.moveTo(centre.x() - 4, centre.y() - 2);
        path.lineTo(centre.x(), centre.y() + 2);
        path.lineTo(centre.x() + 4, centre.y() - 2);
        painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    } else {
        // Three dots in a small box: the cell opens a dialog.
        const QRectF box(centre.x() - 6, centre.y() - 5, 12, 10);
        painter.setPen(QPen(ink, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box, 2, 2);
        painter.setBrush(ink);
        painter.setPen(Qt::NoPen);
        for (int i = -1; i <= 1; ++i)
            painter.drawEllipse(QPointF(centre.x() + i * 3.0, centre.y()), 0.9, 0.9);
    }
    painter.end();
    return *cache.insert(key, pixmap);
}

QSize CLynGridDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const int type = index.data(CLynGridModel::CellTypeRole).toInt();
    if (type == 4 || index.data(CLynGridModel::PopupRole).toBool()) {
        size.setWidth(size.width() + kMarkWidth);
    }
    return size;
}
