#pragma once
#include "display/TextBkDrawer.h"

// A value list's text cell: its text drawer, then the shadow lines along the bottom and right edges.
class CMyTextDrawer : public VEK::CNullDrawer {
public:
    CMyTextDrawer(int width, int height, VEK::CTextBkDrawer inner);

    std::shared_ptr<VEK::IDrawable> Clone() const override { return std::make_shared<CMyTextDrawer>(*this); }
    void Draw(QPainter& painter, int x, int y) const override;
    QString AccessibleText() const override { return m_inner.AccessibleText(); }
    const VEK::CTextBkDrawer& Inner() const { return m_inner; }

private:
    VEK::CTextBkDrawer m_inner;
};
