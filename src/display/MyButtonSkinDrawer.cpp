#include "display/MyButtonSkinDrawer.h"

#include <QPainter>

#include "display/DrawColor.h"
#include "display/StandardPartsDrawer.h"
#include "display/TextDrawer.h"

CMyButtonSkinDrawer::CMyButtonSkinDrawer(int width, int height, uint32_t format, QFont font,
                                         uint32_t textColor, uint32_t faceColor, QString text)
    : CNullDrawer(width, height),
      m_format(format),
      m_font(std::move(font)),
      m_textColor(textColor),
      m_faceColor(faceColor),
      m_text(std::move(text)) {}

void CMyButtonSkinDrawer::Draw(QPainter& painter, int x, int y) const {
    const QRect face(x, y, Width(), Height());
    if (m_faceColor > 0xFFFFFF) {
        VEK::MFC::CStandardPartsDrawer().DrawFrameControl(painter, face, VEK::MFC::IPartsDrawable::kFramePush,
                                                          VEK::MFC::IPartsDrawable::kNormal);
    } else {
        painter.save();
        painter.fillRect(face, VEK::ToQColor(m_faceColor));
        painter.setPen(QPen(VEK::ToQColor(kOutlineColor), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(face.adjusted(0, 0, -1, -1));
        painter.restore();
    }
    VEK::CTextDrawer(Width(), Height(), m_font, m_textColor, m_text, m_format).Draw(painter, x, y);
}
