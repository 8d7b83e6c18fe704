#pragma once
#include <QFont>
#include <QString>
#include <cstdint>

#include "display/NullDrawer.h"

// A drop-down box drawn as one picture: a sunken edge around the rectangle; inside it, at the
// right, a square as high as the inside with a push-button face carrying "▼"; the rest white with
// the text centred.
class CMyDropdownButtonSkinDrawer : public VEK::CNullDrawer {
public:
    CMyDropdownButtonSkinDrawer(int width, int height, uint32_t format, QFont font, QString text);

    std::shared_ptr<VEK::IDrawable> Clone() const override {
        return std::make_shared<CMyDropdownButtonSkinDrawer>(*this);
    }
    void Draw(QPainter& painter, int x, int y) const override;

private:
    uint32_t m_format;
    QFont m_font;
    QString m_text;
};
