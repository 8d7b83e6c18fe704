#pragma once
// The pixels the channels' lines are drawn into: opaque where a line runs, transparent elsewhere,
// so that any colour (grey 808080 included) shows over the grid.
#include <QImage>
#include <cstdint>

class CDataLayer {
public:
    // Transparent; false when the memory is not available (the layer is then empty).
    bool Allocate(int width, int height);
    bool IsNull() const { return m_image.isNull(); }
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    const QImage& Image() const { return m_image; }
    size_t Bytes() const { return static_cast<size_t>(m_image.sizeInBytes()); }

    void Clear();
    // Moves the contents left; the strip uncovered on the right becomes transparent.
    void ShiftLeft(int pixels);
    // Rows y0 .. y1 (either order) of column x, clipped to the layer.
    void Span(int x, int y0, int y1, QRgb color);
    // A line from (x0, y0) to (x1, y1), 1 or 2 pixels wide, clipped to the layer: per pixel
    // column the rows from the line's row there to the row before the next column's.
    void Line(int x0, int y0, int x1, int y1, QRgb color, int width);

private:
    void ThinLine(int x0, int y0, int x1, int y1, QRgb color);

    QImage m_image;
};
