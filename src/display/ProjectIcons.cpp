#include "display/ProjectIcons.h"

#include <QPainter>
#include <functional>

#include "display/ButtonIcons.h"
#include "display/PaintedIconEngine.h"

namespace {

// The battery icons are drawn on a 16 x 16 grid in whole pixels, the button icons on 32 x 32.
constexpr int kBatteryGrid = 16;
constexpr int kButtonGrid = 32;
const QColor kOutline(64, 64, 64);
const QColor kUnknownOutline(150, 150, 150);

// A horizontal battery in whole pixels: outline (1,4)-(12,11), terminal (13,6)-(14,9), inside
// (2,5)-(11,10).
void DrawBatteryBody(QPainter& painter, const QColor& outline) {
    painter.fillRect(QRect(1, 4, 12, 8), outline);
    painter.fillRect(QRect(2, 5, 10, 6), Qt::white);
    painter.fillRect(QRect(13, 6, 2, 4), outline);
}

// Up to three bars of 2 x 4 pixels, one pixel apart; no bar leaves a red sliver, the empty battery.
void DrawBatteryLevel(QPainter& painter, int level) {
    static const QColor kColors[] = {QColor(220, 0, 0), QColor(240, 150, 0), QColor(150, 200, 0),
                                     QColor(0, 170, 0)};
    if (level == 0) {
        painter.fillRect(QRect(3, 6, 1, 4), kColors[0]);
        return;
    }
    for (int bar = 0; bar < level; ++bar) painter.fillRect(QRect(3 + 3 * bar, 6, 2, 4), kColors[level]);
}

// The battery outline in grey with a question mark inside.
void DrawUnknownBattery(QPainter& painter) {
    DrawBatteryBody(painter, kUnknownOutline);
    static const char* const kMark[] = {".###.", "#...#", "...#.", "..#..", ".....", "..#.."};
    const QColor mark = kUnknownOutline.darker(130);
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 5; ++column)
            if (kMark[row][column] == '#')
                painter.fillRect(QRect(4 + column, 5 + row, 1, 1), mark);
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
    if (std::function<void(QPainter&)> paint = PainterOf(id))
        return QIcon(new CPaintedIconEngine(kBatteryGrid, std::move(paint)));
    if (std::function<void(QPainter&)> paint = ButtonIconPainter(id))
        return QIcon(new CPaintedIconEngine(kButtonGrid, std::move(paint)));
    return {};
}
