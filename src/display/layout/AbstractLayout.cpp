#include "display/layout/AbstractLayout.h"

#include <algorithm>

namespace VEK {

namespace {

// The start of a child of the given extent within a cell along one axis.
int Offset(int code, bool across, int cellStart, int cellExtent, int extent) {
    const int centred = cellStart + (cellExtent - extent) / 2;
    switch (code) {
        case kAlignStart:
            return across ? cellStart : centred;  // x: left, y: centre
        case kAlignLeftTop:
            return cellStart;
        case kAlignEnd:
            return cellStart + cellExtent - extent;
        default:
            return centred;
    }
}

}  // namespace

void TLayoutChild::PlaceIn(const TLayoutRect& cell) const {
    const TLayoutSize least = layout->MinimumSize();
    const bool fillX = xAlign == kAlignFill;
    const bool fillY = yAlign == kAlignFill;
    bool filled = (fillX || fillY) &&
                  layout->SetSize(fillX ? cell.width : least.width, fillY ? cell.height : least.height);
    if (!filled)
        layout->SetSize(least.width, least.height);
    const TLayoutSize size = layout->CurrentSize();
    // A refused fill centres the child instead.
    const int x = fillX && filled ? cell.x : Offset(xAlign, true, cell.x, cell.width, size.width);
    const int y = fillY && filled ? cell.y : Offset(yAlign, false, cell.y, cell.height, size.height);
    layout->Place(x, y);
}

TLayoutSize CAbstractLayout::MinimumSize() const {
    const TLayoutSize inner = InnerMinimumSize();
    return {inner.width + m_margins.left + m_margins.right, inner.height + m_margins.top + m_margins.bottom};
}

bool CAbstractLayout::SetSize(int width, int height) {
    m_sizeAssigned = true;
    m_size = {width, height};
    return true;
}

void CAbstractLayout::Place(int x, int y) {
    if (x != -1)
        m_x = x;
    if (y != -1)
        m_y = y;
    const TLayoutSize size = CurrentSize();
    PlaceChildren({m_x + m_margins.left, m_y + m_margins.top,
                   std::max(0, size.width - m_margins.left - m_margins.right),
                   std::max(0, size.height - m_margins.top - m_margins.bottom)});
}

}  // namespace VEK
