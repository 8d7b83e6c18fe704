#pragma once
#include "display/Drawable.h"

namespace VEK {

// The drawer it wraps, drawn the way the style draws a disabled icon (greyed), at the same size.
class CDisabledDrawer : public IDrawable {
public:
    explicit CDisabledDrawer(const IDrawable& inner) : m_inner(inner.Clone()) {}
    CDisabledDrawer(const CDisabledDrawer& other) : m_inner(other.m_inner->Clone()) {}
    CDisabledDrawer& operator=(const CDisabledDrawer& other) {
        m_inner = other.m_inner->Clone();
        return *this;
    }

    std::shared_ptr<IDrawable> Clone() const override { return std::make_shared<CDisabledDrawer>(*this); }
    QSize Size() const override { return m_inner->Size(); }
    bool SetSize(int width, int height) override { return m_inner->SetSize(width, height); }
    void Draw(QPainter& painter, int x, int y) const override;

private:
    CDrawerHandle m_inner;
};

}  // namespace VEK
