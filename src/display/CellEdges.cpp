#include "display/CellEdges.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

void DrawCellEdges(QPainter& painter, const QRect& cell) {
    if (cell.isEmpty())
        return;
    painter.save();
    painter.setPen(QPen(QApplication::palette().color(QPalette::Dark), 1));
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());
    painter.drawLine(cell.bottomRight(), cell.topRight());
    painter.restore();
}
