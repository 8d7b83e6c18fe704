#include "display/layout/BorderLayout.h"

#include <algorithm>

namespace VEK {

namespace {

// The sum of the extents of the present slots with one gap between neighbours.
int Row(std::initializer_list<std::pair<bool, int>> parts, int gap) {
    int sum = 0;
    int present = 0;
    for (const auto& [there, extent] : parts) {
        if (!there)
            continue;
        sum += extent;
        ++present;
    }
    return present > 1 ? sum + gap * (present - 1) : sum;
}

}  // namespace

CBorderLayout::CBorderLayout(const CBorderLayout& other) : CAbstractLayout(other) {
    for (int i = 0; i < kSlots; ++i)
        if (other.m_slots[i])
            m_slots[i] = std::make_unique<TLayoutChild>(*other.m_slots[i]);
}

CBorderLayout& CBorderLayout::Set(ESlot slot, int xAlign, int yAlign, const ILayout& child) {
    m_slots[slot] = std::make_unique<TLayoutChild>(xAlign, yAlign, child);
    return *this;
}

TLayoutSize CBorderLayout::InnerMinimumSize() const {
    const TLayoutSize north = MinimumOf(m_slots[kNorth]);
    const TLayoutSize south = MinimumOf(m_slots[kSouth]);
    const TLayoutSize west = MinimumOf(m_slots[kWest]);
    const TLayoutSize centre = MinimumOf(m_slots[kCentre]);
    const TLayoutSize east = MinimumOf(m_slots[kEast]);
    const bool middle = m_slots[kWest] || m_slots[kCentre] || m_slots[kEast];
    const int middleWidth = Row({{m_slots[kWest] != nullptr, west.width},
                                 {m_slots[kCentre] != nullptr, centre.width},
                                 {m_slots[kEast] != nullptr, east.width}},
                                HorizontalGap());
    const int middleHeight = std::max({west.height, centre.height, east.height});
    return {std::max({north.width, south.width, middleWidth}),
            Row({{m_slots[kNorth] != nullptr, north.height},
                 {middle, middleHeight},
                 {m_slots[kSouth] != nullptr, south.height}},
                VerticalGap())};
}

void CBorderLayout::PlaceChildren(const TLayoutRect& inner) {
    int top = inner.y;
    int bottom = inner.Bottom();
    if (m_slots[kNorth]) {
        const int height = m_slots[kNorth]->layout->MinimumSize().height;
        m_slots[kNorth]->PlaceIn({inner.x, top, inner.width, height});
        top += height + VerticalGap();
    }
    if (m_slots[kSouth]) {
        const int height = m_slots[kSouth]->layout->MinimumSize().height;
        bottom -= height;
        m_slots[kSouth]->PlaceIn({inner.x, bottom, inner.width, height});
        bottom -= VerticalGap();
    }
    const int height = std::max(0, bottom - top);
    int left = inner.x;
    int right = inner.Right();
    if (m_slots[kWest]) {
        const int width = m_slots[kWest]->layout->MinimumSize().width;
        m_slots[kWest]->PlaceIn({left, top, width, height});
        left += width + HorizontalGap();
    }
    if (m_slots[kEast]) {
        const int width = m_slots[kEast]->layout->MinimumSize().width;
        right -= width;
        m_slots[kEast]->PlaceIn({right, top, width, height});
        right -= HorizontalGap();
    }
    if (m_slots[kCentre])
        m_slots[kCentre]->PlaceIn({left, top, std::max(0, right - left), height});
}

}  // namespace VEK
