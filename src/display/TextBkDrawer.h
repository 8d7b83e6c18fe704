#pragma once
#include "display/TextDrawer.h"

namespace VEK {

// A text drawer that first fills its text rectangle with a background colour.
class CTextBkDrawer : public CTextDrawer {
public:
    CTextBkDrawer(int width, int height, QFont font, uint32_t textColor, QString text, uint32_t format,
                  int leftMargin, uint32_t backgroundColor);

    std::shared_ptr<IDrawable> Clone() const override { return std::make_shared<CTextBkDrawer>(*this); }
    void Draw(QPainter& painter, int x, int y) const override;

private:
    uint32_t m_backgroundColor;
};

}  // namespace VEK
