#pragma once
#include <memory>

#include "display/layout/AbstractLayout.h"

namespace VEK {

// Two slots sharing the inner extent minus the gap: the first takes that × percentage / 100
// (truncated), the second the rest.
class CRatioLayout : public CAbstractLayout {
public:
    explicit CRatioLayout(int percentage = 50, EOrientation orientation = kHorizontal);
    CRatioLayout(const CRatioLayout& other);
    CRatioLayout& operator=(const CRatioLayout&) = delete;

    std::unique_ptr<ILayout> Clone() const override { return std::make_unique<CRatioLayout>(*this); }
    CRatioLayout& SetFirst(int xAlign, int yAlign, const ILayout& child);
    CRatioLayout& SetSecond(int xAlign, int yAlign, const ILayout& child);

protected:
    // Along the axis the least extent whose split gives each side at least its own minimum.
    TLayoutSize InnerMinimumSize() const override;
    void PlaceChildren(const TLayoutRect& inner) override;

private:
    bool Horizontal() const { return m_orientation == kHorizontal; }
    int Gap() const { return GapAlong(m_orientation); }

    int m_percentage;
    EOrientation m_orientation;
    std::unique_ptr<TLayoutChild> m_first;
    std::unique_ptr<TLayoutChild> m_second;
};

}  // namespace VEK
