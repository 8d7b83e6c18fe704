#pragma once
#include "display/IconDrawer.h"

// A value list's icon cell: the icon centred, then the shadow lines along the bottom and right
// edges.
class CMyIconDrawer : public VEK::CNullDrawer {
public:
    CMyIconDrawer(int width, int height, int iconWidth, int iconHeight, VEK::CIconDrawer inner);

    std::shared_ptr<VEK::IDrawable> Clone() const override { return std::make_shared<CMyIconDrawer>(*this); }
    void Draw(QPainter& painter, int x, int y) const override;
    QString AccessibleText() const override { return m_inner.AccessibleText(); }

private:
    int m_iconWidth;
    int m_iconHeight;
    VEK::CIconDrawer m_inner;
};
