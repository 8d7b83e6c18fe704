#pragma once
#include "display/Drawable.h"

namespace VEK {

// Draws nothing; keeps a size. The base of the other drawers.
class CNullDrawer : public IDrawable {
public:
    CNullDrawer(int width = 0, int height = 0) : m_width(width), m_height(height) {}

    std::shared_ptr<IDrawable> Clone() const override { return std::make_shared<CNullDrawer>(*this); }
    QSize Size() const override { return {m_width, m_height}; }
    bool SetSize(int width, int height) override;
    void Draw(QPainter&, int, int) const override {}

protected:
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width;
    int m_height;
};

}  // namespace VEK
