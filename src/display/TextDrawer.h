#pragma once
#include <QFont>
#include <QRect>
#include <QString>
#include <cstdint>

#include "display/NullDrawer.h"

namespace VEK {

// A text on a transparent background in the rectangle (x + margin, y) - (x + width, y + height):
// the measured text box is placed left, centred or right, and top, centred or at the bottom, as the
// format flags say.
class CTextDrawer : public CNullDrawer {
public:
    enum EFormat : uint32_t {
        kLeft = 0,
        kCentre = 0x01,
        kRight = 0x02,
        kVCentre = 0x04,
        kBottom = 0x08,
        kWordBreak = 0x10,
        kSingleLine = 0x20,
        // A single line too wide for its area ends in "…" (free text such as a comment)...
        kEndEllipsis = 0x40,
        // ...or shows "#" marks across the area, as a spreadsheet does (a number is never shown
        // shortened).
        kHashWhenCut = 0x80,
    };
    // Text colours beyond 0xRRGGBB: the disabled (embossed) look, and the painter's own pen.
    static constexpr uint32_t kDisabledColor = 0xFFFFFFFF;
    static constexpr uint32_t kSurfaceColor = 0xFEFFFFFF;

    CTextDrawer(int width, int height, QFont font, uint32_t textColor, QString text, uint32_t format,
                int leftMargin = 0);

    std::shared_ptr<IDrawable> Clone() const override { return std::make_shared<CTextDrawer>(*this); }
    void Draw(QPainter& painter, int x, int y) const override;

    // Width becomes margin + text width, height the text height.
    void FitToText();
    const QString& Text() const { return m_text; }
    // The whole text, also where the drawer shows it shortened.
    QString AccessibleText() const override { return m_text; }
    // What is drawn at the drawer's size: the text, or its shortened form when it does not fit
    // and the format asks for one.
    QString ShownText() const;
    // Where the shown text's box lies when drawn at (x, y).
    QRect TextBox(int x, int y) const;
    // The rectangle the format places the text in.
    QRect TextArea(int x, int y) const {
        return QRect(x + m_leftMargin, y, Width() - m_leftMargin, Height());
    }

protected:
    void DrawText(QPainter& painter, int x, int y) const;

private:
    QSize MeasureText(const QString& text, int areaWidth) const;
    int TextFlags() const;

    QFont m_font;
    uint32_t m_textColor;
    QString m_text;
    uint32_t m_format;
    int m_leftMargin;
};

}  // namespace VEK
