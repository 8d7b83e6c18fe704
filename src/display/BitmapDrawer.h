#pragma once
#include "display/BitmapImage.h"
#include "display/Drawable.h"

namespace VEK {

// A picture drawn 1:1 at (x, y). Its size is the picture's (in device-independent pixels, so a
// picture made for a device pixel ratio of 2 is drawn at half its pixel count); other sizes are
// refused.
class CBitmapDrawer : public IDrawable {
public:
    explicit CBitmapDrawer(CBitmapImage bitmap) : m_bitmap(std::move(bitmap)) {}

    std::shared_ptr<IDrawable> Clone() const override { return std::make_shared<CBitmapDrawer>(*this); }
    QSize Size() const override;
    bool SetSize(int width, int height) override { return QSize(width, height) == Size(); }
    void Draw(QPainter& painter, int x, int y) const override;

private:
    CBitmapImage m_bitmap;
};

}  // namespace VEK
