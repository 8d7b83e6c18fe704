#pragma once
#include <QIcon>

#include "display/NullDrawer.h"

namespace VEK {

// An icon painted at (x, y) at the drawer's size.
class CIconDrawer : public CNullDrawer {
public:
    CIconDrawer(int width, int height, QIcon icon) : CNullDrawer(width, height), m_icon(std::move(icon)) {}

    std::shared_ptr<IDrawable> Clone() const override { return std::make_shared<CIconDrawer>(*this); }
    void Draw(QPainter& painter, int x, int y) const override;

private:
    QIcon m_icon;
};

}  // namespace VEK
