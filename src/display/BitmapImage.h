#pragma once
#include <QImage>
#include <cstdint>

namespace VEK {

// An off-screen picture of width x height pixels, shared by reference count on copy (QImage's own
// sharing); created filled with a colour 0xRRGGBB, or left unfilled (transparent) with kNoFill.
class CBitmapImage {
public:
    static constexpr uint32_t kNoFill = 0xFFFFFFFF;

    CBitmapImage() = default;
    CBitmapImage(int width, int height, uint32_t fill = kNoFill);
    explicit CBitmapImage(QImage image) : m_image(std::move(image)) {}

    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    bool IsNull() const { return m_image.isNull(); }
    // The surface to draw on with a QPainter, and the picture to draw elsewhere.
    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }

private:
    QImage m_image;
};

}  // namespace VEK
