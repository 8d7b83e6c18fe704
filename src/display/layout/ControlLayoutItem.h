#pragma once
#include <memory>

#include "display/layout/ILayout.h"

namespace VEK::MFC {

// The window a control item moves.
class ILayoutControl {
public:
    virtual ~ILayoutControl() = default;
    virtual void SetGeometry(const TLayoutRect& rect) = 0;
};

// A control in an arrangement. Its minimum is the control's natural size, fixed when the item is
// made: the control's current size would grow with every fill and never shrink again. Sizes
// beyond the control's maximum are refused.
class CControlLayoutItem : public ILayout {
public:
    CControlLayoutItem(std::shared_ptr<ILayoutControl> control, TLayoutSize natural,
                       TLayoutSize maximum = kUnlimitedLayoutSize)
        : m_control(std::move(control)), m_natural(natural), m_maximum(maximum) {}

    std::unique_ptr<ILayout> Clone() const override { return std::make_unique<CControlLayoutItem>(*this); }
    TLayoutSize CurrentSize() const override { return m_sizeAssigned ? m_size : m_natural; }
    TLayoutSize MinimumSize() const override { return m_natural; }
    bool SetSize(int width, int height) override;
    // Moves the control to its place at its assigned size.
    void Place(int x, int y) override;

private:
    std::shared_ptr<ILayoutControl> m_control;
    TLayoutSize m_natural;
    TLayoutSize m_maximum;
    bool m_sizeAssigned = false;
    TLayoutSize m_size;
    int m_x = 0;
    int m_y = 0;
};

}  // namespace VEK::MFC
