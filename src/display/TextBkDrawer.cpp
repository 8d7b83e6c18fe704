#include "display/TextBkDrawer.h"

#include <QPainter>

#include "display/DrawColor.h"

namespace VEK {

CTextBkDrawer::CTextBkDrawer(int width, int height, QFont font, uint32_t textColor, QString text,
                             uint32_t format, int leftMargin, uint32_t backgroundColor)
    : CTextDrawer(width, height, std::move(font), textColor, std::move(text), format, leftMargin),
      m_backgroundColor(backgroundColor) {}

void CTextBkDrawer::Draw(QPainter& painter, int x, int y) const {
    painter.fillRect(TextArea(x, y), ToQColor(m_backgroundColor));
    DrawText(painter, x, y);
}

}  // namespace VEK
