#include "display/DrawingStatic.h"

#include <QPainter>
#include <QResizeEvent>

#include "display/BitmapDrawer.h"

namespace VEK::MFC {

CDrawingStatic::CDrawingStatic(QWidget* parent) : QLabel(parent) {}

void CDrawingStatic::SetDrawer(const IDrawable& drawer, EFit fit, bool repaintNow) {
    m_drawer = drawer.Clone();
    m_fit = fit;
    if (fit == kDrawerToStatic) {
        m_drawer->SetSize(width(), height());
    } else {
        updateGeometry();
        resize(m_drawer->Size());
    }
    if (repaintNow)
        repaint();
    else
        update();
}

void CDrawingStatic::SetBitmap(const CBitmapImage& bitmap, EFit fit, bool repaintNow) {
    SetDrawer(CBitmapDrawer(bitmap), fit, repaintNow);
}

QSize CDrawingStatic::sizeHint() const {
    if (m_drawer != nullptr && m_fit == kStaticToDrawer)
        return m_drawer->Size();
    return QLabel::sizeHint();
}

QSize CDrawingStatic::minimumSizeHint() const {
    if (m_drawer != nullptr && m_fit == kStaticToDrawer)
        return m_drawer->Size();
    return QLabel::minimumSizeHint();
}

void CDrawingStatic::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (m_drawer != nullptr && m_fit == kDrawerToStatic)
        m_drawer->SetSize(event->size().width(), event->size().height());
}

void CDrawingStatic::paintEvent(QPaintEvent*) {
    if (m_drawer == nullptr)
        return;
    QPainter painter(this);
    painter.setClipRegion(mask().isEmpty() ? QRegion(rect()) : mask());
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    m_drawer->Draw(painter, 0, 0);
}

}  // namespace VEK::MFC
