#pragma once
#include <QFont>
#include <QString>
#include <cstdint>

#include "display/NullDrawer.h"

// A button face with a text on it: the platform's push-button face when the face colour is above
// 0xFFFFFF, otherwise the rectangle filled with the face colour and outlined in grey 160.
class CMyButtonSkinDrawer : public VEK::CNullDrawer {
public:
    static constexpr uint32_t kStandardFace = 0xFFFFFFFF;
    static constexpr uint32_t kOutlineColor = 0xA0A0A0;

    CMyButtonSkinDrawer(int width, int height, uint32_t format, QFont font, uint32_t textColor,
                        uint32_t faceColor, QString text);

    std::shared_ptr<VEK::IDrawable> Clone() const override {
        return std::make_shared<CMyButtonSkinDrawer>(*this);
    }
    void Draw(QPainter& painter, int x, int y) const override;
    QString AccessibleText() const override { return m_text; }

private:
    uint32_t m_format;
    QFont m_font;
    uint32_t m_textColor;
    uint32_t m_faceColor;
    QString m_text;
};
