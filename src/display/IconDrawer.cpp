#include "display/IconDrawer.h"

#include <QPainter>

namespace VEK {

void CIconDrawer::Draw(QPainter& painter, int x, int y) const {
    m_icon.paint(&painter, QRect(x, y, Width(), Height()));
}

}  // namespace VEK
