#pragma once
#include <memory>

#include "display/layout/AbstractLayout.h"

namespace VEK {

// Five slots: north across the top and south across the bottom at their least heights, west
// and east between them at their least widths, the centre in the rest. An empty slot takes no
// space and no gap.
class CBorderLayout : public CAbstractLayout {
public:
    enum ESlot { kNorth, kSouth, kWest, kCentre, kEast, kSlots };

    CBorderLayout() = default;
    CBorderLayout(const CBorderLayout& other);
    CBorderLayout& operator=(const CBorderLayout&) = delete;

    std::unique_ptr<ILayout> Clone() const override { return std::make_unique<CBorderLayout>(*this); }
    CBorderLayout& Set(ESlot slot, int xAlign, int yAlign, const ILayout& child);

protected:
    TLayoutSize InnerMinimumSize() const override;
    void PlaceChildren(const TLayoutRect& inner) override;

private:
    std::unique_ptr<TLayoutChild> m_slots[kSlots];
};

}  // namespace VEK
