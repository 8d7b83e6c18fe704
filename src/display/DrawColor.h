#pragma once
#include <QColor>
#include <cstdint>

namespace VEK {

// Colours are 0xRRGGBB; values above 0xFFFFFF are markers that the drawers name.
inline QColor ToQColor(uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | (rgb & 0xFFFFFFu)));
}

}  // namespace VEK
