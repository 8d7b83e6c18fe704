#include "display/MyIconDrawer.h"

#include "display/CellEdges.h"

CMyIconDrawer::CMyIconDrawer(int width, int height, int iconWidth, int iconHeight, VEK::CIconDrawer inner)
    : CNullDrawer(width, height),
      m_iconWidth(iconWidth),
      m_iconHeight(iconHeight),
      m_inner(std::move(inner)) {
    m_inner.SetSize(iconWidth, iconHeight);
}

void CMyIconDrawer::Draw(QPainter& painter, int x, int y) const {
    m_inner.Draw(painter, x + (Width() - m_iconWidth) / 2, y + (Height() - m_iconHeight) / 2);
    DrawCellEdges(painter, QRect(x, y, Width(), Height()));
}
