#pragma once
#include "display/DrawingStatic.h"
#include "display/NullDrawer.h"

// The framed panel behind a group of the main window's controls.
class CMyFlameStatic : public VEK::MFC::CDrawingStatic {
    Q_OBJECT
public:
    // The panel's beige, with two 1-pixel frames in the button-face colour inset by 1 and by 4.
    class CMyFrameDrawer : public VEK::CNullDrawer {
    public:
        static constexpr uint32_t kFill = 0xF5F5DC;  // 245, 245, 220

        CMyFrameDrawer(int width, int height) : CNullDrawer(width, height) {}
        std::shared_ptr<VEK::IDrawable> Clone() const override {
            return std::make_shared<CMyFrameDrawer>(*this);
        }
        void Draw(QPainter& painter, int x, int y) const override;
    };

    explicit CMyFlameStatic(QWidget* parent = nullptr);
};
