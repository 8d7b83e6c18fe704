#include "display/layout/BoxLayout.h"

#include <algorithm>

namespace VEK {

CBoxLayout& CBoxLayout::Add(int xAlign, int yAlign, const ILayout& child) {
    m_children.emplace_back(xAlign, yAlign, child);
    return *this;
}

TLayoutSize CBoxLayout::InnerMinimumSize() const {
    int along = 0;
    int across = 0;
    for (const TLayoutChild& child : m_children) {
        const TLayoutSize least = child.layout->MinimumSize();
        along += Horizontal() ? least.width : least.height;
        across = std::max(across, Horizontal() ? least.height : least.width);
    }
    if (!m_children.empty())
        along += Gap() * static_cast<int>(m_children.size() - 1);
    return Horizontal() ? TLayoutSize{along, across} : TLayoutSize{across, along};
}

void CBoxLayout::PlaceChildren(const TLayoutRect& inner) {
    int position = Horizontal() ? inner.x : inner.y;
    const int end = Horizontal() ? inner.Right() : inner.Bottom();
    for (size_t i = 0; i < m_children.size(); ++i) {
        const TLayoutChild& child = m_children[i];
        const TLayoutSize least = child.layout->MinimumSize();
        int extent = Horizontal() ? least.width : least.height;
        if (m_lastTakesRest && i + 1 == m_children.size())
            extent = std::max(extent, end - position);
        child.PlaceIn(Horizontal() ? TLayoutRect{position, inner.y, extent, inner.height}
                                   : TLayoutRect{inner.x, position, inner.width, extent});
        position += extent + Gap();
    }
}

}  // namespace VEK
