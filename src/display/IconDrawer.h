#pragma once
#include <QIcon>

#include "display/NullDrawer.h"

namespace VEK {

// An icon painted at (x, y) at the drawer's size.
class CIconDrawer : public CNullDrawer {
public:
    // name: what the icon stands for, in words.
    CIconDrawer(int width, int height, QIcon icon, QString name = {})
        : CNullDrawer(width, height), m_icon(std::move(icon)), m_name(std::move(name)) {}

    std::shared_ptr<IDrawable> Clone() const override { return std::make_shared<CIconDrawer>(*this); }
    void Draw(QPainter& painter, int x, int y) const override;
    QString AccessibleText() const override { return m_name; }

private:
    QIcon m_icon;
    QString m_name;
};

}  // namespace VEK
