#include "display/DisabledDrawer.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <cmath>

namespace VEK {

void CDisabledDrawer::Draw(QPainter& painter, int x, int y) const {
    const QSize size = m_inner->Size();
    if (size.isEmpty())
        return;
    // Rendered at the surface's pixel density, so that the greyed copy is as sharp as the original.
    const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    QPixmap pixmap(std::ceil(size.width() * ratio), std::ceil(size.height() * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    {
        QPainter inner(&pixmap);
        inner.setFont(painter.font());
        inner.setPen(painter.pen());
        m_inner->Draw(inner, 0, 0);
    }
    QStyleOption option;
    option.palette = QApplication::palette();
    QPixmap disabled = QApplication::style()->generatedIconPixmap(QIcon::Disabled, pixmap, &option);
    disabled.setDevicePixelRatio(ratio);
    painter.drawPixmap(QPoint(x, y), disabled);
}

}  // namespace VEK
