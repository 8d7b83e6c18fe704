#include "display/layout/OverlayLayout.h"

#include <algorithm>

namespace VEK {

COverlayLayout& COverlayLayout::Add(int xAlign, int yAlign, const ILayout& child) {
    m_children.emplace_back(xAlign, yAlign, child);
    return *this;
}

TLayoutSize COverlayLayout::InnerMinimumSize() const {
    TLayoutSize size;
    for (const TLayoutChild& child : m_children) {
        const TLayoutSize least = child.layout->MinimumSize();
        size = {std::max(size.width, least.width), std::max(size.height, least.height)};
    }
    return size;
}

void COverlayLayout::PlaceChildren(const TLayoutRect& inner) {
    for (const TLayoutChild& child : m_children) child.PlaceIn(inner);
}

}  // namespace VEK
