#include "display/MyTextDrawer.h"

#include "display/CellEdges.h"

CMyTextDrawer::CMyTextDrawer(int width, int height, VEK::CTextBkDrawer inner)
    : CNullDrawer(width, height), m_inner(std::move(inner)) {}

void CMyTextDrawer::Draw(QPainter& painter, int x, int y) const {
    VEK::CTextBkDrawer inner = m_inner;
    inner.SetSize(Width(), Height());
    inner.Draw(painter, x, y);
    DrawCellEdges(painter, QRect(x, y, Width(), Height()));
}
