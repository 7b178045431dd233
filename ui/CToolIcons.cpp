#include "ui/CToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {
// Every icon is drawn on a 32 x 32 grid and rendered at a few sizes.
QIcon Render(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.scale(size / 32.0, size / 32.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

const QColor g_ink(0x33, 0x3B, 0x45);

void Page(QPainter& p, const QRectF& r, const QColor& fill = Qt::white) {
    const qreal fold = 7;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(g_ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(Qt::NoBrush);
    p.drawPath(corner);
}

void Lines(QPainter& p, qreal left, qreal top, qreal width, int count) {
    p.setPen(QPen(QColor(0x7D, 0x8A, 0x99), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + i * 4.0), QPointF(left + width, top + i * 4.0));
}

void Arrow(QPainter& p, bool up, const QColor& colour) {
    QPainterPath path;
    if (up) {
        path.moveTo(16, 3);
        path.lineTo(25, 13);
        path.lineTo(19.5, 13);
        path.lineTo(19.5, 20);
        path.lineTo(12.5, 20);
        path.lineTo(12.5, 13);
        path.lineTo(7, 13);
    } else {
        path.moveTo(16, 20);
        path.lineTo(25, 10);
        path.lineTo(19.5, 10);
        path.lineTo(19.5, 3);
        path.lineTo(12.5, 3);
        path.lineTo(12.5, 10);
        path.lineTo(7, 10);
    }
    path.closeSubpath();
    p.setPen(QPen(colour.darker(140), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(path);
    // The unit the data goes to or comes from.
    p.setPen(QPen(g_ink, 1.4));
    p.setBrush(QColor(0x45, 0x4F, 0x5C));
    p.drawRoundedRect(QRectF(5, 22, 22, 8), 2, 2);
    p.setPen(Qt::NoPen);
    const QColor lamps[3] = {QColor(0xE5, 0x39, 0x35), QColor(0xFF, 0xB3, 0x00), QColor(0x43, 0xA0, 0x47)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(lamps[i]);
        p.drawEllipse(QPointF(10 + i * 6, 26), 1.8, 1.8);
    }
}

void Panel(QPainter& p) {
    QLinearGradient body(0, 2, 0, 30);
    body.setColorAt(0, QColor(0x4A, 0x55, 0x63));
    body.setColorAt(1, QColor(0x26, 0x2D, 0x36));
    p.setPen(QPen(QColor(0x1B, 0x20, 0x27), 1.2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(2, 2, 28, 28), 5, 5);
    // Display strip.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9C, 0xD6, 0x8E));
    p.drawRoundedRect(QRectF(6, 5.5, 20, 5), 1.2, 1.2);
    // Three rows of lamps.
    const QColor lamps[3] = {QColor(0xF4, 0x43, 0x36), QColor(0xFF, 0xC1, 0x07), QColor(0x4C, 0xAF, 0x50)};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) {
            p.setBrush(row == 0 && col == 1 ? lamps[0] : lamps[(row + col) % 3].darker(row == 2 ? 100 : 115));
            p.drawEllipse(QPointF(8.5 + col * 5, 15.5 + row * 5), 1.9, 1.9);
        }
}
} // namespace

QIcon CToolIcons::New() {
    return Render([](QPainter& p) {
        Page(p, QRectF(7, 3, 18, 26));
        Lines(p, 11, 13, 10, 3);
    });
}

QIcon CToolIcons::Open() {
    return Render([](QPainter& p) {
        p.setPen(QPen(QColor(0x9A, 0x6B, 0x08), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0xF2, 0xC1, 0x4E));
        QPainterPath back;
        back.moveTo(3, 8);
        back.lineTo(11, 8);
        back.lineTo(13, 11);
        back.lineTo(27, 11);
        back.lineTo(27, 26);
        back.lineTo(3, 26);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(0xFB, 0xD8, 0x7A));
        QPainterPath front;
        front.moveTo(3, 26);
        front.lineTo(7, 15);
        front.lineTo(30, 15);
        front.lineTo(27, 26);
        front.closeSubpath();
        p.drawPath(front);
    });
}

QIcon CToolIcons::Save() {
    return Render([](QPainter& p) {
        p.setPen(QPen(QColor(0x1A, 0x3C, 0x6E), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0x3D, 0x7A, 0xC7));
        QPainterPath body;
        body.moveTo(4, 4);
        body.lineTo(24, 4);
        body.lineTo(28, 8);
        body.lineTo(28, 28);
        body.lineTo(4, 28);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 17, 16, 11));
        p.setBrush(QColor(0xD5, 0xDD, 0xE8));
        p.drawRect(QRectF(9, 4, 12, 8));
        p.setBrush(QColor(0x1A, 0x3C, 0x6E));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(17, 5.5, 3, 5));
        Lines(p, 11, 21, 10, 2);
    });
}

QIcon CToolIcons::Cut() {
    return Render([](QPainter& p) {
        p.setPen(QPen(QColor(0x60, 0x6B, 0x78), 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 20), QPointF(22, 3));
        p.drawLine(QPointF(22, 20), QPointF(10, 3));
        p.setPen(QPen(QColor(0xC6, 0x28, 0x28), 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(9, 24), 4.5, 4.5);
        p.drawEllipse(QPointF(23, 24), 4.5, 4.5);
    });
}

QIcon CToolIcons::Copy() {
    return Render([](QPainter& p) {
        Page(p, QRectF(4, 3, 16, 20), QColor(0xEE, 0xF2, 0xF7));
        Page(p, QRectF(12, 9, 16, 20));
        Lines(p, 15, 17, 9, 3);
    });
}

QIcon CToolIcons::Paste() {
    return Render([](QPainter& p) {
        p.setPen(QPen(QColor(0x6D, 0x4C, 0x2F), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0xB0, 0x80, 0x4F));
        p.drawRoundedRect(QRectF(4, 5, 20, 24), 2, 2);
        p.setBrush(QColor(0xCF, 0xD5, 0xDC));
        p.drawRoundedRect(QRectF(9, 2.5, 10, 5), 1.5, 1.5);
        Page(p, QRectF(13, 11, 15, 19));
        Lines(p, 16, 18, 8, 3);
    });
}

QIcon CToolIcons::Print() {
    return Render([](QPainter& p) {
        p.setPen(QPen(g_ink, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 9));
        p.setBrush(QColor(0x8E, 0x99, 0xA6));
        p.drawRoundedRect(QRectF(3, 11, 26, 12), 2.5, 2.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 19, 14, 10));
        Lines(p, 12, 23, 8, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x43, 0xA0, 0x47));
        p.drawEllipse(QPointF(25, 15), 1.4, 1.4);
    });
}

QIcon CToolIcons::About() {
    return Render([](QPainter& p) {
        p.setPen(QPen(QColor(0x15, 0x55, 0xA8), 1.2));
        p.setBrush(QColor(0x1E, 0x7B, 0xE0));
        p.drawEllipse(QPointF(16, 16), 13, 13);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
        p.drawRoundedRect(QRectF(14, 14, 4, 11), 1.5, 1.5);
    });
}

QIcon CToolIcons::Upload() {
    return Render([](QPainter& p) { Arrow(p, false, QColor(0x43, 0xA0, 0x47)); });
}

QIcon CToolIcons::Download() {
    return Render([](QPainter& p) { Arrow(p, true, QColor(0x1E, 0x88, 0xE5)); });
}

QIcon CToolIcons::App() {
    return Render(Panel);
}

QPixmap CToolIcons::AppPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(size / 32.0, size / 32.0);
    Panel(painter);
    return pixmap;
}
