#pragma once
#include "display/layout/ILayout.h"

namespace VEK {

// Fixed empty space: it takes no other size and places nothing.
class CLayoutSpacer : public ILayout {
public:
    CLayoutSpacer(int width, int height) : m_size{width, height} {}

    std::unique_ptr<ILayout> Clone() const override { return std::make_unique<CLayoutSpacer>(*this); }
    TLayoutSize CurrentSize() const override { return m_size; }
    TLayoutSize MinimumSize() const override { return m_size; }
    bool SetSize(int width, int height) override { return width == m_size.width && height == m_size.height; }
    void Place(int, int) override {}

private:
    TLayoutSize m_size;
};

}  // namespace VEK
