#include "display/layout/RatioLayout.h"

#include <algorithm>

namespace VEK {

namespace {

// The least whole extent e with e × share / 100 >= need (share > 0).
int ExtentFor(int need, int share) {
    return (need * 100 + share - 1) / share;
}

}  // namespace

CRatioLayout::CRatioLayout(int percentage, EOrientation orientation)
    : m_percentage(std::clamp(percentage, 0, 100)), m_orientation(orientation) {}

CRatioLayout::CRatioLayout(const CRatioLayout& other)
    : CAbstractLayout(other), m_percentage(other.m_percentage), m_orientation(other.m_orientation) {
    if (other.m_first)
        m_first = std::make_unique<TLayoutChild>(*other.m_first);
    if (other.m_second)
        m_second = std::make_unique<TLayoutChild>(*other.m_second);
}

CRatioLayout& CRatioLayout::SetFirst(int xAlign, int yAlign, const ILayout& child) {
    m_first = std::make_unique<TLayoutChild>(xAlign, yAlign, child);
    return *this;
}

CRatioLayout& CRatioLayout::SetSecond(int xAlign, int yAlign, const ILayout& child) {
    m_second = std::make_unique<TLayoutChild>(xAlign, yAlign, child);
    return *this;
}

TLayoutSize CRatioLayout::InnerMinimumSize() const {
    const TLayoutSize first = MinimumOf(m_first);
    const TLayoutSize second = MinimumOf(m_second);
    const int firstNeed = Horizontal() ? first.width : first.height;
    const int secondNeed = Horizontal() ? second.width : second.height;
    // The first side gets floor(e × p / 100) and the second the rest, which is at least
    // e × (100 - p) / 100: each bound below makes its side fit.
    int along = 0;
    if (m_percentage > 0)
        along = std::max(along, ExtentFor(firstNeed, m_percentage));
    else
        along = std::max(along, firstNeed);
    if (m_percentage < 100)
        along = std::max(along, ExtentFor(secondNeed, 100 - m_percentage));
    else
        along = std::max(along, secondNeed);
    along += Gap();
    const int across =
        Horizontal() ? std::max(first.height, second.height) : std::max(first.width, second.width);
    return Horizontal() ? TLayoutSize{along, across} : TLayoutSize{across, along};
}

void CRatioLayout::PlaceChildren(const TLayoutRect& inner) {
    const int shared = std::max(0, (Horizontal() ? inner.width : inner.height) - Gap());
    const int first = shared * m_percentage / 100;
    const int second = shared - first;
    if (Horizontal()) {
        if (m_first)
            m_first->PlaceIn({inner.x, inner.y, first, inner.height});
        if (m_second)
            m_second->PlaceIn({inner.x + first + Gap(), inner.y, second, inner.height});
    } else {
        if (m_first)
            m_first->PlaceIn({inner.x, inner.y, inner.width, first});
        if (m_second)
            m_second->PlaceIn({inner.x, inner.y + first + Gap(), inner.width, second});
    }
}

}  // namespace VEK
