#include "display/ProjectIcons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <functional>

namespace {

// Drawn on a 16 x 16 grid and scaled for larger pixmaps.
constexpr int kGrid = 16;
const QColor kOutline(64, 64, 64);
const QColor kUnknownOutline(150, 150, 150);

// A horizontal battery: body (1,4)-(13,11), terminal (14,6)-(15,9).
void DrawBatteryBody(QPainter& painter, const QColor& outline) {
    painter.setPen(QPen(outline, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(1.5, 4.5, 12, 7));
    painter.fillRect(QRectF(14, 6, 2, 4), outline);
}

// Up to three bars inside the body; no bar leaves a red sliver, the empty battery.
void DrawBatteryLevel(QPainter& painter, int level) {
    static const QColor kColors[] = {QColor(220, 0, 0), QColor(240, 150, 0), QColor(150, 200, 0),
                                     QColor(0, 170, 0)};
    if (level == 0) {
        painter.fillRect(QRectF(3, 6, 1, 4), kColors[0]);
        return;
    }
    for (int bar = 0; bar < level; ++bar) painter.fillRect(QRectF(3 + bar * 3.5, 6, 2.5, 4), kColors[level]);
}

void DrawUnknownBattery(QPainter& painter) {
    DrawBatteryBody(painter, kUnknownOutline);
    QFont font;
    font.setPixelSize(8);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(kUnknownOutline.darker(130));
    painter.drawText(QRectF(1, 4, 13, 8), Qt::AlignCenter, QStringLiteral("?"));
}

std::function<void(QPainter&)> PainterOf(int id) {
    if (id == 140)
        return DrawUnknownBattery;
    if (id >= 142 && id <= 145)
        return [level = id - 142](QPainter& painter) {
            DrawBatteryBody(painter, kOutline);
            DrawBatteryLevel(painter, level);
        };
    return {};
}

}  // namespace

QIcon DrawProjectIcon(int id) {
    const std::function<void(QPainter&)> paint = PainterOf(id);
    if (!paint)
        return {};
    QIcon icon;
    for (int size : {kGrid, 2 * kGrid}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.scale(static_cast<double>(size) / kGrid, static_cast<double>(size) / kGrid);
        paint(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
