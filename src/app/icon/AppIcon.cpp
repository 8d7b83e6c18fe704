#include "app/icon/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "display/PaintedIconEngine.h"

namespace {

// The drawing is laid out on a 256-unit square.
constexpr qreal kGrid = 256.0;
const QColor kTileTop(0x1b, 0x7f, 0x8c);
const QColor kTileBottom(0x0d, 0x3b, 0x4a);
const QColor kGlass(0xf4, 0xf7, 0xf8);
const QColor kMercury(0xe0, 0x3a, 0x2f);

void DrawTile(QPainter& painter) {
    QLinearGradient gradient(0, 0, 0, kGrid);
    gradient.setColorAt(0, kTileTop);
    gradient.setColorAt(1, kTileBottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
}

// The glass tube with its bulb, and the red column rising from the bulb.
void DrawThermometer(QPainter& painter) {
    QPainterPath glass;
    glass.addRoundedRect(QRectF(70, 36, 52, 150), 26, 26);
    glass.addEllipse(QPointF(96, 186), 40, 40);
    painter.setBrush(kGlass);
    painter.drawPath(glass.simplified());
    painter.setBrush(kMercury);
    painter.drawRoundedRect(QRectF(84, 92, 24, 100), 12, 12);
    painter.drawEllipse(QPointF(96, 186), 27, 27);
    // Scale marks on the tube.
    painter.setPen(QPen(kTileBottom, 6, Qt::SolidLine, Qt::RoundCap));
    for (qreal y : {60.0, 84.0, 108.0, 132.0}) painter.drawLine(QPointF(122, y), QPointF(110, y));
}

// Three arcs of the radio link, opening to the upper right.
void DrawWaves(QPainter& painter) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kGlass, 14, Qt::SolidLine, Qt::RoundCap));
    const QPointF centre(138, 118);
    for (qreal radius : {34.0, 64.0, 94.0}) {
        const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        painter.drawArc(box, -20 * 16, 80 * 16);  // from 20 degrees below to 60 degrees above the right
    }
}

}  // namespace

void DrawAppIcon(QPainter& painter, qreal size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kGrid, size / kGrid);
    DrawTile(painter);
    DrawThermometer(painter);
    DrawWaves(painter);
    painter.restore();
}

QIcon AppIcon() {
    return QIcon(new CPaintedIconEngine(kGrid, [](QPainter& painter) { DrawAppIcon(painter, kGrid); }));
}
