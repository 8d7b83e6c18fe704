#pragma once
#include <QStringList>
#include <cstdint>

#include "display/DrawingStatic.h"
#include "display/TextBkDrawer.h"

// A read-out: the label's text in its font, placed by format flags (those of CTextDrawer), in a
// text colour on a background colour, both 0xRRGGBB. The colours are kept in the palette
// (WindowText, Window), so setting them there works too; the text colour may also be one of
// CTextDrawer's markers (disabled look, the surface's pen), which holds until a colour is set.
class CMyTextStatic : public VEK::MFC::CDrawingStatic {
    Q_OBJECT
public:
    static constexpr uint32_t kDefaultTextColor = 0xFFFFFF;
    static constexpr uint32_t kDefaultBackgroundColor = 0xF5F5DC;  // 245, 245, 220

    explicit CMyTextStatic(const QString& text = {}, QWidget* parent = nullptr);

    void SetFormat(uint32_t format);
    uint32_t Format() const { return m_format; }
    void SetTextColor(uint32_t rgb);
    uint32_t TextColor() const;
    void SetBackgroundColor(uint32_t rgb);
    uint32_t BackgroundColor() const;
    // The texts the static will show besides the current one; the natural size fits the widest.
    void SetWidestTexts(const QStringList& texts);
    // What the read-out shows ("Status"): assistive technology names it "Status: Ready", or by the
    // label alone while it shows nothing.
    void SetAccessibleLabel(const QString& label) { m_accessibleLabel = label; }
    const QString& AccessibleLabel() const { return m_accessibleLabel; }
    QString AccessibleName() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    VEK::CTextBkDrawer MakeDrawer(const QString& text) const;
    void Rebuild();

    uint32_t m_format = VEK::CTextDrawer::kLeft;
    QStringList m_widestTexts;
    QString m_accessibleLabel;
    uint32_t m_textMarker = 0;  // a marker text colour, or 0
    QString m_drawnText;
};
