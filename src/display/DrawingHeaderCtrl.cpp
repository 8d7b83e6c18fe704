#include "display/DrawingHeaderCtrl.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>

namespace VEK::MFC {

CDrawingHeaderCtrl::CDrawingHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setStretchLastSection(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setMinimumSectionSize(0);
    // Beyond the last item the header continues as an empty item face, not the window's colour.
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    connect(this, &QHeaderView::sectionResized, this, [this] {
        if (m_pressed)
            m_resizedWhilePressed = true;
    });
}

void CDrawingHeaderCtrl::InsertItemDrawer(int index, const IDrawable& drawer) {
    index = std::clamp(index, 0, static_cast<int>(m_drawers.size()));
    m_drawers.insert(m_drawers.begin() + index, drawer.Clone());
    viewport()->update();
}

void CDrawingHeaderCtrl::RemoveItemDrawer(int index) {
    if (index >= 0 && index < static_cast<int>(m_drawers.size()))
        m_drawers.erase(m_drawers.begin() + index);
    viewport()->update();
}

void CDrawingHeaderCtrl::SetItemDrawer(int index, const IDrawable& drawer) {
    if (index >= 0 && index < static_cast<int>(m_drawers.size()))
        m_drawers[index] = drawer.Clone();
    viewport()->update();
}

void CDrawingHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    // The platform's header item face, then the item's drawer over it.
    QHeaderView::paintSection(painter, rect, logicalIndex);
    if (logicalIndex < 0 || logicalIndex >= static_cast<int>(m_drawers.size()) || !m_drawers[logicalIndex])
        return;
    IDrawable& drawer = *m_drawers[logicalIndex];
    // An item the header's edge cuts is drawn in the part that shows.
    const QRect shown = rect.intersected(viewport()->rect());
    if (shown.isEmpty())
        return;
    drawer.SetSize(shown.width(), shown.height());
    painter->save();
    painter->setClipRect(shown);
    drawer.Draw(*painter, shown.x(), shown.y());
    painter->restore();
}

QSize CDrawingHeaderCtrl::sectionSizeFromContents(int logicalIndex) const {
    return {sectionSize(logicalIndex), QFontMetrics(font()).height() + 8};
}

void CDrawingHeaderCtrl::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    m_resizedWhilePressed = false;
    QHeaderView::mousePressEvent(event);
}

void CDrawingHeaderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    QHeaderView::mouseReleaseEvent(event);
    const bool dragged = m_pressed && m_resizedWhilePressed;
    m_pressed = false;
    m_resizedWhilePressed = false;
    if (dragged)
        emit dividerDragEnded();
}

}  // namespace VEK::MFC
