#include "display/BitmapDrawer.h"

#include <QPainter>

namespace VEK {

QSize CBitmapDrawer::Size() const {
    return m_bitmap.Image().deviceIndependentSize().toSize();
}

void CBitmapDrawer::Draw(QPainter& painter, int x, int y) const {
    if (!m_bitmap.IsNull())
        painter.drawImage(QPoint(x, y), m_bitmap.Image());
}

}  // namespace VEK
