#pragma once
#include <memory>

#include "display/layout/ILayout.h"

namespace VEK {

// A child with its alignment codes; copying clones the child.
struct TLayoutChild {
    int xAlign = kAlignStart;
    int yAlign = kAlignStart;
    std::unique_ptr<ILayout> layout;

    TLayoutChild(int x, int y, const ILayout& child) : xAlign(x), yAlign(y), layout(child.Clone()) {}
    TLayoutChild(const TLayoutChild& other)
        : xAlign(other.xAlign),
          yAlign(other.yAlign),
          layout(other.layout ? other.layout->Clone() : nullptr) {}
    TLayoutChild& operator=(const TLayoutChild& other) {
        if (this != &other)
            *this = TLayoutChild(other);
        return *this;
    }
    TLayoutChild(TLayoutChild&&) = default;
    TLayoutChild& operator=(TLayoutChild&&) = default;

    // Sizes and places the child within the cell as its codes say.
    void PlaceIn(const TLayoutRect& cell) const;
};

// What composite layouts share: the assigned size and position, margins and gaps. Composites
// accept any size; they place their children within the inner rectangle (size minus margins).
class CAbstractLayout : public ILayout {
public:
    // The axis of the layouts that place their children one after another.
    enum EOrientation { kHorizontal, kVertical };

    TLayoutSize CurrentSize() const override { return m_sizeAssigned ? m_size : MinimumSize(); }
    TLayoutSize MinimumSize() const override;
    bool SetSize(int width, int height) override;
    void Place(int x, int y) override;

    void SetMargins(const TLayoutMargins& margins) { m_margins = margins; }
    void SetMargins(int all) { m_margins = {all, all, all, all}; }
    void SetGaps(int horizontal, int vertical) {
        m_hgap = horizontal;
        m_vgap = vertical;
    }
    void SetGap(int gap) { SetGaps(gap, gap); }

protected:
    // The children's least size without the margins.
    virtual TLayoutSize InnerMinimumSize() const = 0;
    virtual void PlaceChildren(const TLayoutRect& inner) = 0;

    int HorizontalGap() const { return m_hgap; }
    int VerticalGap() const { return m_vgap; }
    int GapAlong(EOrientation orientation) const { return orientation == kHorizontal ? m_hgap : m_vgap; }

private:
    bool m_sizeAssigned = false;
    TLayoutSize m_size;
    int m_x = 0;
    int m_y = 0;
    TLayoutMargins m_margins;
    int m_hgap = 0;
    int m_vgap = 0;
};

// An empty slot takes no space and no gap.
inline TLayoutSize MinimumOf(const std::unique_ptr<TLayoutChild>& child) {
    return child ? child->layout->MinimumSize() : TLayoutSize{};
}

}  // namespace VEK
