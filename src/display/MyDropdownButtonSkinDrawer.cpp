#include "display/MyDropdownButtonSkinDrawer.h"

#include <QPainter>

#include "display/StandardPartsDrawer.h"
#include "display/TextDrawer.h"

using VEK::CTextDrawer;
using VEK::MFC::CStandardPartsDrawer;
using VEK::MFC::IPartsDrawable;

CMyDropdownButtonSkinDrawer::CMyDropdownButtonSkinDrawer(int width, int height, uint32_t format, QFont font,
                                                         QString text)
    : CNullDrawer(width, height), m_format(format), m_font(std::move(font)), m_text(std::move(text)) {}

void CMyDropdownButtonSkinDrawer::Draw(QPainter& painter, int x, int y) const {
    const CStandardPartsDrawer parts;
    const QRect outer(x, y, Width(), Height());
    const int edge = parts.EdgeSize();
    const QRect inside = outer.adjusted(edge, edge, -edge, -edge);
    if (inside.isEmpty()) {
        parts.DrawEdge(painter, outer, IPartsDrawable::kEdgeSunken);
        return;
    }
    const int side = std::min(inside.height(), inside.width());
    const QRect button(inside.right() + 1 - side, inside.top(), side, side);
    const QRect field(inside.left(), inside.top(), inside.width() - side, inside.height());
    painter.fillRect(field, Qt::white);
    CTextDrawer(field.width(), field.height(), m_font, 0x000000, m_text,
                m_format | CTextDrawer::kCentre | CTextDrawer::kVCentre)
        .Draw(painter, field.x(), field.y());
    parts.DrawFrameControl(painter, button, IPartsDrawable::kFramePush, IPartsDrawable::kNormal);
    CTextDrawer(side, side, m_font, 0x000000, QStringLiteral("▼"),
                CTextDrawer::kCentre | CTextDrawer::kVCentre | CTextDrawer::kSingleLine)
        .Draw(painter, button.x(), button.y());
    parts.DrawEdge(painter, outer, IPartsDrawable::kEdgeSunken);
}
