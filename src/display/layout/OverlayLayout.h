#pragma once
#include <vector>

#include "display/layout/AbstractLayout.h"

namespace VEK {

// Every child aligned in the same inner rectangle.
class COverlayLayout : public CAbstractLayout {
public:
    std::unique_ptr<ILayout> Clone() const override { return std::make_unique<COverlayLayout>(*this); }
    COverlayLayout& Add(int xAlign, int yAlign, const ILayout& child);

protected:
    TLayoutSize InnerMinimumSize() const override;
    void PlaceChildren(const TLayoutRect& inner) override;

private:
    std::vector<TLayoutChild> m_children;
};

}  // namespace VEK
