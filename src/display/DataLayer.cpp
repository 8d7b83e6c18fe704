#include "display/DataLayer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

bool CDataLayer::Allocate(int width, int height) {
    if (m_image.width() == width && m_image.height() == height) {
        Clear();
        return true;
    }
    m_image = QImage();
    m_image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    if (m_image.isNull())
        return false;
    Clear();
    return true;
}

void CDataLayer::Clear() {
    if (!m_image.isNull())
        m_image.fill(Qt::transparent);
}

void CDataLayer::ShiftLeft(int pixels) {
    if (m_image.isNull() || pixels <= 0)
        return;
    const int width = m_image.width();
    const int kept = std::max(width - pixels, 0);
    for (int y = 0; y < m_image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(m_image.scanLine(y));
        if (kept > 0)
            std::memmove(row, row + pixels, static_cast<size_t>(kept) * sizeof(QRgb));
        std::fill(row + kept, row + width, QRgb{0});
    }
}

void CDataLayer::Span(int x, int y0, int y1, QRgb color) {
    if (x < 0 || x >= m_image.width())
        return;
    if (y0 > y1)
        std::swap(y0, y1);
    y0 = std::max(y0, 0);
    y1 = std::min(y1, m_image.height() - 1);
    if (y0 > y1)
        return;
    const qsizetype stride = m_image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    QRgb* pixel = reinterpret_cast<QRgb*>(m_image.bits()) + stride * y0 + x;
    for (int y = y0; y <= y1; ++y, pixel += stride) *pixel = color;
}

void CDataLayer::ThinLine(int x0, int y0, int x1, int y1, QRgb color) {
    if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    if (x0 == x1) {
        Span(x0, y0, y1, color);
        return;
    }
    const double slope = double(y1 - y0) / (x1 - x0);
    const int from = std::max(x0, 0);
    const int to = std::min(x1, m_image.width() - 1);
    for (int x = from; x <= to; ++x) {
        const int y = static_cast<int>(std::lround(y0 + slope * (x - x0)));
        if (x == x1) {
            Span(x, y, y, color);
            continue;
        }
        const int next = static_cast<int>(std::lround(y0 + slope * (x + 1 - x0)));
        // This column runs up to the row before the next column's first.
        Span(x, y, next > y ? std::max(y, next - 1) : next < y ? std::min(y, next + 1) : y, color);
    }
}

void CDataLayer::Line(int x0, int y0, int x1, int y1, QRgb color, int width) {
    if (m_image.isNull())
        return;
    ThinLine(x0, y0, x1, y1, color);
    if (width < 2)
        return;
    // The second pixel across the line: beside a steep line, below a flat one.
    if (std::abs(y1 - y0) > std::abs(x1 - x0))
        ThinLine(x0 + 1, y0, x1 + 1, y1, color);
    else
        ThinLine(x0, y0 + 1, x1, y1 + 1, color);
}
