#pragma once
#include <QLabel>

#include "display/BitmapImage.h"
#include "display/Drawable.h"

namespace VEK::MFC {

// A static whose whole client area is painted by one drawer, drawn at (0, 0) and clipped to the
// client area (or to the widget's mask when it has one). The static keeps a clone of the drawer.
class CDrawingStatic : public QLabel {
    Q_OBJECT
public:
    enum EFit {
        kDrawerToStatic,  // the drawer takes the static's size, now and on every resize
        kStaticToDrawer,  // the static takes the drawer's size
    };

    explicit CDrawingStatic(QWidget* parent = nullptr);

    void SetDrawer(const IDrawable& drawer, EFit fit = kDrawerToStatic, bool repaintNow = false);
    // The picture, 1:1 (the graph area shows its composed picture this way).
    void SetBitmap(const CBitmapImage& bitmap, EFit fit = kDrawerToStatic, bool repaintNow = false);
    const IDrawable* Drawer() const { return m_drawer.get(); }

    // The drawer's size when the static follows it; otherwise the label's own hint.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CDrawerHandle m_drawer;
    EFit m_fit = kDrawerToStatic;
};

}  // namespace VEK::MFC
