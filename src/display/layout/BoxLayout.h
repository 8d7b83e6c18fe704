#pragma once
#include <vector>

#include "display/layout/AbstractLayout.h"

namespace VEK {

// Children one after another along the axis at their least size (the last one also takes the
// space left over when asked to), each aligned across the axis in the full inner size.
class CBoxLayout : public CAbstractLayout {
public:
    explicit CBoxLayout(EOrientation orientation = kHorizontal, bool lastTakesRest = false)
        : m_orientation(orientation), m_lastTakesRest(lastTakesRest) {}

    std::unique_ptr<ILayout> Clone() const override { return std::make_unique<CBoxLayout>(*this); }
    CBoxLayout& Add(int xAlign, int yAlign, const ILayout& child);

protected:
    TLayoutSize InnerMinimumSize() const override;
    void PlaceChildren(const TLayoutRect& inner) override;

private:
    bool Horizontal() const { return m_orientation == kHorizontal; }
    int Gap() const { return GapAlong(m_orientation); }

    EOrientation m_orientation;
    bool m_lastTakesRest;
    std::vector<TLayoutChild> m_children;
};

}  // namespace VEK
