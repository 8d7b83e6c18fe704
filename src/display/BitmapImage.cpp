#include "display/BitmapImage.h"

#include "display/DrawColor.h"

namespace VEK {

CBitmapImage::CBitmapImage(int width, int height, uint32_t fill)
    : m_image(std::max(0, width), std::max(0, height), QImage::Format_ARGB32_Premultiplied) {
    m_image.fill(fill > 0xFFFFFF ? QColor(Qt::transparent) : ToQColor(fill));
}

}  // namespace VEK
