#include "ui/sheet/CSmallDialog.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLayout>
#include <QMessageBox>
#include <QSpacerItem>

CSmallDialog::CSmallDialog(QDialog& dialog, QSpacerItem* spacer)
    : QObject(&dialog), m_dialog(dialog), m_pSpacer(spacer) {}

void CSmallDialog::Apply(QDialog& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    QSpacerItem* spacer = nullptr;
    if (QLayout* layout = dialog.layout()) {
        spacer = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
        layout->addItem(spacer);
    }
    auto* fit = new CSmallDialog(dialog, spacer);
    dialog.installEventFilter(fit);
    fit->Fit();
}

int CSmallDialog::TitleWidth(const QWidget& dialog, const QString& title) {
    // The window manager draws the title in its own font, usually a bold one of the desktop's size, between
    // the window icon on the left and the close button on the right.
    // Window managers differ: some draw a larger font, and some show minimise and maximise buttons even on
    // a dialog that asks for a close button only. The room kept covers an icon and three buttons at a
    // title font a quarter larger than the desktop's.
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * 1.25);
    const QFontMetrics metrics(font);
    const int frame = dialog.frameGeometry().width() - dialog.geometry().width();
    return metrics.horizontalAdvance(title) + 8 * metrics.height() + std::max(frame, 0);
}

void CSmallDialog::Fit() {
    if (!m_pSpacer) return;
    const QLayout* layout = m_dialog.layout();
    const QMargins margins = layout ? layout->contentsMargins() : QMargins();
    const int width = TitleWidth(m_dialog, m_dialog.windowTitle()) - margins.left() - margins.right();
    m_pSpacer->changeSize(std::max(width, 0), 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    if (QLayout* own = m_dialog.layout()) own->invalidate();
}

bool CSmallDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_dialog && (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::Show))
        Fit();
    return QObject::eventFilter(watched, event);
}

void CSmallDialog::FitTitle(QMessageBox& box) {
    // A message box lays itself out on a grid; a spacer across its last row sets the least width.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    const QMargins margins = grid->contentsMargins();
    const int width = TitleWidth(box, box.windowTitle()) - margins.left() - margins.right();
    grid->addItem(new QSpacerItem(std::max(width, 0), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}
