#include "display/MyFlameStatic.h"

#include <QApplication>
#include <QPainter>

#include "display/DrawColor.h"

void CMyFlameStatic::CMyFrameDrawer::Draw(QPainter& painter, int x, int y) const {
    const QRect area(x, y, Width(), Height());
    painter.fillRect(area, VEK::ToQColor(kFill));
    painter.save();
    painter.setPen(QPen(QApplication::palette().color(QPalette::Button), 1));
    painter.setBrush(Qt::NoBrush);
    for (int inset : {1, 4}) {
        const QRect frame = area.adjusted(inset, inset, -inset - 1, -inset - 1);
        if (frame.width() >= 0 && frame.height() >= 0)
            painter.drawRect(frame);
    }
    painter.restore();
}

CMyFlameStatic::CMyFlameStatic(QWidget* parent) : CDrawingStatic(parent) {
    SetDrawer(CMyFrameDrawer(0, 0));
}
